#pragma once

#include <QtGlobal>

#include <vector>

typedef struct SRC_STATE_tag SRC_STATE;

// Converts 16-bit mono audio from one sample rate to another as it streams through
// (libsamplerate), so a voice recorded at one rate plays or is stored at another.
class Resampler
{
public:
    Resampler(int fromRate, int toRate);
    ~Resampler();
    Resampler(const Resampler &) = delete;
    Resampler &operator=(const Resampler &) = delete;

    // False when the converter could not be made; nothing is then produced.
    bool isValid() const { return m_state != nullptr; }
    // Feeds samples in; the converted ones that are ready are appended to out.
    void process(const qint16 *samples, qsizetype count, std::vector<qint16> *out);
    // Pushes out what the filter still holds, at the end of the audio; the
    // converter then starts afresh.
    void flush(std::vector<qint16> *out);

private:
    void convert(qsizetype count, bool last, std::vector<qint16> *out);

    double m_ratio;
    SRC_STATE *m_state = nullptr;
    std::vector<float> m_in;
    std::vector<float> m_out;
};
