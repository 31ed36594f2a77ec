#pragma once

#include <QString>

#include <memory>

class CommonDialog;
class MessageBoxes;
class QPrinter;
class RichTextPad;
class SpeechSynth;

// The two print commands. Both print the pad's plain text only, in a font of the
// printer's choosing; formatting and pictures stay on the screen. One printer object
// serves the whole run, so the printer and copies chosen in the print dialog are
// what the toolbar's print uses next. Each command ends its print job, so the output
// reaches the printer when the command ends.
class PrintCommands
{
public:
    // `printer` is the printer object of the run; without one, the system's default
    // printer is set up on the first print.
    PrintCommands(SpeechSynth &synth, RichTextPad &pad, CommonDialog &dialogs,
                  MessageBoxes &messages, QPrinter *printer = nullptr);
    ~PrintCommands();

    // File > Print: silences the read-out, shows the print dialog and prints the
    // selection, or the whole text when nothing is selected, in the copies chosen.
    void printMe();
    // The toolbar's Print: the whole text at once, without a dialog and without
    // silencing the read-out.
    void toolbarPrint();

    // Lays `text` out on the printer's pages and prints it in one job, in as many
    // copies as the printer is set to. False when the printer cannot be used.
    static bool printText(QPrinter &printer, const QString &text);

private:
    QPrinter &printer();
    void reportEmpty();

    SpeechSynth &m_synth;
    RichTextPad &m_pad;
    CommonDialog &m_dialogs;
    MessageBoxes &m_messages;
    QPrinter *m_printer;
    std::unique_ptr<QPrinter> m_ownPrinter;
};
