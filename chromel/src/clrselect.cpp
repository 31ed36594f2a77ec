#include <chromel/clrselect.h>

#include "metrics.h"
#include "paletteaccessible.h"
#include "palettepopup.h"
#include "swatch.h"

#include <chromel/palette.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QToolButton>

using namespace Chromel;

ClrSelect::ClrSelect(QWidget *parent)
    : QWidget(parent)
{
    PaletteAccessible::install();

    // The parts come first: Qt puts a control whose focus goes to one of its parts
    // just before its first child in the tab chain, and a first child that is a
    // window of its own, outside that chain, took the control out of its host's.
    m_selection = new Swatch(this);

    // A down-pointing triangle drawn by the style.
    m_popupButton = new QToolButton(this);
    m_popupButton->setObjectName(QStringLiteral("cmdPopup"));
    m_popupButton->setArrowType(Qt::DownArrow);
    m_popupButton->setFocusPolicy(Qt::TabFocus);
    m_popupButton->setAccessibleName(tr("Show colors"));
    m_popupButton->resize(ButtonWidth, m_popupButton->height());

    // The palette is a window of its own, so it can reach past the host form;
    // it belongs to the control and goes with it.
    m_popup = new PalettePopup(this);
    m_popup->setAccessibleName(tr("Colors"));
    m_selection->setPopup(m_popup);

    setFocusProxy(m_selection);
    setFocusPolicy(Qt::StrongFocus);
    setTabOrder(m_selection, m_popupButton);

    connect(m_popupButton, &QToolButton::clicked, this, &ClrSelect::cmdPopupClick);
    connect(m_selection, &Swatch::clicked, this, &ClrSelect::cmdPopupClick);
    connect(m_popup, &PalettePopup::pressedOutside, this, &ClrSelect::hidePopup);
    connect(m_popup, &PalettePopup::rowPicked, this, &ClrSelect::pick);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        const auto inside = [this](QWidget *w) { return w == this || isAncestorOf(w); };
        // Only a move to another widget counts; deactivating the whole window
        // leaves the palette alone.
        if (old && now && inside(old) && !inside(now))
            exitFocus();
    });

    // The arrow button would move the focus on Up and Down; the control takes
    // those keys first, whichever part has the focus.
    m_selection->installEventFilter(this);
    m_popupButton->installEventFilter(this);

    resize(sizeHint());
    layoutParts();
}

ClrSelect::~ClrSelect() = default;

qint16 ClrSelect::selectedColor() const
{
    return m_selectedColor;
}

void ClrSelect::setSelectedColor(qint16 index)
{
    if (!isPaletteIndex(index))
        return;
    m_selectedColor = index;
    selectionChanged();
}

bool ClrSelect::isPopupVisible() const
{
    return m_popup->isVisible();
}

QSize ClrSelect::sizeHint() const
{
    // 1095 x 255 twips, the size a host form typically gives the control.
    return QSize(73, 17);
}

void ClrSelect::showPopup()
{
    if (!isVisible() || isPopupVisible())
        return;
    const QRect control(mapToGlobal(QPoint(0, 0)), size());
    QScreen *screen = QGuiApplication::screenAt(control.center());
    if (!screen)
        screen = this->screen();
    // The usable area of the screen, so that the palette never opens under a panel
    // where some rows could not be picked.
    const QRect room = screen->availableGeometry();
    m_popup->move(popupPosition(control, m_popup->size(), room));
    m_popup->show();
    m_popup->raise();
    m_popup->update();
    const QPointer<ClrSelect> self(this);
    QCoreApplication::processEvents();
    // Pending events may have closed it again (the control hidden, say).
    if (!self || !m_popup->isVisible())
        return;
    m_selection->update();
    m_popup->grabMouse();
}

void ClrSelect::hidePopup()
{
    if (QWidget::mouseGrabber() == m_popup)
        m_popup->releaseMouse();
    m_popup->hide();
    const QPointer<ClrSelect> self(this);
    QCoreApplication::processEvents();
    if (self)
        m_selection->update();
}

void ClrSelect::cmdPopupClick()
{
    m_selection->setFocus(Qt::OtherFocusReason);
    if (isPopupVisible())
        hidePopup();
    else
        showPopup();
}

bool ClrSelect::handleKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (key != Qt::Key_Down && key != Qt::Key_Up)
        return false;
    const Qt::KeyboardModifiers shiftState =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (shiftState == Qt::AltModifier) {
        cmdPopupClick();
    } else if (key == Qt::Key_Down) {
        if (m_selectedColor < PaletteSize - 1) {
            ++m_selectedColor;
            selectionChanged();
            emit Click();
        }
    } else if (m_selectedColor > 0) {
        --m_selectedColor;
        selectionChanged();
        emit Click();
    }
    return true;
}

void ClrSelect::pick(int index)
{
    // The palette hands only rows of the table; the guard keeps the index valid
    // whatever calls this.
    if (!isPaletteIndex(index))
        return;
    m_selectedColor = qint16(index);
    selectionChanged();
    const QPointer<ClrSelect> self(this);
    hidePopup();
    // Also when the same colour is picked again.
    if (self)
        emit Click();
}

void ClrSelect::exitFocus()
{
    if (isPopupVisible())
        hidePopup();
}

void ClrSelect::layoutParts()
{
    const int w = width();
    const int h = height();
    const int b = m_popupButton->width();
    m_popupButton->setGeometry(w - b, 0, b, h);
    // One pixel between swatch and button; a control narrower than the button
    // leaves the swatch empty.
    m_selection->setGeometry(0, 0, qMax(0, w - (1 + b)), h);
    // The palette is exactly as wide as the control.
    m_popup->resize(w, PaletteHeight);
}

void ClrSelect::selectionChanged()
{
    m_selection->setColorIndex(m_selectedColor);
}

bool ClrSelect::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress
        && (watched == m_selection || watched == m_popupButton)) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (handleKey(key->key(), key->modifiers()))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ClrSelect::keyPressEvent(QKeyEvent *event)
{
    if (handleKey(event->key(), event->modifiers()))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void ClrSelect::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutParts();
}

void ClrSelect::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The swatch shows the tip the host gave the control.
    m_selection->setToolTip(toolTip());
}

void ClrSelect::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // A palette must not stay open, holding the mouse, for a control nobody sees.
    if (isPopupVisible()) {
        if (QWidget::mouseGrabber() == m_popup)
            m_popup->releaseMouse();
        m_popup->hide();
    }
}
