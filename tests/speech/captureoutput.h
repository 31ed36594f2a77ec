#pragma once

#include "platform/espeak/audiooutput.h"

#include <QtGlobal>

#include <mutex>
#include <vector>

class PcmQueue;

// An output stage that records what a playing device would have taken from the
// queue. Time is the test's to give: advance() lets a stretch of playing time pass.
class CaptureOutput : public AudioOutput
{
public:
    explicit CaptureOutput(PcmQueue &queue) : m_queue(queue) { }

    void play() override { m_playing = true; }
    void suspend() override { m_suspended = true; }
    void resume() override { m_suspended = false; }
    void stop() override { ++m_stops; }
    // What was taken has been heard at once.
    quint64 playedSamples(quint64) const override;
    QString failure() const override;
    void setFailure(const QString &reason);

    // Lets `samples` of playing time pass. A playing device takes what the queue
    // holds, waiting for the synthesiser to catch up, as a real device would find
    // it ahead; a suspended or idle one takes nothing. Returns the samples taken.
    qsizetype advance(qsizetype samples, int timeoutMs = 10000);
    // Plays until the speech has come to its end; false on time-out.
    bool playToEnd(int timeoutMs = 30000);
    // The speech has come to its end: nothing queued, nothing being synthesised.
    bool finished() const;

    PcmQueue &queue() { return m_queue; }
    bool suspended() const { return m_suspended; }
    int stops() const { return m_stops; }

    std::vector<qint16> recorded;

private:
    PcmQueue &m_queue;
    bool m_playing = false;
    bool m_suspended = false;
    int m_stops = 0;
    mutable std::mutex m_failureMutex;
    QString m_failure;
};
