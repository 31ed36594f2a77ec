#pragma once

#include "speech/voicescale.h"

#include <QObject>

class QLabel;
class QScrollBar;
class SpeechSynth;

// The speed and pitch scroll bars: Slider1 sends its value times the speed step to
// the synthesiser and Speedlbl shows the value; Slider2 does the same for the pitch
// with Pitchlbl. Only completed changes are acted on (the scroll bars do not track
// a dragged thumb). The handlers are connected on construction.
class VoiceControls : public QObject
{
    Q_OBJECT

public:
    VoiceControls(SpeechSynth &synth, QScrollBar *slider1, QLabel *speedlbl,
                  QScrollBar *slider2, QLabel *pitchlbl, QObject *parent = nullptr);

    // Derives the steps from the synthesiser's initial speed and pitch and sets the
    // scroll bars to them and to their working ranges; each change of a scroll bar
    // on the way runs its handler, so the synthesiser and the labels follow.
    void setup();

    // Shows the synthesiser's current speed and pitch on the scroll bars (value
    // divided by step, within range) and labels, sending nothing to it.
    void showValuesInForce();

    void slider1_Change();
    void slider2_Change();

    const VoiceScale &scale() const { return m_scale; }

private:
    void showOn(QScrollBar *bar, QLabel *label, int value, qint32 step);

    SpeechSynth &m_synth;
    QScrollBar *m_slider1;
    QLabel *m_speedlbl;
    QScrollBar *m_slider2;
    QLabel *m_pitchlbl;
    VoiceScale m_scale;
};
