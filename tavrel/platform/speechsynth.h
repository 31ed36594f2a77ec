#pragma once

#include <QString>

// The speech synthesiser as the program uses it. speak() returns at once and the
// text plays in the background; texts handed over while one plays are queued in
// order. pause() holds the audio where it is and resume() continues from there;
// stop() silences the output and drops everything queued.
//
// Speed is in words per minute and pitch is the voice's base pitch in Hz. The
// further voice value is the volume, 0 to 100. A setter returns false when the
// synthesiser rejects the value; an implementation that clamps accepts it.
// No operation throws, and a missing audio device or voice never stops the caller.
class SpeechSynth
{
public:
    virtual ~SpeechSynth() = default;

    virtual void speak(const QString &text) = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    virtual void stop() = 0;

    virtual int speed() const = 0;
    virtual bool setSpeed(int wordsPerMinute) = 0;
    virtual int pitch() const = 0;
    virtual bool setPitch(int hertz) = 0;
    virtual int volume() const = 0;
    virtual bool setVolume(int percent) = 0;

    // The language call: 1033 selects the US English voice. Other identifiers
    // may be ignored.
    virtual void selectLanguage(int languageId) = 0;
};
