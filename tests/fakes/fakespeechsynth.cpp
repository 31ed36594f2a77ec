#include "fakes/fakespeechsynth.h"

void FakeSpeechSynth::speak(const QString &text)
{
    m_calls << QStringLiteral("speak:") + text;
}

void FakeSpeechSynth::pause()
{
    m_calls << QStringLiteral("pause");
}

void FakeSpeechSynth::resume()
{
    m_calls << QStringLiteral("resume");
}

void FakeSpeechSynth::stop()
{
    m_calls << QStringLiteral("stop");
}

bool FakeSpeechSynth::setSpeed(int wordsPerMinute)
{
    m_calls << QStringLiteral("speed=%1").arg(wordsPerMinute);
    if (m_rejectValues)
        return false;
    m_speed = wordsPerMinute;
    return true;
}

bool FakeSpeechSynth::setPitch(int hertz)
{
    m_calls << QStringLiteral("pitch=%1").arg(hertz);
    if (m_rejectValues)
        return false;
    m_pitch = hertz;
    return true;
}

bool FakeSpeechSynth::setVolume(int percent)
{
    m_calls << QStringLiteral("volume=%1").arg(percent);
    if (m_rejectValues)
        return false;
    m_volume = percent;
    return true;
}

void FakeSpeechSynth::selectLanguage(int languageId)
{
    m_calls << QStringLiteral("language=%1").arg(languageId);
}

QStringList FakeSpeechSynth::spoken() const
{
    QStringList texts;
    for (const QString &call : m_calls) {
        if (call.startsWith(QLatin1String("speak:")))
            texts << call.mid(6);
    }
    return texts;
}

QString FakeSpeechSynth::lastSpoken() const
{
    const QStringList texts = spoken();
    return texts.isEmpty() ? QString() : texts.constLast();
}
