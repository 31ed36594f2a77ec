#include "speech/voicescale.h"

#include <cmath>
#include <limits>

qint32 VoiceScale::stepFor(qint32 initial, int divisor)
{
    // nearbyint rounds in the current mode, which is to nearest, a half to even.
    const double rounded = std::nearbyint(double(initial) / double(divisor));
    qint32 step = qint32(qBound(double(std::numeric_limits<qint32>::min()), rounded,
                                double(std::numeric_limits<qint32>::max())));
    if (initial > 0 && step < 1)
        step = 1;
    return step;
}
