#pragma once

#include "platform/speechsynth.h"

#include <functional>
#include <memory>

class QWidget;
class ReadingPieces;
class RichTextPad;

// The read-out: two independent toggles shown by two pairs of buttons sharing a
// place each, "Read It!"/"Stop Read!" and "Pause"/"Resume". Every call to the
// synthesiser is made unconditionally and the buttons are switched after it.
//
// While a text of the pad is read, the word being heard is marked in the pad (when
// highlighting is on), in its place however the text was edited since. A long text
// goes to the synthesiser in pieces as the reading needs them.
class ReadOut : public SpeechListener
{
public:
    ReadOut(SpeechSynth &synth, RichTextPad &pad, QWidget *cmdRead, QWidget *cmdStop,
            QWidget *cmdPause, QWidget *cmdResume);
    ~ReadOut() override;

    void cmdRead_Click();
    void cmdStop_Click();
    void cmdPause_Click();
    void cmdResume_Click();
    // As Read It!, reading from the caret (or the start of the selection) to the end.
    void readFromCaret();
    // As Read It!, reading the selected text only.
    void readSelection();

    // "Stop Read!" shown, as after Read It! (a freshly opened document is read).
    void showStopRead();
    // "Read It!" shown, as after Stop Read! (the pad was cleared).
    void showReadIt();

    void setHighlighting(bool on);
    bool highlighting() const { return m_highlighting; }
    // Shows why speech cannot be heard; called once now if it cannot, and again
    // whenever the reason changes.
    void setNotice(std::function<void(const QString &reason)> notice);

    void wordHeard(quint64 textId, qsizetype start, qsizetype length) override;
    void textEnded(quint64 textId) override;
    void speechBroken(const QString &reason) override;
    void audibilityChanged(const QString &reason) override;

private:
    void read(int start, int end);
    void endReading();
    // Shows the reason unless it was the last shown; an empty one means speech is
    // heard again.
    void tellInaudible(const QString &reason);

    SpeechSynth &m_synth;
    RichTextPad &m_pad;
    QWidget *m_cmdRead;
    QWidget *m_cmdStop;
    QWidget *m_cmdPause;
    QWidget *m_cmdResume;
    bool m_highlighting = true;
    std::unique_ptr<ReadingPieces> m_reading;
    std::function<void(const QString &)> m_notice;
    QString m_lastNotice;
};
