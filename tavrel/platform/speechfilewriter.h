#pragma once

#include "platform/voiceinfo.h"

#include <QList>
#include <QString>

#include <functional>

// Turns a text into an audio file, spoken as the synthesiser would speak it with the
// same voice, speed (words per minute), pitch (Hz) and volume. The file's type
// follows its name's ending (.wav, .flac, .ogg, .opus, .mp3).
class SpeechFileWriter
{
public:
    struct Request {
        QString text;
        QString path;
        // A voice id; empty for the default voice.
        QString voice;
        int speed = 150;
        int pitch = 85;
        int volume = 100;
    };
    // Told the share of the text done so far, 0 to 1; returning false cancels.
    using Progress = std::function<bool(double share)>;
    enum class Result { Written, Cancelled, Failed };

    virtual ~SpeechFileWriter() = default;

    virtual QList<VoiceInfo> voices() const = 0;
    // Blocks until the file is written; meant for a thread other than the window's.
    // The audio streams to the disk, so the memory used does not grow with the text.
    // A cancelled or failed write leaves no file behind and a file that was there
    // before as it was; a failure gives its reason in *error.
    virtual Result write(const Request &request, const Progress &progress,
                         QString *error) = 0;
};
