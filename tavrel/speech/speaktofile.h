#pragma once

#include <QStringList>

class QTextStream;
class SpeechFileWriter;

// The command line's audio files, run without a window or a display:
//   Tavrel --speak-to OUT [--voice NAME] [--speed WPM] [--pitch HZ] INPUT
//   Tavrel --list-voices
// INPUT is a plain-text or RTF file; the progress goes to the error stream.
namespace SpeakToFile {

// Exit statuses besides 0.
constexpr int kFailed = 1;    // the input cannot be read or the output written
constexpr int kBadUsage = 2;  // arguments that make no sense, an unknown voice
constexpr int kCancelled = 130;

// Whether the arguments (the program's name first) ask for this rather than the window.
bool wanted(const QStringList &arguments);

// Runs the command; returns the exit status. `cancelled` is polled during the
// export (an interrupt from the terminal); the file is then not written.
int run(const QStringList &arguments, SpeechFileWriter &writer, QTextStream &out,
        QTextStream &err, bool (*cancelled)() = nullptr);

// The plain text of a document file, RTF or plain text; nothing, with the reason in
// *error, when it cannot be read.
bool readText(const QString &path, QString *text, QString *error);

} // namespace SpeakToFile
