#pragma once

#include "platform/speechsynth.h"

// A synthesiser that speaks nothing: it keeps its values so that the program
// behaves the same, only silently. Used when no real synthesiser can be had.
class SilentSpeechSynth : public SpeechSynth
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
    void setListener(SpeechListener *) override { }
    QString inaudibleReason() const override;
    // It has no voices to choose from and refuses every id.
    QList<VoiceInfo> voices() const override { return {}; }
    QString voice() const override { return {}; }
    bool setVoice(const QString &) override { return false; }

private:
    quint64 m_lastTextId = 0;
    int m_speed = 150;
    int m_pitch = 100;
    int m_volume = 100;
};
