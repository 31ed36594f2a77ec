#pragma once

#include "platform/speechsynth.h"

#include <QByteArray>
#include <QTimer>

#include <functional>
#include <memory>

class AudioOutput;
class PcmQueue;
class SpeechTimeline;
class SynthWorker;

// The speech synthesiser on espeak-ng, which also speaks with Flite's voices: the
// voice chosen names its engine, and every engine's audio goes through the same
// queue, output and timeline. speak() hands the text to a synthesis thread
// and returns; the thread synthesises clause by clause into a queue holding a
// couple of seconds of audio, which the output stage plays. Without an audio
// device nothing is synthesised, and everything else still works, silently; each
// text looks for an output afresh, so a sound server that appears later is used.
// The listener hears of each word as the output's played-sample clock reaches it.
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

    quint64 speak(const QString &text) override;
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
    void setListener(SpeechListener *listener) override { m_listener = listener; }
    QString inaudibleReason() const override;
    QList<VoiceInfo> voices() const override;
    QString voice() const override { return m_voice; }
    bool setVoice(const QString &id) override;

    // Whether there is an output to play to.
    bool hasOutput() const { return m_output != nullptr; }
    // Sees the audio as it is queued for playing, on the synthesis thread.
    void setSynthesisTap(std::function<void(const qint16 *samples, qsizetype count)> tap);

    static std::unique_ptr<AudioOutput> defaultOutput(PcmQueue &queue, int sampleRate);

private:
    void applyVoice();
    // Makes the output and the synthesis thread when there are none yet.
    void ensureOutput();
    // Tells the listener what the played audio has reached.
    void followPlayback();
    // The output failed: the reading ends as by stop(), and the output is let go.
    void breakOff(const QString &reason);
    void reportAudibility();
    // Tells, from the event loop, that the texts up to `lastId` ended unheard.
    void endUnheard(quint64 lastId);

    int m_speed = 150;
    int m_pitch = 100;
    int m_volume = 100;
    OutputFactory m_makeOutput;
    QByteArray m_voiceDataPath;
    QString m_voice;
    SpeechListener *m_listener = nullptr;
    quint64 m_lastTextId = 0;
    quint64 m_lastEndedId = 0;
    QString m_outputFailure;
    QString m_reportedReason;
    QTimer m_follow;
    std::unique_ptr<SpeechTimeline> m_timeline;
    // Read from the data folder when first asked for.
    mutable QList<VoiceInfo> m_voices;
    std::unique_ptr<PcmQueue> m_queue;
    std::unique_ptr<AudioOutput> m_output;
    std::unique_ptr<SynthWorker> m_worker;
};
