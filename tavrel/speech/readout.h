#pragma once

class QWidget;
class RichTextPad;
class SpeechSynth;

// The read-out: two independent toggles shown by two pairs of buttons sharing a
// place each, "Read It!"/"Stop Read!" and "Pause"/"Resume". Every call to the
// synthesiser is made unconditionally and the buttons are switched after it.
class ReadOut
{
public:
    ReadOut(SpeechSynth &synth, RichTextPad &pad, QWidget *cmdRead, QWidget *cmdStop,
            QWidget *cmdPause, QWidget *cmdResume);

    void cmdRead_Click();
    void cmdStop_Click();
    void cmdPause_Click();
    void cmdResume_Click();

    // "Stop Read!" shown, as after Read It! (a freshly opened document is read).
    void showStopRead();
    // "Read It!" shown, as after Stop Read! (the pad was cleared).
    void showReadIt();

private:
    SpeechSynth &m_synth;
    RichTextPad &m_pad;
    QWidget *m_cmdRead;
    QWidget *m_cmdStop;
    QWidget *m_cmdPause;
    QWidget *m_cmdResume;
};
