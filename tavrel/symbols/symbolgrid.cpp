#include "symbols/symbolgrid.h"

#include "shell/twips.h"
#include "symbols/symbolgridaccessible.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRawFont>

namespace {

// A cell's pitch and size in pixels.
const int kPitchX = Twips::toPixels(240);
const int kPitchY = Twips::toPixels(270);
const int kCellWidth = Twips::toPixels(255);
const int kCellHeight = Twips::toPixels(285);

} // namespace

SymbolGrid::SymbolGrid(QWidget *parent)
    : QWidget(parent)
{
    setToolTip(QStringLiteral("Click to insert this symbol"));
    setCursor(Qt::ArrowCursor);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Before the name, whose change already asks for the grid's interface.
    SymbolGridAccessible::install();
    setAccessibleName(QStringLiteral("Symbols"));
    m_cells.resize(kCount);
    resize(sizeHint());
}

QSize SymbolGrid::sizeHint() const
{
    return {(kColumns - 1) * kPitchX + kCellWidth, (kRows - 1) * kPitchY + kCellHeight};
}

void SymbolGrid::setCells(const QList<SymbolCharacters::Cell> &cells)
{
    m_cells = cells;
    m_cells.resize(kCount);
    setCurrentCell(m_current);
    m_glyphsLaidOut = false;
    update();
}

void SymbolGrid::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        m_glyphsLaidOut = false;
    QWidget::changeEvent(event);
}

void SymbolGrid::layOutGlyphs()
{
    m_glyphsLaidOut = true;
    m_glyphs = QGlyphRun();
    m_otherCells.clear();
    const QRawFont raw = QRawFont::fromFont(font());
    QString text;
    QList<int> indexes;
    for (int i = 0; i < kCount; ++i) {
        const QString &shown = m_cells.at(i).shown;
        if (shown.size() == 1 && raw.isValid() && raw.supportsCharacter(shown.at(0))) {
            text += shown;
            indexes << i;
        } else if (!shown.isEmpty()) {
            m_otherCells << i;
        }
    }
    if (text.isEmpty())
        return;
    const QList<quint32> glyphs = raw.glyphIndexesForString(text);
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs);
    const double height = raw.ascent() + raw.descent();
    QList<QPointF> positions;
    positions.reserve(glyphs.size());
    for (qsizetype k = 0; k < glyphs.size(); ++k) {
        const QRect cell = cellRect(indexes.at(k));
        positions << QPointF(cell.x() + (cell.width() - advances.at(k).x()) / 2,
                             cell.y() + (cell.height() - height) / 2 + raw.ascent());
    }
    m_glyphs.setRawFont(raw);
    m_glyphs.setGlyphIndexes(glyphs);
    m_glyphs.setPositions(positions);
}

QRect SymbolGrid::cellRect(int index) const
{
    if (index < 0 || index >= kCount)
        return {};
    return {(index % kColumns) * kPitchX, (index / kColumns) * kPitchY, kCellWidth, kCellHeight};
}

int SymbolGrid::cellAt(const QPoint &position) const
{
    const int x = position.x();
    const int y = position.y();
    if (x < 0 || y < 0)
        return -1;
    // The later cell covers the overlap, so plain division finds the one on top.
    const int column = qMin(x / kPitchX, kColumns - 1);
    const int row = qMin(y / kPitchY, kRows - 1);
    const int index = row * kColumns + column;
    return cellRect(index).contains(position) ? index : -1;
}

void SymbolGrid::setCurrentCell(int index)
{
    const int previous = m_current;
    m_current = qBound(0, index, kCount - 1);
    // A screen reader hears the character the current cell inserts.
    setAccessibleDescription(m_cells.at(m_current).inserted);
    if (previous != m_current) {
        update(cellRect(previous));
        update(cellRect(m_current));
        announceCurrentCell();
    }
}

void SymbolGrid::announceCurrentCell()
{
    // A screen reader follows the current cell as it follows a focused widget.
    if (!hasFocus() || !QAccessible::isActive())
        return;
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(m_current);
    QAccessible::updateAccessibility(&event);
}

void SymbolGrid::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QPalette &p = palette();
    painter.fillRect(event->rect(), p.color(QPalette::Window));
    // Borders of neighbours coincide: the grid is a set of one-pixel lines.
    const QColor line = p.color(QPalette::WindowText);
    const QSize grid = sizeHint();
    for (int column = 0; column <= kColumns; ++column)
        painter.fillRect(column * kPitchX, 0, 1, grid.height(), line);
    for (int row = 0; row <= kRows; ++row)
        painter.fillRect(0, row * kPitchY, grid.width(), 1, line);
    if (!m_glyphsLaidOut)
        layOutGlyphs();
    if (!m_glyphs.isEmpty())
        painter.drawGlyphRun(QPointF(0, 0), m_glyphs);
    painter.setFont(font());
    for (int i : std::as_const(m_otherCells))
        painter.drawText(cellRect(i), Qt::AlignCenter, m_cells.at(i).shown);
    if (hasFocus()) {
        const QRect cell = cellRect(m_current);
        painter.fillRect(cell.adjusted(1, 1, -1, -1), p.color(QPalette::Highlight));
        painter.setPen(p.color(QPalette::HighlightedText));
        painter.drawText(cell, Qt::AlignCenter, m_cells.at(m_current).shown);
    }
}

void SymbolGrid::mouseMoveEvent(QMouseEvent *event)
{
    const int index = cellAt(event->position().toPoint());
    if (index >= 0)
        emit hovered(index);
}

void SymbolGrid::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = cellAt(event->position().toPoint());
        if (m_pressed >= 0)
            setCurrentCell(m_pressed);
    }
    QWidget::mousePressEvent(event);
}

void SymbolGrid::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int index = cellAt(event->position().toPoint());
    const bool clickedCell = index >= 0 && index == m_pressed;
    m_pressed = -1;
    if (clickedCell)
        emit clicked(index);
}

void SymbolGrid::keyPressEvent(QKeyEvent *event)
{
    int index = m_current;
    switch (event->key()) {
    case Qt::Key_Left: index -= 1; break;
    case Qt::Key_Right: index += 1; break;
    case Qt::Key_Up: index -= kColumns; break;
    case Qt::Key_Down: index += kColumns; break;
    case Qt::Key_Home: index -= m_current % kColumns; break;
    case Qt::Key_End: index += kColumns - 1 - m_current % kColumns; break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit clicked(m_current);
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (index >= 0 && index < kCount) {
        setCurrentCell(index);
        emit hovered(m_current);
    }
}

void SymbolGrid::focusInEvent(QFocusEvent *event)
{
    update(cellRect(m_current));
    // Reached from the keyboard, the current cell shows in the preview; the mouse
    // shows its own.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        emit hovered(m_current);
    QWidget::focusInEvent(event);
    announceCurrentCell();
}

void SymbolGrid::focusOutEvent(QFocusEvent *event)
{
    update(cellRect(m_current));
    QWidget::focusOutEvent(event);
}
