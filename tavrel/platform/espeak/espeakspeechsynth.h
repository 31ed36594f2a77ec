#pragma once

#include "platform/speechsynth.h"

#include <QByteArray>

#include <functional>
#include <memory>

class AudioOutput;
class PcmQueue;
class SynthWorker;

// The speech synthesiser on espeak-ng. speak() hands the text to a synthesis thread
// and returns; the thread synthesises clause by clause into a queue holding a
// couple of seconds of audio, which the output stage plays. Without an audio
// device nothing is synthesised, and everything else still works, silently.
class EspeakSpeechSynth : public SpeechSynth
{
public:
    using OutputFactory =
        std::function<std::unique_ptr<AudioOutput>(PcmQueue &queue, int sampleRate)>;

    struct Options {
        // espeak-ng's data folder; empty for the system's.
        QByteArray voiceDataPath;
        // Makes the output stage; when unset, the system's default audio output is
        // used. A factory returning nullptr means there is no device.
        OutputFactory output;
        // How much audio may be synthesised ahead of playback, in milliseconds. It
        // bounds the memory; it does not delay a new speed or pitch, which takes back
        // the audio not yet played.
        int lookAheadMs = 2000;
    };

    // Plays through the system's default audio output.
    EspeakSpeechSynth();
    explicit EspeakSpeechSynth(Options options);
    ~EspeakSpeechSynth() override;

    void speak(const QString &text) override;
    void pause() override;
    void resume() override;
    void stop() override;

    int speed() const override { return m_speed; }
    bool setSpeed(int wordsPerMinute) override;
    int pitch() const override { return m_pitch; }
    bool setPitch(int hertz) override;
    int volume() const override { return m_volume; }
    bool setVolume(int percent) override;
    void selectLanguage(int languageId) override;

    // Whether there is an output to play to.
    bool hasOutput() const { return m_output != nullptr; }
    // Sees the audio as it is queued for playing, on the synthesis thread.
    void setSynthesisTap(std::function<void(const qint16 *samples, qsizetype count)> tap);

    static std::unique_ptr<AudioOutput> defaultOutput(PcmQueue &queue, int sampleRate);

private:
    void applyVoice();

    int m_speed = 150;
    int m_pitch = 100;
    int m_volume = 100;
    std::unique_ptr<PcmQueue> m_queue;
    std::unique_ptr<AudioOutput> m_output;
    std::unique_ptr<SynthWorker> m_worker;
};
