#pragma once

#include "platform/speechfilewriter.h"

#include <QByteArray>

// Audio files spoken by espeak-ng's or Flite's voices, clause by clause through the
// same voices, tuning and time-stretch as the synthesiser's live speech, so that a
// file sounds as the reading does.
class EspeakSpeechFile : public SpeechFileWriter
{
public:
    // dataPath: espeak-ng's data folder, empty for the system's.
    explicit EspeakSpeechFile(const QByteArray &dataPath = {});

    QList<VoiceInfo> voices() const override;
    Result write(const Request &request, const Progress &progress, QString *error) override;

private:
    QByteArray m_dataPath;
};
