#include "platform/espeak/espeakspeechsynth.h"
#include "platform/qtcommondialog.h"
#include "platform/qtmessageboxes.h"
#include "platform/silentspeechsynth.h"
#include "shell/commandline.h"
#include "shell/frmmain.h"

#include <QApplication>
#include <QDesktopServices>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <memory>

namespace {

int print(const QString &text, FILE *stream, int exitCode)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    return exitCode;
}

} // namespace

// The composition root: the only place that names the concrete platform pieces.
int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Tavrel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAVREL_VERSION));
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

    Frmmain window;
    QtCommonDialog dialogs(&window);
    QtMessageBoxes messages(&window);
    Frmmain::Services services;
    services.synth = synth.get();
    services.dialogs = &dialogs;
    services.messages = &messages;
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
