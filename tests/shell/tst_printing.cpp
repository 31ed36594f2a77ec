// The two print commands printing for real into PDF files, read back as text and
// pages: what is printed, in how many copies, and when nothing is.
#include "pdffile.h"

#include "fakes/fakespeechsynth.h"
#include "fakes/scripteddialog.h"
#include "fakes/scriptedmessageboxes.h"
#include "platform/richtextpad.h"
#include "shell/printcommands.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kNothingToPrint = QStringLiteral("There is no current text to print.");

// The commands with doubles of the services and a printer writing PDF files.
struct PrintRig
{
    FakeSpeechSynth synth;
    ScriptedDialog dialogs;
    ScriptedMessageBoxes messages;
    RichTextPad pad;
    QPrinter printer{QPrinter::HighResolution};
    PrintCommands commands{synth, pad, dialogs, messages, &printer};
    QTemporaryDir dir;
    int jobs = 0;

    PrintRig()
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        nextJob();
    }
    // Each job goes to a file of its own.
    QString nextJob()
    {
        printer.setOutputFileName(dir.filePath(QStringLiteral("job%1.pdf").arg(++jobs)));
        return printer.outputFileName();
    }
    void answerPrinter(int copies)
    {
        dialogs.answerWith(QStringLiteral("printer"),
                           [copies](CommonDialog &d) { d.setCopies(copies); });
    }
};

// The words of a printed text, whatever the lines and pages.
QStringList words(const QString &text)
{
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

} // namespace

class TstPrinting : public QObject
{
    Q_OBJECT

private slots:
    void printPrintsTheSelectionOrTheWholeText_data();
    void printPrintsTheSelectionOrTheWholeText();
    void cancelledDialogPrintsNothing();
    void emptyPadPrintsNothing();
    void toolbarPrintKeepsTheReadingAndTheCopies();
    void longTextRunsOverPagesInEveryCopy();
    void aBookPastTheRangeOfALaidOutDocumentPrintsWhole();
};

void TstPrinting::printPrintsTheSelectionOrTheWholeText_data()
{
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("printed");
    QTest::newRow("no selection") << 3 << 0 << "Bold words here\nand a second line";
    QTest::newRow("selection") << 5 << 10 << "words here";
}

void TstPrinting::printPrintsTheSelectionOrTheWholeText()
{
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, printed);
    PrintRig rig;
    rig.pad.setText(QStringLiteral("Bold words here\nand a second line"));
    // Formatted text prints as plain text in the printer's font, not the pad's.
    rig.pad.setSelStart(0);
    rig.pad.setSelLength(rig.pad.text().size());
    rig.pad.setSelBold(true);
    rig.pad.setSelFontName(QStringLiteral("Liberation Serif"));
    rig.pad.setSelFontSize(30);
    rig.pad.setSelStart(selStart);
    rig.pad.setSelLength(selLength);
    rig.dialogs.setFlags(791);
    rig.answerPrinter(1);

    rig.commands.printMe();

    QCOMPARE(rig.synth.m_calls.value(0), QStringLiteral("stop"));
    QCOMPARE(rig.dialogs.m_shown.size(), 1);
    QCOMPARE(rig.dialogs.m_shown.at(0).kind, QStringLiteral("printer"));
    QCOMPARE(rig.dialogs.flags(), 0);
    const QString file = rig.printer.outputFileName();
    QCOMPARE(words(pdfText(file)), words(printed));
    QCOMPARE(pdfPageCount(file), 1);
    const QString fonts = pdfFonts(file);
    QVERIFY2(!fonts.contains(QStringLiteral("LiberationSerif")), qPrintable(fonts));
    QString printFamily =
        QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family();
    QVERIFY2(fonts.contains(printFamily.remove(QLatin1Char(' '))), qPrintable(fonts));
    QVERIFY(rig.messages.m_shown.isEmpty());
}

void TstPrinting::cancelledDialogPrintsNothing()
{
    PrintRig rig;
    rig.pad.setText(QStringLiteral("not to be printed"));
    rig.dialogs.answerCancel(QStringLiteral("printer"));
    rig.commands.printMe();
    QCOMPARE(rig.dialogs.m_shown.size(), 1);
    QVERIFY(!QFile::exists(rig.printer.outputFileName()));
    QCOMPARE(rig.synth.m_calls, QStringList{QStringLiteral("stop")});
    QVERIFY(rig.messages.m_shown.isEmpty());
}

void TstPrinting::emptyPadPrintsNothing()
{
    // Neither command prints a page for an empty pad; both say why. The toolbar's
    // print does not silence the read-out even then.
    for (const bool toolbar : {false, true}) {
        PrintRig rig;
        rig.answerPrinter(1);
        toolbar ? rig.commands.toolbarPrint() : rig.commands.printMe();
        QVERIFY(!QFile::exists(rig.printer.outputFileName()));
        QVERIFY(rig.dialogs.m_shown.isEmpty());
        QCOMPARE(rig.synth.m_calls.contains(QStringLiteral("stop")), !toolbar);
        QCOMPARE(rig.synth.spoken(), QStringList{kNothingToPrint});
        QCOMPARE(rig.messages.m_shown.size(), 1);
        const auto &box = rig.messages.m_shown.constFirst();
        QCOMPARE(box.text, kNothingToPrint);
        QCOMPARE(box.title, QStringLiteral("Error"));
        QCOMPARE(box.buttons, MessageBoxes::Buttons::Ok);
        QCOMPARE(box.icon, MessageBoxes::Icon::Exclamation);
    }
}

void TstPrinting::toolbarPrintKeepsTheReadingAndTheCopies()
{
    PrintRig rig;
    rig.pad.setText(QStringLiteral("first job"));
    rig.answerPrinter(2);
    rig.commands.printMe();
    QCOMPARE(rig.printer.copyCount(), 2);
    QCOMPARE(pdfPageCount(rig.printer.outputFileName()), 2);

    // The whole text, even with a selection, in the copies the dialog left.
    rig.synth.clear();
    rig.pad.setText(QStringLiteral("whole text read aloud"));
    rig.pad.setSelStart(0);
    rig.pad.setSelLength(5);
    const QString file = rig.nextJob();
    rig.commands.toolbarPrint();
    QVERIFY(rig.synth.m_calls.isEmpty());
    QCOMPARE(rig.dialogs.m_shown.size(), 1);
    QCOMPARE(pdfPageCount(file), 2);
    QCOMPARE(words(pdfText(file)), words(QStringLiteral("whole text read aloud")) +
                                      words(QStringLiteral("whole text read aloud")));
}

void TstPrinting::longTextRunsOverPagesInEveryCopy()
{
    PrintRig rig;
    QStringList lines;
    for (int i = 1; i <= 200; ++i)
        lines << QStringLiteral("line%1 of a long text that goes on and on past the edge of "
                                "the paper so that it has to be wrapped somewhere")
                     .arg(i);
    rig.pad.setText(lines.join(QLatin1Char('\n')));
    rig.answerPrinter(2);
    rig.commands.printMe();
    const QString file = rig.printer.outputFileName();
    const int pages = pdfPageCount(file);
    QVERIFY2(pages >= 4 && pages % 2 == 0, qPrintable(QString::number(pages)));
    // Collated copies: every word in order, twice.
    const QStringList once = words(lines.join(QLatin1Char(' ')));
    QCOMPARE(words(pdfText(file)), once + once);
}

void TstPrinting::aBookPastTheRangeOfALaidOutDocumentPrintsWhole()
{
    // At 9600 dots an inch these lines stand 60 million pixels high, past the
    // 33 million a text document's layout can place (that of a 25 MB book at the
    // usual 1200): laid out as one document, printing never ended.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(9600);
    QTemporaryDir dir;
    printer.setOutputFileName(dir.filePath(QStringLiteral("book.pdf")));
    QStringList lines;
    for (int i = 1; i <= 35000; ++i)
        lines << QStringLiteral("w%1").arg(i);
    QVERIFY(PrintCommands::printText(printer, lines.join(QLatin1Char('\n'))));
    const QString file = printer.outputFileName();
    const int pages = pdfPageCount(file);
    QVERIFY2(pages > 500, qPrintable(QString::number(pages)));
    // Every line, in order, and the last on the last page.
    QCOMPARE(words(pdfText(file)), lines);
}

QTEST_MAIN(TstPrinting)
#include "tst_printing.moc"
