// Another reader agrees with the writer: LibreOffice finds in each file the pad
// writes the same words, in the same order, as the pad holds.

#include "rtftestfiles.h"

#include "platform/richtextpad.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTextTable>
#include <QtTest>

namespace {

using RtfTestFiles::words;

// A document of what the real files lack: text beyond Windows-1252, a table made
// in the pad, a picture.
void makeDocument(RichTextPad &pad)
{
    pad.setText(QStringLiteral("Ελληνικά 中文 😀 caf\u00e9 {braces} back\\slash\tα\u2211"));
    QTextCursor cursor(pad.document());
    cursor.movePosition(QTextCursor::End);
    QTextTable *table = cursor.insertTable(2, 2);
    table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("north west"));
    table->cellAt(0, 1).firstCursorPosition().insertText(QStringLiteral("north east"));
    table->cellAt(1, 0).firstCursorPosition().insertText(QStringLiteral("south west"));
    table->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("south east"));
    cursor.movePosition(QTextCursor::End);
    pad.setTextCursor(cursor);
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    pad.insertPicture(picture);
    pad.setSelText(QStringLiteral(" the end"));
}

} // namespace

class TestRtfLibreOffice : public QObject
{
    Q_OBJECT

private slots:
    void libreOfficeReadsTheSameWords();
};

void TestRtfLibreOffice::libreOfficeReadsTheSameWords()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    QVERIFY2(!soffice.isEmpty(), "LibreOffice (soffice) is not installed");
    QTemporaryDir dir;
    const QString folder = RtfTestFiles::folder();
    QStringList names = QDir(folder).entryList({QStringLiteral("*.rtf")}, QDir::Files,
                                                QDir::Name);
    QVERIFY(names.size() >= 16);
    names << QStringLiteral("made in the pad");
    QStringList files;
    QStringList expected;
    for (const QString &name : std::as_const(names)) {
        RichTextPad pad;
        if (name.endsWith(QLatin1String(".rtf")))
            QVERIFY(pad.loadFile(folder + QLatin1Char('/') + name));
        else
            makeDocument(pad);
        const QString path = dir.filePath(QStringLiteral("%1.rtf").arg(files.size()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(pad.toRtf());
        files << path;
        expected += words(pad.text());
    }

    // One start of LibreOffice for every file, with a profile of its own.
    QProcess process;
    process.setProgram(soffice);
    process.setArguments(QStringList{QStringLiteral("-env:UserInstallation=")
                                         + QUrl::fromLocalFile(dir.filePath(QStringLiteral(
                                                                   "profile")))
                                               .toString(),
                                     QStringLiteral("--headless"), QStringLiteral("--cat")}
                         + files);
    process.start();
    QVERIFY2(process.waitForFinished(300000), qPrintable(process.errorString()));
    QCOMPARE(process.exitCode(), 0);
    // Each file's text starts with a byte order mark, which is no word.
    const QString diff = RtfTestFiles::firstDifference(
        words(QString::fromUtf8(process.readAllStandardOutput())), expected);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

QTEST_MAIN(TestRtfLibreOffice)
#include "tst_rtflibreoffice.moc"
