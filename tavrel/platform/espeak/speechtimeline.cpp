#include "platform/espeak/speechtimeline.h"

#include <algorithm>

void SpeechTimeline::add(const Mark &mark)
{
    std::lock_guard lock(m_mutex);
    m_marks.push_back(mark);
}

void SpeechTimeline::takeBack(quint64 generation, quint64 textId, quint64 sample)
{
    std::lock_guard lock(m_mutex);
    m_marks.erase(std::remove_if(m_marks.begin(), m_marks.end(),
                                 [&](const Mark &m) {
                                     return m.generation == generation && m.textId == textId
                                         && m.sample >= sample;
                                 }),
                  m_marks.end());
}

std::vector<SpeechTimeline::Mark> SpeechTimeline::reached(quint64 generation,
                                                           quint64 playedSamples)
{
    std::vector<Mark> due;
    std::lock_guard lock(m_mutex);
    while (!m_marks.empty()) {
        const Mark &m = m_marks.front();
        if (m.generation == generation) {
            // A word is reached once its first sample has been heard; an end once
            // every sample before it has.
            if (m.end ? m.sample > playedSamples : m.sample >= playedSamples)
                break;
            due.push_back(m);
        }
        m_marks.pop_front();
    }
    return due;
}

bool SpeechTimeline::isEmpty() const
{
    std::lock_guard lock(m_mutex);
    return m_marks.empty();
}

void SpeechTimeline::clear()
{
    std::lock_guard lock(m_mutex);
    m_marks.clear();
}
