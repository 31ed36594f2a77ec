#pragma once

#include <QByteArray>

#include <algorithm>
#include <iterator>
#include <random>

// Generated RTF documents for the RTF benchmarks, the same for every run, with the
// plain text each holds.
namespace BenchRtf {

struct Sample
{
    QByteArray rtf;
    QByteArray plain; // UTF-8
};

enum class Style {
    // As Word writes running text: every run in a group of its own with a dozen
    // control words, a formatted word or two in a paragraph.
    WordProcessor,
    // One word in seven bold, italic or coloured, as tersely as RTF allows.
    HeavilyFormatted,
};

inline Sample makeSample(Style style, qsizetype targetBytes)
{
    static const char *const words[] = {
        "the", "quick", "brown", "fox", "jumps", "over", "lazy", "dog", "reading",
        "aloud", "document", "paragraph", "speech", "voice", "pitch", "speed", "window",
        "formatting", "letters", "sentence", "and", "of", "to", "in", "is", "a",
    };
    const bool word = style == Style::WordProcessor;
    const QByteArray runStart = word ? "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid1988666 "
                                     : "";
    const QByteArray runEnd = word ? "}" : "";
    const QByteArray boldStart = word ? "}{\\rtlch\\fcs1 \\ab\\af31507 \\ltrch\\fcs0 "
                                        "\\b\\insrsid1988666 "
                                      : "{\\b ";
    const QByteArray italicStart = word ? "}{\\rtlch\\fcs1 \\ai\\af31507 \\ltrch\\fcs0 "
                                          "\\i\\insrsid1988666 "
                                        : "{\\i ";
    const QByteArray colourStart = word ? "}{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 "
                                          "\\cf1\\insrsid1988666 "
                                        : "{\\cf1 ";
    const QByteArray formattedEnd = word ? "}" + runStart : "}";
    const QByteArray paragraphStart = word
        ? "\\pard\\plain \\ltrpar\\qj \\li0\\ri0\\sa160\\sl259\\slmult1\\widctlpar\\wrapdefault"
          "\\aspalpha\\aspnum\\faauto\\adjustright\\rin0\\lin0\\itap0 \\rtlch\\fcs1 "
          "\\af31507\\afs22\\alang1025 \\ltrch\\fcs0 \\f0\\fs22\\lang2057\\langfe1033\\cgrid"
          "\\langnp2057\\langfenp1033 "
        : "\\pard\\qj\\sa120 ";
    const int formattedPercent = word ? 2 : 14;

    std::mt19937 random(20240613);
    auto roll = [&random](int n) { return int(random() % unsigned(n)); };

    Sample s;
    s.rtf.reserve(targetBytes + 4096);
    s.plain.reserve(targetBytes);
    s.rtf += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\froman\\fcharset0 Times New "
             "Roman;}{\\f1\\fswiss\\fcharset0 Arial;}}{\\colortbl;\\red192\\green0\\blue0;}"
             "\\f0\\fs24\n";
    int paragraph = 0;
    while (s.rtf.size() < targetBytes) {
        const bool heading = paragraph++ % 20 == 0;
        s.rtf += heading ? "\\pard\\qc{\\f1\\fs32\\b " : paragraphStart + runStart;
        const int count = heading ? 4 : 60 + roll(60);
        for (int i = 0; i < count; ++i) {
            if (i > 0) {
                const bool lineBreak = roll(200) == 0;
                s.rtf += lineBreak ? "\\line " : " ";
                s.plain += lineBreak ? "\n" : " ";
            }
            const QByteArray w = words[roll(int(std::size(words)))];
            const int kind = heading ? 99 : roll(100);
            const int share = formattedPercent;
            if (kind < share / 2 + 1) {
                s.rtf += boldStart + w + formattedEnd;
                s.plain += w;
            } else if (kind < share * 3 / 4 + 1) {
                s.rtf += italicStart + w + formattedEnd;
                s.plain += w;
            } else if (kind < share) {
                s.rtf += colourStart + w + formattedEnd;
                s.plain += w;
            } else if (kind < share + 3) {
                s.rtf += "caf\\'e9";
                s.plain += "caf\xc3\xa9";
            } else if (kind < share + 4) {
                s.rtf += "\\u1055?\\u1088?\\u1080?";
                s.plain += "\xd0\x9f\xd1\x80\xd0\xb8";
            } else {
                s.rtf += w;
                s.plain += w;
            }
        }
        s.rtf += heading ? "}\\par\n" : runEnd + "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 "
                                                  "\\insrsid1988666 \\par }\n";
        s.plain += "\n";
    }
    s.rtf += "}";
    return s;
}

// How large a sample to make: the first argument in megabytes, 10 when none is given.
inline qsizetype sampleBytes(int argc, char **argv)
{
    const double megabytes = argc > 1 ? std::max(0.1, QByteArray(argv[1]).toDouble()) : 10.0;
    return qsizetype(megabytes * 1024 * 1024);
}

} // namespace BenchRtf
