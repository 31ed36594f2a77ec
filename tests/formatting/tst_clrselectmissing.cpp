// The window started where no colour selector module can be found: it starts all
// the same, says what is missing in the selector's place, and every other command
// works.
#include "../shell/windowfixture.h"

#include "formatting/clrselecthost.h"
#include "platform/controlhost.h"
#include "platform/richtextpad.h"
#include "shell/twips.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>

class TstClrSelectMissing : public QObject
{
    Q_OBJECT

private slots:
    void startsWithoutTheSelector();
};

void TstClrSelectMissing::startsWithoutTheSelector()
{
    {
        QWidget probe;
        if (ControlHost::create(ClrSelectHost::progId(), &probe))
            QSKIP("a Chromel module is installed where the program looks for controls");
    }
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^Chromel\\.ClrSelect not found: ")));
    WindowFixture f;
    QVERIFY(!f.child<QWidget>(QStringLiteral("ClrSelect1")));
    auto *note = f.child<QLabel>(QStringLiteral("ClrSelect1Missing"));
    QVERIFY(note);
    QCOMPARE(note->geometry(), Twips::rect(3240, 360, 1095, 255));
    QVERIFY(note->toolTip().startsWith(QStringLiteral("Chromel.ClrSelect not found: ")));
    QVERIFY(note->toolTip().contains(QApplication::applicationDirPath()));

    // The start-up ran to its end, and the commands around still work.
    QCOMPARE(f.synth.lastSpoken(), QStringLiteral("Welcome to Tavrel. Enjoy your reading now!"));
    QCOMPARE(f.child<QComboBox>(QStringLiteral("FntSize"))->currentText(), QStringLiteral("12"));
    RichTextPad *pad = f.window->sayText();
    pad->setText(QStringLiteral("still here"));
    pad->setSelStart(0);
    pad->setSelLength(5);
    f.window->menuItem(QStringLiteral("UpperMe"))->trigger();
    QCOMPARE(pad->text(), QStringLiteral("STILL here"));

    // The tab order goes from the pitch scroll bar straight to the font name box.
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    auto *slider2 = f.child<QScrollBar>(QStringLiteral("Slider2"));
    QCOMPARE(slider2->nextInFocusChain(), f.child<QComboBox>(QStringLiteral("Combo1")));
}

QTEST_MAIN(TstClrSelectMissing)
#include "tst_clrselectmissing.moc"
