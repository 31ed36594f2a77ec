#pragma once

#include <QtGlobal>

// The multipliers from scroll values to the synthesiser's speed and pitch, derived
// once at start from the synthesiser's own initial values.
struct VoiceScale {
    qint32 speedStep = 0;
    qint32 pitchStep = 0;

    // initial / divisor rounded to the nearest whole number, a half to the even
    // neighbour; at least 1 when the initial value is positive, since a step of 0
    // would make its scroll bar send 0 whatever it shows.
    static qint32 stepFor(qint32 initial, int divisor);
};
