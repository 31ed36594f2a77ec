// The real window with the real colour selector, loaded from its plugin module
// beside the program: placed in the panel, preselected at start, and picking an
// entry colours the pad's background.
#include "../shell/windowfixture.h"

#include "platform/richtextpad.h"
#include "shell/twips.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QTest>

class TstClrSelectHost : public QObject
{
    Q_OBJECT

private slots:
    void placedAndPreselected();
    void upKeyColoursThePad();
};

void TstClrSelectHost::placedAndPreselected()
{
    WindowFixture f;
    auto *control = f.child<QWidget>(QStringLiteral("ClrSelect1"));
    QVERIFY2(control, "the Chromel plugin module is built beside the test");
    QVERIFY(!f.child<QLabel>(QStringLiteral("ClrSelect1Missing")));
    QCOMPARE(control->metaObject()->className(), "ClrSelect");
    QCOMPARE(control->parentWidget()->objectName(), QStringLiteral("Frame1"));
    QCOMPARE(control->geometry(), Twips::rect(3240, 360, 1095, 255));
    QCOMPARE(control->toolTip(), QStringLiteral("Background pad color."));
    QCOMPARE(control->property("SelectedColor").toInt(), 15);
    // Preselecting raises no click: the pad keeps its background, nothing is said.
    QCOMPARE(f.window->sayText()->backColor(), RichTextPad().backColor());
    QVERIFY(!f.synth.spoken().contains(QStringLiteral("Your text background color have changed")));

    // Between the pitch scroll bar and the font name box in the tab order.
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.child<QScrollBar>(QStringLiteral("Slider2"))->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(control->isAncestorOf(QApplication::focusWidget()));
}

void TstClrSelectHost::upKeyColoursThePad()
{
    WindowFixture f;
    auto *control = f.child<QWidget>(QStringLiteral("ClrSelect1"));
    QVERIFY(control);
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    control->setFocus();
    QTRY_VERIFY(control->isAncestorOf(QApplication::focusWidget()));
    f.synth.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QCOMPARE(control->property("SelectedColor").toInt(), 14);
    QCOMPARE(f.window->sayText()->backColor(), QColor(255, 255, 0));
    QCOMPARE(f.synth.spoken(),
             QStringList{QStringLiteral("Your text background color have changed")});
}

QTEST_MAIN(TstClrSelectHost)
#include "tst_clrselecthost.moc"
