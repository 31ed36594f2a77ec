#pragma once

#include <QtGlobal>

#include <vector>

// Measurements on 16-bit mono audio.
namespace PcmAnalysis {

// Root mean square over [from, to) (clamped to the audio).
double rms(const std::vector<qint16> &pcm, qsizetype from = 0, qsizetype to = -1);
// First and one-past-last sample louder than `threshold`; {0, 0} when none is.
std::pair<qsizetype, qsizetype> soundSpan(const std::vector<qint16> &pcm, int threshold = 300);
// Seconds between the first and the last sound.
double soundSeconds(const std::vector<qint16> &pcm, int sampleRate);
// The number of stretches of sound separated by at least `gapMs` of silence.
int soundBursts(const std::vector<qint16> &pcm, int sampleRate, int gapMs = 150);
// The median fundamental frequency over the voiced frames in [from, to), by
// normalised autocorrelation; 0 when nothing in it is voiced.
double medianFundamental(const std::vector<qint16> &pcm, int sampleRate, qsizetype from = 0,
                         qsizetype to = -1);

} // namespace PcmAnalysis
