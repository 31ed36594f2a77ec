#pragma once

#include <QStringView>
#include <QtGlobal>

#include <functional>

// One voice of a speech engine, speaking a clause at a time into 16-bit mono audio at
// the rate the rest of the audio pipeline (queue, output, files) works at. Speed is in
// words per minute and pitch is the base pitch in Hz, with the same meaning for every
// engine; an engine renders what it cannot produce itself through the time-stretch.
// Meant to be used by one thread per instance.
class ClauseVoice
{
public:
    // Receives the audio; returning false abandons the clause.
    using PcmSink = std::function<bool(const qint16 *samples, qsizetype count)>;
    // Receives each word before its audio: where its audio begins, in samples from
    // the start of the clause's audio as delivered, and where the word stands in the
    // clause's text, in UTF-16 units.
    using WordSink = std::function<void(qint64 sample, qsizetype start, qsizetype length)>;

    enum class Result { Done, Abandoned, Unavailable };

    static constexpr int sampleRate = 22050;

    virtual ~ClauseVoice() = default;

    // Loads the engine and the voice now rather than with the first clause; false when
    // they cannot be loaded.
    virtual bool prepare() = 0;
    // Unavailable when the engine or the voice cannot be loaded.
    virtual Result speak(QStringView text, bool pauseAfter, int wordsPerMinute, int hertz,
                         int percent, const PcmSink &sink, const WordSink &words = {}) = 0;
};
