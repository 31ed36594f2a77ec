// Opens a generated plain-text file of 50 MB the way the Open command does once the
// file is chosen (read, decode, load into the pad, follow it for the undo history,
// reset the history and start reading it aloud), in a pad shown at the window's
// designed size, and measures what the user waits for: until the first screen of
// text is painted, and until a key pressed right after is handled. Each is printed as
// a ratio to QTextDocument::setPlainText of the same text, measured in this run
// (best of three). Goal: 1.5 or less.
// Run: bin/open_file_bench [megabytes]; on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise.

#include "common/benchtext.h"
#include "common/shownpad.h"
#include "platform/largepages.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

double bestOf(int runs, const std::function<void()> &prepare, const std::function<double()> &work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        prepare();
        best = std::min(best, work());
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    // The memory the program runs with, for the reference as for the open.
    LargePages::startWithHugePages(argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 50.0;
    const QString text = benchText(qsizetype(megabytes * 1024 * 1024), 4242);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    if (!writeBenchFile(path, text))
        return 1;
    std::printf("file: %.1f MB, %lld lines; pad %d x %d pixels, shown\n",
                double(QFileInfo(path).size()) / 1e6,
                qlonglong(text.count(QLatin1Char('\n')) + 1), ShownPad::kPadWidth,
                ShownPad::kPadHeight);

    std::unique_ptr<QTextDocument> reference;
    const double setPlainText = bestOf(
        3, [&] { reference = std::make_unique<QTextDocument>(); },
        [&] {
            QElapsedTimer clock;
            clock.start();
            reference->setPlainText(text);
            return double(clock.nsecsElapsed()) / 1e6;
        });
    reference.reset();

    std::unique_ptr<ShownPad::Window> window;
    double firstPaint = 1e300;
    const double responsive = bestOf(
        3, [&] { window.reset(); window = std::make_unique<ShownPad::Window>(path); },
        [&] {
            QElapsedTimer clock;
            clock.start();
            window->commands->openDocument();
            window->paintOnce();
            firstPaint = std::min(firstPaint, double(clock.nsecsElapsed()) / 1e6);
            window->key(Qt::Key_Right);
            return double(clock.nsecsElapsed()) / 1e6;
        });
    if (window->pad.text().size() != text.size()
        || window->undo.mirror().text().size() != text.size()) {
        std::fprintf(stderr, "the opened text is not the file's\n");
        return 1;
    }

    std::printf("QTextDocument::setPlainText:      %.0f ms\n", setPlainText);
    std::printf("Open to the first screen painted: %.0f ms = %.2fx setPlainText (goal <= 1.5)\n",
                firstPaint, firstPaint / setPlainText);
    std::printf("Open to a key handled:            %.0f ms = %.2fx setPlainText (goal <= 1.5)\n",
                responsive, responsive / setPlainText);
    return 0;
}
