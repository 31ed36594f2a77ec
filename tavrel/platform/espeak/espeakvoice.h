#pragma once

#include "platform/audio/clausevoice.h"
#include "platform/espeak/voicetuning.h"
#include "platform/voiceinfo.h"

#include <QByteArray>
#include <QStringView>

#include <memory>
#include <vector>

class PitchTempo;

// espeak-ng's library, used synchronously: one call synthesises one clause and hands
// the audio over as it is produced. The library keeps global state and is not
// thread-safe, so every use of it in the process goes through one lock, and an
// instance re-applies its own voice and settings whenever another instance used the
// library in between. Meant to be used by one synthesis thread per instance.
// espeak-ng's own voices all speak at the pipeline's sample rate.
class EspeakVoice : public ClauseVoice
{
public:

    // dataPath: the folder holding espeak-ng-data's contents, empty for the system's.
    // The library loads once per process (it cannot be reloaded safely): the first
    // data path that loads is the one used from then on.
    explicit EspeakVoice(const QByteArray &dataPath = {});
    ~EspeakVoice() override;
    EspeakVoice(const EspeakVoice &) = delete;
    EspeakVoice &operator=(const EspeakVoice &) = delete;

    // An espeak-ng voice name such as "en-us", or a voice file such as "gmw/en-US".
    void setVoiceName(const QByteArray &name) { m_voiceName = name; }

    // The voices in the data folder, in the library's order (by language). Empty when
    // the library cannot be loaded.
    static QList<VoiceInfo> installedVoices(const QByteArray &dataPath = {});
    // The program's id of an espeak-ng voice file, and back; the name is empty for an
    // id of another engine.
    static QString voiceId(const QByteArray &voiceFile);
    static QByteArray voiceFile(const QString &id);

    // For code that used the loaded library directly: the next synthesis sets it up
    // again (callback, voice and settings).
    static void libraryUsedElsewhere();

    // Loads the library and the voice now rather than with the first clause; false
    // when they cannot be loaded. The load cannot be interrupted and may take a while
    // on a busy machine, so it should not wait for the first text.
    bool prepare() override;
    // One clause through VoiceTuning and the time-stretch; word positions are those of
    // the audio delivered.
    Result speak(QStringView text, bool pauseAfter, int wordsPerMinute, int hertz,
                 int percent, const PcmSink &sink, const WordSink &words = {}) override;

    // Unavailable when the library or the voice data cannot be loaded.
    Result synthesise(QStringView text, bool pauseAfter, const VoiceTuning &tuning,
                      const PcmSink &sink, const WordSink &words = {});
    // The same, through the time-stretch where the tuning asks for more than
    // espeak-ng renders itself. The stretch and its scratch buffer are the caller's,
    // kept from one clause to the next. Word positions are those of the voice's own
    // audio, before the stretch.
    Result synthesiseTuned(QStringView text, bool pauseAfter, const VoiceTuning &tuning,
                           PitchTempo &shifter, std::vector<qint16> &scratch,
                           const PcmSink &sink, const WordSink &words = {});

private:
    QByteArray m_dataPath;
    QByteArray m_voiceName = "en-us";
    // For speak(): made with its first clause.
    std::unique_ptr<PitchTempo> m_shifter;
    std::vector<qint16> m_scratch;
};
