#include "synthrig.h"

#include "pcmanalysis.h"

#include "platform/espeak/espeakvoice.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Without a sound server or without voice data the synthesiser keeps working,
// silently, and never holds up its caller.
class TestEspeakDegraded : public QObject
{
    Q_OBJECT

private slots:
    // First: it needs the library not yet loaded in this process.
    void loadsTheVoiceBeforeAnyText();
    void noSoundServer();
    void missingVoiceData();
};

// Loading espeak-ng cannot be broken off, so a synthesiser that loaded it with its
// first text made a program that ends on that text (the exit question) wait for it.
void TestEspeakDegraded::loadsTheVoiceBeforeAnyText()
{
    // Voice data whose phoneme table is a pipe: the synthesiser's opening it, which
    // lets the test open the other end, shows that the load has begun.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray table = QFile::encodeName(dir.filePath(QStringLiteral("phontab")));
    QCOMPARE(::mkfifo(table.constData(), 0600), 0);
    SynthRig rig(QFile::encodeName(dir.path()));
    int writer = -1;
    QTRY_VERIFY_WITH_TIMEOUT((writer = ::open(table.constData(), O_WRONLY | O_NONBLOCK)) >= 0,
                             10000);
    ::close(writer);
    // The data is no use, and the synthesiser stays silent.
    rig.synth->speak(QStringLiteral("Nobody hears this."));
    QVERIFY(rig.capture->playToEnd(10000));
    QVERIFY(rig.capture->recorded.empty());
}

void TestEspeakDegraded::noSoundServer()
{
    QElapsedTimer timer;
    timer.start();
    EspeakSpeechSynth synth;
    QVERIFY(QMediaDevices::defaultAudioOutput().isNull());
    QVERIFY(!synth.hasOutput());
    QCOMPARE(synth.inaudibleReason(), QStringLiteral("No sound output was found."));
    synth.speak(QStringLiteral("Nobody hears this."));
    synth.pause();
    synth.speak(QStringLiteral("Nor this."));
    synth.resume();
    synth.stop();
    synth.speak(QStringLiteral("Nor this one."));
    QVERIFY(synth.setSpeed(200));
    QVERIFY(synth.setPitch(120));
    QVERIFY(synth.setVolume(50));
    synth.selectLanguage(1033);
    QCOMPARE(synth.speed(), 200);
    QCOMPARE(synth.pitch(), 120);
    QCOMPARE(synth.volume(), 50);
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
}

void TestEspeakDegraded::missingVoiceData()
{
    {
        // A data folder without espeak-ng's phoneme tables and voices.
        QTemporaryDir empty;
        QVERIFY(empty.isValid());
        SynthRig rig(QFile::encodeName(empty.path()));
        rig.synth->speak(QStringLiteral("There is no voice to say this."));
        rig.synth->pause();
        rig.synth->resume();
        QVERIFY(rig.capture->playToEnd(10000));
        QVERIFY(rig.capture->recorded.empty());
        // Said, so that the user knows why nothing is heard.
        QVERIFY(rig.synth->inaudibleReason().contains(QLatin1String("voice data")));
        rig.synth->speak(QStringLiteral("Nor this."));
        rig.synth->stop();
        QTRY_VERIFY(rig.capture->finished());
        QVERIFY(rig.tappedSoFar().empty());
    }
    // The library recovers when the data is there again.
    SynthRig rig;
    const auto pcm = rig.render(QStringLiteral("Now there is a voice."));
    QVERIFY(PcmAnalysis::soundSeconds(pcm, EspeakVoice::sampleRate) > 0.5);
}

int main(int argc, char *argv[])
{
    // A sound server that is not there.
    qputenv("PULSE_SERVER", "unix:/nonexistent/tavrel-test/native");
    QCoreApplication app(argc, argv);
    TestEspeakDegraded test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_espeakdegraded.moc"
