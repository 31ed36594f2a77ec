#pragma once

// How a speed in words per minute, a base pitch in Hz and a volume in percent are
// rendered with espeak-ng. espeak-ng speaks no slower than about 85 words per
// minute, and its own pitch setting moves the voice's fundamental only between
// about 68 and 171 Hz. Within those limits its own settings are used; beyond them
// the synthesised audio is changed afterwards, so that every speed and every pitch
// is rendered and a higher pitch never gives a lower fundamental: a slower speed
// stretches it in time; a lower pitch plays faster speech slowed down (which lowers
// the voice as a whole); a higher pitch shifts the pitch alone.
struct VoiceTuning
{
    static constexpr int minSpeed = 20;
    static constexpr int maxSpeed = 450;
    static constexpr int minPitch = 20;
    static constexpr int maxPitch = 500;
    // The slowest rate at which espeak-ng still slows down.
    static constexpr int slowestEspeakRate = 85;

    int rate = 150;           // espeak-ng's rate, words per minute
    int pitch = 50;           // espeak-ng's pitch setting, 0 to 100
    int volume = 100;         // espeak-ng's volume, 0 to 100
    // Applied to the audio afterwards, in this order:
    double tempo = 1.0;        // below 1 is slower, the pitch unchanged
    double pitchFactor = 1.0;  // above 1 is higher, the duration unchanged
    double playbackRate = 1.0; // below 1 is slower and lower, as a slowed tape

    bool needsShifting() const
    {
        return tempo != 1.0 || pitchFactor != 1.0 || playbackRate != 1.0;
    }

    static int clampSpeed(int wordsPerMinute);
    static int clampPitch(int hertz);
    static int clampVolume(int percent);
    static VoiceTuning forVoice(int wordsPerMinute, int hertz, int percent);
    // The fundamental, in Hz, that espeak-ng's US English voice has at a pitch
    // setting (the median over a few sentences of speech).
    static double espeakFundamental(double setting);
};
