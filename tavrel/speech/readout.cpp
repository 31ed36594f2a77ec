#include "speech/readout.h"

#include "platform/richtextpad.h"
#include "speech/readingpieces.h"

#include <QTextDocument>
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
    m_synth.setListener(this);
}

ReadOut::~ReadOut()
{
    m_synth.setListener(nullptr);
}

void ReadOut::cmdRead_Click()
{
    // The whole text goes over unchanged, also when it is empty.
    read(0, m_pad.document()->characterCount() - 1);
}

void ReadOut::readFromCaret()
{
    read(m_pad.selStart(), m_pad.document()->characterCount() - 1);
}

void ReadOut::readSelection()
{
    read(m_pad.selStart(), m_pad.selStart() + m_pad.selLength());
}

void ReadOut::read(int start, int end)
{
    endReading();
    m_reading = std::make_unique<ReadingPieces>(m_synth, m_pad, start, end);
    showStopRead();
}

void ReadOut::endReading()
{
    m_reading.reset();
    m_pad.clearReadingMark();
}

void ReadOut::cmdStop_Click()
{
    m_synth.stop();
    endReading();
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

void ReadOut::setHighlighting(bool on)
{
    m_highlighting = on;
    if (!on)
        m_pad.clearReadingMark();
}

void ReadOut::setNotice(std::function<void(const QString &)> notice)
{
    m_notice = std::move(notice);
    m_lastNotice.clear();
    tellInaudible(m_synth.inaudibleReason());
}

void ReadOut::tellInaudible(const QString &reason)
{
    if (reason == m_lastNotice)
        return;
    m_lastNotice = reason;
    if (m_notice && !reason.isEmpty())
        m_notice(reason);
}

void ReadOut::wordHeard(quint64 textId, qsizetype start, qsizetype length)
{
    if (!m_reading || !m_highlighting)
        return;
    const std::optional<int> from = m_reading->position(textId, start);
    if (!from)
        return;
    const int to = *m_reading->position(textId, start + length);
    if (*from < 0 || to <= *from)
        m_pad.clearReadingMark();
    else
        m_pad.setReadingMark(*from, to - *from);
}

void ReadOut::textEnded(quint64 textId)
{
    // Other texts (the commands' sentences) may follow the reading or come between
    // its pieces; the mark goes with the reading's own end.
    if (m_reading && m_reading->textEnded(textId))
        endReading();
}

void ReadOut::speechBroken(const QString &reason)
{
    // As Stop Read! would, the synthesiser having stopped by itself.
    endReading();
    showReadIt();
    tellInaudible(reason);
}

void ReadOut::audibilityChanged(const QString &reason)
{
    tellInaudible(reason);
}
