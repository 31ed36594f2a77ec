#pragma once

#include <QList>
#include <QString>

// One installed voice as the program offers it. The id names the engine and the
// engine's own name of the voice ("espeak-ng:gmw/en-US"), so that a stored choice
// still means the same voice when more engines or voices are installed.
struct VoiceInfo
{
    QString id;
    // The voice's own name, for people ("English (America)").
    QString name;
    // The language code the voice speaks ("en-us").
    QString language;
    // The language in words, for grouping ("English").
    QString languageName;
};

namespace Voices {

// US English on espeak-ng: the voice the program speaks with unless told otherwise.
QString defaultId();

// The voice that a name typed by a user stands for: its id, the engine's name of it
// (the part of the id after the engine), its language code or its own name, compared
// without regard to case; else the one voice of a language it names more broadly.
// When several answer alike, the default voice if it is one of them; else nothing, as
// when no voice answers.
const VoiceInfo *find(const QList<VoiceInfo> &voices, const QString &name);

// The voices a name typed by a user may mean: those find() compares, and those whose
// language is a kind of the one named ("fr" for "fr-be" and "fr-fr").
QList<VoiceInfo> candidates(const QList<VoiceInfo> &voices, const QString &name);

// The language's name in English for a code such as "en-us" or "pt-br"; empty when
// the code names no language known to the system.
QString languageName(const QString &code);

} // namespace Voices
