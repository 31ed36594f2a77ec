#include "platform/audio/resampler.h"

#include <samplerate.h>

#include <algorithm>
#include <cmath>

namespace {

// Good enough for speech and several times faster than the best converter.
constexpr int kConverter = SRC_SINC_FASTEST;

} // namespace

Resampler::Resampler(int fromRate, int toRate)
    : m_ratio(double(toRate) / double(fromRate))
{
    int error = 0;
    if (fromRate > 0 && toRate > 0)
        m_state = src_new(kConverter, 1, &error);
}

Resampler::~Resampler()
{
    if (m_state)
        src_delete(m_state);
}

void Resampler::process(const qint16 *samples, qsizetype count, std::vector<qint16> *out)
{
    if (!m_state || count <= 0)
        return;
    m_in.resize(size_t(count));
    src_short_to_float_array(samples, m_in.data(), int(count));
    convert(count, false, out);
}

void Resampler::flush(std::vector<qint16> *out)
{
    if (!m_state)
        return;
    m_in.clear();
    convert(0, true, out);
    src_reset(m_state);
}

void Resampler::convert(qsizetype count, bool last, std::vector<qint16> *out)
{
    SRC_DATA data{};
    data.src_ratio = m_ratio;
    data.end_of_input = last ? 1 : 0;
    qsizetype offset = 0;
    // At the end the filter's tail comes out in several rounds.
    for (;;) {
        m_out.resize(size_t(std::ceil((count - offset) * m_ratio)) + 256);
        data.data_in = m_in.data() + offset;
        data.input_frames = long(count - offset);
        data.data_out = m_out.data();
        data.output_frames = long(m_out.size());
        if (src_process(m_state, &data) != 0)
            return;
        offset += data.input_frames_used;
        const size_t produced = size_t(data.output_frames_gen);
        const size_t at = out->size();
        out->resize(at + produced);
        src_float_to_short_array(m_out.data(), out->data() + at, int(produced));
        if (offset >= count && (!last || produced == 0))
            return;
    }
}
