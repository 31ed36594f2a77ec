#include "shell/frmmain.h"

#include "formatting/casecommands.h"
#include "formatting/clrselecthost.h"
#include "formatting/colourcommands.h"
#include "formatting/fontcommands.h"
#include "formatting/scriptcommands.h"
#include "editing/clipboardcommands.h"
#include "editing/insertcommands.h"
#include "editing/padpopup.h"
#include "editing/undocommands.h"
#include "editing/wordcount.h"
#include "platform/accessibility.h"
#include "platform/commondialog.h"
#include "platform/messageboxes.h"
#include "platform/richtextpad.h"
#include "platform/speechsynth.h"
#include "search/searchcommands.h"
#include "shell/documentcommands.h"
#include "shell/helpcommands.h"
#include "shell/printcommands.h"
#include "shell/settingsfile.h"
#include "shell/toolbarkeys.h"
#include "shell/twips.h"
#include "shell/windowsettings.h"
#include "speech/readout.h"
#include "speech/savespeech.h"
#include "speech/speechcommands.h"
#include "speech/voicecontrols.h"
#include "speech/voicemenu.h"
#include "speech/voicescrollbar.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

#include <utility>

namespace {

// Design size of the client area below the menu bar, in twips.
constexpr int kClientWidth = 8175;
constexpr int kClientHeight = 6840;

constexpr int kToolbarHeight = 360;
constexpr int kPadTop = 360;
constexpr int kPadHeight = 5205;
constexpr int kFrameTop = 5520;
constexpr int kFrameHeight = 1335;

// The system font may be wider than the design's. A caption is never cut short: it
// takes the room it needs up to the next control on its right, less a character's
// width so that two captions do not read as one, and is condensed where even that
// room is too small.
void fitCaptions(QWidget *panel, int panelWidth)
{
    const QList<QWidget *> controls = panel->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    const QList<QLabel *> labels = panel->findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
    for (QLabel *label : labels) {
        if (label->text().isEmpty())
            continue;
        const QRect place = label->geometry();
        int room = panelWidth - place.left();
        for (const QWidget *other : controls) {
            const QRect g = other->geometry();
            if (other != label && g.left() > place.left() && g.top() <= place.bottom()
                && g.bottom() >= place.top())
                room = qMin(room, g.left() - place.left());
        }
        room -= label->fontMetrics().averageCharWidth();
        QFont font = label->font();
        for (int stretch = 95; label->sizeHint().width() > room && stretch >= QFont::Condensed;
             stretch -= 5) {
            font.setStretch(stretch);
            label->setFont(font);
        }
        label->resize(qMax(place.width(), label->sizeHint().width()), place.height());
    }
}

void setColors(QWidget *widget, const QColor &background, const QColor &foreground = QColor())
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::Button, background);
    if (foreground.isValid()) {
        p.setColor(QPalette::WindowText, foreground);
        p.setColor(QPalette::ButtonText, foreground);
    }
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

} // namespace

Frmmain::Frmmain(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Frmmain"));
    setWindowTitle(QStringLiteral("Tavrel"));
    QIcon icon(QStringLiteral(":/icons/tavrel.png"));
    icon.addFile(QStringLiteral(":/icons/tavrel64.png"));
    setWindowIcon(icon);
    createControls();
    createMenus();
    createToolbar();
    setTabOrderByIndex();
    claimShortcuts();
    resize(Twips::toPixels(kClientWidth),
           Twips::toPixels(kClientHeight) + menuBar()->sizeHint().height());
    layoutControls();
}

Frmmain::~Frmmain() = default;

QPushButton *Frmmain::addButton(const QString &name, const QString &caption, int left, int top,
                                int width, int height, const QColor &background)
{
    auto *button = new QPushButton(caption, m_frame1);
    button->setObjectName(name);
    button->setGeometry(Twips::rect(left, top, width, height));
    QFont font = QApplication::font();
    font.setPointSizeF(8.25);
    font.setBold(true);
    button->setFont(font);
    setColors(button, background);
    // The style's gradient would wash the colour out: the button is drawn flat in
    // it, with a raised edge that sinks while it is pressed, and a dotted frame
    // while it has the focus.
    const QString light = background.lighter(150).name();
    const QString dark = background.darker(150).name();
    button->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: black; border: 2px solid;"
                       " border-color: %2 %3 %3 %2; }"
                       " QPushButton:pressed { border-color: %3 %2 %2 %3; }"
                       " QPushButton:focus { outline: 1px dotted black; }")
            .arg(background.name(), light, dark));
    // Enter on a focused button clicks that button; elsewhere it clicks "Read It!".
    button->setAutoDefault(true);
    return button;
}

QLabel *Frmmain::addLabel(const QString &name, const QString &caption, int left, int top,
                          int width, int height, const QColor &foreground, bool centred)
{
    auto *label = new QLabel(caption, m_frame1);
    label->setObjectName(name);
    label->setGeometry(Twips::rect(left, top, width, height));
    setColors(label, QColor(0, 128, 128), foreground);
    // The panel's own colour shows through: captions that overlap a scroll bar
    // ("Speed:", the speed value) leave its edges and its focus frame in sight.
    label->setAutoFillBackground(false);
    QFont font = QApplication::font();
    font.setPointSizeF(8.25);
    label->setFont(font);
    label->setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    return label;
}

void Frmmain::createControls()
{
    // Before the first control, whose name already asks for its interface.
    Accessibility::install();
    m_central = new QWidget(this);
    m_central->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_central);
    m_central->installEventFilter(this);

    // Creation order decides which control is drawn on top where two overlap.
    m_sayText = new RichTextPad(m_central);
    m_sayText->setObjectName(QStringLiteral("SayText"));
    m_sayText->setToolTip(
        QStringLiteral("Type you text here or load any text files to start reading...."));
    QFont padFont(QStringLiteral("Times New Roman"));
    padFont.setPointSizeF(12);
    m_sayText->setFont(padFont);
    m_sayText->document()->setDefaultFont(padFont);

    m_toolbar1 = new QToolBar(m_central);
    m_toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar1->setIconSize(QSize(16, 16));
    m_toolbar1->setMovable(false);
    m_toolbar1->setFloatable(false);
    m_toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolbar1->setContentsMargins(0, 0, 0, 0);
    m_toolbar1->layout()->setContentsMargins(1, 0, 1, 0);
    m_toolbar1->layout()->setSpacing(0);

    m_frame1 = new QFrame(m_central);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setFrameShape(QFrame::NoFrame);
    setColors(m_frame1, QColor(0, 128, 128));

    m_cmdOpen = addButton(QStringLiteral("cmdOpen"), QStringLiteral("Open Text"),
                          4560, 360, 1095, 375, QColor(255, 192, 255));
    m_cmdExit = addButton(QStringLiteral("cmdExit"), QStringLiteral("Exit"),
                          4560, 840, 1095, 375, QColor(128, 128, 128));
    m_cmdClear = addButton(QStringLiteral("cmdClear"), QStringLiteral("Clear Pad"),
                           3240, 840, 1095, 375, QColor(128, 255, 255));
    m_cmdResume = addButton(QStringLiteral("cmdResume"), QStringLiteral("Resume"),
                            1800, 840, 1335, 375, QColor(128, 255, 128));
    m_cmdPause = addButton(QStringLiteral("cmdPause"), QStringLiteral("Pause"),
                           1800, 840, 1335, 375, QColor(255, 128, 0));
    m_cmdStop = addButton(QStringLiteral("cmdStop"), QStringLiteral("Stop Read!"),
                          240, 840, 1335, 375, QColor(255, 128, 128));
    m_cmdRead = addButton(QStringLiteral("cmdRead"), QStringLiteral("Read It!"),
                          240, 840, 1335, 375, QColor(255, 192, 128));
    m_cmdRead->setDefault(true);

    auto makeCombo = [this](const QString &name, const QRect &rect, const QString &tip,
                            const QColor &text) {
        auto *combo = new QComboBox(m_frame1);
        combo->setObjectName(name);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setGeometry(rect);
        combo->setToolTip(tip);
        QPalette p = combo->palette();
        p.setColor(QPalette::Base, Qt::black);
        p.setColor(QPalette::Text, text);
        p.setColor(QPalette::ButtonText, text);
        combo->setPalette(p);
        combo->lineEdit()->setPalette(p);
        return combo;
    };
    m_fntSize = makeCombo(QStringLiteral("FntSize"), Twips::rect(2400, 360, 735, 315),
                          QStringLiteral("Choose suitable font size in your text."),
                          QColor(255, 255, 0));
    m_combo1 = makeCombo(QStringLiteral("Combo1"), Twips::rect(240, 360, 2115, 315),
                         QStringLiteral("Select any text font"), QColor(0, 255, 0));

    // The pad colour selector, a control loaded at run time; the window works on
    // without it when it cannot be loaded.
    m_clrSelectHost = new ClrSelectHost(m_frame1, Twips::rect(3240, 360, 1095, 255),
                                        QStringLiteral("Background pad color."));
    m_clrSelect1 = m_clrSelectHost->control();

    auto makeScrollBar = [this](const QString &name, const QRect &rect) {
        auto *bar = new VoiceScrollBar(m_frame1);
        bar->setObjectName(name);
        bar->setGeometry(rect);
        bar->setRange(0, 32767);
        bar->setValue(0);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        // Only a completed change counts: dragging the thumb does nothing until it
        // is released.
        bar->setTracking(false);
        return bar;
    };
    m_slider2 = makeScrollBar(QStringLiteral("Slider2"), Twips::rect(5880, 800, 2055, 200));
    m_slider1 = makeScrollBar(QStringLiteral("Slider1"), Twips::rect(5880, 360, 2055, 200));

    const QColor maroon(128, 0, 0);
    const QColor red(255, 0, 0);
    const QColor blue(0, 0, 255);
    addLabel(QStringLiteral("Label7"), QStringLiteral("Font Size:"), 2400, 120, 735, 255, maroon);
    addLabel(QStringLiteral("Label1"), QStringLiteral("Select Font:"), 240, 120, 1095, 255,
             maroon);
    m_pitchlbl = addLabel(QStringLiteral("Pitchlbl"), QString(), 6720, 1000, 615, 255, blue,
                          true);
    m_speedlbl = addLabel(QStringLiteral("Speedlbl"), QString(), 6720, 540, 615, 255, blue,
                          true);
    addLabel(QStringLiteral("Label4"), QStringLiteral("Speed:"), 5880, 150, 855, 255, red);
    addLabel(QStringLiteral("Label3"), QStringLiteral("Pitch:"), 5880, 560, 735, 255, red);
    addLabel(QStringLiteral("Label2"), QStringLiteral("Pad Color:"), 3240, 120, 975, 255, maroon);
    fitCaptions(m_frame1, Twips::toPixels(kClientWidth));

    // The font-colour swatch: a small picture box whose double click is the
    // font-colour command.
    m_picFontColor = new QLabel;
    m_picFontColor->setObjectName(QStringLiteral("picFontColor"));
    m_picFontColor->setFixedSize(Twips::toPixels(345), Twips::toPixels(280));
    m_picFontColor->setFrameShape(QFrame::Panel);
    m_picFontColor->setFrameShadow(QFrame::Sunken);
    m_picFontColor->setAccessibleName(QStringLiteral("Font colour"));
    setColors(m_picFontColor, QColor(128, 0, 0));
    m_picFontColor->installEventFilter(this);
    nameControls();
}

void Frmmain::nameControls()
{
    m_sayText->setAccessibleName(QStringLiteral("Text pad"));
    m_toolbar1->setAccessibleName(QStringLiteral("Toolbar"));
    menuBar()->setAccessibleName(QStringLiteral("Menu bar"));
    // A screen reader names each control of the panel by the label above it.
    const std::pair<const char *, QWidget *> labelled[] = {
        {"Label1", m_combo1}, {"Label7", m_fntSize}, {"Label4", m_slider1},
        {"Label3", m_slider2}, {"Label2", m_clrSelect1}};
    for (const auto &[name, control] : labelled) {
        auto *label = m_frame1->findChild<QLabel *>(QLatin1String(name));
        if (!label || !control)
            continue;
        label->setBuddy(control);
        // The edit field of a combo box is reached on its own as well.
        if (auto *combo = qobject_cast<QComboBox *>(control))
            combo->lineEdit()->setAccessibleName(label->text());
    }
    Accessibility::nameUnnamed(this);
}

QAction *Frmmain::addItem(QMenu *menu, const QString &name, const QString &caption,
                          const QKeySequence &shortcut, void (Frmmain::*command)())
{
    QAction *action = caption == QLatin1String("-") ? menu->addSeparator()
                                                    : menu->addAction(caption);
    action->setObjectName(name);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    if (command)
        connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
    m_items.insert(name, action);
    return action;
}

QAction *Frmmain::addPopupItem(const QString &name, const QString &caption,
                               void (Frmmain::*command)())
{
    return addItem(m_mnuPopUp, name, caption, QKeySequence(), command);
}

void Frmmain::createMenus()
{
    QMenuBar *bar = menuBar();
    auto submenu = [this](QMenu *parent, const QString &name, const QString &caption) {
        QMenu *menu = parent->addMenu(caption);
        menu->setObjectName(name);
        m_items.insert(name, menu->menuAction());
        menu->menuAction()->setObjectName(name);
        return menu;
    };
    auto topMenu = [this, bar](const QString &name, const QString &caption) {
        QMenu *menu = bar->addMenu(caption);
        menu->setObjectName(name);
        m_items.insert(name, menu->menuAction());
        menu->menuAction()->setObjectName(name);
        return menu;
    };

    QMenu *file = topMenu(QStringLiteral("File"), QStringLiteral("&File"));
    addItem(file, QStringLiteral("New"), QStringLiteral("&New"),
            QKeySequence(Qt::CTRL | Qt::Key_N), &Frmmain::newDocument);
    addItem(file, QStringLiteral("OpenSpeech"), QStringLiteral("&Open..."),
            QKeySequence(Qt::CTRL | Qt::Key_O), &Frmmain::openDocument);
    QAction *saveItem = addItem(file, QStringLiteral("Save"), QStringLiteral("&Save"),
                                QKeySequence(), &Frmmain::save);
    saveItem->setEnabled(false);
    m_document.saveItem = saveItem;
    addItem(file, QStringLiteral("SaveAs"), QStringLiteral("Save &as..."),
            QKeySequence(Qt::CTRL | Qt::Key_S), &Frmmain::saveAs);
    addItem(file, QStringLiteral("SaveSpeechAs"), QStringLiteral("Save Speech As..."),
            QKeySequence(), &Frmmain::saveSpeechAs);
    addItem(file, QStringLiteral("Dash1"), QStringLiteral("-"), {}, nullptr);
    addItem(file, QStringLiteral("PrintMe"), QStringLiteral("&Print"),
            QKeySequence(Qt::CTRL | Qt::Key_P), &Frmmain::printMe);
    addItem(file, QStringLiteral("Dash2"), QStringLiteral("-"), {}, nullptr);
    addItem(file, QStringLiteral("Exit"), QStringLiteral("Exit"),
            QKeySequence(Qt::CTRL | Qt::Key_X), &Frmmain::exitCommand);

    QMenu *edit = topMenu(QStringLiteral("Edit"), QStringLiteral("&Edit"));
    addItem(edit, QStringLiteral("UndoMe"), QStringLiteral("&Undo"),
            QKeySequence(Qt::CTRL | Qt::Key_Z), &Frmmain::undoMe);
    addItem(edit, QStringLiteral("RedoMe"), QStringLiteral("&Redo"),
            QKeySequence(Qt::CTRL | Qt::Key_R), &Frmmain::redoMe);
    addItem(edit, QStringLiteral("Dash3"), QStringLiteral("-"), {}, nullptr);
    addItem(edit, QStringLiteral("CutMe"), QStringLiteral("Cu&t"),
            QKeySequence(Qt::CTRL | Qt::Key_T), &Frmmain::cutMe);
    addItem(edit, QStringLiteral("CopyMe"), QStringLiteral("&Copy"),
            QKeySequence(Qt::CTRL | Qt::Key_C), &Frmmain::copyMe);
    addItem(edit, QStringLiteral("PasteMe"), QStringLiteral("&Paste"),
            QKeySequence(Qt::CTRL | Qt::Key_V), &Frmmain::pasteMe);
    addItem(edit, QStringLiteral("DeleteMe"), QStringLiteral("&Delete"),
            QKeySequence(Qt::Key_Delete), &Frmmain::deleteMe);
    addItem(edit, QStringLiteral("Dash4"), QStringLiteral("-"), {}, nullptr);
    addItem(edit, QStringLiteral("SelectMe"), QStringLiteral("&Select All"),
            QKeySequence(Qt::CTRL | Qt::Key_A), &Frmmain::selectMe);

    QMenu *insert = topMenu(QStringLiteral("Insert"), QStringLiteral("&Insert"));
    addItem(insert, QStringLiteral("InsertMe"), QStringLiteral("&Picture"),
            QKeySequence(Qt::CTRL | Qt::Key_I), &Frmmain::insertMe);
    addItem(insert, QStringLiteral("Symbols"), QStringLiteral("&Symbols"), {},
            &Frmmain::symbols);

    QMenu *search = topMenu(QStringLiteral("SearchMe"), QStringLiteral("&Search"));
    addItem(search, QStringLiteral("FindMe"), QStringLiteral("&Find..."),
            QKeySequence(Qt::Key_F3), &Frmmain::findMe);
    addItem(search, QStringLiteral("ReplaceMe"), QStringLiteral("&Replace"),
            QKeySequence(Qt::Key_F5), &Frmmain::replaceMe);
    addItem(search, QStringLiteral("rep"), QStringLiteral("-"), {}, nullptr);
    addItem(search, QStringLiteral("CountMe"), QStringLiteral("&Word Count"), {},
            &Frmmain::countMe);

    QMenu *format = topMenu(QStringLiteral("Format"), QStringLiteral("F&ormat"));
    addItem(format, QStringLiteral("font"), QStringLiteral("&Font"), {}, &Frmmain::fontMe);
    addItem(format, QStringLiteral("font1"), QStringLiteral("-"), {}, nullptr);
    addItem(format, QStringLiteral("UpperMe"), QStringLiteral("&Upper Case"), {},
            &Frmmain::upperMe);
    addItem(format, QStringLiteral("LowerMe"), QStringLiteral("&Lower Case"), {},
            &Frmmain::lowerMe);
    addItem(format, QStringLiteral("Scr"), QStringLiteral("-"), {}, nullptr);
    QMenu *script = submenu(format, QStringLiteral("Script"), QStringLiteral("&Script"));
    addItem(script, QStringLiteral("sSuperScript"), QStringLiteral("S&uperscript"), {},
            &Frmmain::sSuperScript)->setCheckable(true);
    addItem(script, QStringLiteral("sSubscript"), QStringLiteral("Su&bscript"), {},
            &Frmmain::sSubscript)->setCheckable(true);
    QAction *nonScript = addItem(script, QStringLiteral("sNonScript"),
                                 QStringLiteral("&Non Scripting"), {}, &Frmmain::sNonScript);
    nonScript->setCheckable(true);
    nonScript->setChecked(true);

    QMenu *speech = topMenu(QStringLiteral("SpeechMenu"), QStringLiteral("S&peech"));
    addItem(speech, QStringLiteral("ReadFromCaret"), QStringLiteral("Read from &Caret"), {},
            &Frmmain::readFromCaret);
    addItem(speech, QStringLiteral("ReadSelection"), QStringLiteral("Read &Selection"), {},
            &Frmmain::readSelection);
    addItem(speech, QStringLiteral("speechDash"), QStringLiteral("-"), {}, nullptr);
    addItem(speech, QStringLiteral("HighlightWords"), QStringLiteral("&Highlight Spoken Words"),
            {}, &Frmmain::highlightSpokenWords)->setCheckable(true);
    QMenu *voices = speech->addMenu(QStringLiteral("&Voice"));
    voices->setObjectName(QStringLiteral("VoiceMenu"));
    voices->menuAction()->setObjectName(QStringLiteral("VoiceMenu"));
    m_items.insert(QStringLiteral("VoiceMenu"), voices->menuAction());

    QMenu *help = topMenu(QStringLiteral("Help"), QStringLiteral("Help"));
    addItem(help, QStringLiteral("Contents"), QStringLiteral("Contents"),
            QKeySequence(Qt::Key_F1), &Frmmain::contents);
    addItem(help, QStringLiteral("abt"), QStringLiteral("-"), {}, nullptr);
    addItem(help, QStringLiteral("AboutMe"), QStringLiteral("About..."), {}, &Frmmain::aboutMe);

    // The pad's pop-up menu never shows in the menu bar.
    m_mnuPopUp = new QMenu(QStringLiteral("Pop-Up"), this);
    m_mnuPopUp->setObjectName(QStringLiteral("mnuPopUp"));
    m_mnuPopUp->menuAction()->setObjectName(QStringLiteral("mnuPopUp"));
    m_mnuPopUp->menuAction()->setVisible(false);
    m_items.insert(QStringLiteral("mnuPopUp"), m_mnuPopUp->menuAction());
    addPopupItem(QStringLiteral("mnuPopUp_Undo"), QStringLiteral("Undo"), &Frmmain::undoMe);
    addPopupItem(QStringLiteral("pop"), QStringLiteral("-"), nullptr);
    addPopupItem(QStringLiteral("mnuPopUp_Cut"), QStringLiteral("Cut"), &Frmmain::cutMe);
    addPopupItem(QStringLiteral("mnuPopUp_Copy"), QStringLiteral("Copy"), &Frmmain::copyMe);
    addPopupItem(QStringLiteral("mnuPopUp_Paste"), QStringLiteral("Paste"), &Frmmain::pasteMe);
    addPopupItem(QStringLiteral("mnuPopUp_Delete"), QStringLiteral("Delete"), &Frmmain::deleteMe);
    addPopupItem(QStringLiteral("popup1"), QStringLiteral("-"), nullptr);
    addPopupItem(QStringLiteral("mnuPopUp_Upper"), QStringLiteral("Upper Case"),
                 &Frmmain::upperMe);
    addPopupItem(QStringLiteral("mnuPopUp_Lower"), QStringLiteral("Lower Case"),
                 &Frmmain::lowerMe);
    addPopupItem(QStringLiteral("pop1"), QStringLiteral("-"), nullptr);
    addPopupItem(QStringLiteral("mnuPopUp_SelectAll"), QStringLiteral("Select All"),
                 &Frmmain::selectMe);
    addPopupItem(QStringLiteral("mnuPopUp_WordCount"), QStringLiteral("Word Count"),
                 &Frmmain::countMe);
    addPopupItem(QStringLiteral("popSpeech"), QStringLiteral("-"), nullptr);
    addPopupItem(QStringLiteral("mnuPopUp_ReadFromCaret"), QStringLiteral("Read from Caret"),
                 &Frmmain::readFromCaret);
    addPopupItem(QStringLiteral("mnuPopUp_ReadSelection"), QStringLiteral("Read Selection"),
                 &Frmmain::readSelection);
    addPopupItem(QStringLiteral("popup"), QStringLiteral("-"), nullptr);
    addPopupItem(QStringLiteral("mnuPopUp_About"), QStringLiteral("About"), &Frmmain::aboutMe);
}

void Frmmain::createToolbar()
{
    struct Button {
        const char *key;
        const char *tooltip;
        const char *image;
        enum { Push, Check, Group, Separator } style;
    };
    static const Button buttons[] = {
        {"New", "New", "new", Button::Push},
        {"Open", "Open", "open", Button::Push},
        {"Save", "Save", "save", Button::Push},
        {"Print", "Print", "print", Button::Push},
        {nullptr, nullptr, nullptr, Button::Separator},
        {"Cut", "Cut", "cut", Button::Push},
        {"Copy", "Copy", "copy", Button::Push},
        {"Paste", "Paste", "paste", Button::Push},
        {"Delete", nullptr, "delete", Button::Push},
        {"Find", "Find", "find", Button::Push},
        {nullptr, nullptr, nullptr, Button::Separator},
        {"Undo", "Undo", "undo", Button::Push},
        {"Redo", "Redo", "redo", Button::Push},
        {nullptr, nullptr, nullptr, Button::Separator},
        {"Bold", "Bold", "bold", Button::Check},
        {"Italic", "Italic", "italic", Button::Check},
        {"Underline", "Underline", "underline", Button::Check},
        {nullptr, nullptr, nullptr, Button::Separator},
        {"AlignLeft", "Align Left", "alignleft", Button::Group},
        {"AlignCenter", "Center", "aligncenter", Button::Group},
        {"AlignRight", "Align Right", "alignright", Button::Group},
        {nullptr, nullptr, nullptr, Button::Separator},
        {"Font Color", "Font Color", "fontcolor", Button::Push},
        {"Insert Picture", "Insert Picture", "insertpicture", Button::Push},
        {nullptr, nullptr, nullptr, Button::Separator},
        {"Help", "Help", "help", Button::Push},
    };

    m_alignGroup = new QActionGroup(this);
    m_alignGroup->setExclusive(true);
    for (const Button &b : buttons) {
        if (b.style == Button::Separator) {
            m_toolbar1->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(b.key);
        auto *action = new QAction(
            QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(b.image))),
            b.tooltip ? QString::fromLatin1(b.tooltip) : QString(), this);
        action->setObjectName(QStringLiteral("Toolbar1_") + key);
        action->setData(key);
        if (b.style == Button::Check) {
            action->setCheckable(true);
        } else if (b.style == Button::Group) {
            action->setCheckable(true);
            action->setActionGroup(m_alignGroup);
            action->setChecked(key == QLatin1String("AlignLeft"));
        }
        m_toolbar1->addAction(action);
        if (QWidget *button = m_toolbar1->widgetForAction(action)) {
            button->setObjectName(QStringLiteral("Toolbar1_button_") + key);
            // Named as its tooltip shows it; the one without a tooltip by its key.
            button->setAccessibleName(b.tooltip ? QString::fromLatin1(b.tooltip) : key);
            button->setFocusPolicy(Qt::NoFocus);
            // Buttons of 23 x 22 pixels, as the design's toolbar has them.
            button->setFixedSize(23, 22);
        }
        connect(action, &QAction::triggered, this, [this, key] { toolbar1_ButtonClick(key); });
        m_toolButtons.insert(key, action);
        if (key == QLatin1String("Font Color")) {
            // The swatch lies on the toolbar next to its button.
            m_toolbar1->addWidget(m_picFontColor);
        }
    }
}

void Frmmain::layoutControls()
{
    // The design places everything in a client area of 8175 x 6840 twips; a larger
    // window gives the extra room to the pad and keeps the panel along the bottom.
    const int width = m_central->width();
    const int height = m_central->height();
    const int extra = height - Twips::toPixels(kClientHeight);
    m_toolbar1->setGeometry(0, 0, width, Twips::toPixels(kToolbarHeight));
    m_sayText->setGeometry(0, Twips::toPixels(kPadTop), width,
                           qMax(0, Twips::toPixels(kPadHeight) + extra));
    m_frame1->setGeometry(0, Twips::toPixels(kFrameTop) + extra, width,
                          Twips::toPixels(kFrameHeight));
}

void Frmmain::setTabOrderByIndex()
{
    // Tab indices of the design: pad 2, speed 3, pitch 4, colour selector 5, font
    // name 12, font size 13, then the buttons 17 to 23.
    QList<QWidget *> order{m_sayText, m_slider1, m_slider2};
    if (m_clrSelect1)
        order << m_clrSelect1;
    order << m_combo1 << m_fntSize << m_cmdRead << m_cmdStop << m_cmdPause << m_cmdResume
          << m_cmdClear << m_cmdExit << m_cmdOpen;
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order.at(i), order.at(i + 1));
}

void Frmmain::claimShortcuts()
{
    // Del is the Delete command's while text is selected; without a selection it
    // deletes the character after the caret, as in any editor.
    const QAction *deleteItem = m_items.value(QStringLiteral("DeleteMe"));
    QList<QKeySequence> owned;
    for (QAction *action : std::as_const(m_items)) {
        if (!action->shortcut().isEmpty() && action != deleteItem)
            owned << action->shortcut();
    }
    m_sayText->setOwnedShortcuts(owned);
    m_sayText->setSelectionShortcuts({deleteItem->shortcut()});
}

void Frmmain::start(const Services &services)
{
    m_services = services;
    m_readOut = std::make_unique<ReadOut>(*m_services.synth, *m_sayText, m_cmdRead, m_cmdStop,
                                          m_cmdPause, m_cmdResume);
    connect(m_cmdRead, &QPushButton::clicked, this, [this] { m_readOut->cmdRead_Click(); });
    connect(m_cmdStop, &QPushButton::clicked, this, [this] { m_readOut->cmdStop_Click(); });
    connect(m_cmdPause, &QPushButton::clicked, this, [this] { m_readOut->cmdPause_Click(); });
    connect(m_cmdResume, &QPushButton::clicked, this, [this] { m_readOut->cmdResume_Click(); });
    m_voiceControls = std::make_unique<VoiceControls>(*m_services.synth, m_slider1, m_speedlbl,
                                                      m_slider2, m_pitchlbl);
    m_undoCommands = std::make_unique<UndoCommands>(*m_sayText, m_document);
    DocumentCommands::Parts documentParts;
    documentParts.synth = m_services.synth;
    documentParts.dialogs = m_services.dialogs;
    documentParts.messages = m_services.messages;
    documentParts.pad = m_sayText;
    documentParts.state = &m_document;
    documentParts.undo = m_undoCommands.get();
    documentParts.readOut = m_readOut.get();
    m_documentCommands = std::make_unique<DocumentCommands>(documentParts);
    connect(m_cmdOpen, &QPushButton::clicked, this, &Frmmain::openDocument);
    connect(m_cmdExit, &QPushButton::clicked, this, &Frmmain::exitCommand);
    connect(m_cmdClear, &QPushButton::clicked, this, &Frmmain::cmdClear_Click);
    m_fontCommands = std::make_unique<FontCommands>(*m_services.synth, *m_sayText,
                                                    *m_services.dialogs, *m_combo1, *m_fntSize);
    m_colourCommands = std::make_unique<ColourCommands>(*m_services.synth, *m_sayText,
                                                        *m_services.dialogs, *m_picFontColor);
    m_scriptCommands = std::make_unique<ScriptCommands>(
        *m_services.synth, *m_sayText, *m_items.value(QStringLiteral("sSuperScript")),
        *m_items.value(QStringLiteral("sSubscript")),
        *m_items.value(QStringLiteral("sNonScript")));
    m_caseCommands = std::make_unique<CaseCommands>(*m_services.synth, *m_sayText);
    m_searchCommands = std::make_unique<SearchCommands>(
        *m_services.synth,
        SearchDialog::Parts{m_sayText, m_services.messages, m_undoCommands.get()});
    m_printCommands = std::make_unique<PrintCommands>(*m_services.synth, *m_sayText,
                                                      *m_services.dialogs, *m_services.messages,
                                                      m_services.printer);
    HelpCommands::Parts helpParts;
    helpParts.synth = m_services.synth;
    helpParts.owner = this;
    helpParts.openUrl = m_services.openUrl;
    helpParts.helpFolders = m_services.helpFolders;
    m_helpCommands = std::make_unique<HelpCommands>(helpParts);
    InsertCommands::Parts insertParts;
    insertParts.synth = m_services.synth;
    insertParts.dialogs = m_services.dialogs;
    insertParts.pad = m_sayText;
    insertParts.picFontColor = m_picFontColor;
    insertParts.combo1 = m_combo1;
    insertParts.undo = m_undoCommands.get();
    insertParts.state = &m_document;
    m_insertCommands = std::make_unique<InsertCommands>(insertParts);
    m_clipboardCommands = std::make_unique<ClipboardCommands>(
        *m_services.synth, *m_sayText, *m_undoCommands, *QGuiApplication::clipboard());
    m_wordCount = std::make_unique<WordCount>(*m_services.synth, *m_services.messages,
                                              *m_undoCommands, *this);
    m_padPopUp = std::make_unique<PadPopUp>(*m_sayText, *m_mnuPopUp);
    m_speechCommands = std::make_unique<SpeechCommands>(
        *m_readOut, *m_sayText, *m_items.value(QStringLiteral("HighlightWords")),
        SpeechPreferences::pathBeside(settingsPath()));
    m_toolbarKeys = std::make_unique<ToolbarKeys>(*m_toolbar1, *m_sayText);
    m_voiceMenu = std::make_unique<VoiceMenu>(
        *m_services.synth, *m_items.value(QStringLiteral("VoiceMenu"))->menu());
    m_saveSpeech = std::make_unique<SaveSpeech>(
        SaveSpeech::Parts{m_services.synth, m_services.speechFiles, m_services.dialogs,
                          m_services.messages, m_sayText, this});
    m_items.value(QStringLiteral("SaveSpeechAs"))->setVisible(m_services.speechFiles != nullptr);
    connect(m_clrSelectHost, &ClrSelectHost::click, this, [this] {
        m_colourCommands->clrSelect1_Click(m_clrSelectHost->selectedColor().value_or(-1));
    });
    load();
}

void Frmmain::load()
{
    // The undo history starts empty.
    m_undoCommands->clearUndo();
    setupSpeech();
    SpeechPreferences::restoreVoice(SpeechPreferences::pathBeside(settingsPath()),
                                    *m_services.synth);
    fillFontNames();
    fillFontSizes();
    m_mnuPopUp->menuAction()->setVisible(false);
    m_cmdStop->hide();
    m_cmdResume->hide();
    if (!readSettings())
        settingsFallback();
    keepOnScreen();
    // The scroll bars and their labels show the speed and pitch now in force, so
    // that the first move of a scroll bar starts from there.
    m_voiceControls->showValuesInForce();
}

void Frmmain::setupSpeech()
{
    m_voiceControls->setup();
    m_sayText->setText(QString());
    m_services.synth->selectLanguage(1033);
    m_mnuPopUp->menuAction()->setVisible(false);
    // White, the last entry of the selector's table; setting it raises no click, so
    // the pad keeps its background.
    m_clrSelectHost->setSelectedColor(15);
}

void Frmmain::fillFontNames()
{
    m_fontCommands->fillFontNames();
}

void Frmmain::fillFontSizes()
{
    // The window's own font is the design's 8.25 points, as its buttons and labels
    // have it.
    m_fontCommands->fillFontSizes(8.25);
}

QString Frmmain::settingsPath() const
{
    return m_services.settingsPath.isEmpty() ? SettingsFile::defaultPath()
                                             : m_services.settingsPath;
}

bool Frmmain::readSettings()
{
    // All nine fields are read before any is applied; a field that cannot be applied
    // ends the reading with the fields before it in force.
    const std::optional<QStringList> fields = SettingsFile::readFields(settingsPath());
    return fields && WindowSettings::apply(*fields, *m_services.synth, *this, *m_sayText);
}

void Frmmain::keepOnScreen()
{
    WindowSettings::fitToScreen(
        *this, QSize(Twips::toPixels(kClientWidth), Twips::toPixels(kClientHeight)));
}

void Frmmain::settingsFallback()
{
    m_services.synth->setSpeed(150);
    m_services.synth->setPitch(85);
    m_sayText->setBaseFontName(QStringLiteral("Times New Roman"));
    m_services.synth->speak(QStringLiteral("Welcome to Tavrel. Enjoy your reading now!"));
}

bool Frmmain::writeSettings()
{
    // The program ends whatever happens here; a failed write leaves the previous
    // file as it was.
    return SettingsFile::write(settingsPath(),
                               WindowSettings::collect(*m_services.synth, *this, *m_sayText));
}

void Frmmain::exitCommand()
{
    if (m_quitting)
        return;
    // A cancelled Save dialog or a failed write abandons the exit: the text stays.
    if (!m_documentCommands->offerToSave(
            QStringLiteral("You document have been changed. Do you want to save change?")))
        return;
    saveSettingsAndQuit();
}

void Frmmain::saveSettingsAndQuit()
{
    m_services.synth->stop();
    writeSettings();
    SpeechPreferences::keepVoice(SpeechPreferences::pathBeside(settingsPath()), *m_services.synth);
    m_quitting = true;
    if (m_services.terminate)
        m_services.terminate();
    close();
}

void Frmmain::closeEvent(QCloseEvent *event)
{
    if (!m_quitting && m_services.synth)
        exitCommand();
    // The close is refused only when the user's text could not be kept.
    if (m_quitting || !m_services.synth)
        event->accept();
    else
        event->ignore();
}

void Frmmain::keyPressEvent(QKeyEvent *event)
{
    // Enter reaches the window when the focused control has no use for it: it
    // clicks the default button "Read It!".
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && event->modifiers() == Qt::NoModifier) {
        if (m_cmdRead->isVisible() && m_cmdRead->isEnabled())
            m_cmdRead->click();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool Frmmain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_central && event->type() == QEvent::Resize)
        layoutControls();
    if (watched == m_picFontColor && event->type() == QEvent::MouseButtonDblClick) {
        fontColor();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void Frmmain::toolbar1_ButtonClick(const QString &key)
{
    // An exact, case-sensitive key selects the action; any other key does nothing.
    if (key == QLatin1String("New"))
        newDocument();
    else if (key == QLatin1String("Save"))
        m_document.saveEnabled() ? save() : saveAs();
    else if (key == QLatin1String("Open"))
        openDocument();
    else if (key == QLatin1String("Print"))
        toolbarPrint();
    else if (key == QLatin1String("Cut"))
        toolbarCut();
    else if (key == QLatin1String("Copy"))
        toolbarCopy();
    else if (key == QLatin1String("Paste"))
        toolbarPaste();
    else if (key == QLatin1String("Delete"))
        deleteMe();
    else if (key == QLatin1String("Find"))
        findMe();
    else if (key == QLatin1String("Undo"))
        undoMe();
    else if (key == QLatin1String("Redo"))
        redoMe();
    else if (key == QLatin1String("Bold") || key == QLatin1String("Italic")
             || key == QLatin1String("Underline"))
        toggleStyle(key);
    else if (key == QLatin1String("AlignLeft") || key == QLatin1String("AlignCenter")
             || key == QLatin1String("AlignRight"))
        align(key);
    else if (key == QLatin1String("Help"))
        contents();
    else if (key == QLatin1String("Font Color"))
        fontColor();
    else if (key == QLatin1String("Insert Picture"))
        insertMe();
}

void Frmmain::toggleStyle(const QString &key)
{
    // A selection that mixes styles reports no single state; it counts as not set,
    // so the toggle makes it all set.
    bool now = false;
    if (key == QLatin1String("Bold")) {
        m_sayText->setSelBold(!m_sayText->selBold().value_or(false));
        now = m_sayText->selBold().value_or(false);
    } else if (key == QLatin1String("Italic")) {
        m_sayText->setSelItalic(!m_sayText->selItalic().value_or(false));
        now = m_sayText->selItalic().value_or(false);
    } else {
        m_sayText->setSelUnderline(!m_sayText->selUnderline().value_or(false));
        now = m_sayText->selUnderline().value_or(false);
    }
    m_toolButtons.value(key)->setChecked(now);
}

void Frmmain::align(const QString &key)
{
    if (key == QLatin1String("AlignLeft")) {
        m_services.synth->speak(QStringLiteral("Text align left"));
        m_sayText->setSelAlignment(RichTextPad::AlignLeft);
    } else if (key == QLatin1String("AlignCenter")) {
        m_services.synth->speak(QStringLiteral("Text center"));
        m_sayText->setSelAlignment(RichTextPad::AlignCenter);
    } else {
        m_services.synth->speak(QStringLiteral("Text align right"));
        m_sayText->setSelAlignment(RichTextPad::AlignRight);
    }
}

// Commands whose subsystems are still to come. Each is reached from its menu item,
// button or toolbar key already, so filling one in wires it everywhere.
void Frmmain::newDocument() { m_documentCommands->newDocument(); }
void Frmmain::openDocument() { m_documentCommands->openDocument(); }
void Frmmain::openFileAtStart(const QString &path) { m_documentCommands->openFileAtStart(path); }
void Frmmain::save() { m_documentCommands->save(); }
void Frmmain::saveAs() { m_documentCommands->saveAs(); }
void Frmmain::saveSpeechAs() { m_saveSpeech->saveSpeechAs(); }
void Frmmain::cmdClear_Click() { m_documentCommands->cmdClear_Click(); }
void Frmmain::printMe() { m_printCommands->printMe(); }
void Frmmain::toolbarPrint() { m_printCommands->toolbarPrint(); }
void Frmmain::undoMe() { m_undoCommands->undoMe(); }
void Frmmain::redoMe() { m_undoCommands->redoMe(); }
void Frmmain::cutMe() { m_clipboardCommands->cutMe(); }
void Frmmain::copyMe() { m_clipboardCommands->copyMe(); }
void Frmmain::pasteMe() { m_clipboardCommands->pasteMe(); }
void Frmmain::deleteMe() { m_clipboardCommands->deleteMe(); }
void Frmmain::selectMe() { m_clipboardCommands->selectMe(); }
void Frmmain::toolbarCut() { m_clipboardCommands->toolbarCut(); }
void Frmmain::toolbarCopy() { m_clipboardCommands->toolbarCopy(); }
void Frmmain::toolbarPaste() { m_clipboardCommands->toolbarPaste(); }
void Frmmain::insertMe() { m_insertCommands->insertMe(); }
void Frmmain::symbols() { m_insertCommands->symbols(); }
void Frmmain::findMe() { m_searchCommands->findMe(); }
void Frmmain::replaceMe() { m_searchCommands->replaceMe(); }
void Frmmain::countMe() { m_wordCount->countMe(); }
void Frmmain::fontMe() { m_fontCommands->fontMe(); }
void Frmmain::upperMe() { m_caseCommands->upperMe(); }
void Frmmain::lowerMe() { m_caseCommands->lowerMe(); }
void Frmmain::sSuperScript() { m_scriptCommands->sSuperScript(); }
void Frmmain::sSubscript() { m_scriptCommands->sSubscript(); }
void Frmmain::sNonScript() { m_scriptCommands->sNonScript(); }
void Frmmain::fontColor() { m_colourCommands->fontColor(); }
void Frmmain::readFromCaret() { m_speechCommands->readFromCaret(); }
void Frmmain::readSelection() { m_speechCommands->readSelection(); }
void Frmmain::highlightSpokenWords() { m_speechCommands->highlightSpokenWords(); }
void Frmmain::contents() { m_helpCommands->contents(); }
void Frmmain::aboutMe() { m_helpCommands->aboutMe(); }
