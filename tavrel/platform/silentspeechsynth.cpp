#include "platform/silentspeechsynth.h"

void SilentSpeechSynth::speak(const QString &) { }
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
