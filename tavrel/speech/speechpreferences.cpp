#include "speech/speechpreferences.h"

#include "platform/speechsynth.h"
#include "platform/voiceinfo.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kHighlightSpokenWords = QStringLiteral("Speech/HighlightSpokenWords");
const QString kVoice = QStringLiteral("Speech/Voice");

} // namespace

QString SpeechPreferences::pathBeside(const QString &settingsPath)
{
    return QFileInfo(settingsPath).dir().filePath(QStringLiteral("Preferences.ini"));
}

void SpeechPreferences::load(const QString &path)
{
    // A device or a pipe of that name would be read without end.
    if (!QFileInfo(path).isFile())
        return;
    const QSettings file(path, QSettings::IniFormat);
    highlightSpokenWords = file.value(kHighlightSpokenWords, highlightSpokenWords).toBool();
    voice = file.value(kVoice, voice).toString();
}

bool SpeechPreferences::save(const QString &path) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    // QSettings writes through a temporary file renamed over the old one, and
    // refuses to write in place (atomic sync is required by default).
    QSettings file(path, QSettings::IniFormat);
    file.setValue(kHighlightSpokenWords, highlightSpokenWords);
    if (voice.isEmpty())
        file.remove(kVoice);
    else
        file.setValue(kVoice, voice);
    file.sync();
    return file.status() == QSettings::NoError;
}

void SpeechPreferences::restoreVoice(const QString &path, SpeechSynth &synth)
{
    SpeechPreferences kept;
    kept.load(path);
    if (!kept.voice.isEmpty() && kept.voice != synth.voice())
        synth.setVoice(kept.voice);
}

bool SpeechPreferences::keepVoice(const QString &path, const SpeechSynth &synth)
{
    const QString current = synth.voice();
    if (current.isEmpty())
        return true;
    SpeechPreferences kept;
    kept.load(path);
    if ((kept.voice.isEmpty() ? Voices::defaultId() : kept.voice) == current)
        return true;
    kept.voice = current;
    return kept.save(path);
}
