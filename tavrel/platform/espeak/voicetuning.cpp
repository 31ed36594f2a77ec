#include "platform/espeak/voicetuning.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Median fundamental of the US English voice at pitch settings 0, 10, ... 100,
// measured on several sentences of ordinary text.
constexpr std::array<double, 11> fundamentalAtSetting{68.0,  73.0,  78.0,  85.0,
                                                      93.0,  102.0, 112.0, 125.0,
                                                      138.0, 154.0, 171.0};

} // namespace

int VoiceTuning::clampSpeed(int wordsPerMinute)
{
    return std::clamp(wordsPerMinute, minSpeed, maxSpeed);
}

int VoiceTuning::clampPitch(int hertz)
{
    return std::clamp(hertz, minPitch, maxPitch);
}

int VoiceTuning::clampVolume(int percent)
{
    return std::clamp(percent, 0, 100);
}

double VoiceTuning::espeakFundamental(double setting)
{
    const double s = std::clamp(setting, 0.0, 100.0);
    const int i = std::min(int(s / 10.0), 9);
    const double t = (s - i * 10.0) / 10.0;
    return fundamentalAtSetting[i] + t * (fundamentalAtSetting[i + 1] - fundamentalAtSetting[i]);
}

VoiceTuning VoiceTuning::forVoice(int wordsPerMinute, int hertz, int percent)
{
    VoiceTuning tuning;
    const int speed = clampSpeed(wordsPerMinute);
    const int pitch = clampPitch(hertz);
    tuning.volume = clampVolume(percent);

    const double lowest = fundamentalAtSetting.front();
    const double highest = fundamentalAtSetting.back();
    if (pitch <= lowest) {
        // Lowered by playing back slower: plain resampling keeps the voice clean
        // where its fundamental is too low for a pitch shift to follow it.
        tuning.pitch = 0;
        if (pitch < lowest)
            tuning.playbackRate = pitch / lowest;
    } else if (pitch >= highest) {
        tuning.pitch = 100;
        if (pitch > highest)
            tuning.pitchFactor = pitch / highest;
    } else {
        // Invert the measured curve: the setting whose fundamental is `pitch`.
        int i = 0;
        while (fundamentalAtSetting[i + 1] < pitch)
            ++i;
        const double t = (pitch - fundamentalAtSetting[i])
            / (fundamentalAtSetting[i + 1] - fundamentalAtSetting[i]);
        tuning.pitch = std::clamp(int(std::lround(10.0 * (i + t))), 0, 100);
    }

    // Slower playback needs correspondingly faster speech; what espeak-ng cannot
    // speak slowly or fast enough is stretched or compressed in time.
    const double wanted = speed / tuning.playbackRate;
    const double rate = std::clamp(wanted, double(slowestEspeakRate), double(maxSpeed));
    tuning.rate = int(std::lround(rate));
    if (wanted < slowestEspeakRate || wanted > maxSpeed)
        tuning.tempo = wanted / rate;
    return tuning;
}
