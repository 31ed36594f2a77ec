#include "platform/espeak/espeakspeechfile.h"
#include "platform/espeak/espeakspeechsynth.h"
#include "platform/largepages.h"
#include "platform/qtcommondialog.h"
#include "platform/qtmessageboxes.h"
#include "platform/silentspeechsynth.h"
#include "shell/commandline.h"
#include "shell/frmmain.h"
#include "speech/speaktofile.h"

#include <QApplication>
#include <QDesktopServices>
#include <QTextStream>
#include <QTimer>

#include <csignal>

#include <cstdio>
#include <exception>
#include <memory>

namespace {

int print(const QString &text, FILE *stream, int exitCode)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    return exitCode;
}

volatile std::sig_atomic_t g_interrupted = 0;

// Audio files from the command line: no window, and no display needed.
int speakToFile(int argc, char *argv[])
{
    // Documents are read into a text document, which needs fonts but no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // An interrupt ends the export without leaving a partial file.
    std::signal(SIGINT, [](int) { g_interrupted = 1; });
    std::signal(SIGTERM, [](int) { g_interrupted = 1; });
    EspeakSpeechFile writer;
    QTextStream out(stdout);
    QTextStream err(stderr);
    return SpeakToFile::run(QGuiApplication::arguments(), writer, out, err,
                            [] { return g_interrupted != 0; });
}

} // namespace

// The composition root: the only place that names the concrete platform pieces.
int main(int argc, char *argv[])
{
    // Books of hundreds of megabytes open in about half the time.
    LargePages::startWithHugePages(argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tavrel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAVREL_VERSION));
    // Audio files from the command line have options of their own.
    if (SpeakToFile::wanted(CommandLine::arguments(argc, argv)))
        return speakToFile(argc, argv);
    // Help and version are answered before anything needs a display.
    CommandLine commandLine;
    CommandLine::Request request = commandLine.parse(CommandLine::arguments(argc, argv));
    if (request.action == CommandLine::Action::Print)
        return print(request.output, stdout, 0);

    Q_INIT_RESOURCE(icons);
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(TAVREL_APP_ID));
    // The toolkit has taken its own options out; what is left must be ours.
    request = commandLine.parse(QCoreApplication::arguments());
    if (request.action == CommandLine::Action::Fail)
        return print(request.output, stderr, CommandLine::kUsageError);

    // espeak-ng plays through the default audio output, or stays silent without one;
    // should not even its threads be had, the program runs on without speech.
    std::unique_ptr<SpeechSynth> synth;
    try {
        synth = std::make_unique<EspeakSpeechSynth>();
    } catch (const std::exception &) {
        synth = std::make_unique<SilentSpeechSynth>();
    }

    EspeakSpeechFile speechFiles;
    Frmmain window;
    QtCommonDialog dialogs(&window);
    QtMessageBoxes messages(&window);
    Frmmain::Services services;
    services.synth = synth.get();
    services.dialogs = &dialogs;
    services.messages = &messages;
    services.speechFiles = &speechFiles;
    services.terminate = [] { QCoreApplication::exit(0); };
    services.openUrl = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    window.start(services);
    window.show();
    // The file is opened over the shown window, after the whole start-up.
    if (!request.file.isEmpty()) {
        QTimer::singleShot(0, &window,
                           [&window, file = request.file] { window.openFileAtStart(file); });
    }
    return app.exec();
}
