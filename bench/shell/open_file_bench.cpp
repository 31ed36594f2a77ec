// Opens a generated plain-text file of 50 MB the way the Open command does once the
// file is chosen (read, decode, load into the pad, follow it for the undo history,
// reset the history and hand the text to the synthesiser), and prints the time as
// a ratio to QTextDocument::setPlainText of the same text, both measured in this run
// (best of three). Goal: a ratio of 1.2 or less.

#include "common/benchtext.h"
#include "common/quietboxes.h"

#include "editing/undocommands.h"
#include "platform/commondialog.h"
#include "platform/richtextpad.h"
#include "platform/speechsynth.h"
#include "shell/documentcommands.h"
#include "shell/documentstate.h"
#include "speech/readout.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QWidget>

#include <cstdio>
#include <functional>

namespace {

// Stand-ins for the platform: a dialog that answers with the file, a synthesiser and
// message boxes that do nothing.
class ChosenFile : public CommonDialog
{
public:
    explicit ChosenFile(const QString &path) : m_path(path) { }
    bool showOpen() override
    {
        acceptFile(m_path);
        return true;
    }
    bool showSave() override { return false; }
    bool showPrinter(QPrinter *) override { return false; }
    bool showFont() override { return false; }
    bool showColor() override { return false; }

private:
    QString m_path;
};

class Mute : public SpeechSynth
{
public:
    quint64 speak(const QString &text) override
    {
        m_spokenChars += text.size();
        return ++m_texts;
    }
    void pause() override { }
    void resume() override { }
    void stop() override { }
    int speed() const override { return 150; }
    bool setSpeed(int) override { return true; }
    int pitch() const override { return 85; }
    bool setPitch(int) override { return true; }
    int volume() const override { return 100; }
    bool setVolume(int) override { return true; }
    void selectLanguage(int) override { }
    void setListener(SpeechListener *) override { }
    QString inaudibleReason() const override { return {}; }
    qsizetype m_spokenChars = 0;
    quint64 m_texts = 0;
};

double bestOf(int runs, const std::function<void()> &prepare, const std::function<void()> &work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer clock;
        clock.start();
        work();
        best = std::min(best, double(clock.nsecsElapsed()) / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 50.0;
    const QString text = benchText(qsizetype(megabytes * 1024 * 1024), 4242);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    if (!writeBenchFile(path, text))
        return 1;
    std::printf("file: %.1f MB, %lld lines\n", double(QFileInfo(path).size()) / 1e6,
                qlonglong(text.count(QLatin1Char('\n')) + 1));

    std::unique_ptr<QTextDocument> reference;
    const double setPlainText = bestOf(
        3, [&] { reference = std::make_unique<QTextDocument>(); },
        [&] { reference->setPlainText(text); });
    reference.reset();

    // The pad as the window holds it, with the undo history following it.
    ChosenFile dialogs(path);
    Mute synth;
    QuietBoxes messages;
    QWidget buttons;
    QWidget cmdRead(&buttons), cmdStop(&buttons), cmdPause(&buttons), cmdResume(&buttons);
    std::unique_ptr<RichTextPad> pad;
    std::unique_ptr<UndoCommands> undo;
    std::unique_ptr<ReadOut> readOut;
    std::unique_ptr<DocumentCommands> commands;
    DocumentState state;
    auto freshPad = [&] {
        commands.reset();
        readOut.reset();
        undo.reset();
        pad = std::make_unique<RichTextPad>();
        undo = std::make_unique<UndoCommands>(*pad, state);
        readOut = std::make_unique<ReadOut>(synth, *pad, &cmdRead, &cmdStop, &cmdPause,
                                            &cmdResume);
        DocumentCommands::Parts parts;
        parts.synth = &synth;
        parts.dialogs = &dialogs;
        parts.messages = &messages;
        parts.pad = pad.get();
        parts.state = &state;
        parts.undo = undo.get();
        parts.readOut = readOut.get();
        commands = std::make_unique<DocumentCommands>(parts);
    };
    const double open = bestOf(3, freshPad, [&] { commands->openDocument(); });
    if (pad->text().size() != text.size() || undo->mirror().text().size() != text.size()) {
        std::fprintf(stderr, "the opened text is not the file's\n");
        return 1;
    }
    const double padSetPlainText = bestOf(3, freshPad, [&] { pad->setText(text); });

    std::printf("QTextDocument::setPlainText: %.0f ms\n", setPlainText);
    std::printf("the pad's own setPlainText:  %.0f ms\n", padSetPlainText);
    std::printf("Open (read, decode, load, follow, speak): %.0f ms\n", open);
    std::printf("ratio Open / QTextDocument::setPlainText: %.2f (goal <= 1.2)\n",
                open / setPlainText);
    std::printf("ratio Open / the pad's setPlainText: %.2f\n", open / padSetPlainText);
    return 0;
}
