#include "speech/savespeech.h"

#include "platform/commondialog.h"
#include "platform/messageboxes.h"
#include "platform/richtextpad.h"
#include "platform/speechsynth.h"
#include "speech/exportprogress.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <thread>

namespace {

// Filter entries and their endings, in the same order.
const QString kFilter = QStringLiteral(
    "Ogg Vorbis audio (*.ogg)|*.ogg|WAV audio (*.wav)|*.wav|FLAC audio (*.flac)|*.flac|"
    "Opus audio (*.opus)|*.opus|MP3 audio (*.mp3)|*.mp3");
const QStringList kEndings{QStringLiteral("ogg"), QStringLiteral("wav"), QStringLiteral("flac"),
                           QStringLiteral("opus"), QStringLiteral("mp3")};

} // namespace

SaveSpeech::SaveSpeech(const Parts &parts)
    : m_parts(parts)
{
}

QString SaveSpeech::askForFile()
{
    CommonDialog &dialogs = *m_parts.dialogs;
    // The documents' own save and open commands find the shared dialog as they
    // left it: an audio file name must not become the next document's name.
    const QString title = dialogs.dialogTitle();
    const QString filter = dialogs.filter();
    const int filterIndex = dialogs.filterIndex();
    const QString fileName = dialogs.fileName();
    const QString fileTitle = dialogs.fileTitle();
    dialogs.setDialogTitle(QStringLiteral("Save Speech As"));
    dialogs.setFilter(kFilter);
    dialogs.setFilterIndex(1);
    dialogs.setFileName(QString());
    QString path;
    if (dialogs.showSave()) {
        path = dialogs.fileName();
        const int chosen = qBound(1, dialogs.filterIndex(), int(kEndings.size())) - 1;
        if (!kEndings.contains(QFileInfo(path).suffix().toLower()))
            path += QLatin1Char('.') + kEndings.at(chosen);
    }
    dialogs.setDialogTitle(title);
    dialogs.setFilter(filter);
    dialogs.setFilterIndex(filterIndex);
    dialogs.setFileName(fileName);
    dialogs.setFileTitle(fileTitle);
    return path;
}

void SaveSpeech::saveSpeechAs()
{
    const QString selection = m_parts.pad->selText();
    const QString text = selection.isEmpty() ? m_parts.pad->text() : selection;
    const QString path = askForFile();
    if (path.isEmpty())
        return;
    QString error;
    if (exportTo(path, text, &error) == SpeechFileWriter::Result::Failed) {
        m_parts.messages->show(QStringLiteral("The speech was not saved. %1").arg(error),
                               QStringLiteral("Error"), MessageBoxes::Buttons::Ok,
                               MessageBoxes::Icon::Critical);
    }
}

SpeechFileWriter::Result SaveSpeech::exportTo(const QString &path, const QString &text,
                                              QString *error)
{
    SpeechFileWriter::Request request;
    request.text = text;
    request.path = path;
    request.voice = m_parts.synth->voice();
    request.speed = m_parts.synth->speed();
    request.pitch = m_parts.synth->pitch();
    request.volume = m_parts.synth->volume();

    QProgressDialog dialog(m_parts.owner);
    dialog.setObjectName(QStringLiteral("SaveSpeechProgress"));
    dialog.setWindowTitle(QStringLiteral("Save Speech As"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setRange(0, 1000);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setLabelText(QStringLiteral("Saving the speech to %1").arg(path));

    std::atomic<double> share{0.0};
    std::atomic<bool> cancel{false};
    std::atomic<bool> finished{false};
    SpeechFileWriter::Result result = SpeechFileWriter::Result::Failed;
    QString reason;
    QEventLoop loop;
    std::thread worker([&] {
        result = m_parts.writer->write(
            request,
            [&](double done) {
                share.store(done);
                return !cancel.load();
            },
            &reason);
        finished.store(true);
    });

    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(100);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (dialog.wasCanceled())
            cancel.store(true);
        if (finished.load()) {
            loop.quit();
            return;
        }
        // Once cancelled the dialog stays closed while the writer winds up.
        if (cancel.load())
            return;
        const double done = share.load();
        dialog.setValue(int(done * 1000.0));
        dialog.setLabelText(QStringLiteral("Saving the speech to %1\n%2")
                                .arg(QFileInfo(path).fileName(),
                                     ExportProgress::describe(done, clock.elapsed())));
    });
    QObject::connect(&dialog, &QProgressDialog::canceled, &loop, [&] { cancel.store(true); });
    poll.start();
    dialog.show();
    loop.exec();
    worker.join();
    dialog.hide();
    if (error)
        *error = reason;
    return result;
}
