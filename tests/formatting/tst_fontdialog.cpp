// The real font dialog of the shared common dialog: it starts from the shared font
// and colour, offers a colour beside the font, and reports both back.
#include "platform/qtcommondialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Runs `step` on the next modal dialog once it is shown.
void onNextModal(std::function<void(QWidget *)> step)
{
    QTimer::singleShot(0, qApp, [step] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        step(QApplication::activeModalWidget());
    });
}

} // namespace

class TstFontDialog : public QObject
{
    Q_OBJECT

private slots:
    void startsFromAndReportsFontAndColour();
    void cancelKeepsEverything();
};

void TstFontDialog::startsFromAndReportsFontAndColour()
{
    QtCommonDialog dialogs(nullptr);
    dialogs.setFlags(791);
    dialogs.setFontName(QStringLiteral("DejaVu Serif"));
    dialogs.setFontSize(14);
    dialogs.setFontBold(true);
    dialogs.setColor(QColor(255, 0, 0));
    QString shownFamily;
    QColor shownColor;
    onNextModal([&](QWidget *dialog) {
        auto *fonts = dialog->findChild<QFontDialog *>();
        auto *color = dialog->findChild<QPushButton *>(QStringLiteral("fontColor"));
        QVERIFY(fonts && color);
        shownFamily = fonts->currentFont().family();
        shownColor = color->property("color").value<QColor>();
        QFont changed = fonts->currentFont();
        changed.setPointSize(20);
        changed.setUnderline(true);
        changed.setStrikeOut(true);
        fonts->setCurrentFont(changed);
        onNextModal([](QWidget *picker) {
            auto *colors = qobject_cast<QColorDialog *>(picker);
            QVERIFY(colors);
            colors->setCurrentColor(QColor(0, 0, 255));
            colors->accept();
        });
        color->click();
        QTimer::singleShot(0, dialog, [dialog] { static_cast<QDialog *>(dialog)->accept(); });
    });
    QVERIFY(dialogs.showFont());
    QCOMPARE(shownFamily, QStringLiteral("DejaVu Serif"));
    QCOMPARE(shownColor, QColor(255, 0, 0));
    QCOMPARE(dialogs.fontName(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(dialogs.fontSize(), 20.0);
    QCOMPARE(dialogs.fontBold(), true);
    QCOMPARE(dialogs.fontUnderline(), true);
    QCOMPARE(dialogs.fontStrikethru(), true);
    QCOMPARE(dialogs.color(), QColor(0, 0, 255));
}

void TstFontDialog::cancelKeepsEverything()
{
    QtCommonDialog dialogs(nullptr);
    dialogs.setFlags(791);
    dialogs.setFontName(QStringLiteral("DejaVu Sans"));
    dialogs.setColor(QColor(0, 128, 0));
    onNextModal([](QWidget *dialog) { static_cast<QDialog *>(dialog)->reject(); });
    QVERIFY(!dialogs.showFont());
    QCOMPARE(dialogs.fontName(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(dialogs.color(), QColor(0, 128, 0));
}

QTEST_MAIN(TstFontDialog)
#include "tst_fontdialog.moc"
