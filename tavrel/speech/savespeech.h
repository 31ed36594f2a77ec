#pragma once

#include "platform/speechfilewriter.h"

#include <QString>

class CommonDialog;
class MessageBoxes;
class QWidget;
class RichTextPad;
class SpeechSynth;

// "Save Speech As...": the pad's text, or its selection when there is one, spoken
// with the synthesiser's voice, speed, pitch and volume into an audio file chosen in
// the save dialog. The export runs on a thread of its own under a progress dialog
// that shows the share done and the time left and can cancel it; a failure is
// reported in a message box, and neither leaves a partial file.
class SaveSpeech
{
public:
    struct Parts {
        SpeechSynth *synth = nullptr;
        SpeechFileWriter *writer = nullptr;
        CommonDialog *dialogs = nullptr;
        MessageBoxes *messages = nullptr;
        RichTextPad *pad = nullptr;
        // Parent of the progress dialog.
        QWidget *owner = nullptr;
    };

    explicit SaveSpeech(const Parts &parts);

    void saveSpeechAs();
    // Writes the file under the progress dialog; the outcome of the export.
    SpeechFileWriter::Result exportTo(const QString &path, const QString &text,
                                      QString *error);

private:
    // The file chosen in the save dialog, with the ending of the chosen type when the
    // name has none of the audio endings; empty when the dialog was cancelled.
    QString askForFile();

    Parts m_parts;
};
