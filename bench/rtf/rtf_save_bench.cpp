// Writes a formatted document of about 10 MB as RTF and prints the time as a ratio
// to reading what was written back into a document with our reader, both measured
// in this run (best of several). The goal is a ratio of 1.5 or less.

#include "common/rtfsample.h"
#include "platform/rtf/rtfdocumentwriter.h"
#include "platform/rtf/rtfloader.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>
#include <memory>

namespace {

constexpr double kGoal = 1.5;

double milliseconds(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// Times one document, checks that what was written reads back as its text, prints
// a line; returns the ratio, or -1 when the text differs.
double measure(const char *name, const BenchRtf::Sample &sample)
{
    QTextDocument document;
    Rtf::loadDocument(sample.rtf, &document);
    QByteArray written;
    std::unique_ptr<QTextDocument> back;
    double write = 1e300;
    double read = 1e300;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        written = Rtf::writeDocument(document);
        write = std::min(write, milliseconds(timer));
        // A fresh document for each reading; making and destroying it are no part of it.
        back = std::make_unique<QTextDocument>();
        timer.start();
        Rtf::loadDocument(written, back.get());
        read = std::min(read, milliseconds(timer));
    }
    if (back->toPlainText() != document.toPlainText()) {
        std::fprintf(stderr, "rtf_save_bench: %s did not read back as its text\n", name);
        return -1;
    }
    const double ratio = write / read;
    std::printf("%s, %.1f MB of RTF written: %.0f ms; read back: %.0f ms; ratio %.2f\n", name,
                written.size() / 1048576.0, write, read, ratio);
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
                                   BenchRtf::makeSample(BenchRtf::Style::WordProcessor, bytes));
    const double dense = measure("One word in seven formatted",
                                 BenchRtf::makeSample(BenchRtf::Style::HeavilyFormatted, bytes));
    if (typical < 0 || dense < 0)
        return 1;
    const bool met = typical <= kGoal && dense <= kGoal;
    std::printf("Goal: writing within %.1f times reading back: %s\n", kGoal,
                met ? "met" : "missed");
    return met ? 0 : 2;
}
