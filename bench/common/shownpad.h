#pragma once

#include "common/quietboxes.h"

#include "editing/undocommands.h"
#include "platform/commondialog.h"
#include "platform/richtextpad.h"
#include "platform/speechsynth.h"
#include "shell/documentcommands.h"
#include "shell/documentstate.h"
#include "speech/readout.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextDocument>
#include <QWidget>

#include <memory>

// The pad as the window shows it, at its designed size, with the parts the Open
// command works with: a dialog that answers with the file, a synthesiser that takes
// the text but stays silent, message boxes that do nothing.
namespace ShownPad {

constexpr int kPadWidth = 600;
constexpr int kPadHeight = 347;

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

// Silent, taking the text as the real synthesiser does.
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
    QList<VoiceInfo> voices() const override { return {}; }
    QString voice() const override { return {}; }
    bool setVoice(const QString &) override { return false; }
    qsizetype m_spokenChars = 0;
    quint64 m_texts = 0;
};

// Counts the paints of a widget.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

struct Window
{
    ChosenFile dialogs;
    Mute synth;
    QuietBoxes messages;
    QWidget buttons;
    QWidget cmdRead{&buttons}, cmdStop{&buttons}, cmdPause{&buttons}, cmdResume{&buttons};
    RichTextPad pad;
    DocumentState state;
    UndoCommands undo{pad, state};
    ReadOut readOut{synth, pad, &cmdRead, &cmdStop, &cmdPause, &cmdResume};
    std::unique_ptr<DocumentCommands> commands;
    PaintCounter paints;

    explicit Window(const QString &path) : dialogs(path)
    {
        QFont font(QStringLiteral("Times New Roman"));
        font.setPointSizeF(12);
        pad.setFont(font);
        pad.document()->setDefaultFont(font);
        pad.resize(kPadWidth, kPadHeight);
        pad.viewport()->installEventFilter(&paints);
        DocumentCommands::Parts parts;
        parts.synth = &synth;
        parts.dialogs = &dialogs;
        parts.messages = &messages;
        parts.pad = &pad;
        parts.state = &state;
        parts.undo = &undo;
        parts.readOut = &readOut;
        commands = std::make_unique<DocumentCommands>(parts);
        pad.show();
        settle();
    }

    // Runs the event loop until a paint of the pad has come and gone.
    void paintOnce()
    {
        const int before = paints.paints;
        pad.viewport()->update();
        while (paints.paints == before)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::processEvents();
    }

    void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

    // Sends a key through the event loop, as the window system would, and waits for
    // it to be handled and painted. Returns the time it took.
    double key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               const QString &text = QString())
    {
        QElapsedTimer clock;
        clock.start();
        bool handled = false;
        QObject marker;
        QCoreApplication::postEvent(&pad, new QKeyEvent(QEvent::KeyPress, key, modifiers, text));
        QMetaObject::invokeMethod(&marker, [&handled] { handled = true; }, Qt::QueuedConnection);
        while (!handled)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        paintOnce();
        return double(clock.nsecsElapsed()) / 1e6;
    }
};

} // namespace ShownPad
