#include "platform/espeak/espeakspeechfile.h"

#include "platform/audio/audiofilewriter.h"
#include "platform/audio/pitchtempo.h"
#include "platform/clausesplitter.h"
#include "platform/espeak/espeakvoice.h"
#include "platform/espeak/voicetuning.h"

#include <algorithm>
#include <vector>

EspeakSpeechFile::EspeakSpeechFile(const QByteArray &dataPath)
    : m_dataPath(dataPath)
{
}

QList<VoiceInfo> EspeakSpeechFile::voices() const
{
    return EspeakVoice::installedVoices(m_dataPath);
}

SpeechFileWriter::Result EspeakSpeechFile::write(const Request &request,
                                                 const Progress &progress, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return Result::Failed;
    };
    const QString voiceId = request.voice.isEmpty() ? Voices::defaultId() : request.voice;
    const QList<VoiceInfo> installed = voices();
    if (installed.isEmpty())
        return fail(QStringLiteral("The espeak-ng voices cannot be loaded."));
    if (std::none_of(installed.cbegin(), installed.cend(),
                     [&voiceId](const VoiceInfo &v) { return v.id == voiceId; }))
        return fail(QStringLiteral("There is no voice %1.").arg(voiceId));

    AudioFileWriter file(EspeakVoice::sampleRate);
    QString reason;
    if (!file.open(request.path, &reason))
        return fail(reason);

    EspeakVoice voice(m_dataPath);
    voice.setVoiceName(EspeakVoice::voiceFile(voiceId));
    PitchTempo shifter(EspeakVoice::sampleRate);
    std::vector<qint16> scratch;
    const VoiceTuning tuning =
        VoiceTuning::forVoice(request.speed, request.pitch, request.volume);
    bool writeFailed = false;
    const EspeakVoice::PcmSink toFile = [&](const qint16 *samples, qsizetype count) {
        writeFailed = !file.write(samples, count);
        return !writeFailed;
    };

    const double length = std::max<qsizetype>(request.text.size(), 1);
    ClauseSplitter clauses(request.text);
    ClauseSplitter::Clause clause;
    if (progress && !progress(0.0))
        return Result::Cancelled;
    while (clauses.next(&clause)) {
        const EspeakVoice::Result result = voice.synthesiseTuned(
            clause.text, clause.pauseAfter, tuning, shifter, scratch, toFile);
        if (writeFailed)
            return fail(file.errorString());
        if (result != EspeakVoice::Result::Done)
            return fail(QStringLiteral("espeak-ng cannot speak with the voice %1.").arg(voiceId));
        if (progress && !progress(std::min(clauses.position() / length, 1.0)))
            return Result::Cancelled;
    }
    if (!file.commit(&reason))
        return fail(reason);
    if (progress)
        progress(1.0);
    return Result::Written;
}
