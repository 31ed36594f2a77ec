#include "platform/espeak/pcmqueue.h"

#include <algorithm>
#include <cstring>

PcmQueue::PcmQueue(qsizetype capacity)
    : m_ring(size_t(std::max<qsizetype>(capacity, 1)))
{
}

bool PcmQueue::write(const qint16 *samples, qsizetype count, quint64 generation)
{
    std::unique_lock lock(m_mutex);
    const qsizetype cap = capacity();
    while (count > 0) {
        if (m_size == cap && m_generation.load() == generation) {
            ++m_waitingWriters;
            m_space.wait(lock, [&] { return m_size < cap || m_generation.load() != generation; });
            --m_waitingWriters;
        }
        if (m_generation.load() != generation)
            return false;
        const qsizetype tail = (m_head + m_size) % cap;
        const qsizetype n = std::min({count, cap - m_size, cap - tail});
        std::memcpy(m_ring.data() + tail, samples, size_t(n) * sizeof(qint16));
        m_size += n;
        m_writtenTotal += quint64(n);
        samples += n;
        count -= n;
    }
    return true;
}

qsizetype PcmQueue::read(qint16 *dest, qsizetype maxCount)
{
    return read(dest, maxCount, 0);
}

qsizetype PcmQueue::read(qint16 *dest, qsizetype maxCount, quint64 generation)
{
    qsizetype taken = 0;
    bool wake = false;
    {
        std::lock_guard lock(m_mutex);
        if (generation != 0 && generation != m_generation.load())
            return 0;
        const qsizetype cap = capacity();
        while (taken < maxCount && m_size > 0) {
            const qsizetype n = std::min({maxCount - taken, m_size, cap - m_head});
            std::memcpy(dest + taken, m_ring.data() + m_head, size_t(n) * sizeof(qint16));
            m_head = (m_head + n) % cap;
            m_size -= n;
            taken += n;
            m_readTotal += quint64(n);
        }
        wake = taken > 0 && m_waitingWriters > 0;
    }
    if (wake)
        m_space.notify_all();
    return taken;
}

quint64 PcmQueue::writtenTotal() const
{
    std::lock_guard lock(m_mutex);
    return m_writtenTotal;
}

quint64 PcmQueue::readTotal() const
{
    std::lock_guard lock(m_mutex);
    return m_readTotal;
}

bool PcmQueue::takeBack(quint64 mark, quint64 generation)
{
    std::lock_guard lock(m_mutex);
    if (generation != m_generation.load() || m_readTotal > mark || mark > m_writtenTotal)
        return false;
    m_size -= qsizetype(m_writtenTotal - mark);
    m_writtenTotal = mark;
    return true;
}

qsizetype PcmQueue::available() const
{
    std::lock_guard lock(m_mutex);
    return m_size;
}

quint64 PcmQueue::clear()
{
    quint64 next;
    {
        std::lock_guard lock(m_mutex);
        next = m_generation.load() + 1;
        m_generation.store(next);
        m_head = 0;
        m_size = 0;
        m_writtenTotal = 0;
        m_readTotal = 0;
    }
    m_space.notify_all();
    return next;
}
