#pragma once

#include <QString>

class SpeechSynth;

// The preferences that Settings.ini has no field for, kept in a file of their own
// beside it (Preferences.ini, key=value lines in groups), so that Settings.ini keeps
// its nine fields. Values missing from the file, or a file that cannot be read,
// give the defaults; a new preference is one more member with its key. Keys this
// program does not know are kept when the file is written.
class SpeechPreferences
{
public:
    // Preferences.ini in the folder of the given Settings.ini.
    static QString pathBeside(const QString &settingsPath);

    // Reads the file; what it lacks keeps its default. Only a regular file is read.
    void load(const QString &path);
    // Writes the file whole, atomically; false when it cannot be written.
    bool save(const QString &path) const;

    // Gives the synthesiser the voice kept in the file. Without the file, or with a
    // voice no longer installed, the synthesiser keeps the voice it has.
    static void restoreVoice(const QString &path, SpeechSynth &synth);
    // Keeps the synthesiser's voice in the file, the other preferences as they are
    // there. The file is written only when the voice differs from what it holds (the
    // default voice when it holds none), so a program that never changed its voice
    // writes nothing.
    static bool keepVoice(const QString &path, const SpeechSynth &synth);

    bool highlightSpokenWords = true;
    // The id of the voice chosen; empty when none was.
    QString voice;
};
