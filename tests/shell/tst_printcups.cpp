// Printing from the real window through a real print system: the test command runs
// a CUPS server of its own whose default printer writes PDF files (CUPS_SERVER names
// the server, TAVREL_CUPS_OUTPUT the folder the files land in). Print goes through
// Qt's own print dialog, the toolbar's Print straight to the printer; the PDF files
// are read back as the paper would be.
#include "pdffile.h"

#include "fakes/fakespeechsynth.h"
#include "fakes/scriptedmessageboxes.h"
#include "platform/qtcommondialog.h"
#include "platform/richtextpad.h"
#include "shell/frmmain.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QPrintDialog>
#include <QPrinter>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// The PDF file of a job holding `marker`, waited for until the printer has written
// it; empty when none comes.
QString waitForPrintout(const QDir &output, const QString &marker, QStringList *seen)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 120000) {
        const QFileInfoList files = output.entryInfoList({QStringLiteral("*.pdf")}, QDir::Files);
        for (const QFileInfo &file : files) {
            if (seen->contains(file.absoluteFilePath()))
                continue;
            // A file still being written reads as no text yet.
            if (pdfText(file.absoluteFilePath()).contains(marker)) {
                *seen << file.absoluteFilePath();
                return file.absoluteFilePath();
            }
        }
        QTest::qWait(250);
    }
    return {};
}

} // namespace

class TstPrintCups : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void printThroughTheDialogAndTheToolbar();

private:
    QDir m_output;
    QStringList m_printouts;
};

void TstPrintCups::initTestCase()
{
    const QString output = qEnvironmentVariable("TAVREL_CUPS_OUTPUT");
    if (qEnvironmentVariableIsEmpty("CUPS_SERVER") || output.isEmpty())
        QSKIP("needs the CUPS server of tools/test.sh (CUPS_SERVER, TAVREL_CUPS_OUTPUT)");
    m_output = QDir(output);
}

void TstPrintCups::cleanup()
{
    for (const QString &file : std::as_const(m_printouts))
        QFile::remove(file);
}

void TstPrintCups::printThroughTheDialogAndTheToolbar()
{
    FakeSpeechSynth synth;
    ScriptedMessageBoxes messages;
    QTemporaryDir settings;
    Frmmain window;
    QtCommonDialog dialogs(&window);
    Frmmain::Services services;
    services.synth = &synth;
    services.dialogs = &dialogs;
    services.messages = &messages;
    services.settingsPath = settings.filePath(QStringLiteral("Settings.ini"));
    window.start(services);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    const QString run = QString::number(QRandomGenerator::global()->generate());
    const QString first = QStringLiteral("DialogPrint%1").arg(run);
    window.sayText()->setText(first + QStringLiteral("\nprinted twice through CUPS"));

    // Ctrl+P: Qt's print dialog offers the system's default printer; two copies.
    QString printerName;
    bool dialogSeen = false;
    QTimer::singleShot(0, this, [&] {
        QElapsedTimer clock;
        clock.start();
        QPrintDialog *dialog = nullptr;
        while (!dialog && clock.elapsed() < 30000) {
            QTest::qWait(50);
            dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
        }
        QVERIFY(dialog);
        dialogSeen = true;
        printerName = dialog->printer()->printerName();
        auto *copies = dialog->findChild<QSpinBox *>(QStringLiteral("copies"));
        QVERIFY(copies);
        copies->setValue(2);
        dialog->accept();
    });
    synth.clear();
    QTest::keyClick(window.sayText(), Qt::Key_P, Qt::ControlModifier);
    QVERIFY(dialogSeen);
    QCOMPARE(printerName, QStringLiteral("PDF"));
    QCOMPARE(synth.m_calls.value(0), QStringLiteral("stop"));

    const QString dialogJob = waitForPrintout(m_output, first, &m_printouts);
    QVERIFY2(!dialogJob.isEmpty(), qPrintable("no printout in " + m_output.path()));
    QCOMPARE(pdfPageCount(dialogJob), 2);
    QVERIFY(pdfText(dialogJob).contains(QStringLiteral("printed twice through CUPS")));

    // The toolbar's Print: no dialog, the read-out left alone, the same printer and
    // copies as the dialog chose.
    synth.clear();
    const QString second = QStringLiteral("ToolbarPrint%1").arg(run);
    window.sayText()->setText(second);
    window.toolbarButton(QStringLiteral("Print"))->trigger();
    QVERIFY(synth.m_calls.isEmpty());
    const QString toolbarJob = waitForPrintout(m_output, second, &m_printouts);
    QVERIFY2(!toolbarJob.isEmpty(), qPrintable("no printout in " + m_output.path()));
    QCOMPARE(pdfPageCount(toolbarJob), 2);
    QVERIFY(messages.m_shown.isEmpty());
}

QTEST_MAIN(TstPrintCups)
#include "tst_printcups.moc"
