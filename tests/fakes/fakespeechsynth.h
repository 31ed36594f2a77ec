#pragma once

#include "platform/speechsynth.h"

#include <QStringList>

// Records every call in order: "speak:<text>", "pause", "resume", "stop",
// "speed=<n>", "pitch=<n>", "volume=<n>", "language=<n>", "voice=<id>". Setters can
// be told to reject values. The test plays the part of the audio: it tells the
// listener which word is heard, when a text ends and when the sound breaks.
class FakeSpeechSynth : public SpeechSynth
{
public:
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
    QString inaudibleReason() const override { return m_inaudibleReason; }
    QList<VoiceInfo> voices() const override { return m_voices; }
    QString voice() const override { return m_voice; }
    // Takes the ids of m_voices only.
    bool setVoice(const QString &id) override;

    // Notifies the listener as the real synthesiser would from its event loop.
    void hearWord(quint64 textId, qsizetype start, qsizetype length);
    void endText(quint64 textId);
    void breakSpeech(const QString &reason);
    void setInaudible(const QString &reason);
    quint64 lastTextId() const { return m_lastTextId; }

    // Only the texts handed to speak, in order.
    QStringList spoken() const;
    QString lastSpoken() const;
    void clear() { m_calls.clear(); }

    QStringList m_calls;
    int m_speed = 150;
    int m_pitch = 100;
    int m_volume = 100;
    QList<VoiceInfo> m_voices{{Voices::defaultId(), QStringLiteral("English (America)"),
                               QStringLiteral("en-us"), QStringLiteral("English")},
                              {QStringLiteral("espeak-ng:gmw/de"), QStringLiteral("German"),
                               QStringLiteral("de"), QStringLiteral("German")},
                              {QStringLiteral("espeak-ng:gmw/en"),
                               QStringLiteral("English (Great Britain)"), QStringLiteral("en"),
                               QStringLiteral("English")}};
    QString m_voice = Voices::defaultId();
    bool m_rejectValues = false;
    SpeechListener *m_listener = nullptr;
    QString m_inaudibleReason;
    quint64 m_lastTextId = 0;
};
