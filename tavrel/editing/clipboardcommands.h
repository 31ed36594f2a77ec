#pragma once

#include <QString>

class QClipboard;
class RichTextPad;
class SpeechSynth;
class UndoCommands;

// Cut, Copy, Paste, Delete and Select All of the pad, in the two forms the window
// offers. The menu form (Edit menu, its keys, the pop-up menu) announces Copy, Paste
// and Select All aloud; the toolbar form is silent and leaves the focus where it is.
// The clipboard carries plain text: copied text leaves its formatting behind, pasted
// text takes the formatting at the caret. Only the menu's Cut empties the clipboard
// first; every other command puts its text beside what else the clipboard holds (a
// picture, say). Each command that changes the text records one undo snapshot first,
// so that one Undo takes back exactly that command.
class ClipboardCommands
{
public:
    ClipboardCommands(SpeechSynth &synth, RichTextPad &pad, UndoCommands &undo,
                      QClipboard &clipboard);

    // The menu form.
    void cutMe();
    void copyMe();
    void pasteMe();
    // Deletes the selection through the pad's own editing; without one, nothing.
    void deleteMe();
    void selectMe();

    // The toolbar form.
    void toolbarCut();
    void toolbarCopy();
    void toolbarPaste();

private:
    // Puts `text` on the clipboard beside its formats other than text.
    void addText(const QString &text);
    // Replaces the selection by `text`, with a snapshot first when that changes
    // anything.
    void replaceSelection(const QString &text);

    SpeechSynth &m_synth;
    RichTextPad &m_pad;
    UndoCommands &m_undo;
    QClipboard &m_clipboard;
};
