#include "platform/espeak/espeakspeechfile.h"

#include "platform/audio/audiofilewriter.h"
#include "platform/audio/clausevoice.h"
#include "platform/clausesplitter.h"
#include "platform/espeak/espeakvoice.h"
#include "platform/espeak/speechengines.h"

#include <algorithm>
#include <vector>

EspeakSpeechFile::EspeakSpeechFile(const QByteArray &dataPath)
    : m_dataPath(dataPath)
{
}

QList<VoiceInfo> EspeakSpeechFile::voices() const
{
    return SpeechEngines::installedVoices(m_dataPath);
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
    if (std::none_of(installed.cbegin(), installed.cend(),
                     [&voiceId](const VoiceInfo &v) { return v.id == voiceId; })) {
        if (!EspeakVoice::voiceFile(voiceId).isEmpty()
            && EspeakVoice::installedVoices(m_dataPath).isEmpty())
            return fail(QStringLiteral("The espeak-ng voices cannot be loaded."));
        return fail(QStringLiteral("There is no voice %1.").arg(voiceId));
    }

    const std::unique_ptr<ClauseVoice> voice = SpeechEngines::makeVoice(voiceId, m_dataPath);
    if (!voice || !voice->prepare())
        return fail(QStringLiteral("The voice %1 cannot be loaded.").arg(voiceId));
    AudioFileWriter file(ClauseVoice::sampleRate);
    QString reason;
    if (!file.open(request.path, &reason))
        return fail(reason);

    bool writeFailed = false;
    const ClauseVoice::PcmSink toFile = [&](const qint16 *samples, qsizetype count) {
        writeFailed = !file.write(samples, count);
        return !writeFailed;
    };

    const double length = std::max<qsizetype>(request.text.size(), 1);
    ClauseSplitter clauses(request.text);
    ClauseSplitter::Clause clause;
    if (progress && !progress(0.0))
        return Result::Cancelled;
    while (clauses.next(&clause)) {
        const ClauseVoice::Result result =
            voice->speak(clause.text, clause.pauseAfter, request.speed, request.pitch,
                         request.volume, toFile);
        if (writeFailed)
            return fail(file.errorString());
        if (result != ClauseVoice::Result::Done)
            return fail(QStringLiteral("The voice %1 cannot speak.").arg(voiceId));
        if (progress && !progress(std::min(clauses.position() / length, 1.0)))
            return Result::Cancelled;
    }
    if (!file.commit(&reason))
        return fail(reason);
    if (progress)
        progress(1.0);
    return Result::Written;
}
