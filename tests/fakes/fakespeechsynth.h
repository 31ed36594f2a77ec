#pragma once

#include "platform/speechsynth.h"

#include <QStringList>

// Records every call in order: "speak:<text>", "pause", "resume", "stop",
// "speed=<n>", "pitch=<n>", "volume=<n>", "language=<n>". Setters can be told to
// reject values.
class FakeSpeechSynth : public SpeechSynth
{
public:
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

    // Only the texts handed to speak, in order.
    QStringList spoken() const;
    QString lastSpoken() const;
    void clear() { m_calls.clear(); }

    QStringList m_calls;
    int m_speed = 150;
    int m_pitch = 100;
    int m_volume = 100;
    bool m_rejectValues = false;
};
