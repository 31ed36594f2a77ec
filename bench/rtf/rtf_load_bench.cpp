// Loads a generated RTF document of about 10 MB into a QTextDocument and prints
// the time as a ratio to QTextDocument::setPlainText of the same text, both
// measured in this run (best of several). The goal is a ratio of 3 or less.

#include "common/rtfsample.h"
#include "platform/rtf/rtfloader.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>

namespace {

using BenchRtf::Sample;
using BenchRtf::Style;
using BenchRtf::makeSample;

// Best time of a few loads into a fresh document; making and destroying the
// document are no part of loading.
template<typename Load>
double bestMilliseconds(int runs, Load load)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QTextDocument document;
        QElapsedTimer timer;
        timer.start();
        load(document);
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

// Times one sample, checks that it loads as its text, prints a line; returns the
// ratio, or -1 when the text differs.
double measure(const char *name, const Sample &sample)
{
    const double rtf = bestMilliseconds(3, [&](QTextDocument &document) {
        Rtf::loadDocument(sample.rtf, &document);
    });
    const double plain = bestMilliseconds(3, [&](QTextDocument &document) {
        document.setPlainText(QString::fromUtf8(sample.plain));
    });
    // The comparison is only fair when both hold the same text.
    QTextDocument document;
    Rtf::loadDocument(sample.rtf, &document);
    if (document.toPlainText() != QString::fromUtf8(sample.plain)) {
        std::fprintf(stderr, "rtf_load_bench: %s did not load as its text\n", name);
        return -1;
    }
    const double ratio = rtf / plain;
    std::printf("%s, %.1f MB of RTF: %.0f ms; the same text as plain text: %.0f ms; "
                "ratio %.2f\n",
                name, sample.rtf.size() / 1048576.0, rtf, plain, ratio);
    return ratio;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const qsizetype bytes = BenchRtf::sampleBytes(argc, argv);

    const double typical = measure("Word processor document",
                                   makeSample(Style::WordProcessor, bytes));
    // Qt's own cost for each run of text in another format sets this one's pace.
    const double dense = measure("One word in seven formatted",
                                 makeSample(Style::HeavilyFormatted, bytes));
    if (typical < 0 || dense < 0)
        return 1;
    std::printf("Goal: the word processor document within 3 times plain text: %s\n",
                typical <= 3.0 ? "met" : "missed");
    return typical <= 3.0 ? 0 : 2;
}
