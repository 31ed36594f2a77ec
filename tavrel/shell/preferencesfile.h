#pragma once

#include <QMap>
#include <QString>

class SpeechSynth;

// Preferences.ini: what the program keeps from one run to the next beyond the nine
// fields of Settings.ini, which keeps its format. It sits beside Settings.ini, one
// "Key=Value" a line, UTF-8, and is written atomically. Entries a version of the
// program does not know are kept as they are.
namespace PreferencesFile {

// The file in the folder of the given Settings.ini.
QString pathBeside(const QString &settingsPath);

// The entries of the file; none when it is missing or unreadable.
QMap<QString, QString> read(const QString &path);
bool write(const QString &path, const QMap<QString, QString> &entries,
           QString *error = nullptr);

// Gives the synthesiser the voice kept in the file. Without the file, or with a voice
// no longer installed, the synthesiser keeps the voice it has.
void restoreVoice(const QString &path, SpeechSynth &synth);
// Keeps the synthesiser's voice in the file, the other entries as they were. The file
// is written only when the voice differs from what it holds (the default voice when
// there is no file), so a program that never changed its voice writes nothing.
bool keepVoice(const QString &path, const SpeechSynth &synth, QString *error = nullptr);

} // namespace PreferencesFile
