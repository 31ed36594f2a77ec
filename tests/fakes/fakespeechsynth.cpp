#include "fakes/fakespeechsynth.h"

quint64 FakeSpeechSynth::speak(const QString &text)
{
    m_calls << QStringLiteral("speak:") + text;
    return ++m_lastTextId;
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

bool FakeSpeechSynth::setVoice(const QString &id)
{
    m_calls << QStringLiteral("voice=%1").arg(id);
    for (const VoiceInfo &voice : std::as_const(m_voices)) {
        if (voice.id == id) {
            m_voice = id;
            return true;
        }
    }
    return false;
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

void FakeSpeechSynth::hearWord(quint64 textId, qsizetype start, qsizetype length)
{
    if (m_listener)
        m_listener->wordHeard(textId, start, length);
}

void FakeSpeechSynth::endText(quint64 textId)
{
    if (m_listener)
        m_listener->textEnded(textId);
}

void FakeSpeechSynth::breakSpeech(const QString &reason)
{
    if (m_listener)
        m_listener->speechBroken(reason);
}

void FakeSpeechSynth::setInaudible(const QString &reason)
{
    m_inaudibleReason = reason;
    if (m_listener)
        m_listener->audibilityChanged(reason);
}
