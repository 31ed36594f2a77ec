// Opens the Insert Symbol dialog, every screen font listed, and prints the time as a
// ratio to a bare QFontComboBox filled with the same fonts, both opened (created,
// shown and painted once) in this run, in turns, 40 times each. Goal: a ratio of 2
// or less. The best of the runs is what each costs; the median shows how much a
// busy machine adds.
//
// Then picks fonts from the dialog's list, going round all of them (so that fonts
// not used yet are loaded as a user meets them), and times each pick up to the
// dialog painted in the new font. Goal: the 99th percentile within one frame,
// 16 ms. Time is measured as the thread's processor time, which other programs on
// a shared machine do not inflate, and as wall-clock time.

#include "platform/richtextpad.h"
#include "symbols/frmsymbols.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

double threadMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Times {
    std::vector<double> cpu;
    std::vector<double> wall;

    void measure(const std::function<void()> &work)
    {
        QElapsedTimer clock;
        const double cpuStart = threadMs();
        clock.start();
        work();
        wall.push_back(double(clock.nsecsElapsed()) / 1e6);
        cpu.push_back(threadMs() - cpuStart);
    }
};

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const auto rank = std::size_t(std::max(1.0, p * double(values.size()) + 0.999999));
    return values.at(std::min(rank, values.size()) - 1);
}

double best(const std::vector<double> &values)
{
    return *std::min_element(values.begin(), values.end());
}

// The offscreen platform has no stacking order to change; it says so on every show.
void quietRaise(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (!message.contains(QLatin1String("does not support raise()")))
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietRaise);
    QApplication app(argc, argv);
    const int picks = argc > 1 ? std::max(10, std::atoi(argv[1])) : 400;

    RichTextPad pad;
    QComboBox combo1;
    combo1.setEditText(QStringLiteral("Times New Roman"));

    // Both are opened once before timing, so that neither pays for loading the
    // font database and the style.
    auto openDialog = [&] {
        auto *dialog = new FrmSymbols(pad, combo1);
        dialog->show();
        dialog->grab();
        return dialog;
    };
    auto openFontBox = [] {
        auto *box = new QFontComboBox;
        box->show();
        box->grab();
        return box;
    };
    delete openDialog();
    delete openFontBox();

    Times dialogTimes;
    Times boxTimes;
    int listed = 0;
    for (int i = 0; i < 40; ++i) {
        QWidget *box = nullptr;
        boxTimes.measure([&] { box = openFontBox(); });
        delete box;
        FrmSymbols *dialog = nullptr;
        dialogTimes.measure([&] { dialog = openDialog(); });
        listed = dialog->cmbFonts()->count();
        delete dialog;
    }
    std::printf("fonts listed: %d (QFontDatabase families: %lld)\n", listed,
                qlonglong(QFontDatabase::families().size()));
    std::printf("open a bare QFontComboBox:     best %.2f ms, median %.2f ms (processor)\n",
                best(boxTimes.cpu), percentile(boxTimes.cpu, 0.5));
    std::printf("open the Insert Symbol dialog: best %.2f ms, median %.2f ms (processor)\n",
                best(dialogTimes.cpu), percentile(dialogTimes.cpu, 0.5));
    std::printf("wall clock: QFontComboBox median %.2f ms, dialog median %.2f ms\n",
                percentile(boxTimes.wall, 0.5), percentile(dialogTimes.wall, 0.5));
    std::printf("ratio dialog / QFontComboBox: best %.2f, median %.2f (goal <= 2)\n",
                best(dialogTimes.cpu) / best(boxTimes.cpu),
                percentile(dialogTimes.cpu, 0.5) / percentile(boxTimes.cpu, 0.5));

    // Picks going round the list; each is timed up to the dialog painted again.
    FrmSymbols *shown = openDialog();
    for (int i = 0; i < 100 && !shown->windowHandle()->isExposed(); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!shown->windowHandle()->isExposed()) {
        std::fprintf(stderr, "the dialog is never exposed: nothing would be painted\n");
        return 1;
    }
    QComboBox *fonts = shown->cmbFonts();
    Times redraws;
    for (int i = 0; i < picks; ++i) {
        fonts->setCurrentIndex(i % fonts->count());
        redraws.measure([&] {
            shown->cmbFonts_Click();
            shown->repaint();
        });
    }
    if (shown->fontName() != fonts->currentText()) {
        std::fprintf(stderr, "the grid is not in the picked font\n");
        return 1;
    }
    delete shown;
    std::printf("redraw after a pick, %d picks over %d fonts:\n", picks, listed);
    std::printf("  processor: median %.2f ms, 99th percentile %.2f ms, slowest %.2f ms\n",
                percentile(redraws.cpu, 0.5), percentile(redraws.cpu, 0.99),
                *std::max_element(redraws.cpu.begin(), redraws.cpu.end()));
    std::printf("  wall clock: median %.2f ms, 99th percentile %.2f ms, slowest %.2f ms\n",
                percentile(redraws.wall, 0.5), percentile(redraws.wall, 0.99),
                *std::max_element(redraws.wall.begin(), redraws.wall.end()));
    std::printf("99th percentile within one frame of 16 ms: %s\n",
                percentile(redraws.cpu, 0.99) <= 16.0 ? "yes" : "no");
    return 0;
}
