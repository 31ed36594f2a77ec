#include "platform/espeak/espeakspeechsynth.h"
#include "platform/qtcommondialog.h"
#include "platform/qtmessageboxes.h"
#include "platform/silentspeechsynth.h"
#include "shell/frmmain.h"

#include <QApplication>
#include <QDesktopServices>

#include <exception>
#include <memory>

// The composition root: the only place that names the concrete platform pieces.
int main(int argc, char *argv[])
{
    Q_INIT_RESOURCE(icons);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrel"));
    QApplication::setApplicationVersion(QStringLiteral(TAVREL_VERSION));

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
    return app.exec();
}
