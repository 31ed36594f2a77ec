#pragma once

#include <QPointF>
#include <QTextFrameLayoutData>

#include <vector>

// Where a frame (a table or another frame) lies and what it measures, kept on the
// frame itself. Lengths are in 64ths of a pixel. A table also keeps its grid: where
// each column and row begins and how wide or high it is.
struct PadFrameBox : public QTextFrameLayoutData
{
    bool valid = false;
    // Relative to the origin of the flow holding the frame: a table cell's content,
    // or another frame's top left. A top-level frame keeps only its x here; its y
    // follows from the paragraphs above it.
    QPointF position;
    qint64 width = 0;
    qint64 height = 0;
    qint64 minimumWidth = 0;
    qint64 maximumWidth = 0;
    qint64 contentsWidth = 0;
    qint64 leftMargin = 0;
    qint64 rightMargin = 0;
    qint64 topMargin = 0;
    qint64 bottomMargin = 0;
    qint64 border = 0;
    qint64 padding = 0;

    // Tables.
    qint64 cellSpacing = 0;
    qint64 cellPadding = 0;
    qreal deviceScale = 1.0;
    std::vector<qint64> widths;
    std::vector<qint64> columnPositions;
    std::vector<qint64> heights;
    std::vector<qint64> rowPositions;
    std::vector<qint64> cellVerticalOffsets;
};
