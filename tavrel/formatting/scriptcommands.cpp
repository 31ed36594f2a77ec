#include "formatting/scriptcommands.h"

#include "platform/richtextpad.h"
#include "platform/speechsynth.h"

#include <QAction>

ScriptCommands::ScriptCommands(SpeechSynth &synth, RichTextPad &pad, QAction &superScript,
                               QAction &subscript, QAction &nonScript)
    : m_synth(synth)
    , m_pad(pad)
    , m_superScript(superScript)
    , m_subscript(subscript)
    , m_nonScript(nonScript)
{
}

void ScriptCommands::apply(const QString &sentence, int offsetTwips, double points,
                           QAction &checked)
{
    m_synth.speak(sentence);
    m_pad.setSelCharOffset(offsetTwips);
    m_pad.setSelFontSize(points);
    m_superScript.setChecked(&checked == &m_superScript);
    m_subscript.setChecked(&checked == &m_subscript);
    m_nonScript.setChecked(&checked == &m_nonScript);
}

void ScriptCommands::sSuperScript()
{
    apply(QStringLiteral("Superscript your text"), 55, 7, m_superScript);
}

void ScriptCommands::sSubscript()
{
    // Lowered by 50 twips, a little less than superscript raises.
    apply(QStringLiteral("Subscript your text"), -50, 7, m_subscript);
}

void ScriptCommands::sNonScript()
{
    // Back on the baseline at 12 points, whatever size the text had before.
    apply(QStringLiteral("Give your text as a normal"), 0, 12, m_nonScript);
}
