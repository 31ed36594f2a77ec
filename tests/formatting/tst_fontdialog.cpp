// The real font dialog of the shared common dialog: it starts from the shared font
// and colour, offers a colour beside the font, and reports both back; it opens on
// the face the text is drawn with, OK without a change changes nothing, and the
// keyboard closes the whole dialog.
#include "platform/qtcommondialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Runs `step` on the next modal dialog once it is shown; a step that fails closes
// the dialog, so that the test goes on to report it.
void onNextModal(std::function<void(QWidget *)> step)
{
    QTimer::singleShot(0, qApp, [step] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        QWidget *dialog = QApplication::activeModalWidget();
        step(dialog);
        if (QTest::currentTestFailed() && dialog->isVisible())
            static_cast<QDialog *>(dialog)->reject();
    });
}

} // namespace

class TstFontDialog : public QObject
{
    Q_OBJECT

private slots:
    void startsFromAndReportsFontAndColour();
    void cancelKeepsEverything();
    void okWithoutChangeKeepsTheFace_data();
    void okWithoutChangeKeepsTheFace();
    void otherFamilyKeepsWeightAndSlant();
    void escapeClosesTheWholeDialog();
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

void TstFontDialog::okWithoutChangeKeepsTheFace_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("size");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<QString>("face");
    // DejaVu Sans names its faces Book and Oblique, Liberation Serif Regular and
    // Italic; Times New Roman is not installed and is drawn with Liberation Serif.
    QTest::newRow("DejaVu Sans") << "DejaVu Sans" << 12.0 << false << false << "Book";
    QTest::newRow("DejaVu Sans italic") << "DejaVu Sans" << 12.0 << false << true << "Oblique";
    QTest::newRow("DejaVu Sans bold italic") << "DejaVu Sans" << 12.0 << true << true
                                             << "Bold Oblique";
    QTest::newRow("Liberation Serif") << "Liberation Serif" << 12.0 << false << false
                                      << "Regular";
    QTest::newRow("Liberation Serif italic") << "Liberation Serif" << 12.0 << false << true
                                             << "Italic";
    QTest::newRow("Times New Roman, 12.5 points") << "Times New Roman" << 12.5 << false
                                                  << false << "Regular";
}

void TstFontDialog::okWithoutChangeKeepsTheFace()
{
    QFETCH(QString, family);
    QFETCH(double, size);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(QString, face);
    QVERIFY2(QFontDatabase::styles(QStringLiteral("DejaVu Sans")).contains("Oblique")
                 && QFontDatabase::styles(QStringLiteral("Liberation Serif")).contains("Italic"),
             "fonts-dejavu and fonts-liberation2 are installed");
    QtCommonDialog dialogs(nullptr);
    dialogs.setFlags(791);
    dialogs.setFontName(family);
    dialogs.setFontSize(size);
    dialogs.setFontBold(bold);
    dialogs.setFontItalic(italic);
    QString shownFace;
    onNextModal([&](QWidget *dialog) {
        shownFace = dialog->findChild<QFontDialog *>()->currentFont().styleName();
        // Enter where the focus is, in the font part.
        QTRY_VERIFY(dialog->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(!dialog->isVisible());
    });
    const bool accepted = dialogs.showFont();
    QCOMPARE(shownFace, face);
    QVERIFY(accepted);
    QCOMPARE(dialogs.fontName(), family);
    QCOMPARE(dialogs.fontSize(), size);
    QCOMPARE(dialogs.fontBold(), bold);
    QCOMPARE(dialogs.fontItalic(), italic);
}

void TstFontDialog::otherFamilyKeepsWeightAndSlant()
{
    // From Liberation Serif's "Regular" to DejaVu Sans, which has no face of that
    // name, and back from its "Book", chosen in the family list with the keyboard.
    QtCommonDialog dialogs(nullptr);
    dialogs.setFlags(791);
    for (const QString &family : {QStringLiteral("DejaVu Sans"),
                                  QStringLiteral("Liberation Serif")}) {
        dialogs.setFontName(family == QLatin1String("DejaVu Sans")
                                ? QStringLiteral("Liberation Serif")
                                : QStringLiteral("DejaVu Sans"));
        onNextModal([&family](QWidget *dialog) {
            auto *familyList = dialog->findChild<QFontDialog *>()->findChild<QListView *>();
            familyList->setFocus();
            QTest::keyClicks(familyList, family);
            QCOMPARE(familyList->currentIndex().data().toString(), family);
            QTest::keyClick(familyList, Qt::Key_Return);
            QTRY_VERIFY(!dialog->isVisible());
        });
        QVERIFY(dialogs.showFont());
        QCOMPARE(dialogs.fontName(), family);
        QCOMPARE(dialogs.fontBold(), false);
        QCOMPARE(dialogs.fontItalic(), false);
    }
}

void TstFontDialog::escapeClosesTheWholeDialog()
{
    QtCommonDialog dialogs(nullptr);
    dialogs.setFlags(791);
    dialogs.setFontName(QStringLiteral("DejaVu Sans"));
    dialogs.setFontSize(12);
    bool closed = false;
    onNextModal([&closed](QWidget *dialog) {
        auto *fonts = dialog->findChild<QFontDialog *>();
        auto *familyList = fonts->findChild<QListView *>();
        familyList->setFocus();
        QTest::keyClick(familyList, Qt::Key_Down);
        QTest::keyClick(familyList, Qt::Key_Escape);
        closed = !dialog->isVisible();
        if (!closed)
            static_cast<QDialog *>(dialog)->accept();
    });
    QVERIFY(!dialogs.showFont());
    QVERIFY(closed);
    QCOMPARE(dialogs.fontName(), QStringLiteral("DejaVu Sans"));
}

QTEST_MAIN(TstFontDialog)
#include "tst_fontdialog.moc"
