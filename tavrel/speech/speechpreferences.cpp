#include "speech/speechpreferences.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kHighlightSpokenWords = QStringLiteral("Speech/HighlightSpokenWords");

} // namespace

QString SpeechPreferences::pathBeside(const QString &settingsPath)
{
    return QFileInfo(settingsPath).dir().filePath(QStringLiteral("Preferences.ini"));
}

void SpeechPreferences::load(const QString &path)
{
    const QSettings file(path, QSettings::IniFormat);
    highlightSpokenWords = file.value(kHighlightSpokenWords, highlightSpokenWords).toBool();
}

bool SpeechPreferences::save(const QString &path) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings file(path, QSettings::IniFormat);
    file.setValue(kHighlightSpokenWords, highlightSpokenWords);
    file.sync();
    return file.status() == QSettings::NoError;
}
