#include "formatting/casecommands.h"

#include "platform/richtextpad.h"
#include "platform/speechsynth.h"

CaseCommands::CaseCommands(SpeechSynth &synth, RichTextPad &pad)
    : m_synth(synth)
    , m_pad(pad)
{
}

void CaseCommands::upperMe()
{
    m_synth.speak(QStringLiteral("Upper case your text"));
    m_pad.convertSelText([](const QString &text) { return text.toUpper(); });
}

void CaseCommands::lowerMe()
{
    m_synth.speak(QStringLiteral("Lower case your text"));
    m_pad.convertSelText([](const QString &text) { return text.toLower(); });
}
