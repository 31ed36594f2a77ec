#include "platform/espeak/speechengines.h"

#include "platform/espeak/espeakvoice.h"
#include "platform/flite/flitevoice.h"

namespace SpeechEngines {

QList<VoiceInfo> installedVoices(const QByteArray &espeakDataPath)
{
    return EspeakVoice::installedVoices(espeakDataPath) + FliteVoice::installedVoices();
}

std::unique_ptr<ClauseVoice> makeVoice(const QString &id, const QByteArray &espeakDataPath)
{
    const QByteArray espeakName = EspeakVoice::voiceFile(id);
    if (!espeakName.isEmpty()) {
        auto voice = std::make_unique<EspeakVoice>(espeakDataPath);
        voice->setVoiceName(espeakName);
        return voice;
    }
    const QByteArray fliteName = FliteVoice::voiceName(id);
    if (!fliteName.isEmpty())
        return std::make_unique<FliteVoice>(fliteName);
    return nullptr;
}

} // namespace SpeechEngines
