// The editing commands on a 10 MB pad, each against a reference measured in the same
// run (best of a few rounds, taken in turns):
// - Word Count (the whole command: the text counted where the undo history follows
//   it, without a copy, and reported) against `wc -w` on the same text as a file;
//   goal: at least 0.5x its speed;
// - Select All, Cut and Paste from the menu, with the undo history following the
//   pad as in the window, against QTextEdit's own selectAll(), cut() and paste() on
//   a pad of the same kind; goal: at most 2x its time. QTextEdit pastes its own cut
//   as rich text unless told to take plain text only; both are measured, the goal
//   is held against the faster (plain) one.
// Run: bin/edit_commands_bench [megabytes]

#include "common/benchtext.h"
#include "common/quietboxes.h"

#include "editing/clipboardcommands.h"
#include "editing/undocommands.h"
#include "editing/wordcount.h"
#include "platform/richtextpad.h"
#include "platform/silentspeechsynth.h"
#include "shell/documentstate.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double msSince(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

double best(const std::vector<double> &times)
{
    return *std::min_element(times.begin(), times.end());
}

// Runs `wc -w` on the file; returns the time and the count it printed.
double timeWc(const QString &path, const QString &locale, qlonglong *count)
{
    QProcess wc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), locale);
    wc.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    wc.start(QStringLiteral("wc"), {QStringLiteral("-w"), path});
    wc.waitForFinished(-1);
    const double ms = msSince(clock);
    *count = QString::fromLatin1(wc.readAllStandardOutput()).section(QLatin1Char(' '), 0, 0,
                                                                     QString::SectionSkipEmpty)
                 .toLongLong();
    return ms;
}

void benchWordCount(const QString &document, const QString &path)
{
    SilentSpeechSynth synth;
    QuietBoxes boxes;
    RichTextPad pad;
    QWidget window;
    pad.setText(document);
    DocumentState state;
    UndoCommands undo(pad, state);
    WordCount command(synth, boxes, undo, window);

    std::vector<double> ours, wcUtf8, wcC;
    qlonglong wcCount = 0;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer clock;
        clock.start();
        command.countMe();
        ours.push_back(msSince(clock));
        wcUtf8.push_back(timeWc(path, QStringLiteral("C.UTF-8"), &wcCount));
        wcC.push_back(timeWc(path, QStringLiteral("C"), &wcCount));
    }
    std::printf("Word Count: %s; wc -w: %lld words\n", qPrintable(boxes.m_last), wcCount);
    std::printf("  command %.1f ms, wc -w (C.UTF-8) %.1f ms, wc -w (C) %.1f ms\n", best(ours),
                best(wcUtf8), best(wcC));
    std::printf("  speed against wc -w: %.2fx (C.UTF-8), %.2fx (C)  (goal >= 0.5x)\n",
                best(wcUtf8) / best(ours), best(wcC) / best(ours));
}

double selectCutPaste(const QString &document, const std::function<void(RichTextPad &)> &run,
                      bool plainOnly = false)
{
    RichTextPad pad;
    pad.setAcceptRichText(!plainOnly);
    pad.setText(document);
    QElapsedTimer clock;
    clock.start();
    run(pad);
    const double ms = msSince(clock);
    if (pad.document()->characterCount() - 1 != document.size())
        std::printf("  (the pad did not end with the whole text again)\n");
    QGuiApplication::clipboard()->clear();
    return ms;
}

void benchCutPaste(const QString &document)
{
    SilentSpeechSynth synth;
    auto ours = [&synth](RichTextPad &pad) {
        DocumentState state;
        UndoCommands undo(pad, state);
        ClipboardCommands commands(synth, pad, undo, *QGuiApplication::clipboard());
        commands.selectMe();
        commands.cutMe();
        commands.pasteMe();
    };
    auto qtOwn = [](RichTextPad &pad) {
        pad.selectAll();
        pad.cut();
        pad.paste();
    };
    std::vector<double> oursMs, richMs, plainMs;
    for (int round = 0; round < 3; ++round) {
        oursMs.push_back(selectCutPaste(document, ours));
        plainMs.push_back(selectCutPaste(document, qtOwn, true));
        richMs.push_back(selectCutPaste(document, qtOwn));
    }
    std::printf("Select All + Cut + Paste: commands %.0f ms; QTextEdit's own: %.0f ms "
                "(plain text), %.0f ms (rich text)\n",
                best(oursMs), best(plainMs), best(richMs));
    std::printf("  time against QTextEdit's own: %.2fx (plain), %.2fx (rich)  (goal <= 2x)\n",
                best(oursMs) / best(plainMs), best(oursMs) / best(richMs));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 10.0;
    const QString document = benchText(qsizetype(megabytes * 1024 * 1024), 12345);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("words.txt"));
    if (!writeBenchFile(path, document))
        return 1;
    std::printf("document: %lld characters\n", qlonglong(document.size()));
    benchWordCount(document, path);
    benchCutPaste(document);
    return 0;
}
