#pragma once

class CommonDialog;
class QWidget;
class RichTextPad;
class SpeechSynth;

// The two colour commands: the font colour, chosen in the colour dialog for the
// selection and shown on the toolbar's swatch, and the pad's background, picked
// as an entry of the colour selector's 16-colour table.
class ColourCommands
{
public:
    // Flags of the colour dialog: open with the custom colours shown.
    static constexpr int ColorDialogFlags = 2;

    ColourCommands(SpeechSynth &synth, RichTextPad &pad, CommonDialog &dialogs,
                   QWidget &picFontColor);

    // Double click on the swatch, or the toolbar's "Font Color".
    void fontColor();
    // The colour selector reported a pick; `selectedColor` is its table index.
    void clrSelect1_Click(int selectedColor);

private:
    SpeechSynth &m_synth;
    RichTextPad &m_pad;
    CommonDialog &m_dialogs;
    QWidget &m_picFontColor;
};
