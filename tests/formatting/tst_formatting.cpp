// The formatting commands driven through the main window: the font name and size
// boxes, the font dialog, the font colour, script and case commands.
#include "../shell/windowfixture.h"

#include "formatting/colourcommands.h"
#include "formatting/fontcommands.h"
#include "platform/richtextpad.h"
#include "shell/twips.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QTest>

namespace {

// Picks a row of a combo box's list as the user does: open the list, move to the
// row, press Enter.
void chooseFromList(QComboBox *combo, int row)
{
    combo->showPopup();
    QAbstractItemView *view = combo->view();
    view->setCurrentIndex(combo->model()->index(row, 0));
    QTest::keyClick(view, Qt::Key_Return);
}

void select(RichTextPad *pad, int start, int length)
{
    pad->setSelStart(start);
    pad->setSelLength(length);
}

// The lowest row with ink in columns [left, right) of the pad's picture.
int lowestInk(RichTextPad *pad, int left, int right)
{
    const QImage image = pad->viewport()->grab().toImage();
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = left; x < right && x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                return y;
        }
    }
    return -1;
}

} // namespace

class TstFormatting : public QObject
{
    Q_OBJECT

private slots:
    void boxesAfterStartUp();
    void fontListShowsNamesWhole();
    void sizeBoxTyping_data();
    void sizeBoxTyping();
    void typedTextIsNeverApplied();
    void sizeBoxKeysAfterTheCheck();
    void sizeChosenFromList();
    void fontNameChosenFromList();
    void fontDialogPrimesAndApplies();
    void fontDialogCancelRestoresAndUnifies();
    void fontColour();
    void backgroundFromTableIndex();
    void scriptCommands();
    void scriptOffsetRenders();
    void caseCommands();
};

void TstFormatting::boxesAfterStartUp()
{
    WindowFixture f;
    auto *combo1 = f.child<QComboBox>(QStringLiteral("Combo1"));
    auto *fntSize = f.child<QComboBox>(QStringLiteral("FntSize"));
    QCOMPARE(combo1->currentText(), QStringLiteral("Times New Roman"));
    QCOMPARE(fntSize->currentText(), QStringLiteral("12"));

    QStringList names;
    for (int i = 0; i < combo1->count(); ++i)
        names << combo1->itemText(i);
    // Each family once by its plain name ("C059", not "C059 [urw]"), none left out,
    // in alphabetical order without regard to case.
    QSet<QString> expected;
    for (const QString &family : QFontDatabase::families())
        expected.insert(family.section(QStringLiteral(" ["), 0, 0));
    QCOMPARE(QSet<QString>(names.cbegin(), names.cend()), expected);
    QCOMPARE(names.size(), expected.size());
    for (qsizetype i = 1; i < names.size(); ++i)
        QVERIFY2(names.at(i - 1).compare(names.at(i), Qt::CaseInsensitive) <= 0,
                 qPrintable(names.at(i)));

    QCOMPARE(fntSize->count(), 100);
    for (int i = 0; i < 100; ++i)
        QCOMPARE(fntSize->itemText(i), QString::number(i + 1));
}

void TstFormatting::fontListShowsNamesWhole()
{
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    auto *combo1 = f.child<QComboBox>(QStringLiteral("Combo1"));
    QAbstractItemView *list = combo1->view();
    const int longest = list->sizeHintForColumn(0);
    QVERIFY2(longest > combo1->width(), "a font name wider than the box is installed");
    combo1->showPopup();
    QTRY_VERIFY(list->isVisible());
    QVERIFY2(list->viewport()->width() >= longest,
             qPrintable(QStringLiteral("%1 < %2").arg(list->viewport()->width()).arg(longest)));
    combo1->hidePopup();
    QCOMPARE(combo1->geometry(), Twips::rect(240, 360, 2115, 315));
}

void TstFormatting::sizeBoxTyping_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("14") << "14" << "14";
    QTest::newRow("10, with its 0") << "10" << "10";
    QTest::newRow("20") << "20" << "20";
    QTest::newRow("100") << "100" << "100";
    QTest::newRow("leading 0") << "0" << "12";
    QTest::newRow("leading 0 of 05") << "05" << "12";
    QTest::newRow("decimal point") << "1.5" << "12";
    QTest::newRow("letter") << "x" << "12";
    QTest::newRow("blank") << "1 " << "12";
    QTest::newRow("sign") << "-3" << "12";
    QTest::newRow("emptied") << "" << "";
}

void TstFormatting::sizeBoxTyping()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    WindowFixture f;
    QLineEdit *edit = f.child<QComboBox>(QStringLiteral("FntSize"))->lineEdit();
    // Pasted whole, so that each text meets the check at once.
    edit->selectAll();
    edit->insert(typed);
    QCOMPARE(edit->text(), kept);
}

void TstFormatting::typedTextIsNeverApplied()
{
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    pad->setText(QStringLiteral("some words"));
    select(pad, 0, 4);
    f.synth.clear();
    for (const QString name : {QStringLiteral("FntSize"), QStringLiteral("Combo1")}) {
        QLineEdit *edit = f.child<QComboBox>(name)->lineEdit();
        edit->selectAll();
        const QString text = name == QLatin1String("FntSize") ? QStringLiteral("14")
                                                               : QStringLiteral("DejaVu Sans");
        QTest::keyClicks(edit, text);
        QCOMPARE(edit->text(), text);
        // Typing ends on the text of an item of the list: still nothing is chosen.
        QTest::keyClick(edit, Qt::Key_Return);
    }
    QCOMPARE(pad->selFontSize(), std::optional<double>(12.0));
    QCOMPARE(pad->baseFontName(), QStringLiteral("Times New Roman"));
    QVERIFY(!f.synth.spoken().contains(QStringLiteral("You have changed the text font size")));
    QVERIFY(!f.synth.spoken().contains(QStringLiteral("You have changed your text font")));
}

void TstFormatting::sizeBoxKeysAfterTheCheck()
{
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    auto *fntSize = f.child<QComboBox>(QStringLiteral("FntSize"));
    auto listRow = [fntSize] {
        fntSize->showPopup();
        const QString row = fntSize->view()->currentIndex().data().toString();
        fntSize->hidePopup();
        return row;
    };
    QCOMPARE(listRow(), QStringLiteral("12"));

    fntSize->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    // The check puts back "12" at the "."; the rest of that typing is dropped.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1.57"));
    QCOMPARE(fntSize->currentText(), QStringLiteral("12"));
    // A key that types nothing ends it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("6"));
    QCOMPARE(fntSize->currentText(), QStringLiteral("16"));
    QCOMPARE(listRow(), QStringLiteral("16"));
}

void TstFormatting::sizeChosenFromList()
{
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    auto *fntSize = f.child<QComboBox>(QStringLiteral("FntSize"));
    pad->setText(QStringLiteral("small big"));
    select(pad, 6, 3);
    f.synth.clear();
    chooseFromList(fntSize, 9);
    QCOMPARE(f.synth.spoken(), QStringList{QStringLiteral("You have changed the text font size")});
    QCOMPARE(fntSize->currentText(), QStringLiteral("10"));
    QCOMPARE(pad->selFontSize(), std::optional<double>(10.0));
    select(pad, 0, 5);
    QCOMPARE(pad->selFontSize(), std::optional<double>(12.0));
}

void TstFormatting::fontNameChosenFromList()
{
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    auto *combo1 = f.child<QComboBox>(QStringLiteral("Combo1"));
    pad->setText(QStringLiteral("all of it"));
    select(pad, 0, 3);
    const int row = combo1->findText(QStringLiteral("DejaVu Sans"));
    QVERIFY2(row >= 0, "fonts-dejavu is installed");
    f.synth.clear();
    chooseFromList(combo1, row);
    QCOMPARE(f.synth.spoken(), QStringList{QStringLiteral("You have changed your text font")});
    // The pad's own font, even though only a word was selected.
    QCOMPARE(pad->baseFontName(), QStringLiteral("DejaVu Sans"));
    select(pad, 4, 5);
    QCOMPARE(pad->selFontName(), std::optional<QString>(QStringLiteral("DejaVu Sans")));
}

void TstFormatting::fontDialogPrimesAndApplies()
{
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    pad->setText(QStringLiteral("alpha beta"));
    select(pad, 0, 5);
    pad->setSelBold(true);
    pad->setSelFontSize(14);
    pad->setSelColor(Qt::red);
    struct {
        int flags = 0;
        QString name;
        double size = 0;
        bool bold = false;
        bool italic = true;
        QColor color;
    } primed;
    f.dialogs.answerWith(QStringLiteral("font"), [&primed](CommonDialog &d) {
        primed = {d.flags(), d.fontName(), d.fontSize(), d.fontBold(), d.fontItalic(),
                  d.color()};
        d.setFontName(QStringLiteral("DejaVu Sans"));
        d.setFontSize(20);
        d.setFontBold(false);
        d.setFontItalic(true);
        d.setFontUnderline(true);
        d.setFontStrikethru(true);
        d.setColor(QColor(0, 0, 255));
    });
    f.synth.clear();
    f.window->menuItem(QStringLiteral("font"))->trigger();

    QCOMPARE(primed.flags, 791);
    QCOMPARE(primed.name, QStringLiteral("Times New Roman"));
    QCOMPARE(primed.size, 14.0);
    QCOMPARE(primed.bold, true);
    QCOMPARE(primed.italic, false);
    QCOMPARE(primed.color, QColor(Qt::red));

    QCOMPARE(pad->selFontName(), std::optional<QString>(QStringLiteral("DejaVu Sans")));
    QCOMPARE(pad->selFontSize(), std::optional<double>(20.0));
    QCOMPARE(pad->selBold(), std::optional<bool>(false));
    QCOMPARE(pad->selItalic(), std::optional<bool>(true));
    QCOMPARE(pad->selUnderline(), std::optional<bool>(true));
    QCOMPARE(pad->selStrikeThru(), std::optional<bool>(true));
    QCOMPARE(pad->selColor(), std::optional<QColor>(QColor(0, 0, 255)));
    QVERIFY(f.synth.spoken().isEmpty());
}

void TstFormatting::fontDialogCancelRestoresAndUnifies()
{
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    pad->setText(QStringLiteral("alpha beta"));
    select(pad, 0, 5);
    pad->setSelBold(true);
    pad->setSelColor(QColor(0, 128, 0));
    select(pad, 0, 10);
    pad->setSelFontSize(16);
    // Boldness is mixed across the selection, so the dialog keeps what it held.
    f.dialogs.setFontBold(true);
    f.dialogs.answerCancel(QStringLiteral("font"));
    f.window->menuItem(QStringLiteral("font"))->trigger();
    QCOMPARE(f.dialogs.m_shown.size(), 1);
    QCOMPARE(pad->selFontSize(), std::optional<double>(16.0));
    QCOMPARE(pad->selFontName(), std::optional<QString>(QStringLiteral("Times New Roman")));
    QCOMPARE(pad->selBold(), std::optional<bool>(true));
    // Colour was mixed too: the dialog's first colour, black, is applied to all.
    QCOMPARE(pad->selColor(), std::optional<QColor>(QColor(Qt::black)));
}

void TstFormatting::fontColour()
{
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    auto *swatch = f.child<QLabel>(QStringLiteral("picFontColor"));
    pad->setText(QStringLiteral("red text"));
    select(pad, 0, 3);
    f.synth.clear();
    f.dialogs.answerWith(QStringLiteral("color"), [](CommonDialog &d) {
        QCOMPARE(d.flags(), 2);
        d.setColor(QColor(255, 0, 0));
    });
    QTest::mouseDClick(swatch, Qt::LeftButton);
    QCOMPARE(f.synth.spoken(), QStringList{QStringLiteral("Please choose your text font color")});
    QCOMPARE(pad->selColor(), std::optional<QColor>(QColor(255, 0, 0)));
    // What the swatch shows, not only what its palette holds.
    const QImage shown = swatch->grab().toImage();
    QCOMPARE(QColor(shown.pixel(shown.rect().center())), QColor(255, 0, 0));

    // Cancel from the toolbar still applies the dialog's colour, here to the caret.
    pad->setSelStart(8);
    f.window->toolbarButton(QStringLiteral("Font Color"))->trigger();
    QCOMPARE(f.dialogs.m_shown.size(), 2);
    QTest::keyClicks(pad, QStringLiteral("!"));
    select(pad, 8, 1);
    QCOMPARE(pad->selColor(), std::optional<QColor>(QColor(255, 0, 0)));
}

void TstFormatting::backgroundFromTableIndex()
{
    FakeSpeechSynth synth;
    ScriptedDialog dialogs;
    RichTextPad pad;
    QLabel swatch;
    ColourCommands commands(synth, pad, dialogs, swatch);
    commands.clrSelect1_Click(1);
    QCOMPARE(pad.backColor(), QColor(0, 0, 128));
    QCOMPARE(synth.spoken(),
             QStringList{QStringLiteral("Your text background color have changed")});
    commands.clrSelect1_Click(14);
    QCOMPARE(pad.backColor(), QColor(255, 255, 0));
    // No such entry: the background stays.
    commands.clrSelect1_Click(16);
    QCOMPARE(pad.backColor(), QColor(255, 255, 0));
}

void TstFormatting::scriptCommands()
{
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    QAction *super = f.window->menuItem(QStringLiteral("sSuperScript"));
    QAction *sub = f.window->menuItem(QStringLiteral("sSubscript"));
    QAction *non = f.window->menuItem(QStringLiteral("sNonScript"));
    pad->setText(QStringLiteral("word other"));
    select(pad, 0, 4);
    f.synth.clear();

    super->trigger();
    QCOMPARE(pad->selCharOffset(), std::optional<int>(55));
    QCOMPARE(pad->selFontSize(), std::optional<double>(7.0));
    QCOMPARE((QList<bool>{super->isChecked(), sub->isChecked(), non->isChecked()}),
             (QList<bool>{true, false, false}));

    sub->trigger();
    QCOMPARE(pad->selCharOffset(), std::optional<int>(-50));
    // The marks record the command, not the text under the caret.
    select(pad, 5, 5);
    QCOMPARE((QList<bool>{super->isChecked(), sub->isChecked(), non->isChecked()}),
             (QList<bool>{false, true, false}));

    pad->setSelFontSize(20);
    non->trigger();
    QCOMPARE(pad->selCharOffset(), std::optional<int>(0));
    QCOMPARE(pad->selFontSize(), std::optional<double>(12.0));
    QCOMPARE((QList<bool>{super->isChecked(), sub->isChecked(), non->isChecked()}),
             (QList<bool>{false, false, true}));
    QCOMPARE(f.synth.spoken(),
             (QStringList{QStringLiteral("Superscript your text"),
                          QStringLiteral("Subscript your text"),
                          QStringLiteral("Give your text as a normal")}));
}

void TstFormatting::scriptOffsetRenders()
{
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    pad->setText(QStringLiteral("\nIIII IIII"));
    pad->setSelStart(6);
    const int split = pad->cursorRect().left();
    // Measured without the selection's highlight.
    const auto shift = [&] {
        const int start = pad->selStart();
        const int length = pad->selLength();
        pad->setSelStart(0);
        const int result =
            lowestInk(pad, 0, split - 2) - lowestInk(pad, split + 1, pad->width());
        select(pad, start, length);
        return result;
    };
    QCOMPARE(shift(), 0);
    select(pad, 6, 4);
    f.window->menuItem(QStringLiteral("sSuperScript"))->trigger();
    // 55 twips are 3.7 pixels at 96 dpi.
    const int raised = shift();
    QVERIFY2(raised >= 3 && raised <= 4, qPrintable(QString::number(raised)));
    // A later size keeps the length of the raise.
    pad->setSelFontSize(20);
    QCOMPARE(pad->selCharOffset(), std::optional<int>(55));
    QVERIFY2(qAbs(shift() - raised) <= 1, qPrintable(QString::number(shift())));
    f.window->menuItem(QStringLiteral("sSubscript"))->trigger();
    QVERIFY2(shift() <= -3, qPrintable(QString::number(shift())));
}

void TstFormatting::caseCommands()
{
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    pad->setText(QStringLiteral("Hello World 42 straße Ωμέγα Ёлка end"));
    f.window->documentState().textChanged = false;
    f.synth.clear();

    // Nothing selected: only the sentence.
    pad->setSelStart(3);
    f.window->menuItem(QStringLiteral("UpperMe"))->trigger();
    QCOMPARE(pad->text(), QStringLiteral("Hello World 42 straße Ωμέγα Ёлка end"));
    QVERIFY(!f.window->documentState().textChanged);

    select(pad, 6, 5);
    pad->setSelBold(true);
    select(pad, 0, 32);
    f.window->menuItem(QStringLiteral("UpperMe"))->trigger();
    QCOMPARE(pad->text(), QStringLiteral("HELLO WORLD 42 STRASSE ΩΜΈΓΑ ЁЛКА end"));
    // "ß" became two letters; the selection still covers the converted text.
    QCOMPARE(pad->selText(), QStringLiteral("HELLO WORLD 42 STRASSE ΩΜΈΓΑ ЁЛКА"));
    f.window->menuItem(QStringLiteral("mnuPopUp_Lower"))->trigger();
    QCOMPARE(pad->text(), QStringLiteral("hello world 42 strasse ωμέγα ёлка end"));

    // Each run keeps its formatting.
    select(pad, 6, 5);
    QCOMPARE(pad->selBold(), std::optional<bool>(true));
    select(pad, 0, 5);
    QCOMPARE(pad->selBold(), std::optional<bool>(false));

    QCOMPARE(f.synth.spoken(),
             (QStringList{QStringLiteral("Upper case your text"),
                          QStringLiteral("Upper case your text"),
                          QStringLiteral("Lower case your text")}));
    // A changed text is a changed document.
    QVERIFY(f.window->documentState().textChanged);
}

QTEST_MAIN(TstFormatting)
#include "tst_formatting.moc"
