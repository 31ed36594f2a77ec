#include "symbols/frmsymbols.h"

#include "formatting/picklist.h"
#include "formatting/screenfonts.h"
#include "platform/richtextpad.h"
#include "shell/twips.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

namespace {

const char kIndex[] = "Index";
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
    QIcon icon(QStringLiteral(":/icons/tavrel.png"));
    icon.addFile(QStringLiteral(":/icons/tavrel64.png"));
    setWindowIcon(icon);
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

    m_picture1 = new QFrame(this);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_picture1->setLineWidth(1);
    m_picture1->setGeometry(Twips::rect(120, 600, 7740, 1950));
    setColors(m_picture1, QPalette::Window, Qt::white, Qt::black);
    // Cells stand 240 by 270 twips apart but are 255 by 285 twips large: neighbours
    // overlap by one pixel, so their borders coincide.
    const QPoint origin = m_picture1->contentsRect().topLeft();
    const QString tip = QStringLiteral("Click to insert this symbol");
    m_txtSymbol.reserve(SymbolCharacters::kCount);
    for (int i = 0; i < SymbolCharacters::kCount; ++i) {
        auto *cell = new QLabel(m_picture1);
        cell->setObjectName(QStringLiteral("txtSymbol"));
        cell->setProperty(kIndex, i);
        const int row = i / kColumns;
        const int column = i % kColumns;
        cell->setGeometry(Twips::rect(240 * column, 270 * row, 255, 285).translated(origin));
        cell->setFrameStyle(QFrame::Box | QFrame::Plain);
        cell->setAlignment(Qt::AlignCenter);
        cell->setTextFormat(Qt::PlainText);
        cell->setCursor(Qt::ArrowCursor);
        cell->setToolTip(tip);
        cell->setMouseTracking(true);
        cell->installEventFilter(this);
        m_txtSymbol << cell;
    }

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
    // The cells take the font of the box that holds them.
    QFont font = m_picture1->font();
    font.setFamilies({family});
    m_picture1->setFont(font);
    m_cells = SymbolCharacters::cells(family);
    for (int i = 0; i < SymbolCharacters::kCount; ++i) {
        QLabel *cell = m_txtSymbol.at(i);
        cell->setText(m_cells.at(i).shown);
        // A screen reader names the character the cell inserts, not the code the
        // font draws it at.
        cell->setAccessibleName(m_cells.at(i).inserted);
    }
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
    m_lblPreview->setText(m_txtSymbol.at(index)->text());
}

void FrmSymbols::txtSymbol_Click(int index)
{
    const QString character = m_cells.at(index).inserted;
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

bool FrmSymbols::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress
        && type != QEvent::MouseButtonRelease)
        return QDialog::eventFilter(watched, event);
    const QVariant index = watched->property(kIndex);
    if (!index.isValid())
        return QDialog::eventFilter(watched, event);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const int i = index.toInt();
    if (type == QEvent::MouseMove) {
        txtSymbol_MouseMove(i);
    } else if (mouse->button() == Qt::LeftButton) {
        // A click is a press and a release on the same cell.
        if (type == QEvent::MouseButtonPress) {
            m_pressedCell = i;
        } else {
            const bool inside = static_cast<QWidget *>(watched)->rect().contains(
                mouse->position().toPoint());
            const bool clicked = inside && m_pressedCell == i;
            m_pressedCell = -1;
            if (clicked)
                txtSymbol_Click(i);
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
