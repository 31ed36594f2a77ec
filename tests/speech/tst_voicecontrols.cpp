#include "fakes/fakespeechsynth.h"
#include "speech/voicecontrols.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QTest>

namespace {

// The two scroll bars and labels as the main window makes them.
struct Panel {
    Panel()
    {
        for (QScrollBar *bar : {&slider1, &slider2}) {
            bar->setRange(0, 32767);
            bar->setValue(0);
            bar->setSingleStep(1);
            bar->setPageStep(1);
        }
    }
    FakeSpeechSynth synth;
    QScrollBar slider1{Qt::Horizontal};
    QLabel speedlbl;
    QScrollBar slider2{Qt::Horizontal};
    QLabel pitchlbl;
    VoiceControls controls{synth, &slider1, &speedlbl, &slider2, &pitchlbl};
};

} // namespace

class TestVoiceControls : public QObject
{
    Q_OBJECT

private slots:
    void steps_data();
    void steps();
    void setupWithTheSynthesisersStartValues();
    void setupSendsValueTimesStepAndClamps();
    void pitchBelowTheRange();
    void speedOfZero();
    void completedChangesAreSent();
    void draggingSendsNothingUntilReleased();
    void showValuesInForceSendsNothing();
};

void TestVoiceControls::steps_data()
{
    QTest::addColumn<int>("initial");
    QTest::addColumn<int>("divisor");
    QTest::addColumn<int>("step");
    // Speed: initial / 250, to the nearest, a half to even.
    QTest::newRow("speed 150") << 150 << 250 << 1;
    QTest::newRow("speed 375") << 375 << 250 << 2;
    QTest::newRow("speed 625, half to even") << 625 << 250 << 2;
    QTest::newRow("speed 875, half to even") << 875 << 250 << 4;
    // Rounding to 0 would leave a dead scroll bar: a positive value gets 1.
    QTest::newRow("speed 100") << 100 << 250 << 1;
    QTest::newRow("speed 125") << 125 << 250 << 1;
    QTest::newRow("speed 0") << 0 << 250 << 0;
    QTest::newRow("speed -500") << -500 << 250 << -2;
    // Pitch: initial / 400.
    QTest::newRow("pitch 600") << 600 << 400 << 2;
    QTest::newRow("pitch 1000, half to even") << 1000 << 400 << 2;
    QTest::newRow("pitch 100") << 100 << 400 << 1;
    QTest::newRow("pitch 200") << 200 << 400 << 1;
}

void TestVoiceControls::steps()
{
    QFETCH(int, initial);
    QFETCH(int, divisor);
    QFETCH(int, step);
    QCOMPARE(VoiceScale::stepFor(initial, divisor), step);
}

void TestVoiceControls::setupWithTheSynthesisersStartValues()
{
    Panel p;
    p.controls.setup();
    QCOMPARE(p.controls.scale().speedStep, 1);
    QCOMPARE(p.controls.scale().pitchStep, 1);
    QCOMPARE(p.synth.m_calls, QStringList({"speed=150", "pitch=100"}));
    QCOMPARE(p.slider1.minimum(), 50);
    QCOMPARE(p.slider1.maximum(), 250);
    QCOMPARE(p.slider1.value(), 150);
    QCOMPARE(p.slider2.minimum(), 50);
    QCOMPARE(p.slider2.maximum(), 400);
    QCOMPARE(p.slider2.value(), 100);
    QCOMPARE(p.speedlbl.text(), QStringLiteral("150"));
    QCOMPARE(p.pitchlbl.text(), QStringLiteral("100"));
    QVERIFY(!p.slider1.hasTracking());
    QVERIFY(!p.slider2.hasTracking());
}

void TestVoiceControls::setupSendsValueTimesStepAndClamps()
{
    Panel p;
    p.synth.m_speed = 375;
    p.synth.m_pitch = 600;
    p.controls.setup();
    QCOMPARE(p.controls.scale().speedStep, 2);
    QCOMPARE(p.controls.scale().pitchStep, 2);
    // Each value set runs its handler; the new maximum then pulls the speed to 250.
    QCOMPARE(p.synth.m_calls, QStringList({"speed=750", "pitch=1200", "speed=500", "pitch=800"}));
    QCOMPARE(p.slider1.value(), 250);
    QCOMPARE(p.speedlbl.text(), QStringLiteral("250"));
    QCOMPARE(p.slider2.value(), 400);
    QCOMPARE(p.pitchlbl.text(), QStringLiteral("400"));
    QCOMPARE(p.synth.speed(), 500);
    QCOMPARE(p.synth.pitch(), 800);
}

void TestVoiceControls::pitchBelowTheRange()
{
    Panel p;
    p.synth.m_pitch = 30;
    p.controls.setup();
    QCOMPARE(p.controls.scale().pitchStep, 1);
    QCOMPARE(p.synth.m_calls, QStringList({"speed=150", "pitch=30", "pitch=50"}));
    QCOMPARE(p.slider2.value(), 50);
    QCOMPARE(p.pitchlbl.text(), QStringLiteral("50"));
}

void TestVoiceControls::speedOfZero()
{
    Panel p;
    p.synth.m_speed = 0;
    p.controls.setup();
    // The value stays at its design 0 (no change, no handler) until the minimum
    // pulls it to 50, which sends 50 times a step of 0.
    QCOMPARE(p.controls.scale().speedStep, 0);
    QCOMPARE(p.synth.m_calls, QStringList({"pitch=100", "speed=0"}));
    QCOMPARE(p.slider1.value(), 50);
    QCOMPARE(p.speedlbl.text(), QStringLiteral("50"));
}

void TestVoiceControls::completedChangesAreSent()
{
    Panel p;
    p.synth.m_pitch = 200; // would have given a pitch step of 0
    p.controls.setup();
    p.synth.clear();
    p.slider1.setValue(200);
    p.slider1.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    p.slider2.setValue(300);
    p.slider2.triggerAction(QAbstractSlider::SliderToMinimum);
    QCOMPARE(p.synth.m_calls, QStringList({"speed=200", "speed=201", "pitch=300", "pitch=50"}));
    QCOMPARE(p.speedlbl.text(), QStringLiteral("201"));
    QCOMPARE(p.pitchlbl.text(), QStringLiteral("50"));
    // Setting a value it already has changes nothing.
    p.slider1.setValue(201);
    QCOMPARE(p.synth.m_calls.size(), 4);
}

void TestVoiceControls::draggingSendsNothingUntilReleased()
{
    Panel p;
    p.controls.setup();
    p.synth.clear();
    p.slider1.setSliderDown(true);
    p.slider1.setSliderPosition(180);
    p.slider1.setSliderPosition(190);
    QVERIFY(p.synth.m_calls.isEmpty());
    QCOMPARE(p.speedlbl.text(), QStringLiteral("150"));
    p.slider1.setSliderDown(false);
    QCOMPARE(p.synth.m_calls, QStringList({"speed=190"}));
    QCOMPARE(p.speedlbl.text(), QStringLiteral("190"));
}

void TestVoiceControls::showValuesInForceSendsNothing()
{
    Panel p;
    p.synth.m_speed = 375; // a speed step of 2
    p.controls.setup();
    // Values written straight into the synthesiser, as the settings file does.
    p.synth.setSpeed(300);
    p.synth.setPitch(85);
    p.synth.clear();
    p.controls.showValuesInForce();
    QVERIFY(p.synth.m_calls.isEmpty());
    QCOMPARE(p.slider1.value(), 150);
    QCOMPARE(p.speedlbl.text(), QStringLiteral("150"));
    QCOMPARE(p.slider2.value(), 85);
    QCOMPARE(p.pitchlbl.text(), QStringLiteral("85"));
    // Outside the scroll range: the nearest end is shown.
    p.synth.m_speed = 2000;
    p.synth.m_pitch = 10;
    p.controls.showValuesInForce();
    QVERIFY(p.synth.m_calls.isEmpty());
    QCOMPARE(p.slider1.value(), 250);
    QCOMPARE(p.speedlbl.text(), QStringLiteral("250"));
    QCOMPARE(p.slider2.value(), 50);
    QCOMPARE(p.pitchlbl.text(), QStringLiteral("50"));
    // The scroll bars still work afterwards.
    p.slider2.setValue(60);
    QCOMPARE(p.synth.m_calls, QStringList({"pitch=60"}));
}

QTEST_MAIN(TestVoiceControls)
#include "tst_voicecontrols.moc"
