#include "pcmanalysis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace PcmAnalysis {

namespace {

std::pair<qsizetype, qsizetype> range(const std::vector<qint16> &pcm, qsizetype from,
                                      qsizetype to)
{
    const qsizetype size = qsizetype(pcm.size());
    if (to < 0 || to > size)
        to = size;
    from = std::clamp<qsizetype>(from, 0, to);
    return {from, to};
}

} // namespace

double rms(const std::vector<qint16> &pcm, qsizetype from, qsizetype to)
{
    std::tie(from, to) = range(pcm, from, to);
    if (to <= from)
        return 0.0;
    double sum = 0;
    for (qsizetype i = from; i < to; ++i)
        sum += double(pcm[size_t(i)]) * pcm[size_t(i)];
    return std::sqrt(sum / double(to - from));
}

std::pair<qsizetype, qsizetype> soundSpan(const std::vector<qint16> &pcm, int threshold)
{
    qsizetype first = -1;
    qsizetype last = -1;
    for (qsizetype i = 0; i < qsizetype(pcm.size()); ++i) {
        if (std::abs(int(pcm[size_t(i)])) > threshold) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0)
        return {0, 0};
    return {first, last + 1};
}

double soundSeconds(const std::vector<qint16> &pcm, int sampleRate)
{
    const auto [first, end] = soundSpan(pcm);
    return double(end - first) / sampleRate;
}

int soundBursts(const std::vector<qint16> &pcm, int sampleRate, int gapMs)
{
    const qsizetype step = sampleRate / 100; // 10 ms
    const qsizetype gapSteps = gapMs / 10;
    int bursts = 0;
    qsizetype quiet = gapSteps; // the start counts as after a gap
    for (qsizetype at = 0; at + step <= qsizetype(pcm.size()); at += step) {
        if (rms(pcm, at, at + step) > 300) {
            if (quiet >= gapSteps)
                ++bursts;
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    return bursts;
}

double medianFundamental(const std::vector<qint16> &pcm, int sampleRate, qsizetype from,
                         qsizetype to)
{
    std::tie(from, to) = range(pcm, from, to);
    const int frame = sampleRate / 25; // 40 ms
    const int hop = frame / 2;
    const int minLag = sampleRate / 800;
    const int maxLag = sampleRate / 40;
    std::vector<double> found;
    std::vector<double> r(size_t(maxLag + 1));
    for (qsizetype start = from; start + frame + maxLag <= to; start += hop) {
        const qint16 *x = pcm.data() + start;
        double energy = 0;
        for (int i = 0; i < frame; ++i)
            energy += double(x[i]) * x[i];
        if (energy / frame < 500.0 * 500.0)
            continue; // too quiet to be voiced
        double best = 0;
        for (int lag = minLag; lag <= maxLag; ++lag) {
            double c = 0;
            double e2 = 0;
            for (int i = 0; i < frame; ++i) {
                c += double(x[i]) * x[i + lag];
                e2 += double(x[i + lag]) * x[i + lag];
            }
            r[size_t(lag)] = c / std::sqrt(energy * e2 + 1.0);
            best = std::max(best, r[size_t(lag)]);
        }
        if (best < 0.6)
            continue; // not periodic enough: unvoiced
        // The shortest lag that is a peak nearly as strong as the best one, so that a
        // period is not mistaken for two of them.
        for (int lag = minLag + 1; lag < maxLag; ++lag) {
            const double v = r[size_t(lag)];
            if (v >= 0.9 * best && v >= r[size_t(lag - 1)] && v >= r[size_t(lag + 1)]) {
                found.push_back(double(sampleRate) / lag);
                break;
            }
        }
    }
    if (found.empty())
        return 0.0;
    std::nth_element(found.begin(), found.begin() + found.size() / 2, found.end());
    return found[found.size() / 2];
}

} // namespace PcmAnalysis
