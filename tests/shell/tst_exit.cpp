// Leaving the program: the changed-document question, the save, and the cases in
// which the window must stay open so that no text is lost.
#include "windowfixture.h"

#include "platform/richtextpad.h"

#include <QCloseEvent>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kQuestion =
    QStringLiteral("You document have been changed. Do you want to save change?");
}

class TstExit : public QObject
{
    Q_OBJECT

private slots:
    void unchangedDocumentEndsWithoutAsking();
    void answerNoEndsWithoutSaving();
    void answerYesSavesThenEnds();
    void answerYesThenCancelStaysOpen();
    void answerYesWithAnEmptyNameStaysOpen();
    void failedWriteIsReportedAndStaysOpen();
    void closeBoxFollowsTheSameRule();
    void exitButtonRunsTheExitCommand();
};

void TstExit::unchangedDocumentEndsWithoutAsking()
{
    WindowFixture f;
    f.synth.clear();
    f.window->exitCommand();
    QCOMPARE(f.terminated, 1);
    QVERIFY(f.messages.m_shown.isEmpty());
    QVERIFY(f.dialogs.m_shown.isEmpty());
    QCOMPARE(f.synth.m_calls, QStringList{"stop"});
}

void TstExit::answerNoEndsWithoutSaving()
{
    WindowFixture f;
    f.window->documentState().textChanged = true;
    f.messages.m_answers << MessageBoxes::Answer::No;
    f.synth.clear();
    f.window->exitCommand();
    QCOMPARE(f.terminated, 1);
    QCOMPARE(f.messages.m_shown.size(), 1);
    const auto &box = f.messages.m_shown.first();
    QCOMPARE(box.text, kQuestion);
    QCOMPARE(box.title, QStringLiteral("Tavrel"));
    QCOMPARE(box.buttons, MessageBoxes::Buttons::YesNo);
    QCOMPARE(box.icon, MessageBoxes::Icon::Question);
    QVERIFY(f.dialogs.m_shown.isEmpty());
    // The question is spoken as well as shown, and the synthesiser stops at the end.
    QCOMPARE(f.synth.m_calls, (QStringList{"speak:" + kQuestion, "stop"}));
}

void TstExit::answerYesSavesThenEnds()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.txt"));
    WindowFixture f;
    f.window->sayText()->setText(QStringLiteral("line one\nline two"));
    f.window->documentState().textChanged = true;
    f.messages.m_answers << MessageBoxes::Answer::Yes;
    f.dialogs.answerFile(QStringLiteral("save"), path);
    f.window->exitCommand();
    QCOMPARE(f.terminated, 1);
    QCOMPARE(f.dialogs.m_shown.size(), 1);
    // The Save dialog is shown in its current state: the design filter and title.
    QCOMPARE(f.dialogs.m_shown.first().filter, CommonDialog::designFilter());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("line one\nline two\n"));
}

void TstExit::answerYesThenCancelStaysOpen()
{
    WindowFixture f;
    f.window->sayText()->setText(QStringLiteral("precious"));
    f.window->documentState().textChanged = true;
    f.messages.m_answers << MessageBoxes::Answer::Yes;
    f.dialogs.answerCancel(QStringLiteral("save"));
    f.window->exitCommand();
    QCOMPARE(f.terminated, 0);
    QVERIFY(!f.window->hasQuit());
    QCOMPARE(f.window->sayText()->text(), QStringLiteral("precious"));
    QVERIFY(f.window->documentState().textChanged);
    QVERIFY(!f.synth.m_calls.contains(QStringLiteral("stop")));
}

void TstExit::answerYesWithAnEmptyNameStaysOpen()
{
    WindowFixture f;
    f.window->documentState().textChanged = true;
    f.messages.m_answers << MessageBoxes::Answer::Yes;
    f.dialogs.answerFile(QStringLiteral("save"), QString());
    f.window->exitCommand();
    QCOMPARE(f.terminated, 0);
}

void TstExit::failedWriteIsReportedAndStaysOpen()
{
    QTemporaryDir dir;
    WindowFixture f;
    f.window->sayText()->setText(QStringLiteral("precious"));
    f.window->documentState().textChanged = true;
    f.messages.m_answers << MessageBoxes::Answer::Yes;
    // A folder that does not exist cannot take the file.
    f.dialogs.answerFile(QStringLiteral("save"), dir.filePath(QStringLiteral("no/such/x.txt")));
    f.window->exitCommand();
    QCOMPARE(f.terminated, 0);
    QCOMPARE(f.messages.m_shown.size(), 2);
    const auto &error = f.messages.m_shown.last();
    QCOMPARE(error.text, QStringLiteral("Can't save file."));
    QCOMPARE(error.title, QStringLiteral("Error"));
    QCOMPARE(error.icon, MessageBoxes::Icon::Critical);
    QCOMPARE(error.buttons, MessageBoxes::Buttons::Ok);
    QCOMPARE(f.synth.lastSpoken(), QStringLiteral("Can't save file."));
    QCOMPARE(f.window->sayText()->text(), QStringLiteral("precious"));
}

void TstExit::closeBoxFollowsTheSameRule()
{
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    f.window->documentState().textChanged = true;
    f.messages.m_answers << MessageBoxes::Answer::Yes;
    f.dialogs.answerCancel(QStringLiteral("save"));
    QVERIFY(!f.window->close());
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.terminated, 0);

    f.messages.m_answers << MessageBoxes::Answer::No;
    QVERIFY(f.window->close());
    QCOMPARE(f.terminated, 1);
    QCOMPARE(f.messages.m_shown.size(), 2);
}

void TstExit::exitButtonRunsTheExitCommand()
{
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QTest::mouseClick(f.child<QPushButton>(QStringLiteral("cmdExit")), Qt::LeftButton);
    QCOMPARE(f.terminated, 1);
    QVERIFY(!f.window->isVisible());
}

QTEST_MAIN(TstExit)
#include "tst_exit.moc"
