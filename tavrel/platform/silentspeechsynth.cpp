#include "platform/silentspeechsynth.h"

quint64 SilentSpeechSynth::speak(const QString &)
{
    return ++m_lastTextId;
}
void SilentSpeechSynth::pause() { }
void SilentSpeechSynth::resume() { }
void SilentSpeechSynth::stop() { }

bool SilentSpeechSynth::setSpeed(int wordsPerMinute)
{
    m_speed = wordsPerMinute;
    return true;
}

bool SilentSpeechSynth::setPitch(int hertz)
{
    m_pitch = hertz;
    return true;
}

bool SilentSpeechSynth::setVolume(int percent)
{
    m_volume = percent;
    return true;
}

void SilentSpeechSynth::selectLanguage(int) { }

QString SilentSpeechSynth::inaudibleReason() const
{
    return QStringLiteral("The speech synthesiser could not be started.");
}
