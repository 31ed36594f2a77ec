// The main window as laid out: controls, menus and toolbar with their captions,
// shortcuts and initial states, and the shortcuts the program owns over the pad.
#include "windowfixture.h"

#include "platform/richtextpad.h"
#include "shell/twips.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolBar>

#include <climits>
#include <functional>

class TstFrmmain : public QObject
{
    Q_OBJECT

private slots:
    void panelControls_data();
    void panelControls();
    void labels_data();
    void labels();
    void captionsWholeAndApart();
    void buttonsShowTheFocus();
    void padAndWindow();
    void menuItems_data();
    void menuItems();
    void menuOrder();
    void voiceMenuByLanguage();
    void popupMenu();
    void toolbar();
    void startupFallback();
    void ownedShortcutsReachTheirCommands_data();
    void ownedShortcutsReachTheirCommands();
    void ctrlXExitsAndDoesNotCut();
    void toolbarKeysRunTheirCommands_data();
    void toolbarKeysRunTheirCommands();
    void typingStillWorksInThePad();
    void lettersWithAltTypeNothing();
    void boldToggleFollowsThePad();
    void alignmentSpeaksAndAligns();
    void voiceScrollBarKeysAndFocus();
};

void TstFrmmain::panelControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QColor>("background");
    QTest::newRow("cmdOpen") << "cmdOpen" << "Open Text" << QRect(4560, 360, 1095, 375)
                             << QColor(255, 192, 255);
    QTest::newRow("cmdExit") << "cmdExit" << "Exit" << QRect(4560, 840, 1095, 375)
                             << QColor(128, 128, 128);
    QTest::newRow("cmdClear") << "cmdClear" << "Clear Pad" << QRect(3240, 840, 1095, 375)
                              << QColor(128, 255, 255);
    QTest::newRow("cmdResume") << "cmdResume" << "Resume" << QRect(1800, 840, 1335, 375)
                               << QColor(128, 255, 128);
    QTest::newRow("cmdPause") << "cmdPause" << "Pause" << QRect(1800, 840, 1335, 375)
                              << QColor(255, 128, 0);
    QTest::newRow("cmdStop") << "cmdStop" << "Stop Read!" << QRect(240, 840, 1335, 375)
                             << QColor(255, 128, 128);
    QTest::newRow("cmdRead") << "cmdRead" << "Read It!" << QRect(240, 840, 1335, 375)
                             << QColor(255, 192, 128);
}

void TstFrmmain::panelControls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    QFETCH(QColor, background);
    WindowFixture f;
    auto *button = f.child<QPushButton>(name);
    QVERIFY(button);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->geometry(),
             Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
    QCOMPARE(button->palette().color(QPalette::Button), background);
    QVERIFY(button->font().bold());
    QCOMPARE(button->parentWidget()->objectName(), QStringLiteral("Frame1"));

    // Drawn in its own colour, flat, with a raised edge that sinks while pressed:
    // light above and dark below, then the other way round.
    const QPoint fill(button->width() / 2, 3);
    const QPoint top(button->width() / 2, 0);
    const QPoint bottom(button->width() / 2, button->height() - 1);
    auto lightness = [](const QImage &image, const QPoint &at) {
        return image.pixelColor(at).lightness();
    };
    const QImage raised = button->grab().toImage();
    QCOMPARE(raised.pixelColor(fill), background);
    QVERIFY(lightness(raised, top) > lightness(raised, bottom));
    button->setDown(true);
    const QImage pressed = button->grab().toImage();
    QCOMPARE(pressed.pixelColor(fill), background);
    QVERIFY(lightness(pressed, top) < lightness(pressed, bottom));
}

void TstFrmmain::labels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QColor>("text");
    QTest::newRow("Label7") << "Label7" << "Font Size:" << QColor(128, 0, 0);
    QTest::newRow("Label1") << "Label1" << "Select Font:" << QColor(128, 0, 0);
    QTest::newRow("Label4") << "Label4" << "Speed:" << QColor(255, 0, 0);
    QTest::newRow("Label3") << "Label3" << "Pitch:" << QColor(255, 0, 0);
    QTest::newRow("Label2") << "Label2" << "Pad Color:" << QColor(128, 0, 0);
    QTest::newRow("Pitchlbl") << "Pitchlbl" << QString() << QColor(0, 0, 255);
    QTest::newRow("Speedlbl") << "Speedlbl" << QString() << QColor(0, 0, 255);
}

void TstFrmmain::labels()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QColor, text);
    Frmmain window; // before start-up: the design captions
    auto *label = window.findChild<QLabel *>(name);
    QVERIFY(label);
    QCOMPARE(label->text(), caption);
    QCOMPARE(label->palette().color(QPalette::WindowText), text);
    QCOMPARE(label->palette().color(QPalette::Window), QColor(0, 128, 128));
}

void TstFrmmain::captionsWholeAndApart()
{
    WindowFixture f;
    const QColor teal(0, 128, 128);
    struct Ink {
        QLabel *label;
        int left = INT_MAX;
        int right = -1;
    };
    QList<Ink> inks;
    for (QLabel *label : f.child<QWidget>(QStringLiteral("Frame1"))->findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));
        const QImage image = label->grab().toImage();
        Ink ink{label};
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) != teal) {
                    ink.left = qMin(ink.left, label->x() + x);
                    ink.right = qMax(ink.right, label->x() + x);
                }
            }
        }
        inks << ink;
    }
    // A caption and its neighbour on the right ("Font Size:" and "Pad Color:") are
    // a character's width apart, more than the words of one caption.
    QStringList pairs;
    for (const Ink &a : std::as_const(inks)) {
        const Ink *next = nullptr;
        const QRect ra = a.label->geometry();
        for (const Ink &b : std::as_const(inks)) {
            const QRect rb = b.label->geometry();
            if (rb.left() > ra.left() && ra.top() <= rb.bottom() && rb.top() <= ra.bottom()
                && (!next || rb.left() < next->label->x()))
                next = &b;
        }
        if (!next)
            continue;
        pairs << a.label->text() + QLatin1Char('|') + next->label->text();
        const int apart = next->left - a.right - 1;
        QVERIFY2(apart >= next->label->fontMetrics().averageCharWidth(),
                 qPrintable(pairs.constLast() + QStringLiteral(": %1").arg(apart)));
    }
    QVERIFY(pairs.contains(QStringLiteral("Font Size:|Pad Color:")));
}

void TstFrmmain::buttonsShowTheFocus()
{
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    auto *speed = f.child<QWidget>(QStringLiteral("Slider1"));
    for (const char *name : {"cmdRead", "cmdPause", "cmdClear", "cmdExit", "cmdOpen"}) {
        auto *button = f.child<QPushButton>(QLatin1String(name));
        speed->setFocus(Qt::TabFocusReason);
        const QImage unfocused = button->grab().toImage();
        button->setFocus(Qt::TabFocusReason);
        QVERIFY(button->hasFocus());
        QVERIFY2(button->grab().toImage() != unfocused, name);
    }
}

void TstFrmmain::padAndWindow()
{
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Tavrel"));
    QCOMPARE(f.window->centralWidget()->size(), QSize(545, 456));

    RichTextPad *pad = f.window->sayText();
    QCOMPARE(pad->geometry(), Twips::rect(0, 360, 8175, 5205));
    QCOMPARE(pad->toolTip(),
             QStringLiteral("Type you text here or load any text files to start reading...."));
    QCOMPARE(pad->baseFontName(), QStringLiteral("Times New Roman"));
    QCOMPARE(pad->font().pointSizeF(), 12.0);

    auto *frame = f.child<QWidget>(QStringLiteral("Frame1"));
    QCOMPARE(frame->geometry(), Twips::rect(0, 5520, 8175, 1335));
    QCOMPARE(frame->palette().color(QPalette::Window), QColor(0, 128, 128));

    auto *combo = f.child<QComboBox>(QStringLiteral("Combo1"));
    QCOMPARE(combo->geometry(), Twips::rect(240, 360, 2115, 315));
    QCOMPARE(combo->toolTip(), QStringLiteral("Select any text font"));
    QCOMPARE(combo->palette().color(QPalette::Text), QColor(0, 255, 0));
    auto *size = f.child<QComboBox>(QStringLiteral("FntSize"));
    QCOMPARE(size->geometry(), Twips::rect(2400, 360, 735, 315));
    QCOMPARE(size->toolTip(), QStringLiteral("Choose suitable font size in your text."));
    QCOMPARE(size->palette().color(QPalette::Text), QColor(255, 255, 0));

    auto *speed = f.child<QScrollBar>(QStringLiteral("Slider1"));
    QCOMPARE(speed->geometry(), Twips::rect(5880, 360, 2055, 200));
    auto *pitch = f.child<QScrollBar>(QStringLiteral("Slider2"));
    QCOMPARE(pitch->geometry(), Twips::rect(5880, 800, 2055, 200));
    QVERIFY(!speed->hasTracking());

    auto *swatch = f.child<QLabel>(QStringLiteral("picFontColor"));
    QVERIFY(swatch);
    QCOMPARE(swatch->size(), QSize(23, 19));
    QCOMPARE(swatch->palette().color(QPalette::Window), QColor(128, 0, 0));

    // A larger window gives its room to the pad; the panel stays along the bottom.
    f.window->resize(f.window->width() + 100, f.window->height() + 80);
    QCoreApplication::processEvents();
    QCOMPARE(pad->height(), Twips::toPixels(5205) + 80);
    QCOMPARE(frame->y(), Twips::toPixels(5520) + 80);
    QCOMPARE(pad->width(), f.window->centralWidget()->width());
}

void TstFrmmain::menuItems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("checked");
    auto row = [](const char *name, const char *caption, QKeySequence key = {},
                  bool enabled = true, bool checked = false) {
        QTest::newRow(name) << name << caption << key << enabled << checked;
    };
    row("New", "&New", QKeySequence(Qt::CTRL | Qt::Key_N));
    row("OpenSpeech", "&Open...", QKeySequence(Qt::CTRL | Qt::Key_O));
    row("Save", "&Save", {}, false);
    row("SaveAs", "Save &as...", QKeySequence(Qt::CTRL | Qt::Key_S));
    row("PrintMe", "&Print", QKeySequence(Qt::CTRL | Qt::Key_P));
    row("Exit", "Exit", QKeySequence(Qt::CTRL | Qt::Key_X));
    row("UndoMe", "&Undo", QKeySequence(Qt::CTRL | Qt::Key_Z));
    row("RedoMe", "&Redo", QKeySequence(Qt::CTRL | Qt::Key_R));
    row("CutMe", "Cu&t", QKeySequence(Qt::CTRL | Qt::Key_T));
    row("CopyMe", "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C));
    row("PasteMe", "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V));
    row("DeleteMe", "&Delete", QKeySequence(Qt::Key_Delete));
    row("SelectMe", "&Select All", QKeySequence(Qt::CTRL | Qt::Key_A));
    row("InsertMe", "&Picture", QKeySequence(Qt::CTRL | Qt::Key_I));
    row("Symbols", "&Symbols");
    row("FindMe", "&Find...", QKeySequence(Qt::Key_F3));
    row("ReplaceMe", "&Replace", QKeySequence(Qt::Key_F5));
    row("CountMe", "&Word Count");
    row("font", "&Font");
    row("UpperMe", "&Upper Case");
    row("LowerMe", "&Lower Case");
    row("Script", "&Script");
    row("sSuperScript", "S&uperscript");
    row("sSubscript", "Su&bscript");
    row("sNonScript", "&Non Scripting", {}, true, true);
    row("Contents", "Contents", QKeySequence(Qt::Key_F1));
    row("AboutMe", "About...");
}

void TstFrmmain::menuItems()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    QFETCH(bool, enabled);
    QFETCH(bool, checked);
    WindowFixture f;
    QAction *item = f.window->menuItem(name);
    QVERIFY(item);
    QCOMPARE(item->text(), caption);
    QCOMPARE(item->shortcut(), shortcut);
    QCOMPARE(item->isEnabled(), enabled);
    QCOMPARE(item->isChecked(), checked);
    QVERIFY(item->isVisible());
}

void TstFrmmain::menuOrder()
{
    WindowFixture f;
    auto captions = [](const QMenu *menu) {
        QStringList list;
        for (const QAction *a : menu->actions())
            list << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return list;
    };
    QStringList top;
    for (const QAction *a : f.window->menuBar()->actions())
        if (a->isVisible())
            top << a->text();
    QCOMPARE(top, (QStringList{"&File", "&Edit", "&Insert", "&Search", "F&ormat", "S&peech",
                               "Help"}));
    QCOMPARE(captions(f.window->menuItem("File")->menu()),
             (QStringList{"&New", "&Open...", "&Save", "Save &as...", "Save Speech As...",
                          "-", "&Print", "-", "Exit"}));
    QCOMPARE(captions(f.window->menuItem("Edit")->menu()),
             (QStringList{"&Undo", "&Redo", "-", "Cu&t", "&Copy", "&Paste", "&Delete", "-",
                          "&Select All"}));
    QCOMPARE(captions(f.window->menuItem("SearchMe")->menu()),
             (QStringList{"&Find...", "&Replace", "-", "&Word Count"}));
    QCOMPARE(captions(f.window->menuItem("Format")->menu()),
             (QStringList{"&Font", "-", "&Upper Case", "&Lower Case", "-", "&Script"}));
    QCOMPARE(captions(f.window->menuItem("Script")->menu()),
             (QStringList{"S&uperscript", "Su&bscript", "&Non Scripting"}));
    QCOMPARE(captions(f.window->menuItem("SpeechMenu")->menu()),
             (QStringList{"Read from &Caret", "Read &Selection", "-",
                          "&Highlight Spoken Words", "&Voice"}));
    QCOMPARE(captions(f.window->menuItem("Help")->menu()),
             (QStringList{"Contents", "-", "About..."}));
}

void TstFrmmain::voiceMenuByLanguage()
{
    WindowFixture f;
    QMenu *menu = f.window->menuItem(QStringLiteral("VoiceMenu"))->menu();
    QVERIFY(menu && menu->menuAction()->isVisible());
    // Each language's voices in its own submenu; the one in use checked, alone.
    const auto listed = [menu] {
        emit menu->aboutToShow();
        QStringList lines;
        for (const QAction *language : menu->actions()) {
            lines << language->text();
            for (const QAction *voice : language->menu()->actions())
                lines << (voice->isChecked() ? QStringLiteral("* ") : QStringLiteral("  "))
                        + voice->text();
        }
        return lines;
    };
    QCOMPARE(listed(), (QStringList{"English", "* English (America)",
                                    "  English (Great Britain)", "German", "  German"}));
    menu->actions().at(1)->menu()->actions().at(0)->trigger();
    QCOMPARE(f.synth.voice(), QStringLiteral("espeak-ng:gmw/de"));
    QCOMPARE(listed(), (QStringList{"English", "  English (America)",
                                    "  English (Great Britain)", "German", "* German"}));
}

void TstFrmmain::popupMenu()
{
    WindowFixture f;
    QMenu *popup = f.window->popupMenu();
    QVERIFY(!f.window->menuItem("mnuPopUp")->isVisible());
    QVERIFY(!f.window->menuBar()->actions().contains(popup->menuAction()));
    QStringList names;
    for (const QAction *a : popup->actions()) {
        names << a->objectName();
        QVERIFY(a->shortcut().isEmpty());
    }
    QCOMPARE(names, (QStringList{"mnuPopUp_Undo", "pop", "mnuPopUp_Cut", "mnuPopUp_Copy",
                                 "mnuPopUp_Paste", "mnuPopUp_Delete", "popup1",
                                 "mnuPopUp_Upper", "mnuPopUp_Lower", "pop1",
                                 "mnuPopUp_SelectAll", "mnuPopUp_WordCount", "popSpeech",
                                 "mnuPopUp_ReadFromCaret", "mnuPopUp_ReadSelection",
                                 "popup", "mnuPopUp_About"}));
    QCOMPARE(f.window->menuItem("mnuPopUp_About")->text(), QStringLiteral("About"));
}

void TstFrmmain::toolbar()
{
    WindowFixture f;
    auto *bar = f.child<QToolBar>(QStringLiteral("Toolbar1"));
    QVERIFY(bar);
    QStringList layout;
    for (const QAction *a : bar->actions()) {
        if (a->isSeparator())
            layout << QStringLiteral("|");
        else if (!a->data().toString().isEmpty())
            layout << a->data().toString();
    }
    QCOMPARE(layout, (QStringList{"New", "Open", "Save", "Print", "|", "Cut", "Copy", "Paste",
                                  "Delete", "Find", "|", "Undo", "Redo", "|", "Bold", "Italic",
                                  "Underline", "|", "AlignLeft", "AlignCenter", "AlignRight",
                                  "|", "Font Color", "Insert Picture", "|", "Help"}));
    QCOMPARE(f.window->toolbarButton("AlignCenter")->toolTip(), QStringLiteral("Center"));
    QCOMPARE(f.window->toolbarButton("AlignLeft")->toolTip(), QStringLiteral("Align Left"));
    QCOMPARE(f.window->toolbarButton("Insert Picture")->toolTip(),
             QStringLiteral("Insert Picture"));
    QVERIFY(f.window->toolbarButton("Delete")->toolTip().isEmpty());
    for (const char *key : {"Bold", "Italic", "Underline"}) {
        QVERIFY(f.window->toolbarButton(key)->isCheckable());
        QVERIFY(!f.window->toolbarButton(key)->isChecked());
    }
    QVERIFY(f.window->toolbarButton("AlignLeft")->isChecked());
    QVERIFY(!f.window->toolbarButton("AlignCenter")->isChecked());
    QVERIFY(!f.window->toolbarButton("New")->isCheckable());
    // The group keeps exactly one alignment pressed.
    f.window->toolbarButton("AlignRight")->trigger();
    QVERIFY(f.window->toolbarButton("AlignRight")->isChecked());
    QVERIFY(!f.window->toolbarButton("AlignLeft")->isChecked());
    // The swatch sits on the toolbar next to the font-colour button.
    QVERIFY(bar->isAncestorOf(f.child<QWidget>(QStringLiteral("picFontColor"))));
}

void TstFrmmain::startupFallback()
{
    WindowFixture f;
    // Without stored settings: speed 150, pitch 85 and the welcome.
    QCOMPARE(f.synth.speed(), 150);
    QCOMPARE(f.synth.pitch(), 85);
    QCOMPARE(f.synth.lastSpoken(), QStringLiteral("Welcome to Tavrel. Enjoy your reading now!"));
    QVERIFY(f.synth.m_calls.contains(QStringLiteral("language=1033")));
    QVERIFY(f.window->sayText()->text().isEmpty());
    QVERIFY(f.child<QWidget>("cmdStop")->isHidden());
    QVERIFY(f.child<QWidget>("cmdResume")->isHidden());
    QVERIFY(!f.child<QWidget>("cmdRead")->isHidden());
    QVERIFY(!f.child<QWidget>("cmdPause")->isHidden());
}

void TstFrmmain::ownedShortcutsReachTheirCommands_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Ctrl+T cuts") << "CutMe" << int(Qt::Key_T) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+Z undoes") << "UndoMe" << int(Qt::Key_Z) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+R redoes") << "RedoMe" << int(Qt::Key_R) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+A selects all") << "SelectMe" << int(Qt::Key_A)
                                        << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+C copies") << "CopyMe" << int(Qt::Key_C) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+V pastes") << "PasteMe" << int(Qt::Key_V) << int(Qt::ControlModifier);
    QTest::newRow("Del deletes") << "DeleteMe" << int(Qt::Key_Delete) << int(Qt::NoModifier);
    QTest::newRow("F3 finds") << "FindMe" << int(Qt::Key_F3) << int(Qt::NoModifier);
    QTest::newRow("F5 replaces") << "ReplaceMe" << int(Qt::Key_F5) << int(Qt::NoModifier);
    QTest::newRow("Ctrl+I inserts a picture") << "InsertMe" << int(Qt::Key_I)
                                              << int(Qt::ControlModifier);
}

void TstFrmmain::ownedShortcutsReachTheirCommands()
{
    QFETCH(QString, item);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    RichTextPad *pad = f.window->sayText();
    pad->setText(QStringLiteral("alpha beta"));
    pad->setSelStart(0);
    pad->setSelLength(5);
    pad->setFocus();
    QVERIFY(pad->hasFocus());
    QSignalSpy spy(f.window->menuItem(item), &QAction::triggered);
    QTest::keyClick(pad, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(spy.count(), 1);
    // The pad did not act on the key itself: the text is what the command alone
    // makes of it.
    WindowFixture twin;
    RichTextPad *twinPad = twin.window->sayText();
    twinPad->setText(QStringLiteral("alpha beta"));
    twinPad->setSelStart(0);
    twinPad->setSelLength(5);
    twin.window->menuItem(item)->trigger();
    QCOMPARE(pad->text(), twinPad->text());
}

void TstFrmmain::ctrlXExitsAndDoesNotCut()
{
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    RichTextPad *pad = f.window->sayText();
    pad->setText(QStringLiteral("keep me"));
    pad->selectAll();
    pad->setFocus();
    QTest::keyClick(pad, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(f.terminated, 1);
    QCOMPARE(pad->text(), QStringLiteral("keep me"));
}

void TstFrmmain::toolbarKeysRunTheirCommands_data()
{
    // The keys that run the same command as a menu item (or, for the font colour,
    // the swatch's double click).
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("item");
    QTest::newRow("New") << "New" << "New";
    QTest::newRow("Open") << "Open" << "OpenSpeech";
    QTest::newRow("Save before a Save As") << "Save" << "SaveAs";
    QTest::newRow("Delete") << "Delete" << "DeleteMe";
    QTest::newRow("Undo") << "Undo" << "UndoMe";
    QTest::newRow("Redo") << "Redo" << "RedoMe";
    QTest::newRow("Font Color") << "Font Color" << QString();
}

void TstFrmmain::toolbarKeysRunTheirCommands()
{
    QFETCH(QString, key);
    QFETCH(QString, item);
    // What a command did: said, asked, shown and left in the pad.
    auto trace = [](const std::function<void(WindowFixture &)> &command) {
        WindowFixture f;
        RichTextPad *pad = f.window->sayText();
        QTest::keyClicks(pad, QStringLiteral("abc def"));
        f.window->menuItem(QStringLiteral("UndoMe"))->trigger();
        pad->setSelStart(0);
        pad->setSelLength(3);
        f.synth.clear();
        command(f);
        QStringList seen = f.synth.m_calls;
        for (const auto &shown : std::as_const(f.dialogs.m_shown))
            seen << QStringLiteral("dialog:") + shown.kind;
        for (const auto &shown : std::as_const(f.messages.m_shown))
            seen << QStringLiteral("box:") + shown.text;
        seen << QStringLiteral("pad:") + pad->text();
        return seen;
    };
    const QStringList byKey =
        trace([&key](WindowFixture &f) { f.window->toolbar1_ButtonClick(key); });
    const QStringList byItem = trace([&item](WindowFixture &f) {
        if (item.isEmpty())
            QTest::mouseDClick(f.child<QWidget>(QStringLiteral("picFontColor")), Qt::LeftButton);
        else
            f.window->menuItem(item)->trigger();
    });
    QCOMPARE(byKey, byItem);
    // The command did something to see.
    QVERIFY(byKey != trace([](WindowFixture &) {}));
}

void TstFrmmain::typingStillWorksInThePad()
{
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    RichTextPad *pad = f.window->sayText();
    pad->setFocus();
    QList<int> codes;
    connect(pad, &RichTextPad::keyPressed, pad, [&codes, pad](int code) {
        // Announced before the character lands in the pad.
        QVERIFY(!pad->text().endsWith(QChar(code)));
        codes << code;
    });
    QTest::keyClicks(pad, QStringLiteral("Hi"));
    QTest::keyClick(pad, Qt::Key_Left);
    QTest::keyClick(pad, Qt::Key_Backspace);
    QCOMPARE(pad->text(), QStringLiteral("i"));
    QCOMPARE(codes, (QList<int>{'H', 'i', 8}));
    // Enter in the pad breaks the line; it does not read aloud.
    QTest::keyClick(pad, Qt::Key_Return);
    QCOMPARE(pad->text(), QStringLiteral("\ni"));
    QVERIFY(f.child<QWidget>("cmdStop")->isHidden());
}

void TstFrmmain::lettersWithAltTypeNothing()
{
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    RichTextPad *pad = f.window->sayText();
    pad->setFocus();
    // Help has no mnemonic: Alt+H is nobody's key and must not become an "h".
    QTest::keyClick(pad, Qt::Key_H, Qt::AltModifier);
    QTest::keyClick(pad, Qt::Key_K, Qt::AltModifier | Qt::ShiftModifier);
    QTest::keyClick(pad, Qt::Key_J, Qt::AltModifier | Qt::ControlModifier);
    QCOMPARE(pad->text(), QString());
    QVERIFY(!f.window->documentState().textChanged);
    QTest::keyClick(pad, Qt::Key_H);
    QCOMPARE(pad->text(), QStringLiteral("h"));
}

void TstFrmmain::boldToggleFollowsThePad()
{
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    pad->setText(QStringLiteral("plain words"));
    pad->setSelStart(0);
    pad->setSelLength(5);
    f.window->toolbar1_ButtonClick(QStringLiteral("Bold"));
    QCOMPARE(pad->selBold(), std::optional<bool>(true));
    QVERIFY(f.window->toolbarButton("Bold")->isChecked());
    f.window->toolbar1_ButtonClick(QStringLiteral("Bold"));
    QCOMPARE(pad->selBold(), std::optional<bool>(false));
    QVERIFY(!f.window->toolbarButton("Bold")->isChecked());

    // A mixed selection becomes all italic.
    pad->setSelStart(0);
    pad->setSelLength(2);
    f.window->toolbar1_ButtonClick(QStringLiteral("Italic"));
    pad->setSelStart(0);
    pad->setSelLength(11);
    QVERIFY(!pad->selItalic().has_value());
    f.window->toolbar1_ButtonClick(QStringLiteral("Italic"));
    QCOMPARE(pad->selItalic(), std::optional<bool>(true));

    // Keys match exactly: another spelling does nothing.
    const int calls = f.synth.m_calls.size();
    f.window->toolbar1_ButtonClick(QStringLiteral("bold"));
    f.window->toolbar1_ButtonClick(QString());
    QCOMPARE(f.synth.m_calls.size(), calls);
}

void TstFrmmain::alignmentSpeaksAndAligns()
{
    WindowFixture f;
    RichTextPad *pad = f.window->sayText();
    pad->setText(QStringLiteral("one\ntwo\nthree"));
    pad->setSelStart(5); // inside "two", nothing selected
    f.window->toolbar1_ButtonClick(QStringLiteral("AlignCenter"));
    QCOMPARE(f.synth.lastSpoken(), QStringLiteral("Text center"));
    const QTextDocument *doc = pad->document();
    QCOMPARE(doc->findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignHCenter);
    QVERIFY(!(doc->findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHCenter));

    pad->setSelStart(0);
    pad->setSelLength(6); // touches "one" and "two"
    f.window->toolbar1_ButtonClick(QStringLiteral("AlignRight"));
    QCOMPARE(f.synth.lastSpoken(), QStringLiteral("Text align right"));
    QVERIFY(doc->findBlockByNumber(0).blockFormat().alignment() & Qt::AlignRight);
    QVERIFY(doc->findBlockByNumber(1).blockFormat().alignment() & Qt::AlignRight);
    QVERIFY(!(doc->findBlockByNumber(2).blockFormat().alignment() & Qt::AlignRight));

    f.window->toolbar1_ButtonClick(QStringLiteral("AlignLeft"));
    QCOMPARE(f.synth.lastSpoken(), QStringLiteral("Text align left"));
    QVERIFY(doc->findBlockByNumber(0).blockFormat().alignment() & Qt::AlignLeft);
}

void TstFrmmain::voiceScrollBarKeysAndFocus()
{
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    auto *speed = f.child<QScrollBar>(QStringLiteral("Slider1"));
    const QPoint edge(1, speed->height() / 2);
    const QColor unfocused = speed->grab().toImage().pixelColor(edge);
    speed->setFocus(Qt::TabFocusReason);
    QVERIFY(speed->hasFocus());
    // The focus shows on the bar's outline.
    const QColor focused = speed->grab().toImage().pixelColor(edge);
    QCOMPARE(focused, speed->palette().color(QPalette::Highlight));
    QVERIFY(focused != unfocused);
    // All round, also where the captions "Speed:" and "150" overlap the bar.
    auto *panel = f.child<QWidget>(QStringLiteral("Frame1"));
    const QImage shown = panel->grab().toImage();
    for (const QString &name : {QStringLiteral("Label4"), QStringLiteral("Speedlbl")}) {
        const QRect caption = f.child<QWidget>(name)->geometry();
        const QRect overlap = caption.intersected(speed->geometry());
        QVERIFY2(!overlap.isEmpty(), qPrintable(name));
        const int y = overlap.top() == speed->y() ? speed->y() : speed->geometry().bottom();
        QCOMPARE(shown.pixelColor(overlap.center().x(), y), focused);
    }

    QCOMPARE(speed->value(), 150);
    QList<int> values;
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Up, Qt::Key_Left, Qt::Key_Down, Qt::Key_Down,
                        Qt::Key_Home, Qt::Key_End}) {
        QTest::keyClick(speed, key);
        values << speed->value();
    }
    QCOMPARE(values, (QList<int>{151, 152, 151, 150, 149, 50, 250}));
    QCOMPARE(f.synth.speed(), 250);
}

QTEST_MAIN(TstFrmmain)
#include "tst_frmmain.moc"
