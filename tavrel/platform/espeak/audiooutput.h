#pragma once

#include <QString>

// The output stage: plays what the synthesiser puts into its PcmQueue. Calls come
// from the synthesiser's thread and return at once.
class AudioOutput
{
public:
    virtual ~AudioOutput() = default;

    // There is audio to come: start playing it (unless suspended).
    virtual void play() = 0;
    // Holds the audio where it is, keeping everything not yet heard.
    virtual void suspend() = 0;
    // Continues from exactly where suspend() held it.
    virtual void resume() = 0;
    // Silences the output at once, dropping what the device still holds. The queue
    // has already been cleared. A suspended output stays suspended.
    virtual void stop() = 0;

    // How many of the samples the queue gave out in its generation `generation` have
    // been heard: the output's own played-sample clock. 0 before the output has
    // followed that generation. Any thread may ask.
    virtual quint64 playedSamples(quint64 generation) const = 0;
    // Why the output cannot play, empty while it can. Set when the sound server
    // refuses a stream or drops one; any thread may ask.
    virtual QString failure() const = 0;
};
