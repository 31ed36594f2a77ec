#pragma once

#include <QtGlobal>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

// A bounded first-in first-out store of 16-bit mono samples between the synthesis
// thread (the writer) and the audio output (the reader). The writer blocks while
// the store is full, which keeps the look-ahead, and so the memory, fixed however
// long the text. clear() drops everything and starts a new generation: writes made
// for an older generation are refused, which is how a stop reaches a writer that
// is still busy with the old text.
class PcmQueue
{
public:
    explicit PcmQueue(qsizetype capacity);

    qsizetype capacity() const { return qsizetype(m_ring.size()); }
    quint64 generation() const { return m_generation.load(); }

    // Appends all samples, waiting for room as needed. Returns false, having
    // written nothing more, as soon as `generation` is no longer current.
    bool write(const qint16 *samples, qsizetype count, quint64 generation);
    // Takes up to maxCount samples; never waits.
    qsizetype read(qint16 *dest, qsizetype maxCount);
    // The same, but only while `generation` is current: a reader that has not yet
    // seen a clear() takes nothing of the new generation's audio.
    qsizetype read(qint16 *dest, qsizetype maxCount, quint64 generation);
    qsizetype available() const;

    // Counts of the samples written and read in this generation.
    quint64 writtenTotal() const;
    quint64 readTotal() const;
    // Takes back everything written after the first `mark` samples, provided none
    // of it has been read yet; false (and nothing changed) otherwise.
    bool takeBack(quint64 mark, quint64 generation);

    // Drops everything held, refuses the writes of the old generation and wakes
    // a waiting writer. Returns the new generation.
    quint64 clear();

    // Whether the producer has nothing to synthesise: with an empty store this
    // means the speech has come to its end.
    void setProducerIdle(bool idle) { m_producerIdle.store(idle); }
    bool producerIdle() const { return m_producerIdle.load(); }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_space;
    std::vector<qint16> m_ring;
    qsizetype m_head = 0; // next sample to read
    qsizetype m_size = 0;
    int m_waitingWriters = 0;
    quint64 m_writtenTotal = 0;
    quint64 m_readTotal = 0;
    std::atomic<quint64> m_generation{1};
    std::atomic<bool> m_producerIdle{true};
};
