// Types into a pad holding a 10 MB document with the undo history attached, as the
// main window has it, and measures in the same run:
// - what the pad spends on each key (the key event, its edit and its layout) and
//   what the history adds to it (the snapshot before the key and following the
//   change), as a ratio; goal: at most 0.20;
// - the whole key at the 99th percentile; goal: under 16 ms;
// - the memory held by the history after 99 single-key snapshots, against the
//   document's size; goal: under 3x (copying the text for each snapshot would
//   hold 99 copies).
// - one Undo and one Redo of a key typed in the middle of a shown pad of that size
//   and of ten times it, against the key itself; goal: about the key's cost,
//   whatever the document's length (a whole snapshot put back costs seconds).
// The pad is measured shown (with its layout, as the user has it) and hidden (the
// edit alone, the strictest reference for the ratio).

#include "common/benchtext.h"

#include "editing/undocommands.h"
#include "platform/richtextpad.h"
#include "shell/documentstate.h"
#include "shell/twips.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextDocument>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * double(values.size())));
    return values.at(index);
}

double sum(const std::vector<double> &values)
{
    double total = 0;
    for (double v : values)
        total += v;
    return total;
}

struct KeyTimes {
    std::vector<double> whole;    // the key event, ms
    std::vector<double> history;  // the history's share of it, ms
    std::vector<double> pad;      // the rest, ms
};

KeyTimes typeKeys(RichTextPad &pad, int keys, int position)
{
    QTextCursor cursor = pad.textCursor();
    cursor.setPosition(position);
    pad.setTextCursor(cursor);

    // The history's slots run between these timestamps: slots run in the order they
    // were connected, and the bench's are connected around the history's own.
    KeyTimes times;
    QElapsedTimer clock;
    clock.start();
    qint64 historyNs = 0;
    qint64 mark = 0;
    auto begin = [&] { mark = clock.nsecsElapsed(); };
    auto end = [&] { historyNs += clock.nsecsElapsed() - mark; };
    QObject anchor;
    QObject::connect(&pad, &RichTextPad::keyPressed, &anchor, begin);
    QObject::connect(pad.document(), &QTextDocument::contentsChange, &anchor, begin);
    auto *state = new DocumentState;
    auto *history = new UndoCommands(pad, *state, &anchor);
    QObject::connect(&pad, &RichTextPad::keyPressed, &anchor, end);
    QObject::connect(pad.document(), &QTextDocument::contentsChange, &anchor, end);
    Q_UNUSED(history);

    for (int i = 0; i < keys; ++i) {
        const QChar letter(char16_t(u'a' + i % 26));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A + i % 26, Qt::NoModifier, QString(letter));
        historyNs = 0;
        const qint64 start = clock.nsecsElapsed();
        QApplication::sendEvent(&pad, &press);
        const double whole = double(clock.nsecsElapsed() - start) / 1e6;
        times.whole.push_back(whole);
        times.history.push_back(double(historyNs) / 1e6);
        times.pad.push_back(whole - double(historyNs) / 1e6);
    }
    delete state;
    return times;
}

void report(const char *label, const KeyTimes &t)
{
    const double ratio = sum(t.history) / sum(t.pad);
    std::printf("%-34s keys %zu: pad median %.3f ms, history median %.4f ms, "
                "history/pad %.4f (goal <= 0.20), whole key p99 %.2f ms (goal < 16)\n",
                label, t.whole.size(), percentile(t.pad, 0.5), percentile(t.history, 0.5),
                ratio, percentile(t.whole, 0.99));
}

// Memory held by a history of 99 single-key snapshots of the document, with the
// text it follows the pad with, measured by the allocator.
void measureMemory(const QString &document)
{
    const size_t before = mallinfo2().uordblks;
    {
        auto *mirror = new SharedText(document);
        auto *history = new EditHistory;
        qsizetype position = document.size() / 2;
        for (int key = 0; key < 99; ++key) {
            history->pushUndo(*mirror);
            mirror->replace(position++, 0, u"k");
        }
        const size_t after = mallinfo2().uordblks;
        QList<SharedText> all = history->texts();
        all << *mirror;
        const double held = double(after - before);
        const double utf8 = double(document.toUtf8().size());
        std::printf("99 single-key snapshots of a %.1f MB document: history holds %.1f MB "
                    "(allocator), %.1f MB (counted) = %.2fx the document's UTF-8 size, "
                    "%.2fx its text in memory (goal < 3x; one copy a snapshot: %.0fx)\n",
                    utf8 / 1e6, held / 1e6, double(SharedText::heldBytes(all)) / 1e6,
                    held / utf8, held / (2.0 * double(document.size())), 99.0 * 2.0);
        delete history;
        delete mirror;
    }
}

// Types keys in the middle of a shown pad with the history attached, then undoes and
// redoes each: one Undo or Redo of a key should cost about what the key did,
// however long the document.
void measureUndo(const QString &document)
{
    constexpr int kKeys = 10;
    RichTextPad pad;
    pad.resize(Twips::toPixels(8175), Twips::toPixels(5205));
    pad.setText(document);
    pad.show();
    QApplication::processEvents();
    DocumentState state;
    UndoCommands history(pad, state);
    pad.setSelStart(int(document.size() / 2));
    QApplication::processEvents();

    QElapsedTimer clock;
    // Each until the pad has shown it: the events it posted are handled too.
    auto timed = [&clock](const std::function<void()> &run) {
        clock.start();
        run();
        QApplication::processEvents();
        return double(clock.nsecsElapsed()) / 1e6;
    };
    std::vector<double> keys, undos, redos;
    for (int i = 0; i < kKeys; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier, QStringLiteral("k"));
        keys.push_back(timed([&] { QApplication::sendEvent(&pad, &press); }));
    }
    for (int i = 0; i < kKeys; ++i)
        undos.push_back(timed([&] { history.undoMe(); }));
    const bool restored = pad.document()->characterCount() - 1 == document.size();
    for (int i = 0; i < kKeys; ++i)
        redos.push_back(timed([&] { history.redoMe(); }));
    const double key = percentile(keys, 0.5);
    std::printf("%.0f MB shown, %d keys in the middle: key median %.2f ms; Undo median %.2f ms "
                "(%.2fx the key), max %.2f ms; Redo median %.2f ms (%.2fx), max %.2f ms%s\n",
                double(document.size()) / (1024 * 1024), kKeys, key, percentile(undos, 0.5),
                percentile(undos, 0.5) / key, percentile(undos, 1.0), percentile(redos, 0.5),
                percentile(redos, 0.5) / key, percentile(redos, 1.0),
                restored ? "" : " (UNDO DID NOT RESTORE THE TEXT)");
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 10.0;
    const QString document = benchText(qsizetype(megabytes * 1024 * 1024), 12345);
    std::printf("document: %lld characters in %lld lines\n", qlonglong(document.size()),
                qlonglong(document.count(QLatin1Char('\n')) + 1));

    measureMemory(document);

    {
        RichTextPad pad;
        pad.resize(Twips::toPixels(8175), Twips::toPixels(5205));
        pad.setText(document);
        KeyTimes hidden = typeKeys(pad, 2000, int(document.size() / 2));
        report("pad hidden (edit only):", hidden);
    }
    {
        RichTextPad pad;
        pad.resize(Twips::toPixels(8175), Twips::toPixels(5205));
        pad.setText(document);
        pad.show();
        QApplication::processEvents();
        KeyTimes end = typeKeys(pad, 200, int(document.size()) - 1000);
        report("pad shown, typing near the end:", end);
        KeyTimes middle = typeKeys(pad, 100, int(document.size() / 2));
        report("pad shown, typing in the middle:", middle);
    }
    // Undo and Redo of single keys in the middle of a shown pad, against typing them.
    for (const double size : {megabytes, 10.0 * megabytes})
        measureUndo(benchText(qsizetype(size * 1024 * 1024), 12345));
    return 0;
}
