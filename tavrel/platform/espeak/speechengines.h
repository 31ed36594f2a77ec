#pragma once

#include "platform/audio/clausevoice.h"
#include "platform/voiceinfo.h"

#include <QByteArray>
#include <QList>

#include <memory>

// The engines behind the synthesiser and the audio files. A voice id names its engine
// ("espeak-ng:gmw/en-US", "flite:slt"), and the voice of that engine speaks it.
namespace SpeechEngines {

// Every engine's voices: espeak-ng's (none when its data cannot be loaded), then
// Flite's. espeakDataPath: espeak-ng's data folder, empty for the system's.
QList<VoiceInfo> installedVoices(const QByteArray &espeakDataPath = {});

// The voice an id names; nullptr for an id of no engine.
std::unique_ptr<ClauseVoice> makeVoice(const QString &id, const QByteArray &espeakDataPath = {});

} // namespace SpeechEngines
