#include "synthrig.h"

#include "pcmanalysis.h"

#include "platform/espeak/espeakvoice.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>

namespace {

constexpr int rate = EspeakVoice::sampleRate;

const QString sentence = QStringLiteral(
    "The quick brown fox jumps over the lazy dog, and the dog sleeps on in the sun.");

QString manyClauses(int count)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts << QStringLiteral("We read the line number %1 aloud,").arg(i + 1);
    return parts.join(u' ') + u'.';
}

// Seconds after `from` at which a quarter of a second of audio first has a
// fundamental above `hertz` * 2 / 3; -1 if never.
double firstHeard(const std::vector<qint16> &pcm, qsizetype from, int hertz)
{
    for (qsizetype at = from; at + rate / 4 <= qsizetype(pcm.size()); at += rate / 20) {
        if (PcmAnalysis::medianFundamental(pcm, rate, at, at + rate / 4) > hertz * 2 / 3)
            return double(at - from) / rate;
    }
    return -1;
}

} // namespace

class TestEspeakSynth : public QObject
{
    Q_OBJECT

private slots:
    void producesSpeech();
    void emptyTextIsSilent();
    void speedOrdersDurations();
    void everySlowSpeedIsDistinct();
    void pitchRaisesFundamental();
    void pitchAcrossTheRange();
    void volumeScalesLoudness();
    void valuesAreClampedAndKept();
    void queuedTextsPlayInOrder();
    void pauseThenResumeIsContinuous();
    void stopEndsAndDropsTheQueue();
    void changeReachesTheTextBeingRead();
    void changeTakesBackAudioNotYetPlayed();
    void longTextIsNotSynthesisedAhead();
    void oddTextIsReadWithoutHarm();
};

void TestEspeakSynth::producesSpeech()
{
    SynthRig rig;
    QVERIFY(rig.synth->hasOutput());
    const auto pcm = rig.render(sentence);
    QVERIFY(PcmAnalysis::soundSeconds(pcm, rate) > 2.0);
    QVERIFY(PcmAnalysis::rms(pcm) > 1000);
    // Speech has a voice: a fundamental about where the default pitch puts it.
    const double f0 = PcmAnalysis::medianFundamental(pcm, rate);
    QVERIFY2(f0 > 80 && f0 < 125, qPrintable(QString::number(f0)));
    // Everything queued was played.
    QCOMPARE(rig.capture->recorded, rig.tappedSoFar());
}

void TestEspeakSynth::emptyTextIsSilent()
{
    SynthRig rig;
    const auto pcm = rig.render(QString());
    QVERIFY(rig.capture->finished());
    QCOMPARE(PcmAnalysis::soundSpan(pcm).second, 0);
    const auto blanks = rig.render(QStringLiteral("  \n\t \n"));
    QCOMPARE(PcmAnalysis::soundSpan(blanks).second, 0);
}

void TestEspeakSynth::speedOrdersDurations()
{
    SynthRig rig;
    rig.synth->setSpeed(250);
    const double fast = PcmAnalysis::soundSeconds(rig.render(sentence), rate);
    rig.synth->setSpeed(150);
    const double normal = PcmAnalysis::soundSeconds(rig.render(sentence), rate);
    rig.synth->setSpeed(50);
    const double slow = PcmAnalysis::soundSeconds(rig.render(sentence), rate);
    const QString got = QStringLiteral("250: %1 s, 150: %2 s, 50: %3 s").arg(fast).arg(normal)
                            .arg(slow);
    qInfo().noquote() << got;
    QVERIFY2(fast < normal && normal < slow, qPrintable(got));
    // Roughly in proportion to the words per minute.
    QVERIFY2(normal / fast > 1.4 && slow / normal > 2.4, qPrintable(got));
}

void TestEspeakSynth::everySlowSpeedIsDistinct()
{
    // espeak-ng itself stops slowing down near 85 words per minute.
    SynthRig rig;
    double previous = 0;
    for (int wpm : {100, 90, 86, 85, 84, 80, 70, 60, 50}) {
        rig.synth->setSpeed(wpm);
        const double seconds = PcmAnalysis::soundSeconds(rig.render(sentence), rate);
        qInfo() << wpm << "wpm:" << seconds << "s";
        QVERIFY2(seconds > previous,
                 qPrintable(QStringLiteral("%1 wpm: %2 s after %3 s").arg(wpm).arg(seconds)
                                .arg(previous)));
        previous = seconds;
    }
}

void TestEspeakSynth::pitchRaisesFundamental()
{
    SynthRig rig;
    rig.synth->setPitch(80);
    const double low = PcmAnalysis::medianFundamental(rig.render(sentence), rate);
    rig.synth->setPitch(300);
    const double high = PcmAnalysis::medianFundamental(rig.render(sentence), rate);
    qInfo() << "fundamental at 80 Hz:" << low << "at 300 Hz:" << high;
    QVERIFY2(high > 3.0 * low, qPrintable(QStringLiteral("80: %1 Hz, 300: %2 Hz").arg(low)
                                              .arg(high)));
    // Pitch is the voice's own: the duration does not change with it.
    rig.synth->setPitch(400);
    const double highSeconds = PcmAnalysis::soundSeconds(rig.render(sentence), rate);
    rig.synth->setPitch(50);
    const double lowSeconds = PcmAnalysis::soundSeconds(rig.render(sentence), rate);
    QVERIFY(std::abs(highSeconds - lowSeconds) < 0.1 * lowSeconds);
}

void TestEspeakSynth::pitchAcrossTheRange()
{
    SynthRig rig;
    double previous = 0;
    QString log;
    for (int hz : {50, 60, 68, 85, 100, 125, 171, 200, 250, 300, 400}) {
        rig.synth->setPitch(hz);
        const double f0 = PcmAnalysis::medianFundamental(rig.render(sentence), rate);
        log += QStringLiteral(" %1:%2").arg(hz).arg(f0, 0, 'f', 1);
        // The median fundamental follows the base pitch asked for.
        QVERIFY2(f0 > 0.8 * hz && f0 < 1.25 * hz, qPrintable(log));
        QVERIFY2(f0 >= 0.98 * previous, qPrintable(log));
        previous = f0;
    }
    qInfo().noquote() << "fundamentals:" << log;
}

void TestEspeakSynth::volumeScalesLoudness()
{
    SynthRig rig;
    const double full = PcmAnalysis::rms(rig.render(sentence));
    rig.synth->setVolume(30);
    const double quiet = PcmAnalysis::rms(rig.render(sentence));
    rig.synth->setVolume(0);
    const double none = PcmAnalysis::rms(rig.render(sentence));
    QVERIFY2(quiet < 0.6 * full && quiet > 0.05 * full,
             qPrintable(QStringLiteral("%1 %2").arg(full).arg(quiet)));
    QVERIFY(none < 20);
}

void TestEspeakSynth::valuesAreClampedAndKept()
{
    SynthRig rig;
    QCOMPARE(rig.synth->speed(), 150);
    QCOMPARE(rig.synth->pitch(), 100);
    QCOMPARE(rig.synth->volume(), 100);
    QVERIFY(rig.synth->setSpeed(0));
    QCOMPARE(rig.synth->speed(), 20);
    QVERIFY(rig.synth->setSpeed(32767));
    QCOMPARE(rig.synth->speed(), 450);
    QVERIFY(rig.synth->setPitch(-3));
    QCOMPARE(rig.synth->pitch(), 20);
    QVERIFY(rig.synth->setPitch(100000));
    QCOMPARE(rig.synth->pitch(), 500);
    QVERIFY(rig.synth->setVolume(150));
    QCOMPARE(rig.synth->volume(), 100);
    QVERIFY(rig.synth->setSpeed(123));
    QCOMPARE(rig.synth->speed(), 123);
    // The language call keeps the values and the voice speaks on.
    rig.synth->selectLanguage(1033);
    rig.synth->selectLanguage(1031);
    QCOMPARE(rig.synth->speed(), 123);
    QVERIFY(PcmAnalysis::soundSeconds(rig.render(sentence), rate) > 1.0);
}

void TestEspeakSynth::queuedTextsPlayInOrder()
{
    SynthRig rig;
    rig.synth->speak(QStringLiteral("Yes."));
    rig.synth->speak(sentence);
    QVERIFY(rig.capture->playToEnd());
    const auto &pcm = rig.capture->recorded;
    // The first sound is the short word, then a pause, then the long sentence.
    const auto [start, end] = PcmAnalysis::soundSpan(pcm);
    qsizetype firstQuiet = -1;
    for (qsizetype i = start; i + rate / 5 < end; i += rate / 50) {
        if (PcmAnalysis::rms(pcm, i, i + rate / 5) < 100) {
            firstQuiet = i;
            break;
        }
    }
    QVERIFY(firstQuiet > start);
    QVERIFY2(firstQuiet - start < rate * 3 / 4, qPrintable(QString::number(firstQuiet - start)));
    QVERIFY(end - firstQuiet > 2 * rate);
}

void TestEspeakSynth::pauseThenResumeIsContinuous()
{
    const QString text = manyClauses(6);
    SynthRig reference;
    const double whole = PcmAnalysis::soundSeconds(reference.render(text), rate);

    SynthRig rig;
    rig.synth->speak(text);
    QCOMPARE(rig.capture->advance(rate), rate);
    rig.synth->pause();
    QVERIFY(rig.capture->suspended());
    // Time passes while held: nothing is played, and the synthesiser, having filled
    // its look-ahead, waits.
    QThread::msleep(200);
    QCOMPARE(rig.capture->advance(rate), 0);
    QCOMPARE(qsizetype(rig.capture->recorded.size()), qsizetype(rate));
    rig.synth->resume();
    QVERIFY(rig.capture->playToEnd());

    // What was played is what was synthesised, sample for sample, and it is as
    // long as the text read without a pause: nothing skipped, nothing repeated.
    QCOMPARE(rig.capture->recorded, rig.tappedSoFar());
    const double played = PcmAnalysis::soundSeconds(rig.capture->recorded, rate);
    QVERIFY2(std::abs(played - whole) < 0.02 * whole,
             qPrintable(QStringLiteral("%1 s against %2 s").arg(played).arg(whole)));
}

void TestEspeakSynth::stopEndsAndDropsTheQueue()
{
    const QString afterwards = QStringLiteral("Good morning to you.");
    SynthRig reference;
    const double afterwardsAlone = PcmAnalysis::soundSeconds(reference.render(afterwards), rate);

    SynthRig rig;
    rig.synth->speak(manyClauses(20));
    rig.synth->speak(sentence);
    QCOMPARE(rig.capture->advance(rate / 2), rate / 2);
    rig.synth->stop();
    QCOMPARE(rig.capture->stops(), 1);
    QCOMPARE(rig.capture->queue().available(), 0);
    // Nothing more comes: neither the rest of the first text nor the queued one.
    QTRY_VERIFY(rig.capture->finished());
    const qsizetype tappedAtStop = qsizetype(rig.tappedSoFar().size());
    QThread::msleep(100);
    QCOMPARE(qsizetype(rig.tappedSoFar().size()), tappedAtStop);
    QCOMPARE(rig.capture->advance(rate), 0);

    // A text spoken after the stop starts afresh and is all that is heard.
    const auto pcm = rig.render(afterwards);
    const double seconds = PcmAnalysis::soundSeconds(pcm, rate);
    QVERIFY2(std::abs(seconds - afterwardsAlone) < 0.05 * afterwardsAlone,
             qPrintable(QStringLiteral("%1 s against %2 s").arg(seconds).arg(afterwardsAlone)));
}

void TestEspeakSynth::changeReachesTheTextBeingRead()
{
    SynthRig rig;
    rig.synth->setPitch(80);
    rig.synth->speak(manyClauses(12));
    QCOMPARE(rig.capture->advance(2 * rate), 2 * rate);
    rig.synth->setPitch(300);
    QVERIFY(rig.capture->playToEnd());
    const auto &pcm = rig.capture->recorded;
    const double before = PcmAnalysis::medianFundamental(pcm, rate, 0, 2 * rate);
    const double after = firstHeard(pcm, 2 * rate, 300);
    qInfo() << "fundamental before the change:" << before << "; new pitch heard" << after
            << "s after the change";
    // The clauses run about two seconds each: the next one has the new pitch.
    QVERIFY2(before < 100 && after >= 0 && after < 2.5, qPrintable(QString::number(after)));
}

void TestEspeakSynth::changeTakesBackAudioNotYetPlayed()
{
    // With seconds of audio synthesised ahead, a change is still heard from the next
    // clause played, and no clause is lost or said twice on the way.
    const QStringList words{"one",     "two",      "three",    "four",   "five",
                            "six",     "seven",    "eight",    "nine",   "ten",
                            "eleven",  "twelve",   "thirteen", "fourteen", "fifteen",
                            "sixteen", "seventeen"};
    SynthRig rig({}, 4000);
    rig.synth->setPitch(80);
    rig.synth->speak(words.join(QStringLiteral(", ")) + u'.');
    QCOMPARE(rig.capture->advance(rate), rate);
    QTRY_VERIFY(rig.tappedSoFar().size() > size_t(4 * rate));
    rig.synth->setSpeed(200);
    rig.synth->setPitch(300);
    // Playing goes on in real time: the synthesiser sees the change at its next write.
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(rig.capture->advance(rate / 50), rate / 50);
        QThread::msleep(20);
    }
    QVERIFY(rig.capture->playToEnd());
    const auto &pcm = rig.capture->recorded;
    const double after = firstHeard(pcm, rate, 300);
    qInfo() << "new pitch heard" << after << "s after the change";
    QVERIFY2(after >= 0 && after < 1.0, qPrintable(QString::number(after)));
    QCOMPARE(PcmAnalysis::soundBursts(pcm, rate, 90), words.size());
}

void TestEspeakSynth::longTextIsNotSynthesisedAhead()
{
    QString document;
    while (document.size() < 1'000'000)
        document += sentence + u' ';
    SynthRig rig;
    QElapsedTimer timer;
    timer.start();
    rig.synth->speak(document);
    // Returns at once: well within a second, against hours of speech.
    QVERIFY(timer.elapsed() < 1000);
    QVERIFY(rig.capture->advance(rate / 10) > 0);
    QThread::msleep(300);
    // Without playing, the synthesiser holds its look-ahead and no more.
    const qsizetype ahead = qsizetype(rig.tappedSoFar().size()) - rate / 10;
    QVERIFY2(ahead <= rig.capture->queue().capacity() + rate / 10,
             qPrintable(QString::number(ahead)));
    // Playing on, it keeps up.
    QCOMPARE(rig.capture->advance(10 * rate), 10 * rate);
    rig.synth->stop();
    QTRY_VERIFY(rig.capture->finished());
}

void TestEspeakSynth::oddTextIsReadWithoutHarm()
{
    // Whatever a document holds, reading it neither stops nor hangs the synthesiser.
    QString odd =
        QStringLiteral("Control \x01\x02\x1b[0m characters, <b>tags</b> & [[phonemes]]. ");
    odd += QChar(0xd800); // a lone surrogate
    odd += QStringLiteral(" \u05e9\u05dc\u05d5\u05dd \u4f60\u597d \U0001F600 \u2029");
    odd += QString(5000, u'x') + u' ' + QString(300, u'.') + u' ' + QString(300, u',');
    odd += QStringLiteral("\n\n\n end.");
    SynthRig rig;
    rig.synth->speak(odd);
    QVERIFY(rig.capture->playToEnd(60000));
    QVERIFY(PcmAnalysis::soundSeconds(rig.capture->recorded, rate) > 1.0);
    // And it speaks on afterwards.
    const auto pcm = rig.render(sentence);
    QVERIFY(PcmAnalysis::soundSeconds(pcm, rate) > 2.0);
}

QTEST_GUILESS_MAIN(TestEspeakSynth)
#include "tst_espeaksynth.moc"
