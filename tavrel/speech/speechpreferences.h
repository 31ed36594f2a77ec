#pragma once

#include <QString>

// The preferences that Settings.ini has no field for, kept in a file of their own
// beside it (Preferences.ini, key=value lines in groups), so that Settings.ini keeps
// its nine fields. Values missing from the file, or a file that cannot be read,
// give the defaults; a new preference is one more member with its key.
class SpeechPreferences
{
public:
    // Preferences.ini in the folder of the given Settings.ini.
    static QString pathBeside(const QString &settingsPath);

    // Reads the file; what it lacks keeps its default.
    void load(const QString &path);
    // Writes the file whole, atomically; false when it cannot be written.
    bool save(const QString &path) const;

    bool highlightSpokenWords = true;
};
