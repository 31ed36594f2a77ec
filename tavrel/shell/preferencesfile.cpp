#include "shell/preferencesfile.h"

#include "platform/regularfile.h"
#include "platform/speechsynth.h"
#include "platform/textcodec.h"
#include "platform/voiceinfo.h"
#include "shell/safewrite.h"

#include <QDir>
#include <QFileInfo>

namespace PreferencesFile {

namespace {

const QString kVoice = QStringLiteral("Voice");

// A few short lines; anything beyond this is not read.
constexpr qint64 kMaxBytes = 64 * 1024;

} // namespace

QString pathBeside(const QString &settingsPath)
{
    return QFileInfo(settingsPath).absoluteDir().filePath(QStringLiteral("Preferences.ini"));
}

QMap<QString, QString> read(const QString &path)
{
    QMap<QString, QString> entries;
    const std::optional<QByteArray> bytes = RegularFile::read(path, kMaxBytes);
    if (!bytes)
        return entries;
    const QString text = TextCodec::decode(*bytes);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        entries.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return entries;
}

bool write(const QString &path, const QMap<QString, QString> &entries, QString *error)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Cannot make the folder %1.").arg(folder);
        return false;
    }
    QString text;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        text += it.key() + QLatin1Char('=') + it.value() + QLatin1Char('\n');
    return SafeWrite::writeFile(path, TextCodec::encode(text), error);
}

void restoreVoice(const QString &path, SpeechSynth &synth)
{
    const QString voice = read(path).value(kVoice);
    if (!voice.isEmpty() && voice != synth.voice())
        synth.setVoice(voice);
}

bool keepVoice(const QString &path, const SpeechSynth &synth, QString *error)
{
    const QString voice = synth.voice();
    if (voice.isEmpty())
        return true;
    QMap<QString, QString> entries = read(path);
    if (entries.value(kVoice, Voices::defaultId()) == voice)
        return true;
    entries.insert(kVoice, voice);
    return write(path, entries, error);
}

} // namespace PreferencesFile
