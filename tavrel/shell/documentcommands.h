#pragma once

#include <QString>

class CommonDialog;
class MessageBoxes;
class ReadOut;
class RichTextPad;
class SpeechSynth;
class UndoCommands;
struct DocumentState;

// The document commands of the main window: New, Open, Save, Save As and Clear Pad.
// Every file is chosen through the shared dialog, whose filter and file name carry
// over from one command to the next; every document is written as the pad's plain
// text, except under an .rtf name, where it keeps its formatting. Each command
// announces itself aloud; an opened file is read aloud at once.
class DocumentCommands
{
public:
    struct Parts {
        SpeechSynth *synth = nullptr;
        CommonDialog *dialogs = nullptr;
        MessageBoxes *messages = nullptr;
        RichTextPad *pad = nullptr;
        DocumentState *state = nullptr;
        UndoCommands *undo = nullptr;
        ReadOut *readOut = nullptr;
    };

    explicit DocumentCommands(const Parts &parts);

    // The file types Open offers; the text files are preselected.
    static QString openFilter();
    static constexpr int kOpenFilterIndex = 2;

    void newDocument();
    void openDocument();
    // Opens a file named on the command line, as Open opens the file chosen in its
    // dialog: read aloud at once, or "Can't open file." reported.
    void openFileAtStart(const QString &path);
    void save();
    void saveAs();
    void cmdClear_Click();

    // On a changed document, speaks and asks the question (Yes or No) and on Yes saves
    // through the Save dialog. Returns false when the calling command must end here:
    // the dialog was cancelled or the file could not be written (which has been
    // reported). An unchanged document asks nothing and returns true.
    bool offerToSave(const QString &question);

private:
    // The part of Open after the dialog.
    void openFile(const QString &path);
    // Speaks and shows a failure in a box titled "Error".
    void reportFailure(const QString &text);

    Parts m_parts;
};
