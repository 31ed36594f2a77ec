#include "captureoutput.h"

#include "platform/espeak/pcmqueue.h"

#include <QDeadlineTimer>
#include <QThread>

bool CaptureOutput::finished() const
{
    return m_queue.available() == 0 && m_queue.producerIdle();
}

qsizetype CaptureOutput::advance(qsizetype samples, int timeoutMs)
{
    if (!m_playing || m_suspended)
        return 0;
    QDeadlineTimer deadline(timeoutMs);
    qsizetype taken = 0;
    qint16 block[1024];
    while (taken < samples) {
        const qsizetype n = m_queue.read(block, std::min<qsizetype>(1024, samples - taken));
        if (n > 0) {
            recorded.insert(recorded.end(), block, block + n);
            taken += n;
            continue;
        }
        if (finished() || deadline.hasExpired())
            break;
        QThread::usleep(200);
    }
    return taken;
}

bool CaptureOutput::playToEnd(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!finished()) {
        if (deadline.hasExpired() || m_suspended || !m_playing)
            return false;
        advance(22050, int(std::max<qint64>(deadline.remainingTime(), 1)));
    }
    return true;
}

quint64 CaptureOutput::playedSamples(quint64) const
{
    return m_queue.readTotal();
}

QString CaptureOutput::failure() const
{
    std::lock_guard lock(m_failureMutex);
    return m_failure;
}

void CaptureOutput::setFailure(const QString &reason)
{
    std::lock_guard lock(m_failureMutex);
    m_failure = reason;
}
