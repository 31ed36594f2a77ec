#include "formatting/colourcommands.h"

#include "platform/commondialog.h"
#include "platform/richtextpad.h"
#include "platform/speechsynth.h"

#include <chromel/palette.h>

#include <QWidget>

ColourCommands::ColourCommands(SpeechSynth &synth, RichTextPad &pad, CommonDialog &dialogs,
                               QWidget &picFontColor)
    : m_synth(synth)
    , m_pad(pad)
    , m_dialogs(dialogs)
    , m_picFontColor(picFontColor)
{
}

void ColourCommands::fontColor()
{
    m_synth.speak(QStringLiteral("Please choose your text font color"));
    // The dialog is not primed with the selection's colour; after Cancel it still
    // holds its previous colour, and that colour is applied all the same.
    m_dialogs.setFlags(ColorDialogFlags);
    m_dialogs.showColor();
    const QColor color = m_dialogs.color();
    if (!color.isValid())
        return;
    // The swatch fills itself with the colour of its background role, which it takes
    // from the toolbar it sits on.
    QPalette palette = m_picFontColor.palette();
    palette.setColor(m_picFontColor.backgroundRole(), color);
    m_picFontColor.setPalette(palette);
    m_picFontColor.setAutoFillBackground(true);
    m_pad.setSelColor(color);
}

void ColourCommands::clrSelect1_Click(int selectedColor)
{
    m_synth.speak(QStringLiteral("Your text background color have changed"));
    // The control keeps its index within the table; anything else has no colour
    // and leaves the background alone.
    const QColor color = Chromel::paletteColor(selectedColor);
    if (color.isValid())
        m_pad.setBackColor(color);
}
