#pragma once

#include <QList>
#include <QMetaObject>
#include <QString>

#include <memory>

class CommonDialog;
class QComboBox;
class RichTextPad;
class SpeechSynth;

// Font name and size: the font-name box (every installed font; a choice sets the
// pad's own font), the size box (1 to 100; a choice sets the selection's size, and
// typed text is checked character by character but never applied) and the font
// dialog, primed from the selection and applied back to it.
class FontCommands
{
public:
    // Flags of the font dialog: screen and printer fonts, Help, effects and Apply.
    static constexpr int FontDialogFlags = 791;

    FontCommands(SpeechSynth &synth, RichTextPad &pad, CommonDialog &dialogs,
                 QComboBox &combo1, QComboBox &fntSize);
    ~FontCommands();
    FontCommands(const FontCommands &) = delete;
    FontCommands &operator=(const FontCommands &) = delete;

    // Start-up: the font names, then the sizes and the texts both boxes show. The
    // size box starts with the window's own font size, which the check turns into
    // "12" unless it is a whole number.
    void fillFontNames();
    void fillFontSizes(double windowFontPoints);

    // A font name chosen from the list.
    void combo1_Click();
    // The size box's text changed, typed or set by the program.
    void fntSize_Change();
    // A size chosen from the list.
    void fntSize_Click();
    // Format > Font.
    void fontMe();

    // What the size box keeps of a text: the text itself when it is made of the
    // digits 0 to 9 and does not start with 0, otherwise "12". Empty stays empty.
    static QString checkedSizeText(const QString &text);

private:
    SpeechSynth &m_synth;
    RichTextPad &m_pad;
    CommonDialog &m_dialogs;
    QComboBox &m_combo1;
    QComboBox &m_fntSize;
    class TypingHold;
    std::unique_ptr<TypingHold> m_typingHold;
    QList<QMetaObject::Connection> m_connections;
};
