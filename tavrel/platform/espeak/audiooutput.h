#pragma once

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
};
