#pragma once

#include <QString>

class QAction;
class RichTextPad;
class SpeechSynth;

// Superscript, subscript and the normal position of the selection. Each command
// raises or lowers the selection by a fixed length, gives it a fixed size, and
// moves the check mark to its own menu item: the marks record the last command
// given, not the text under the caret.
class ScriptCommands
{
public:
    ScriptCommands(SpeechSynth &synth, RichTextPad &pad, QAction &superScript,
                   QAction &subscript, QAction &nonScript);

    void sSuperScript();
    void sSubscript();
    void sNonScript();

private:
    void apply(const QString &sentence, int offsetTwips, double points, QAction &checked);

    SpeechSynth &m_synth;
    RichTextPad &m_pad;
    QAction &m_superScript;
    QAction &m_subscript;
    QAction &m_nonScript;
};
