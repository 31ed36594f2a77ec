#include "speech/speaktofile.h"

#include "platform/regularfile.h"
#include "platform/rtf/rtfloader.h"
#include "platform/speechfilewriter.h"
#include "platform/textcodec.h"
#include "speech/exportprogress.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTextDocument>
#include <QTextStream>

namespace SpeakToFile {

namespace {

const QString kSpeakTo = QStringLiteral("speak-to");
const QString kListVoices = QStringLiteral("list-voices");

std::optional<int> positive(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value > 0 ? std::optional<int>(value) : std::nullopt;
}

void listVoices(const QList<VoiceInfo> &voices, QTextStream &out)
{
    for (const VoiceInfo &voice : voices) {
        out << voice.id.leftJustified(34) << ' ' << voice.language.leftJustified(14) << ' '
            << voice.name << '\n';
    }
}

} // namespace

bool wanted(const QStringList &arguments)
{
    for (const QString &argument : arguments.mid(1)) {
        if (argument == QLatin1String("--") + kListVoices
            || argument == QLatin1String("--") + kSpeakTo
            || argument.startsWith(QLatin1String("--") + kSpeakTo + QLatin1Char('=')))
            return true;
    }
    return false;
}

bool readText(const QString &path, QString *text, QString *error)
{
    QString reason;
    const std::optional<QByteArray> bytes = RegularFile::read(path, RegularFile::kWhole, &reason);
    if (!bytes) {
        *error = QStringLiteral("Cannot read %1: %2").arg(path, reason);
        return false;
    }
    // What is not RTF is plain text, as when the window opens it.
    QTextDocument document;
    *text = Rtf::loadDocument(*bytes, &document) ? document.toPlainText()
                                                 : TextCodec::decode(*bytes);
    return true;
}

int run(const QStringList &arguments, SpeechFileWriter &writer, QTextStream &out,
        QTextStream &err, bool (*cancelled)())
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Speaks a document into an audio file."));
    parser.addOption({kSpeakTo, QStringLiteral("Writes the speech of INPUT to OUT (.wav, "
                                               ".flac, .ogg, .opus or .mp3)."),
                      QStringLiteral("OUT")});
    parser.addOption({kListVoices, QStringLiteral("Lists the voices installed.")});
    parser.addOption({QStringLiteral("voice"), QStringLiteral("The voice, by id, name or "
                                                              "language (see --list-voices)."),
                      QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("speed"), QStringLiteral("Words per minute (150)."),
                      QStringLiteral("WPM"), QStringLiteral("150")});
    parser.addOption({QStringLiteral("pitch"), QStringLiteral("Base pitch in Hz (85)."),
                      QStringLiteral("HZ"), QStringLiteral("85")});
    parser.addPositionalArgument(QStringLiteral("INPUT"),
                                 QStringLiteral("A plain-text or RTF file."));
    const auto usage = [&err](const QString &message) {
        err << "Tavrel: " << message << '\n'
            << "Usage: Tavrel --speak-to OUT [--voice NAME] [--speed WPM] [--pitch HZ] "
               "INPUT\n       Tavrel --list-voices\n";
        err.flush();
        return kBadUsage;
    };
    if (!parser.parse(arguments))
        return usage(parser.errorText());

    const QList<VoiceInfo> voices = writer.voices();
    if (parser.isSet(kListVoices)) {
        if (voices.isEmpty()) {
            err << "Tavrel: no voices can be loaded.\n";
            return kFailed;
        }
        listVoices(voices, out);
        out.flush();
        return 0;
    }

    const QStringList inputs = parser.positionalArguments();
    if (inputs.size() != 1)
        return usage(QStringLiteral("--speak-to needs exactly one INPUT file."));
    SpeechFileWriter::Request request;
    request.path = parser.value(kSpeakTo);
    const std::optional<int> speed = positive(parser.value(QStringLiteral("speed")));
    const std::optional<int> pitch = positive(parser.value(QStringLiteral("pitch")));
    if (!speed)
        return usage(QStringLiteral("--speed takes words per minute, a whole number above 0."));
    if (!pitch)
        return usage(QStringLiteral("--pitch takes Hz, a whole number above 0."));
    request.speed = *speed;
    request.pitch = *pitch;
    if (parser.isSet(QStringLiteral("voice"))) {
        const QString name = parser.value(QStringLiteral("voice"));
        const VoiceInfo *voice = Voices::find(voices, name);
        if (!voice) {
            QStringList ids;
            for (const VoiceInfo &candidate : Voices::candidates(voices, name))
                ids << candidate.id;
            if (ids.isEmpty())
                return usage(QStringLiteral("There is no voice \"%1\"; --list-voices shows "
                                            "them.")
                                 .arg(name));
            return usage(QStringLiteral("\"%1\" may be any of %2: name one.")
                             .arg(name, ids.join(QStringLiteral(", "))));
        }
        request.voice = voice->id;
    }

    QString error;
    if (!readText(inputs.constFirst(), &request.text, &error)) {
        err << "Tavrel: " << error << '\n';
        return kFailed;
    }

    QElapsedTimer clock;
    clock.start();
    int shown = -1;
    const SpeechFileWriter::Progress progress = [&](double share) {
        // One line for every ten percent: readable in a terminal and in a log.
        const int tenth = int(share * 10.0);
        if (tenth != shown) {
            shown = tenth;
            err << "Tavrel: " << ExportProgress::describe(share, clock.elapsed()) << '\n';
            err.flush();
        }
        return !(cancelled && cancelled());
    };
    switch (writer.write(request, progress, &error)) {
    case SpeechFileWriter::Result::Written:
        return 0;
    case SpeechFileWriter::Result::Cancelled:
        err << "Tavrel: cancelled; " << request.path << " was not written.\n";
        return kCancelled;
    case SpeechFileWriter::Result::Failed:
        break;
    }
    err << "Tavrel: " << error << '\n';
    return kFailed;
}

} // namespace SpeakToFile
