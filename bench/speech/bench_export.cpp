// Times the export of a text to audio files against espeak-ng's own command line
// writing a WAV file of the same text in the same run, and prints the ratios:
//  - WAV export / `espeak-ng -w` (goal: at most 1.2);
//  - Ogg Vorbis export / `espeak-ng -w` (goal: at most 1.5);
//  - the peak memory of the process after exporting a small text and after the
//    large one (goal: no growth with the text's length; the audio streams to disk).
// Usage: bench_export [KILOBYTES]  (the text's size, 1024 by default; a megabyte of
// text is about nineteen hours of speech, so a quicker run may take less).

#include "common/benchtext.h"
#include "platform/espeak/espeakspeechfile.h"
#include "platform/espeak/voicetuning.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

long peakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

double exportSeconds(EspeakSpeechFile &writer, const QString &text, const QString &path)
{
    SpeechFileWriter::Request request;
    request.text = text;
    request.path = path;
    QElapsedTimer clock;
    clock.start();
    QString error;
    if (writer.write(request, {}, &error) != SpeechFileWriter::Result::Written) {
        std::fprintf(stderr, "export failed: %s\n", qPrintable(error));
        return -1;
    }
    return clock.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const qsizetype kilobytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1024;
    QTemporaryDir dir;
    const QString text = proseOfSize(kilobytes * 1024);
    const QString textPath = dir.filePath(QStringLiteral("text.txt"));
    if (!writeBenchFile(textPath, text))
        return 1;

    EspeakSpeechFile writer;
    // A small export first: loads the library and gives the peak memory to compare.
    exportSeconds(writer, proseOfSize(8 * 1024), dir.filePath(QStringLiteral("small.ogg")));
    const long smallPeak = peakKb();

    // espeak-ng's own command line on the same text, voice, speed and pitch.
    const SpeechFileWriter::Request defaults;
    const VoiceTuning tuning = VoiceTuning::forVoice(defaults.speed, defaults.pitch, 100);
    QProcess reference;
    QElapsedTimer clock;
    clock.start();
    reference.start(QStringLiteral("espeak-ng"),
                    {QStringLiteral("-v"), QStringLiteral("gmw/en-US"), QStringLiteral("-s"),
                     QString::number(tuning.rate), QStringLiteral("-p"),
                     QString::number(tuning.pitch), QStringLiteral("-f"), textPath,
                     QStringLiteral("-w"), dir.filePath(QStringLiteral("reference.wav"))});
    if (!reference.waitForFinished(-1) || reference.exitCode() != 0) {
        std::fprintf(stderr, "espeak-ng failed: %s\n", reference.readAllStandardError().data());
        return 1;
    }
    const double referenceSeconds = clock.nsecsElapsed() / 1e9;
    QFile::remove(dir.filePath(QStringLiteral("reference.wav")));

    const double wav = exportSeconds(writer, text, dir.filePath(QStringLiteral("speech.wav")));
    QFile::remove(dir.filePath(QStringLiteral("speech.wav")));
    const double ogg = exportSeconds(writer, text, dir.filePath(QStringLiteral("speech.ogg")));
    const long largePeak = peakKb();
    if (wav < 0 || ogg < 0)
        return 1;

    std::printf("text: %lld KB\n", static_cast<long long>(kilobytes));
    std::printf("espeak-ng -w:  %8.2f s\n", referenceSeconds);
    std::printf("export to WAV: %8.2f s  ratio %.2f (goal <= 1.2)\n", wav,
                wav / referenceSeconds);
    std::printf("export to Ogg: %8.2f s  ratio %.2f (goal <= 1.5)\n", ogg,
                ogg / referenceSeconds);
    std::printf("peak memory: %ld KB after an 8 KB text, %ld KB after this one (+%ld KB)\n",
                smallPeak, largePeak, largePeak - smallPeak);
    return 0;
}
