#pragma once

#include <QtGlobal>

#include <vector>

struct sonicStreamStruct;

// Changes the tempo and the pitch of 16-bit mono audio independently of each other
// (libsonic), for the speeds and pitches espeak-ng cannot produce itself.
class PitchTempo
{
public:
    explicit PitchTempo(int sampleRate);
    ~PitchTempo();
    PitchTempo(const PitchTempo &) = delete;
    PitchTempo &operator=(const PitchTempo &) = delete;

    // tempo below 1 slows down; pitchFactor above 1 raises the pitch; playbackRate
    // below 1 plays slower and lower.
    void setFactors(double tempo, double pitchFactor, double playbackRate);
    // Feeds samples in; the processed ones that are ready are appended to out.
    void process(const qint16 *samples, qsizetype count, std::vector<qint16> *out);
    // Pushes out what is still held back, at the end of a stretch of speech.
    void flush(std::vector<qint16> *out);
    // Forgets what was fed in and not yet taken.
    void reset();

private:
    void take(std::vector<qint16> *out);

    int m_sampleRate;
    sonicStreamStruct *m_stream = nullptr;
};
