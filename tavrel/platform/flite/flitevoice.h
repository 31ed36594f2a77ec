#pragma once

#include "platform/audio/clausevoice.h"
#include "platform/voiceinfo.h"

#include <QByteArray>
#include <QList>

#include <memory>
#include <vector>

class PitchTempo;
class Resampler;

// A Flite voice (slt, awb, rms, kal16). Flite renders the speed itself (by stretching
// its durations); the pitch is shifted afterwards, since its voices do not all follow
// a base pitch, and the audio is brought to the pipeline's rate. Word positions come
// from the segments of the synthesised utterance. Every use of the library in the
// process goes through one lock.
class FliteVoice : public ClauseVoice
{
public:
    // name: the voice's short name, "slt".
    explicit FliteVoice(const QByteArray &name);
    ~FliteVoice() override;
    FliteVoice(const FliteVoice &) = delete;
    FliteVoice &operator=(const FliteVoice &) = delete;

    // The Flite voices the program offers, all English.
    static QList<VoiceInfo> installedVoices();
    // The short name of a voice id ("flite:slt"); empty for an id of another engine.
    static QByteArray voiceName(const QString &id);

    bool prepare() override;
    Result speak(QStringView text, bool pauseAfter, int wordsPerMinute, int hertz,
                 int percent, const PcmSink &sink, const WordSink &words = {}) override;

private:
    QByteArray m_name;
    std::unique_ptr<PitchTempo> m_shifter;
    std::unique_ptr<Resampler> m_resampler;
    // The rate the shifter and the resampler were made for.
    int m_rate = 0;
    std::vector<qint16> m_shifted;
    std::vector<qint16> m_resampled;
};
