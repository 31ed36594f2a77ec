#include "platform/voiceinfo.h"

#include <QLocale>

#include <functional>

namespace Voices {

namespace {

// Whether `code` names a kind of the language `wanted` ("fr-be" of "fr").
bool broader(const QString &code, const QString &wanted)
{
    return code.startsWith(wanted + QLatin1Char('-'), Qt::CaseInsensitive);
}

} // namespace

QString defaultId()
{
    return QStringLiteral("espeak-ng:gmw/en-US");
}

const VoiceInfo *find(const QList<VoiceInfo> &voices, const QString &name)
{
    const QString wanted = name.trimmed();
    if (wanted.isEmpty())
        return nullptr;
    const auto same = [&wanted](const QString &text) {
        return text.compare(wanted, Qt::CaseInsensitive) == 0;
    };
    // An exact id wins over everything else, then the engine's name, then the rest,
    // so a language code shared by several voices does not hide a precise name.
    const std::function<bool(const VoiceInfo &)> tests[] = {
        [&](const VoiceInfo &v) { return same(v.id); },
        [&](const VoiceInfo &v) { return same(v.id.section(QLatin1Char(':'), 1)); },
        [&](const VoiceInfo &v) { return same(v.language) || same(v.name); },
        [&](const VoiceInfo &v) { return broader(v.language, wanted); },
    };
    // Among several voices answering alike, the standard voice is the one meant
    // ("en-us" is spoken by engines other than espeak-ng too).
    for (const auto &test : tests) {
        const VoiceInfo *found = nullptr;
        bool several = false;
        const VoiceInfo *standard = nullptr;
        for (const VoiceInfo &voice : voices) {
            if (!test(voice))
                continue;
            several = found != nullptr;
            found = several ? found : &voice;
            if (voice.id == defaultId())
                standard = &voice;
        }
        if (several)
            return standard;
        if (found)
            return found;
    }
    return nullptr;
}

QList<VoiceInfo> candidates(const QList<VoiceInfo> &voices, const QString &name)
{
    const QString wanted = name.trimmed();
    QList<VoiceInfo> found;
    for (const VoiceInfo &voice : voices) {
        const QStringList names{voice.id, voice.id.section(QLatin1Char(':'), 1), voice.language,
                                voice.name};
        if (names.contains(wanted, Qt::CaseInsensitive) || broader(voice.language, wanted))
            found << voice;
    }
    return found;
}

QString languageName(const QString &code)
{
    const QString base = code.section(QLatin1Char('-'), 0, 0);
    const QLocale::Language language = QLocale::codeToLanguage(base);
    if (language == QLocale::AnyLanguage || language == QLocale::C)
        return {};
    return QLocale::languageToString(language);
}

} // namespace Voices
