// The Insert Symbol dialog opened from the main window: its form, the grid of codes
// 32 to 255 in the chosen font, the preview, and what a click, Cancel, Escape and
// the close box do to the pad.
#include "../shell/windowfixture.h"

#include "formatting/screenfonts.h"
#include "platform/richtextpad.h"
#include "shell/twips.h"
#include "symbols/frmsymbols.h"
#include "symbols/symbolgrid.h"

#include <QAbstractItemView>
#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGlyphRun>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRawFont>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

namespace {

FrmSymbols *openSymbols(WindowFixture &f)
{
    f.window->menuItem(QStringLiteral("Symbols"))->trigger();
    FrmSymbols *dialog = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("frmSymbols") && w->isVisible())
            dialog = qobject_cast<FrmSymbols *>(w);
    }
    if (dialog && !QTest::qWaitForWindowExposed(dialog))
        return nullptr;
    return dialog;
}

void chooseFont(QComboBox *combo, const QString &family)
{
    const int row = combo->findText(family);
    QVERIFY2(row >= 0, qPrintable(family + QStringLiteral(" is installed")));
    combo->showPopup();
    combo->view()->setCurrentIndex(combo->model()->index(row, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
}

void hover(FrmSymbols *dialog, int cell)
{
    QTest::mouseMove(dialog->txtSymbol(), dialog->txtSymbol()->cellRect(cell).center());
}

void click(FrmSymbols *dialog, int cell)
{
    QTest::mouseClick(dialog->txtSymbol(), Qt::LeftButton, {},
                      dialog->txtSymbol()->cellRect(cell).center());
}

// Whether the pad draws every character of its first paragraph with a real glyph,
// none with a font's glyph for "missing".
bool drawnWithGlyphs(RichTextPad *pad)
{
    pad->viewport()->grab();
    const QTextLayout *layout = pad->document()->begin().layout();
    if (layout->lineCount() == 0)
        return false;
    for (int i = 0; i < layout->lineCount(); ++i) {
        for (const QGlyphRun &run : layout->lineAt(i).glyphRuns()) {
            if (run.glyphIndexes().contains(0))
                return false;
        }
    }
    return true;
}

// The character typed next at the pad's caret gets this font.
QString fontTypedNext(RichTextPad *pad)
{
    QTest::keyClick(pad, Qt::Key_B);
    pad->setSelStart(pad->selStart() - 1);
    pad->setSelLength(1);
    return pad->selFontName().value_or(QString());
}

} // namespace

class TstFrmSymbols : public QObject
{
    Q_OBJECT

private slots:
    void openedModelessAsDesigned();
    void gridShowsTheCodesOfTheFont();
    void previewFollowsTheMouse();
    void clickInsertsTheCharacterItStandsFor();
    void cancelLeavesThePad_data();
    void cancelLeavesThePad();
};

void TstFrmSymbols::openedModelessAsDesigned()
{
    WindowFixture f;
    f.window->show();
    f.synth.clear();
    FrmSymbols *dialog = openSymbols(f);
    QVERIFY(dialog);
    QCOMPARE(f.synth.spoken(), QStringList{QStringLiteral(
                                   "What's the symbols do you want to insert? Choose it")});
    QVERIFY(!dialog->isModal());
    QVERIFY(!dialog->parentWidget());
    QVERIFY(dialog->windowFlags().testFlag(Qt::Tool));
    QVERIFY(!dialog->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Insert Symbol"));
    QCOMPARE(dialog->size(), QSize(618, 177));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    QCOMPARE(dialog->palette().color(QPalette::Window), QColor(0, 128, 128));
    const QPoint screenCentre = dialog->screen()->availableGeometry().center();
    QVERIFY(qAbs(dialog->geometry().center().x() - screenCentre.x()) <= 1);

    // Every screen font once, sorted, and the grid's own font shown.
    QComboBox *fonts = dialog->cmbFonts();
    QStringList listed;
    for (int i = 0; i < fonts->count(); ++i)
        listed << fonts->itemText(i);
    QCOMPARE(listed, ScreenFonts::families());
    QVERIFY(!listed.contains(QString()));
    QCOMPARE(fonts->currentText(), QStringLiteral("Symbol"));
    QCOMPARE(fonts->lineEdit()->palette().color(QPalette::Text), QColor(0, 255, 0));
    QCOMPARE(fonts->lineEdit()->palette().color(QPalette::Base), QColor(Qt::black));

    // 7 rows of 32 cells, neighbours sharing their border line; the later cell is
    // on top where two overlap.
    SymbolGrid *grid = dialog->txtSymbol();
    QCOMPARE(grid->parentWidget()->geometry(), Twips::rect(120, 600, 7740, 1950));
    for (int i = 0; i < 224; ++i)
        QCOMPARE(grid->cellRect(i), QRect(16 * (i % 32), 18 * (i / 32), 17, 19));
    QCOMPARE(grid->cellAt(QPoint(16, 5)), 1);
    QCOMPARE(grid->cellAt(QPoint(15, 18)), 32);
    QCOMPARE(grid->cellAt(grid->cellRect(223).bottomRight()), 223);
    QCOMPARE(grid->cellAt(grid->cellRect(223).bottomRight() + QPoint(1, 0)), -1);
    QCOMPARE(grid->toolTip(), QStringLiteral("Click to insert this symbol"));
    QCOMPARE(grid->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(grid->font().family(), QStringLiteral("Symbol"));
    QCOMPARE(dialog->lblPreview()->font().pointSize(), 30);
    QCOMPARE(dialog->lblPreview()->geometry(), Twips::rect(8040, 600, 1095, 1095));
    QCOMPARE(dialog->cmdCancel()->text(), QStringLiteral("&Cancel"));

    // A second Symbols brings the open dialog forward; one opened after closing
    // starts afresh in "Symbol".
    chooseFont(fonts, QStringLiteral("DejaVu Sans"));
    QCOMPARE(openSymbols(f), dialog);
    QCOMPARE(f.synth.spoken().size(), 2);
    QCOMPARE(dialog->fontName(), QStringLiteral("DejaVu Sans"));
    QPointer<FrmSymbols> closed = dialog;
    dialog->close();
    QTRY_VERIFY(!closed);
    dialog = openSymbols(f);
    QVERIFY(dialog);
    QCOMPARE(dialog->fontName(), QStringLiteral("Symbol"));
    QCOMPARE(dialog->txtSymbol()->font().family(), QStringLiteral("Symbol"));
}

void TstFrmSymbols::gridShowsTheCodesOfTheFont()
{
    WindowFixture f;
    FrmSymbols *dialog = openSymbols(f);
    QVERIFY(dialog);
    SymbolGrid *grid = dialog->txtSymbol();
    auto shown = [grid](int i) { return grid->cell(i).shown; };
    auto inserts = [grid](int i) { return grid->cell(i).inserted; };
    // Every cell that has a character draws it with a glyph of the chosen font
    // itself: a symbol font's own glyphs, no stand-in from another font.
    auto drawnByTheFont = [grid] {
        const QRawFont font = QRawFont::fromFont(grid->font());
        for (int i = 1; i < 224; ++i) {
            const QString text = grid->cell(i).shown;
            if (!text.isEmpty() && !font.supportsCharacter(text.at(0))) {
                qWarning() << "cell" << i << "in" << font.familyName();
                return false;
            }
        }
        return true;
    };

    // The Symbol font: its Greek at the codes of the Latin letters.
    QCOMPARE(shown(0), QStringLiteral(" "));
    QCOMPARE(shown(65), QStringLiteral("a"));
    QCOMPARE(inserts(65), QStringLiteral("\u03B1"));
    QCOMPARE(inserts(33), QStringLiteral("\u0391"));
    QCOMPARE(inserts(128), QStringLiteral("\u20AC"));
    // Codes the font leaves empty show nothing.
    QCOMPARE(shown(96), QString());
    QCOMPARE(shown(223), QString());
    QVERIFY(drawnByTheFont());

    // Typing a name without picking it changes nothing.
    QLineEdit *edit = dialog->cmbFonts()->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("DejaVu Sans"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(grid->font().family(), QStringLiteral("Symbol"));
    QCOMPARE(inserts(65), QStringLiteral("\u03B1"));

    // A font of the code page: Windows-1252, its unassigned codes and DEL empty.
    chooseFont(dialog->cmbFonts(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(shown(65), QStringLiteral("a"));
    QCOMPARE(inserts(65), QStringLiteral("a"));
    QCOMPARE(shown(96), QStringLiteral("\u20AC"));
    QCOMPARE(shown(223), QStringLiteral("\u00FF"));
    for (int code : {127, 129, 141, 143, 144, 157})
        QCOMPARE(shown(code - 32), QString());
    QCOMPARE(grid->font().family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(dialog->lblPreview()->font().family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(dialog->lblPreview()->font().pointSize(), 30);

    // Dingbats: the font's ornaments at their codes, inserted as Unicode's.
    chooseFont(dialog->cmbFonts(), QStringLiteral("D050000L"));
    QCOMPARE(shown(1), QStringLiteral("!"));
    QCOMPARE(inserts(1), QStringLiteral("\u2701"));
    QCOMPARE(inserts(76), QStringLiteral("\u25CF"));
    QCOMPARE(inserts(96), QStringLiteral("\u2768"));
    QCOMPARE(shown(110), QString());
    QVERIFY(drawnByTheFont());
}

void TstFrmSymbols::previewFollowsTheMouse()
{
    WindowFixture f;
    FrmSymbols *dialog = openSymbols(f);
    QVERIFY(dialog);
    QLabel *preview = dialog->lblPreview();
    hover(dialog, 33);
    QTRY_COMPARE(preview->text(), QStringLiteral("A"));
    hover(dialog, 34);
    QTRY_COMPARE(preview->text(), QStringLiteral("B"));
    // The ampersand is a character like any other, drawn as itself.
    const QImage empty = preview->grab().toImage();
    hover(dialog, 6);
    QTRY_COMPARE(preview->text(), QStringLiteral("&"));
    QVERIFY(preview->grab().toImage() != empty);
    // Leaving the grid keeps the last character.
    QTest::mouseMove(dialog, QPoint(4, 4));
    QTest::qWait(50);
    QCOMPARE(preview->text(), QStringLiteral("&"));
}

void TstFrmSymbols::clickInsertsTheCharacterItStandsFor()
{
    WindowFixture f;
    f.window->show();
    RichTextPad *pad = f.window->sayText();
    pad->setText(QStringLiteral("xay"));
    pad->setSelStart(1);
    pad->setSelLength(1);
    QPointer<FrmSymbols> dialog = openSymbols(f);
    QVERIFY(dialog);

    // A code without a character does nothing.
    click(dialog, 128 - 32);
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(pad->text(), QStringLiteral("xay"));

    click(dialog, 97 - 32);
    QTRY_VERIFY(!dialog);
    QCOMPARE(pad->text(), QStringLiteral("x\u03B1y"));
    // The real character in the symbol font, which has no glyph for it by that
    // value: the pad draws it all the same.
    QVERIFY(drawnWithGlyphs(pad));
    QCOMPARE(pad->selStart(), 2);
    QCOMPARE(fontTypedNext(pad), QStringLiteral("Times New Roman"));
    pad->setSelStart(1);
    pad->setSelLength(1);
    QCOMPARE(pad->selFontName(), std::optional<QString>(QStringLiteral("Symbol")));

    // A dingbat at the caret, chosen with the keyboard only; typing goes on in the
    // main window's font.
    pad->setSelStart(0);
    dialog = openSymbols(f);
    QVERIFY(dialog);
    chooseFont(dialog->cmbFonts(), QStringLiteral("D050000L"));
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QTest::keyClick(dialog->cmbFonts(), Qt::Key_Tab);
    QTRY_VERIFY(dialog->txtSymbol()->hasFocus());
    QTest::keyClick(dialog->txtSymbol(), Qt::Key_Down);
    QTest::keyClick(dialog->txtSymbol(), Qt::Key_Up);
    QTest::keyClick(dialog->txtSymbol(), Qt::Key_Right);
    QCOMPARE(dialog->lblPreview()->text(), QStringLiteral("!"));
    QTest::keyClick(dialog->txtSymbol(), Qt::Key_Return);
    QTRY_VERIFY(!dialog);
    QCOMPARE(pad->text(), QStringLiteral("\u2701x\u03B1by"));
    QVERIFY(drawnWithGlyphs(pad));
    QCOMPARE(fontTypedNext(pad), QStringLiteral("Times New Roman"));
}

void TstFrmSymbols::cancelLeavesThePad_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "Cancel";
    QTest::newRow("Escape") << "Escape";
    QTest::newRow("close box") << "close box";
}

void TstFrmSymbols::cancelLeavesThePad()
{
    QFETCH(QString, how);
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    pad->setText(QStringLiteral("keep me"));
    pad->setSelStart(2);
    pad->setSelLength(3);
    QPointer<FrmSymbols> dialog = openSymbols(f);
    QVERIFY(dialog);
    hover(dialog, 40);
    if (how == QLatin1String("Cancel"))
        QTest::mouseClick(dialog->cmdCancel(), Qt::LeftButton);
    else if (how == QLatin1String("Escape"))
        QTest::keyClick(dialog->cmbFonts(), Qt::Key_Escape);
    else
        dialog->close();
    QTRY_VERIFY(!dialog);
    QCOMPARE(pad->text(), QStringLiteral("keep me"));
    QCOMPARE(pad->selStart(), 2);
    QCOMPARE(pad->selLength(), 3);
    QCOMPARE(pad->selFontName(), std::optional<QString>(QStringLiteral("Times New Roman")));
}

QTEST_MAIN(TstFrmSymbols)
#include "tst_frmsymbols.moc"
