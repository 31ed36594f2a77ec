#pragma once

#include <QtGlobal>

#include <deque>
#include <mutex>
#include <vector>

// Where in the queued audio each word begins and each text ends, so that they can be
// told when that audio is heard rather than when it is synthesised. The synthesis
// thread adds marks as it goes; the thread that follows the played audio takes the
// marks it has reached. Positions are samples written to the PcmQueue in one of its
// generations; marks of another generation are dropped.
class SpeechTimeline
{
public:
    struct Mark {
        quint64 generation = 0;
        quint64 sample = 0;
        quint64 textId = 0;
        qsizetype start = 0;
        qsizetype length = 0;
        // The end of the text rather than a word.
        bool end = false;
    };

    void add(const Mark &mark);
    // The audio of text `textId` from `sample` on was taken back from the queue.
    void takeBack(quint64 generation, quint64 textId, quint64 sample);
    // Removes and returns, in order, the marks of `generation` that `playedSamples`
    // heard samples have reached; marks of other generations are dropped.
    std::vector<Mark> reached(quint64 generation, quint64 playedSamples);
    bool isEmpty() const;
    void clear();

private:
    mutable std::mutex m_mutex;
    std::deque<Mark> m_marks;
};
