#include "symbols/frmsymbols.h"

#include "formatting/picklist.h"
#include "formatting/screenfonts.h"
#include "platform/richtextpad.h"
#include "shell/twips.h"
#include "symbols/symbolcharacters.h"
#include "symbols/symbolgrid.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace {

const char kStartFont[] = "Symbol";

// The design's bold 8.25-point caption font, the system's UI family standing in.
QFont captionFont()
{
    QFont font = QApplication::font();
    font.setPointSizeF(8.25);
    font.setBold(true);
    return font;
}

void setColors(QWidget *widget, QPalette::ColorRole role, const QColor &background,
               const QColor &foreground = QColor())
{
    QPalette p = widget->palette();
    p.setColor(role, background);
    if (foreground.isValid()) {
        p.setColor(QPalette::WindowText, foreground);
        p.setColor(QPalette::ButtonText, foreground);
        p.setColor(QPalette::Text, foreground);
    }
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

} // namespace

FrmSymbols::FrmSymbols(RichTextPad &pad, const QComboBox &combo1)
    : QDialog(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint)
    , m_pad(pad)
    , m_combo1(combo1)
{
    setObjectName(QStringLiteral("frmSymbols"));
    setWindowTitle(QStringLiteral("Insert Symbol"));
    // The main window's icon, shared rather than loaded again.
    setWindowIcon(m_pad.window()->windowIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(Twips::toPixels(9270), Twips::toPixels(2655));
    setColors(this, QPalette::Window, QColor(0, 128, 128));
    createControls();
    if (const QScreen *screen = m_pad.screen())
        move(screen->availableGeometry().center() - rect().center());
    load();
}

void FrmSymbols::createControls()
{
    m_lblFont = new QLabel(QStringLiteral("Font Type:"), this);
    m_lblFont->setObjectName(QStringLiteral("lblFont"));
    m_lblFont->setFont(captionFont());
    setColors(m_lblFont, QPalette::Window, QColor(0, 128, 128), QColor(0, 0, 255));
    m_lblFont->move(Twips::toPixels(120), Twips::toPixels(180));
    // The label sizes itself to its caption.
    m_lblFont->adjustSize();

    m_cmbFonts = new QComboBox(this);
    m_cmbFonts->setObjectName(QStringLiteral("cmbFonts"));
    m_cmbFonts->setEditable(true);
    m_cmbFonts->setInsertPolicy(QComboBox::NoInsert);
    m_cmbFonts->setGeometry(Twips::rect(1200, 120, 3015, 315));
    QPalette p = m_cmbFonts->palette();
    p.setColor(QPalette::Base, Qt::black);
    p.setColor(QPalette::Text, QColor(0, 255, 0));
    p.setColor(QPalette::ButtonText, QColor(0, 255, 0));
    m_cmbFonts->setPalette(p);
    m_cmbFonts->lineEdit()->setPalette(p);
    PickList::ignoreTyping(*m_cmbFonts);
    connect(m_cmbFonts, &QComboBox::activated, this, [this] { cmbFonts_Click(); });
    // A screen reader names the list, and its edit field, by the label.
    m_lblFont->setBuddy(m_cmbFonts);
    m_cmbFonts->lineEdit()->setAccessibleName(m_lblFont->text());

    m_picture1 = new QFrame(this);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_picture1->setLineWidth(1);
    m_picture1->setGeometry(Twips::rect(120, 600, 7740, 1950));
    // The grid fills the box and paints all of it.
    m_txtSymbol = new SymbolGrid(m_picture1);
    m_txtSymbol->setObjectName(QStringLiteral("txtSymbol"));
    m_txtSymbol->setGeometry(m_picture1->contentsRect());
    setColors(m_txtSymbol, QPalette::Window, Qt::white, Qt::black);
    connect(m_txtSymbol, &SymbolGrid::hovered, this,
            [this](int index) { txtSymbol_MouseMove(index); });
    connect(m_txtSymbol, &SymbolGrid::clicked, this,
            [this](int index) { txtSymbol_Click(index); });

    m_lblPreview = new QLabel(this);
    m_lblPreview->setObjectName(QStringLiteral("lblPreview"));
    m_lblPreview->setGeometry(Twips::rect(8040, 600, 1095, 1095));
    m_lblPreview->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_lblPreview->setAlignment(Qt::AlignCenter);
    // An ampersand is shown as itself.
    m_lblPreview->setTextFormat(Qt::PlainText);
    setColors(m_lblPreview, QPalette::Window, QColor(192, 255, 192), Qt::black);

    m_cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setGeometry(Twips::rect(8040, 2175, 1095, 375));
    m_cmdCancel->setFont(captionFont());
    // The face takes the colour of an active window's border, which this desktop
    // draws in its window colour.
    setColors(m_cmdCancel, QPalette::Button,
              QApplication::palette().color(QPalette::Active, QPalette::Window));
    m_cmdCancel->setAutoDefault(false);
    connect(m_cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void FrmSymbols::load()
{
    // Rebuilt on every opening, from the fonts the screen offers now.
    m_cmbFonts->addItems(ScreenFonts::families());
    m_cmbFonts->setEditText(QString::fromLatin1(kStartFont));
    QFont preview = m_lblPreview->font();
    preview.setPointSize(30);
    m_lblPreview->setFont(preview);
    showFont(QString::fromLatin1(kStartFont));
}

void FrmSymbols::showFont(const QString &family)
{
    m_fontName = family;
    QFont font = m_txtSymbol->font();
    font.setFamilies({family});
    m_txtSymbol->setFont(font);
    m_txtSymbol->setCells(SymbolCharacters::cells(family));
    QFont preview = m_lblPreview->font();
    preview.setFamilies({family});
    m_lblPreview->setFont(preview);
}

void FrmSymbols::cmbFonts_Click()
{
    showFont(m_cmbFonts->currentText());
}

void FrmSymbols::txtSymbol_MouseMove(int index)
{
    m_lblPreview->setText(m_txtSymbol->cell(index).shown);
}

void FrmSymbols::txtSymbol_Click(int index)
{
    const QString character = m_txtSymbol->cell(index).inserted;
    // A code without a character inserts nothing.
    if (character.isEmpty())
        return;
    m_savedFontName = m_combo1.currentText();
    // In the font the grid shows, not a name typed into the list's edit field since.
    m_pad.setSelFontFamilies(
        SymbolCharacters::familiesFor(m_fontName, character, m_pad.baseFontName()));
    m_pad.setSelText(character);
    // Typing goes on in the main window's font; an emptied font-name box names none,
    // and the pad's own font stands in.
    m_pad.setSelFontName(m_savedFontName.isEmpty() ? m_pad.baseFontName() : m_savedFontName);
    accept();
}

void FrmSymbols::cmdCancel_Click()
{
    reject();
}
