#pragma once

#include "platform/voiceinfo.h"

#include <QList>
#include <QString>

// Hears how the reading goes. Notifications arrive on the thread that made the
// synthesiser, from its event loop, never from inside a call made to it; they follow
// the audio actually played, not the synthesis running ahead of it. Positions count
// the characters (UTF-16 units) of the text handed to speak().
class SpeechListener
{
public:
    virtual ~SpeechListener() = default;

    // The word of text `textId` at [start, start + length) begins to be heard.
    virtual void wordHeard(quint64 textId, qsizetype start, qsizetype length) = 0;
    // Text `textId` has been heard to its end.
    virtual void textEnded(quint64 textId) = 0;
    // The sound output went away while speaking: everything queued was dropped, as
    // by stop(). `reason` is a sentence for the user.
    virtual void speechBroken(const QString &reason) = 0;
    // Whether speech can be heard changed; `reason` says why not, empty when it can.
    virtual void audibilityChanged(const QString &reason) = 0;
};

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

    // Returns the text's identifier for the listener's notifications: 1 for the
    // first text, counting up by one with every call.
    virtual quint64 speak(const QString &text) = 0;
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

    // One listener at a time; nullptr for none. It must outlive the synthesiser or
    // be unset first.
    virtual void setListener(SpeechListener *listener) = 0;
    // Why speech cannot be heard now (no sound output, no voice data); empty when
    // it can, as far as is known.
    virtual QString inaudibleReason() const = 0;

    // The voices installed, and the one in use by its id. A new voice is heard from
    // the next clause, as a new speed is; an id the synthesiser does not have is
    // refused (false) and the voice stays. A synthesiser without a choice of voices
    // offers none and refuses every id.
    virtual QList<VoiceInfo> voices() const = 0;
    virtual QString voice() const = 0;
    virtual bool setVoice(const QString &id) = 0;
};
