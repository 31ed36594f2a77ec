#include "shell/commandline.h"

#include <QCoreApplication>

CommandLine::CommandLine()
    : m_help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
             QStringLiteral("Show this help and end."))
    , m_version(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                QStringLiteral("Show the version and end."))
{
    m_parser.setApplicationDescription(
        QStringLiteral("A rich-text pad that reads its text aloud. Given a FILE, it opens\n"
                       "it as the Open command does and reads it aloud at once."));
    // Single-dash words are whole option names, as the toolkit's own options are:
    // "-stylesheet" must not read as "-s -t ... -h".
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addOption(m_help);
    m_parser.addOption(m_version);
    m_parser.addPositionalArgument(QStringLiteral("FILE"),
                                   QStringLiteral("A text or RTF document to open."),
                                   QStringLiteral("[FILE]"));
}

QStringList CommandLine::arguments(int argc, char *argv[])
{
    QStringList list;
    list.reserve(argc);
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

QString CommandLine::helpText() const
{
    // The parser's own first line names the program by its full path, or not at all
    // before the application object exists.
    QString text = m_parser.helpText();
    text.remove(0, text.indexOf(QLatin1Char('\n')) + 1);
    // The audio-file options are read before the window starts, by their own parser.
    const QString audioFiles = QStringLiteral(
        "\nAudio files (no window, no display needed):\n"
        "  %1 --speak-to OUT [--voice NAME] [--speed WPM] [--pitch HZ] INPUT\n"
        "  %1 --list-voices\n\n"
        "  --speak-to <OUT>  Speaks the text or RTF document INPUT into OUT; the type\n"
        "                    follows its ending: .wav, .flac, .ogg, .opus or .mp3.\n"
        "  --voice <NAME>    The voice, by id, name or language (see --list-voices).\n"
        "  --speed <WPM>     Words per minute (150).\n"
        "  --pitch <HZ>      Base pitch in Hz (85).\n"
        "  --list-voices     Lists the voices installed, espeak-ng's and Flite's.\n");
    return QStringLiteral("Usage: %1 [options] [FILE]\n")
               .arg(QCoreApplication::applicationName())
        + text + audioFiles.arg(QCoreApplication::applicationName());
}

CommandLine::Request CommandLine::parse(const QStringList &arguments)
{
    Request request;
    const bool parsed = m_parser.parse(arguments);
    // Help and version win over anything else on the line, also over what the
    // toolkit will take out later.
    if (m_parser.isSet(m_help)) {
        request.action = Action::Print;
        request.output = helpText();
        return request;
    }
    if (m_parser.isSet(m_version)) {
        request.action = Action::Print;
        request.output = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                       QCoreApplication::applicationVersion());
        return request;
    }
    const QStringList files = m_parser.positionalArguments();
    QString problem;
    if (!parsed)
        problem = m_parser.errorText();
    else if (files.size() > 1)
        problem = QStringLiteral("Only one file can be opened; given: %1")
                      .arg(files.join(QLatin1String(", ")));
    else if (!files.isEmpty() && files.first().isEmpty())
        problem = QStringLiteral("The file name is empty.");
    if (!problem.isEmpty()) {
        request.action = Action::Fail;
        request.output = QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n")
                             .arg(QCoreApplication::applicationName(), problem);
        return request;
    }
    if (!files.isEmpty())
        request.file = files.first();
    return request;
}
