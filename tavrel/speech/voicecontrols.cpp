#include "speech/voicecontrols.h"

#include "platform/speechsynth.h"

#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>

#include <cmath>
#include <limits>

namespace {

// Scroll values are 16-bit; a synthesiser value beyond that is clamped.
int toScrollValue(int value)
{
    return qBound(int(std::numeric_limits<qint16>::min()), value,
                  int(std::numeric_limits<qint16>::max()));
}

// The value sent for a scroll position, clamped to 32 bits.
int product(int value, qint32 step)
{
    const qint64 p = qint64(value) * step;
    return int(qBound(qint64(std::numeric_limits<qint32>::min()), p,
                      qint64(std::numeric_limits<qint32>::max())));
}

} // namespace

VoiceControls::VoiceControls(SpeechSynth &synth, QScrollBar *slider1, QLabel *speedlbl,
                             QScrollBar *slider2, QLabel *pitchlbl, QObject *parent)
    : QObject(parent)
    , m_synth(synth)
    , m_slider1(slider1)
    , m_speedlbl(speedlbl)
    , m_slider2(slider2)
    , m_pitchlbl(pitchlbl)
{
    m_slider1->setTracking(false);
    m_slider2->setTracking(false);
    connect(m_slider1, &QScrollBar::valueChanged, this, &VoiceControls::slider1_Change);
    connect(m_slider2, &QScrollBar::valueChanged, this, &VoiceControls::slider2_Change);
}

void VoiceControls::setup()
{
    m_scale.speedStep = VoiceScale::stepFor(m_synth.speed(), 250);
    m_scale.pitchStep = VoiceScale::stepFor(m_synth.pitch(), 400);
    m_slider1->setValue(toScrollValue(m_synth.speed()));
    m_slider2->setValue(toScrollValue(m_synth.pitch()));
    m_slider1->setMaximum(250);
    m_slider1->setMinimum(50);
    m_slider2->setMaximum(400);
    m_slider2->setMinimum(50);
}

void VoiceControls::slider1_Change()
{
    const int v = m_slider1->value();
    m_synth.setSpeed(product(v, m_scale.speedStep));
    m_speedlbl->setText(QString::number(v));
}

void VoiceControls::slider2_Change()
{
    const int v = m_slider2->value();
    m_synth.setPitch(product(v, m_scale.pitchStep));
    m_pitchlbl->setText(QString::number(v));
}

void VoiceControls::showValuesInForce()
{
    showOn(m_slider1, m_speedlbl, m_synth.speed(), m_scale.speedStep);
    showOn(m_slider2, m_pitchlbl, m_synth.pitch(), m_scale.pitchStep);
}

void VoiceControls::showOn(QScrollBar *bar, QLabel *label, int value, qint32 step)
{
    if (step == 0)
        return; // every position sends 0: no position stands for the value
    const int position = int(qBound(double(bar->minimum()),
                                    std::round(double(value) / double(step)),
                                    double(bar->maximum())));
    {
        const QSignalBlocker blocker(bar);
        bar->setValue(position);
    }
    label->setText(QString::number(bar->value()));
}
