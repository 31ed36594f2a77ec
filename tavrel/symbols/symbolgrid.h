#pragma once

#include "symbols/symbolcharacters.h"

#include <QGlyphRun>
#include <QList>
#include <QWidget>

// The grid of the Insert Symbol dialog: 7 rows of 32 read-only one-character cells,
// drawn as one control. Cells stand 240 by 270 twips apart but are 255 by 285
// twips large, so neighbours overlap by a pixel and their borders coincide; where
// two overlap, the later cell is on top. Every cell has the arrow pointer and the
// same tip. The mouse over a cell reports it, and a press and release on the same
// cell clicks it; from the keyboard, the arrow keys move a current cell, which
// Enter or Space clicks.
class SymbolGrid : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kRows = 7;
    static constexpr int kColumns = 32;
    static constexpr int kCount = kRows * kColumns;

    explicit SymbolGrid(QWidget *parent = nullptr);

    // The cells in order, drawn in the grid's font; a cell without a character is
    // blank.
    void setCells(const QList<SymbolCharacters::Cell> &cells);
    SymbolCharacters::Cell cell(int index) const { return m_cells.value(index); }
    QRect cellRect(int index) const;
    // The cell on top at a point of the grid, or -1.
    int cellAt(const QPoint &position) const;
    int currentCell() const { return m_current; }

    QSize sizeHint() const override;

signals:
    void hovered(int index);
    void clicked(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void setCurrentCell(int index);
    void announceCurrentCell();
    // Lays the characters out once for each font and set of cells: the font's own
    // glyphs as one run, the cells it has no glyph for drawn one by one.
    void layOutGlyphs();

    QList<SymbolCharacters::Cell> m_cells;
    QGlyphRun m_glyphs;
    QList<int> m_otherCells;
    // The layout waits for the next paint, so that a new font and new cells cost
    // one layout between them.
    bool m_glyphsLaidOut = false;
    int m_current = 0;
    int m_pressed = -1;
};
