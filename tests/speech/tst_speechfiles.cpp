// Voices and audio files for real: the catalogue of both engines, a voice change while
// reading, Flite's speed and pitch, files of every type decoded back, the export from
// the window and from the command line, and what a cancel or a failure leaves behind.
#include "synthrig.h"

#include "fakes/fakespeechsynth.h"
#include "fakes/scripteddialog.h"
#include "fakes/scriptedmessageboxes.h"
#include "pcmanalysis.h"
#include "platform/espeak/espeakspeechfile.h"
#include "platform/espeak/espeakvoice.h"
#include "platform/richtextpad.h"
#include "speech/savespeech.h"
#include "speech/speaktofile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <sndfile.h>

namespace {

constexpr int rate = EspeakVoice::sampleRate;
const QString german = QStringLiteral("espeak-ng:gmw/de");
const QString slt = QStringLiteral("flite:slt");

QString numberedLines(int count)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts << QStringLiteral("We read the line number %1 aloud,").arg(i + 1);
    return parts.join(u' ') + u'.';
}

struct Decoded {
    int rate = 0;
    int channels = 0;
    double seconds = -1;
};

// The file read back with libsndfile, as another program would read it.
Decoded decode(const QString &path)
{
    SF_INFO info{};
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return {};
    // Compressed files may not know their length before they are read through.
    std::vector<short> block(8192);
    sf_count_t frames = 0;
    for (sf_count_t got; (got = sf_readf_short(file, block.data(), 8192)) > 0;)
        frames += got;
    sf_close(file);
    return {info.samplerate, info.channels, double(frames) / info.samplerate};
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestSpeechFiles : public QObject
{
    Q_OBJECT

private slots:
    void voiceCatalogue();
    void voiceChangeHeardFromTheNextClause();
    void fliteSpeedAndPitch();
    void formatsDecodeBack_data();
    void formatsDecodeBack();
    void cancelAndFailuresLeaveNoFile();
    void saveSpeechFromTheWindow();
    void commandLine();
};

void TestSpeechFiles::voiceCatalogue()
{
    const QList<VoiceInfo> voices = EspeakVoice::installedVoices();
    QVERIFY(voices.size() > 50);
    const VoiceInfo *us = Voices::find(voices, Voices::defaultId());
    QVERIFY(us);
    QCOMPARE(us->language, QStringLiteral("en-us"));
    QCOMPARE(us->languageName, QStringLiteral("English"));
    QCOMPARE(us->name, QStringLiteral("English (America)"));
    // By the engine's name, the language or the voice's name, in any case.
    QCOMPARE(Voices::find(voices, QStringLiteral("EN-US")), us);
    QCOMPARE(Voices::find(voices, QStringLiteral("gmw/en-us")), us);
    const VoiceInfo *de = Voices::find(voices, QStringLiteral("de"));
    QVERIFY(de);
    QCOMPARE(de->id, german);
    QCOMPARE(de->languageName, QStringLiteral("German"));
    QVERIFY(!Voices::find(voices, QStringLiteral("no-such-voice")));
    // A broader language finds its one voice, or none of several.
    QCOMPARE(Voices::find(voices, QStringLiteral("cmn-latn"))->language,
             QStringLiteral("cmn-latn-pinyin"));
    QVERIFY(!Voices::find(voices, QStringLiteral("fr")));
    QVERIFY(Voices::candidates(voices, QStringLiteral("fr")).size() >= 2);
    QVERIFY(!Voices::find(voices, QString()));

    // The synthesiser takes the voices listed, Flite's among them, and refuses others.
    SynthRig rig;
    QCOMPARE(rig.synth->voice(), Voices::defaultId());
    const QList<VoiceInfo> both = rig.synth->voices();
    QCOMPARE(both.size(), voices.size() + 4);
    for (const char *name : {"slt", "awb", "rms", "kal16"}) {
        const VoiceInfo *flite = Voices::find(both, QLatin1String(name));
        QVERIFY2(flite && flite->languageName == QStringLiteral("English"), name);
    }
    // A language spoken by both engines still means the standard voice.
    QCOMPARE(Voices::find(both, QStringLiteral("en-us"))->id, Voices::defaultId());
    QVERIFY(rig.synth->setVoice(slt));
    QVERIFY(!rig.synth->setVoice(QStringLiteral("espeak-ng:nowhere/xx")));
    QVERIFY(rig.synth->setVoice(german));
    QCOMPARE(rig.synth->voice(), german);
    rig.synth->selectLanguage(1033);
    QCOMPARE(rig.synth->voice(), Voices::defaultId());
}

void TestSpeechFiles::voiceChangeHeardFromTheNextClause()
{
    // Each clause is synthesised the same every time, so the length tells after how
    // many clauses the voice changed.
    QStringList clauses;
    for (int i = 1; i <= 5; ++i)
        clauses << QStringLiteral("We read the line number %1 aloud,").arg(i);
    const QString text = clauses.join(u' ');
    SynthRig rig({}, 4000);
    const auto length = [&rig](const QString &voice, const QStringList &parts) {
        rig.synth->setVoice(voice);
        return parts.isEmpty() ? 0 : qsizetype(rig.render(parts.join(u' ')).size());
    };
    // Lengths when the change is heard after k clauses.
    QList<qsizetype> changedAfter;
    for (int k = 0; k <= clauses.size(); ++k)
        changedAfter << length(Voices::defaultId(), clauses.mid(0, k))
                + length(german, clauses.mid(k));

    rig.synth->setVoice(Voices::defaultId());
    rig.capture->recorded.clear();
    {
        std::lock_guard lock(rig.tapMutex);
        rig.tapped.clear();
    }
    rig.synth->speak(text);
    // Into the first clause, with more synthesised ahead in the old voice.
    QCOMPARE(rig.capture->advance(rate / 2), rate / 2);
    QTRY_VERIFY(rig.tappedSoFar().size() > size_t(changedAfter.constLast() / 5 + rate));
    rig.synth->setVoice(german);
    // Playing goes on in real time: the synthesiser sees the change at its next write.
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(rig.capture->advance(rate / 50), rate / 50);
        QThread::msleep(20);
    }
    QVERIFY(rig.capture->playToEnd());
    const qsizetype mixed = qsizetype(rig.capture->recorded.size());
    qsizetype nearest = 0;
    for (int k = 1; k < changedAfter.size(); ++k) {
        if (std::abs(changedAfter[k] - mixed) < std::abs(changedAfter[nearest] - mixed))
            nearest = k;
    }
    qInfo() << "lengths when changed after 0..5 clauses" << changedAfter << "heard" << mixed;
    QCOMPARE(nearest, 1);
}

void TestSpeechFiles::fliteSpeedAndPitch()
{
    SynthRig rig;
    const QString sentence = numberedLines(2);
    QString log;
    const auto seconds = [&](int wpm) {
        rig.synth->setSpeed(wpm);
        const double s = PcmAnalysis::soundSeconds(rig.render(sentence), rate);
        log += QStringLiteral(" %1 wpm: %2 s;").arg(wpm).arg(s, 0, 'f', 2);
        return s;
    };
    const double espeak = seconds(150);
    for (const char *name : {"slt", "awb", "rms", "kal16"}) {
        // Words per minute as for espeak-ng: in proportion, and near its length.
        log = QLatin1String(name);
        QVERIFY(rig.synth->setVoice(QStringLiteral("flite:") + QLatin1String(name)));
        rig.synth->setPitch(120);
        const double fast = seconds(250);
        const double slow = seconds(60);
        const double normal = seconds(150);
        QVERIFY2(fast < normal && normal < slow, qPrintable(log));
        QVERIFY2(normal / fast > 1.4 && slow / normal > 2.0, qPrintable(log));
        QVERIFY2(normal > 0.8 * espeak && normal < 1.25 * espeak, qPrintable(log));

        // The base pitch in Hz: the fundamental follows it, the duration does not.
        double previous = 0;
        for (int hz : {80, 120, 200, 300}) {
            rig.synth->setPitch(hz);
            const auto pcm = rig.render(sentence);
            const double f0 = PcmAnalysis::medianFundamental(pcm, rate);
            const double s = PcmAnalysis::soundSeconds(pcm, rate);
            log += QStringLiteral(" %1 Hz: %2 Hz, %3 s;").arg(hz).arg(f0, 0, 'f', 1)
                       .arg(s, 0, 'f', 2);
            QVERIFY2(f0 > previous && f0 > 0.8 * hz && f0 < 1.25 * hz, qPrintable(log));
            QVERIFY2(std::abs(s - normal) < 0.1 * normal, qPrintable(log));
            previous = f0;
        }
        qInfo().noquote() << "Flite" << log << "espeak-ng at 150 wpm:" << espeak << "s";
    }
}

void TestSpeechFiles::formatsDecodeBack_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("fileRate");
    QTest::addColumn<QString>("voice");
    QTest::newRow("wav") << "speech.wav" << rate << QString();
    QTest::newRow("flac") << "speech.flac" << rate << QString();
    QTest::newRow("ogg") << "speech.ogg" << rate << QString();
    QTest::newRow("opus") << "speech.opus" << 48000 << QString();
    QTest::newRow("mp3") << "Speech.MP3" << rate << QString();
    QTest::newRow("ogg, Flite") << "flite.ogg" << rate << QStringLiteral("flite:awb");
}

void TestSpeechFiles::formatsDecodeBack()
{
    QFETCH(QString, name);
    QFETCH(int, fileRate);
    QFETCH(QString, voice);
    const QString text = numberedLines(4);
    SynthRig rig;
    QVERIFY(voice.isEmpty() || rig.synth->setVoice(voice));
    rig.synth->setSpeed(210);
    rig.synth->setPitch(140);
    const double live = double(rig.render(text).size()) / rate;

    QTemporaryDir dir;
    EspeakSpeechFile writer;
    SpeechFileWriter::Request request;
    request.text = text;
    request.path = dir.filePath(name);
    request.speed = 210;
    request.pitch = 140;
    request.voice = voice;
    QList<double> shares;
    QString error;
    QCOMPARE(writer.write(request, [&](double s) { shares << s; return true; }, &error),
             SpeechFileWriter::Result::Written);
    QVERIFY(std::is_sorted(shares.cbegin(), shares.cend()));
    QCOMPARE(shares.constLast(), 1.0);
    const Decoded file = decode(request.path);
    qInfo() << name << file.seconds << "s, live" << live << "s";
    QCOMPARE(file.rate, fileRate);
    QCOMPARE(file.channels, 1);
    QVERIFY2(std::abs(file.seconds - live) < live * 0.1,
             qPrintable(QString::number(file.seconds)));
    QCOMPARE(entries(dir.path()), QStringList{name});
}

void TestSpeechFiles::cancelAndFailuresLeaveNoFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("book.ogg"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    EspeakSpeechFile writer;
    SpeechFileWriter::Request request;
    request.text = numberedLines(40);
    request.path = path;
    QString error;
    int calls = 0;
    // Cancelled half-way: the old file stays and nothing else is left.
    QCOMPARE(writer.write(request, [&](double s) { return ++calls < 3 && s < 0.5; }, &error),
             SpeechFileWriter::Result::Cancelled);
    QCOMPARE(calls, 3);
    QFile kept(path);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("old"));
    QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("book.ogg")});

    const auto fails = [&](const QString &target, const QString &voice, const char *reason) {
        request.path = target;
        request.voice = voice;
        error.clear();
        const auto result = writer.write(request, {}, &error);
        return result == SpeechFileWriter::Result::Failed && error.contains(reason);
    };
    QVERIFY2(fails(dir.filePath("missing/x.wav"), {}, "Cannot write"), qPrintable(error));
    QVERIFY2(fails(dir.filePath("book.txt"), {}, ".wav, .flac"), qPrintable(error));
    QVERIFY2(fails(dir.path(), {}, "folder"), qPrintable(error));
    QVERIFY2(fails(dir.filePath("x.wav"), "espeak-ng:none", "no voice"), qPrintable(error));
    QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("book.ogg")});
}

void TestSpeechFiles::saveSpeechFromTheWindow()
{
    QTemporaryDir dir;
    FakeSpeechSynth synth;
    ScriptedDialog dialogs;
    ScriptedMessageBoxes messages;
    RichTextPad pad;
    EspeakSpeechFile writer;
    SaveSpeech command({&synth, &writer, &dialogs, &messages, &pad, nullptr});
    pad.setText(numberedLines(400));
    dialogs.setFileName(QStringLiteral("/documents/letter.txt"));

    // Cancelled from the progress dialog: no file, no message.
    dialogs.answerFile(QStringLiteral("save"), dir.filePath(QStringLiteral("all.ogg")));
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *progress = qobject_cast<QProgressDialog *>(w);
            if (progress && progress->isVisible() && progress->value() > 0)
                progress->cancel();
        }
    });
    cancel.start(20);
    command.saveSpeechAs();
    cancel.stop();
    QVERIFY2(entries(dir.path()).isEmpty(), qPrintable(entries(dir.path()).join(u' ')));
    QVERIFY(messages.m_shown.isEmpty());
    // The documents' dialog properties are as they were.
    QCOMPARE(dialogs.fileName(), QStringLiteral("/documents/letter.txt"));
    QCOMPARE(dialogs.filter(), CommonDialog::designFilter());

    // The selection alone, with a name given without an ending: the chosen type's.
    pad.setSelStart(0);
    pad.setSelLength(int(QStringLiteral("We read the line number 1 aloud,").size()));
    dialogs.answerFile(QStringLiteral("save"), dir.filePath(QStringLiteral("first")));
    command.saveSpeechAs();
    const Decoded first = decode(dir.filePath(QStringLiteral("first.ogg")));
    QVERIFY2(first.seconds > 1.0 && first.seconds < 4.0,
             qPrintable(QString::number(first.seconds)));

    // A failure is reported in a message box.
    dialogs.answerFile(QStringLiteral("save"), dir.filePath(QStringLiteral("gone/x.mp3")));
    command.saveSpeechAs();
    QCOMPARE(messages.m_shown.size(), 1);
    QCOMPARE(messages.m_shown.constFirst().title, QStringLiteral("Error"));
    QVERIFY(messages.m_shown.constFirst().text.contains(QStringLiteral("not saved")));
    QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("first.ogg")});
}

void TestSpeechFiles::commandLine()
{
    QTemporaryDir dir;
    const auto run = [](const QStringList &arguments, QString *err = nullptr) {
        QProcess program;
        // Without a display: the command line needs none.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(TAVREL_PROGRAM), arguments);
        if (!program.waitForFinished(120000))
            return -1;
        if (err)
            *err = QString::fromUtf8(program.readAllStandardError());
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -2;
    };
    QProcess lister;
    lister.start(QStringLiteral(TAVREL_PROGRAM), {QStringLiteral("--list-voices")});
    QVERIFY(lister.waitForFinished(60000));
    QCOMPARE(lister.exitCode(), 0);
    const QString listed = QString::fromUtf8(lister.readAllStandardOutput());
    QVERIFY(listed.contains(Voices::defaultId()) && listed.contains(german));

    const QString input = QStringLiteral(TAVREL_SHARED_TESTDATA "/rtf/hello.rtf");
    const QString out = dir.filePath(QStringLiteral("hello.ogg"));
    QString err;
    QCOMPARE(run({"--speak-to", out, "--voice", "en-us", "--speed", "180", "--pitch", "120",
                  input}, &err), 0);
    QVERIFY2(err.contains(QStringLiteral("100% done")), qPrintable(err));
    QString text;
    QString error;
    QVERIFY(SpeakToFile::readText(input, &text, &error));
    QVERIFY(!text.contains(QStringLiteral("\\rtf")));
    const Decoded hello = decode(out);
    QCOMPARE(hello.rate, rate);
    QVERIFY(hello.seconds > 0.5);

    const QString other = dir.filePath(QStringLiteral("other.wav"));
    QCOMPARE(run({"--speak-to", other, dir.filePath("none.txt")}, &err), SpeakToFile::kFailed);
    QVERIFY2(err.contains(QStringLiteral("Cannot read")), qPrintable(err));
    QCOMPARE(run({"--speak-to", other, "--voice", "no-such-voice", input}, &err),
             SpeakToFile::kBadUsage);
    QVERIFY2(err.contains(QStringLiteral("no-such-voice")), qPrintable(err));
    QCOMPARE(run({"--speak-to", other, "--speed", "fast", input}, &err), SpeakToFile::kBadUsage);
    QCOMPARE(run({"--speak-to", other}, &err), SpeakToFile::kBadUsage);
    QCOMPARE(run({"--speak-to", dir.filePath("no/where.wav"), input}, &err),
             SpeakToFile::kFailed);
    QVERIFY2(err.contains(QStringLiteral("Cannot write")), qPrintable(err));
    QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("hello.ogg")});
}

QTEST_MAIN(TestSpeechFiles)
#include "tst_speechfiles.moc"
