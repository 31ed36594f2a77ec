#pragma once

class RichTextPad;
class SpeechSynth;

// Upper and lower case of the selection. Every letter is converted, not only
// ASCII ones, with the full case mappings ("ß" becomes "SS"); other characters stay.
// Each run keeps its own formatting, and the converted text stays selected. The
// program makes the change, not the user's typing, so no undo snapshot is taken.
class CaseCommands
{
public:
    CaseCommands(SpeechSynth &synth, RichTextPad &pad);

    void upperMe();
    void lowerMe();

private:
    SpeechSynth &m_synth;
    RichTextPad &m_pad;
};
