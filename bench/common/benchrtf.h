#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QString>

#include <iterator>

// A book-length RTF document of about `bytes` bytes, the same for the same seed:
// chapters with centred headings in a larger font, paragraphs with a first-line
// indent and space after, bold, italic, coloured, raised and lowered words, a
// character outside Windows-1252 now and then (as \u escapes) and a small picture
// every few hundred paragraphs. `plain` receives the text the document holds, as
// the pad's plain text has it.
inline QByteArray benchRtf(qsizetype bytes, QString *plain = nullptr, quint32 seed = 777)
{
    static const char *const words[] = {
        "the", "quick", "brown", "fox", "jumps", "over", "lazy", "dog", "reading",
        "aloud", "document", "paragraph", "speech", "voice", "pitch", "speed", "window",
        "formatting", "letters", "sentence", "and", "of", "to", "in", "is", "a",
    };
    // A 2x2 PNG, red and blue.
    static const QByteArray picture = [] {
        QImage image(2, 2, QImage::Format_RGB32);
        image.fill(Qt::red);
        image.setPixel(1, 1, qRgb(0, 0, 255));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return "{\\pict\\pngblip\\picwgoal600\\pichgoal600 " + png.toHex() + "}";
    }();
    auto roll = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 16) % unsigned(n));
    };
    QByteArray rtf;
    rtf.reserve(bytes + 4096);
    rtf += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\froman\\fcharset0 Times New "
           "Roman;}{\\f1\\fswiss\\fcharset0 Arial;}}{\\colortbl;\\red192\\green0\\blue0;}"
           "\\f0\\fs24\n";
    QString text;
    if (plain)
        text.reserve(bytes);
    int paragraph = 0;
    while (rtf.size() < bytes) {
        if (paragraph > 0 && plain)
            text += QLatin1Char('\n');
        const bool heading = paragraph % 40 == 0;
        if (heading) {
            rtf += "\\pard\\qc\\sb240\\sa240{\\f1\\fs36\\b Chapter ";
            const QByteArray number = QByteArray::number(paragraph / 40 + 1);
            rtf += number;
            rtf += "}\\par\n";
            if (plain)
                text += QLatin1String("Chapter ") + QLatin1String(number);
        } else if (paragraph % 300 == 7) {
            rtf += "\\pard\\qc ";
            rtf += picture;
            rtf += "\\par\n";
        } else {
            rtf += "\\pard\\qj\\fi360\\sa120 ";
            const int count = 40 + roll(120);
            for (int i = 0; i < count; ++i) {
                if (i > 0) {
                    rtf += ' ';
                    if (plain)
                        text += QLatin1Char(' ');
                }
                const char *w = words[roll(int(std::size(words)))];
                const int kind = roll(100);
                if (kind < 3) {
                    rtf += "{\\b ";
                } else if (kind < 5) {
                    rtf += "{\\i ";
                } else if (kind < 6) {
                    rtf += "{\\cf1 ";
                } else if (kind < 7) {
                    rtf += "{\\super ";
                } else if (kind < 8) {
                    rtf += "{\\sub ";
                } else if (kind < 9) {
                    // A word in Greek letters.
                    rtf += "{\\u945?\\u946?\\u947?}";
                    if (plain)
                        text += QString::fromUtf16(u"\u03B1\u03B2\u03B3");
                    continue;
                }
                rtf += w;
                if (plain)
                    text += QLatin1String(w);
                if (kind < 8)
                    rtf += '}';
            }
            rtf += "\\par\n";
        }
        ++paragraph;
    }
    rtf += "}";
    if (plain) {
        // The last paragraph mark leaves an empty paragraph after it.
        text += QLatin1Char('\n');
        *plain = text;
    }
    return rtf;
}
