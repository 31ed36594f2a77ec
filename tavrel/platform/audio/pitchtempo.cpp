#include "platform/audio/pitchtempo.h"

#include <sonic.h>

PitchTempo::PitchTempo(int sampleRate)
    : m_sampleRate(sampleRate)
    , m_stream(sonicCreateStream(sampleRate, 1))
{
}

PitchTempo::~PitchTempo()
{
    if (m_stream)
        sonicDestroyStream(m_stream);
}

void PitchTempo::setFactors(double tempo, double pitchFactor, double playbackRate)
{
    if (!m_stream)
        return;
    sonicSetSpeed(m_stream, float(tempo));
    sonicSetPitch(m_stream, float(pitchFactor));
    sonicSetRate(m_stream, float(playbackRate));
}

void PitchTempo::process(const qint16 *samples, qsizetype count, std::vector<qint16> *out)
{
    if (!m_stream)
        return;
    sonicWriteShortToStream(m_stream, const_cast<short *>(samples), int(count));
    take(out);
}

void PitchTempo::flush(std::vector<qint16> *out)
{
    if (!m_stream)
        return;
    sonicFlushStream(m_stream);
    take(out);
}

void PitchTempo::reset()
{
    if (m_stream)
        sonicDestroyStream(m_stream);
    m_stream = sonicCreateStream(m_sampleRate, 1);
}

void PitchTempo::take(std::vector<qint16> *out)
{
    const int ready = sonicSamplesAvailable(m_stream);
    if (ready <= 0)
        return;
    const size_t before = out->size();
    out->resize(before + size_t(ready));
    const int got = sonicReadShortFromStream(m_stream, out->data() + before, ready);
    out->resize(before + size_t(got > 0 ? got : 0));
}
