#include "speech/readout.h"

#include "platform/richtextpad.h"
#include "platform/speechsynth.h"

#include <QWidget>

ReadOut::ReadOut(SpeechSynth &synth, RichTextPad &pad, QWidget *cmdRead, QWidget *cmdStop,
                 QWidget *cmdPause, QWidget *cmdResume)
    : m_synth(synth)
    , m_pad(pad)
    , m_cmdRead(cmdRead)
    , m_cmdStop(cmdStop)
    , m_cmdPause(cmdPause)
    , m_cmdResume(cmdResume)
{
}

void ReadOut::cmdRead_Click()
{
    // The whole text goes over unchanged, also when it is empty.
    m_synth.speak(m_pad.text());
    showStopRead();
}

void ReadOut::cmdStop_Click()
{
    m_synth.stop();
    showReadIt();
}

void ReadOut::cmdPause_Click()
{
    m_synth.pause();
    m_cmdResume->show();
    m_cmdPause->hide();
}

void ReadOut::cmdResume_Click()
{
    m_synth.resume();
    m_cmdResume->hide();
    m_cmdPause->show();
}

void ReadOut::showStopRead()
{
    m_cmdRead->hide();
    m_cmdStop->show();
}

void ReadOut::showReadIt()
{
    m_cmdStop->hide();
    m_cmdRead->show();
}
