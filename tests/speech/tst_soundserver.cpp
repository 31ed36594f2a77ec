// The sound server as it comes and goes: a server of the test's own, started late
// and killed while speaking.
#include "platform/espeak/espeakspeechsynth.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Heard : SpeechListener {
    void wordHeard(quint64, qsizetype, qsizetype) override { ++words; }
    void textEnded(quint64 id) override { ended << id; }
    void speechBroken(const QString &reason) override { broken << reason; }
    void audibilityChanged(const QString &reason) override { reasons << reason; }

    int words = 0;
    QList<quint64> ended;
    QStringList broken;
    QStringList reasons;
};

QTemporaryDir *g_runtime = nullptr;

QString socketPath()
{
    return g_runtime->filePath(QStringLiteral("native"));
}

} // namespace

class TestSoundServer : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void serverStartedLaterIsUsed();
    void serverKilledWhileSpeakingEndsTheReading();

private:
    bool startServer();

    QProcess m_server;
};

bool TestSoundServer::startServer()
{
    QFile::remove(socketPath());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), g_runtime->path());
    env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), g_runtime->filePath(QStringLiteral("pulse")));
    m_server.setProcessEnvironment(env);
    m_server.start(QStringLiteral("pulseaudio"),
                   {QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                    QStringLiteral("-n"), QStringLiteral("--use-pid-file=no"),
                    QStringLiteral("--log-level=error"),
                    QStringLiteral("--load=module-null-sink sink_name=tavrel_test"),
                    QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=")
                        + socketPath()});
    if (!m_server.waitForStarted())
        return false;
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(socketPath()) && timer.elapsed() < 20000)
        QTest::qWait(50);
    return QFile::exists(socketPath());
}

void TestSoundServer::cleanup()
{
    if (m_server.state() != QProcess::NotRunning) {
        m_server.kill();
        m_server.waitForFinished();
    }
}

void TestSoundServer::serverStartedLaterIsUsed()
{
    EspeakSpeechSynth synth;
    Heard heard;
    synth.setListener(&heard);
    QVERIFY(!synth.hasOutput());
    QVERIFY(!synth.inaudibleReason().isEmpty());
    synth.speak(QStringLiteral("Nobody hears this."));

    QVERIFY(startServer());
    const quint64 id = synth.speak(QStringLiteral("Now there is a server to hear this."));
    QVERIFY(synth.hasOutput());
    QTRY_VERIFY_WITH_TIMEOUT(heard.ended.contains(id), 30000);
    QVERIFY(heard.words >= 7);
    QCOMPARE(synth.inaudibleReason(), QString());
    QCOMPARE(heard.reasons.constLast(), QString());
    QVERIFY(heard.broken.isEmpty());
    synth.setListener(nullptr);
}

void TestSoundServer::serverKilledWhileSpeakingEndsTheReading()
{
    QVERIFY(startServer());
    EspeakSpeechSynth synth;
    Heard heard;
    synth.setListener(&heard);
    QVERIFY(synth.hasOutput());
    QString text;
    for (int i = 0; i < 40; ++i)
        text += QStringLiteral("This sentence is read while the server goes away. ");
    const quint64 id = synth.speak(text);
    QTRY_VERIFY_WITH_TIMEOUT(heard.words >= 2, 30000);
    m_server.kill();
    m_server.waitForFinished();
    // Ended as by a stop, told, and the window's thread was never held up: the wait
    // itself runs on it.
    QTRY_COMPARE_WITH_TIMEOUT(heard.broken.size(), 1, 10000);
    QVERIFY(!heard.ended.contains(id));
    QVERIFY(!synth.inaudibleReason().isEmpty());
    const int words = heard.words;
    QTest::qWait(300);
    QCOMPARE(heard.words, words);

    // Back again: the next text is heard.
    QVERIFY(startServer());
    const quint64 next = synth.speak(QStringLiteral("The server is back."));
    QTRY_VERIFY_WITH_TIMEOUT(heard.ended.contains(next), 30000);
    QCOMPARE(heard.broken.size(), 1);
    synth.setListener(nullptr);
}

int main(int argc, char *argv[])
{
    QTemporaryDir runtime;
    g_runtime = &runtime;
    QDir(runtime.path()).mkdir(QStringLiteral("pulse"));
    // The server this test starts, and no other.
    qputenv("PULSE_SERVER", ("unix:" + socketPath()).toLocal8Bit());
    QCoreApplication app(argc, argv);
    TestSoundServer test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_soundserver.moc"
