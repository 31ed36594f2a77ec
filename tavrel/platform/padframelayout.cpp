// Frames and tables of the pad's layout. A frame is laid out whole, with all it
// holds, when it comes into view; tables follow the rules of Qt's own layout
// (column widths from the cells' narrowest and widest, fixed and percentage
// columns, spacing, padding and borders, spanning cells, vertical alignment), but
// are never split across pages.

#include "platform/padblocklayout.h"
#include "platform/padframebox.h"
#include "platform/padlayout.h"

#include <QPainter>
#include <QPaintDevice>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>

using PadBlockLayout::fixed;
using PadBlockLayout::real;

namespace {

// Width given to a cell to find out how wide its content would be at most: the
// widest the text layout measures, as in Qt's layout.
constexpr qint64 kUnbounded = INT_MAX / 256;
constexpr int kDefaultDpi = 96;

bool isEmptyBlockBeforeTable(const QTextBlock &block, const QTextBlockFormat &format,
                             const QTextFrame::iterator &next)
{
    return !next.atEnd() && qobject_cast<QTextTable *>(next.currentFrame()) && block.isValid()
        && block.length() == 1
        && !format.hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth)
        && !format.hasProperty(QTextFormat::BackgroundBrush)
        && next.currentFrame()->firstPosition() == block.position() + 1;
}

bool isEmptyBlockAfterTable(const QTextBlock &block, const QTextFrame *previous)
{
    return qobject_cast<const QTextTable *>(previous) && block.isValid() && block.length() == 1
        && previous->lastPosition() == block.position() - 1;
}

// Products and quotients of 64ths, rounded as the text layout does.
qint64 times(qint64 a, qint64 b)
{
    return (a * b + 32) >> 6;
}
qint64 over(qint64 a, qint64 b)
{
    return b == 0 ? 0 : (a * 64 + b / 2) / b;
}
// Whole pixels, in 64ths.
qint64 rounded(qint64 v)
{
    return (v + 32) & ~qint64(63);
}
qint64 ceiled(qint64 v)
{
    return (v + 63) & ~qint64(63);
}

qint64 cellPadding(const PadFrameBox *box, const QTextFormat &format,
                   QTextFormat::Property property)
{
    const QVariant v = format.property(property);
    return v.isNull() ? box->cellPadding : fixed(v.toReal() * box->deviceScale);
}

} // namespace

struct PadLayout::FlowResult
{
    qint64 y = 0;
    qint64 minimumWidth = 0;
    qint64 maximumWidth = kUnbounded;
    qint64 contentsWidth = 0;
};

PadFrameBox *PadLayout::boxOf(QTextFrame *frame) const
{
    if (!frame)
        return nullptr;
    auto *box = static_cast<PadFrameBox *>(frame->layoutData());
    if (!box) {
        box = new PadFrameBox;
        frame->setLayoutData(box);
    }
    return box;
}

void PadLayout::layOutFrameRow(qsizetype index, QTextFrame *frame, qint64 top) const
{
    Q_UNUSED(top);
    layOutFrame(frame, m_right - m_left);
    PadFrameBox *box = boxOf(frame);
    box->position = QPointF(real(alignedLeft(frame, m_left, m_right)), 0);
    PadRows::Row row = m_rows.at(index);
    row.lines = box->height;
    row.gap = 0;
    row.flags |= PadRows::Measured;
    m_rows.set(index, row);
    m_widest = qMax(m_widest, box->width);
    ++m_layoutsMade;
}

qint64 PadLayout::alignedLeft(QTextFrame *frame, qint64 left, qint64 right) const
{
    // As Qt's layout aligns a table in its flow, offsets and all.
    const PadFrameBox *box = boxOf(frame);
    const auto *table = qobject_cast<QTextTable *>(frame);
    if (!table || right - left <= box->width)
        return left;
    const Qt::Alignment align = table->format().alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignRight)
        return left + right - box->width;
    if (align & Qt::AlignHCenter)
        return left + (right - box->width) / 2;
    return left;
}

void PadLayout::layOutFrame(QTextFrame *frame, qint64 available) const
{
    PadFrameBox *box = boxOf(frame);
    const QTextFrameFormat format = frame->frameFormat();
    const QPaintDevice *device = paintDevice();
    box->deviceScale = device ? qreal(device->logicalDpiY()) / kDefaultDpi : 1.0;
    qint64 width = fixed(format.width().value(real(qMax<qint64>(0, available))));
    if (format.width().type() == QTextLength::FixedLength)
        width = fixed(real(width) * box->deviceScale);
    // Whole pixels, as in Qt's layout, so that borders fall on pixels.
    const qreal scale = box->deviceScale;
    box->topMargin = rounded(fixed(format.topMargin() * scale));
    box->bottomMargin = rounded(fixed(format.bottomMargin() * scale));
    box->leftMargin = rounded(fixed(format.leftMargin() * scale));
    box->rightMargin = rounded(fixed(format.rightMargin() * scale));
    box->border = rounded(fixed(format.border() * scale));
    box->padding = rounded(fixed(format.padding() * scale));
    const qint64 edge = box->border + box->padding;
    const qint64 contents = width - 2 * edge - box->leftMargin - box->rightMargin;
    if (auto *table = qobject_cast<QTextTable *>(frame)) {
        box->contentsWidth = contents;
        layOutTable(table, box, contents);
    } else {
        const qint64 left = box->leftMargin + edge;
        const FlowResult flow = layOutFlow(frame->begin(), left, left + contents,
                                           box->topMargin + edge);
        const qint64 actual = qMax(contents, flow.contentsWidth);
        box->contentsWidth = actual;
        box->minimumWidth = flow.minimumWidth;
        box->maximumWidth = flow.maximumWidth;
        box->height = flow.y + edge + box->bottomMargin;
        if (format.height().type() == QTextLength::FixedLength)
            box->height = fixed(format.height().rawValue() * box->deviceScale);
        box->width = actual + 2 * edge + box->leftMargin + box->rightMargin;
    }
    box->valid = true;
}

PadLayout::FlowResult PadLayout::layOutFlow(QTextFrame::iterator it, qint64 left, qint64 right,
                                            qint64 y) const
{
    FlowResult result;
    result.y = y;
    qint64 widestBlock = 0;
    QTextBlockFormat previousFormat;
    bool previousIsBlock = false;
    QTextFrame *previousFrame = nullptr;
    for (; !it.atEnd(); ++it) {
        if (QTextFrame *child = it.currentFrame()) {
            PadFrameBox *box = boxOf(child);
            layOutFrame(child, right - left);
            box->position = QPointF(real(alignedLeft(child, left, right)), real(result.y));
            result.y += box->height;
            result.minimumWidth = qMax(result.minimumWidth, box->minimumWidth);
            result.maximumWidth = qMin(result.maximumWidth, box->maximumWidth);
            previousIsBlock = false;
            previousFrame = child;
            continue;
        }
        const QTextBlock block = it.currentBlock();
        const QTextBlockFormat format = block.blockFormat();
        const qint64 before = result.y;
        QTextLayout *layout = block.layout();
        const PadBlockLayout::Result r = PadBlockLayout::layOut(
            layout, document(), block, format, previousIsBlock ? &previousFormat : nullptr,
            flowBetween(left, right), result.y, paintDevice());
        result.y += r.gap + r.height;
        QTextFrame::iterator next = it;
        ++next;
        if (isEmptyBlockBeforeTable(block, format, next)) {
            result.y = before + r.gap;
        } else if (isEmptyBlockAfterTable(block, previousFrame)) {
            const PadFrameBox *table = boxOf(previousFrame);
            layout->setPosition(QPointF(table->position.x() + real(table->width),
                                        table->position.y() + real(table->height)
                                            - layout->boundingRect().height()));
            result.y = before;
        }
        result.minimumWidth = qMax(result.minimumWidth, r.minimumWidth);
        widestBlock = qMax(widestBlock, r.maximumWidth);
        result.contentsWidth = qMax(result.contentsWidth, r.contentsWidth);
        previousFormat = format;
        previousIsBlock = true;
        previousFrame = nullptr;
    }
    if (result.maximumWidth == kUnbounded && widestBlock > 0)
        result.maximumWidth = widestBlock;
    else
        result.maximumWidth = qMax(result.maximumWidth, widestBlock);
    return result;
}

QPointF PadLayout::cellOrigin(const PadFrameBox *box, const QTextTableCell &cell) const
{
    const int columns = int(box->widths.size());
    const QTextFormat format = cell.format();
    const qint64 offset = box->cellVerticalOffsets.empty()
        ? 0 : box->cellVerticalOffsets[size_t(cell.column() + cell.row() * columns)];
    return QPointF(real(box->columnPositions[size_t(cell.column())]
                        + cellPadding(box, format, QTextFormat::TableCellLeftPadding)),
                   real(box->rowPositions[size_t(cell.row())]
                        + cellPadding(box, format, QTextFormat::TableCellTopPadding) + offset));
}

void PadLayout::layOutTable(QTextTable *table, PadFrameBox *box, qint64 contentsWidth) const
{
    const int rows = table->rows();
    const int columns = table->columns();
    const QTextTableFormat format = table->format();
    QList<QTextLength> constraints = format.columnWidthConstraints();
    constraints.resize(columns);

    const qint64 spacing = rounded(fixed(format.cellSpacing() * box->deviceScale));
    box->cellSpacing = spacing;
    box->cellPadding = fixed(format.cellPadding() * box->deviceScale);
    const qint64 border = box->border;
    const qint64 leftMargin = box->leftMargin + border + box->padding;
    const qint64 rightMargin = box->rightMargin + border + box->padding;
    const qint64 topMargin = box->topMargin + border + box->padding;

    box->widths.assign(size_t(columns), 0);
    box->columnPositions.assign(size_t(columns), 0);
    box->heights.assign(size_t(rows), 0);
    box->rowPositions.assign(size_t(rows), 0);
    box->cellVerticalOffsets.assign(size_t(rows * columns), 0);
    if (rows == 0 || columns == 0) {
        box->width = leftMargin + rightMargin;
        box->height = topMargin + box->bottomMargin + border + box->padding;
        return;
    }

    qint64 remaining = contentsWidth - columns * 2 * border - (columns - 1) * spacing - 2 * spacing;
    const qint64 initialTotal = remaining;
    std::vector<qint64> minWidths(size_t(columns), 64);
    std::vector<qint64> maxWidths(size_t(columns), kUnbounded);
    auto &widths = box->widths;

    // The narrowest and widest each column's cells could be.
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            const QTextTableCell cell = table->cellAt(r, c);
            const int span = cell.columnSpan();
            if (span > 1 && c != cell.column())
                continue;
            const QTextFormat cellFormat = cell.format();
            const qint64 sides = cellPadding(box, cellFormat, QTextFormat::TableCellLeftPadding)
                + cellPadding(box, cellFormat, QTextFormat::TableCellRightPadding);
            const FlowResult flow = layOutFlow(cell.begin(), 0, kUnbounded, 0);
            // Whole pixels up, so that rounding the columns later never cuts text.
            qint64 share = flow.minimumWidth + sides;
            for (int n = 0; n < span && c + n < columns; ++n) {
                const size_t col = size_t(c + n);
                minWidths[col] = ceiled(qMax(minWidths[col], share / (span - n)));
                share -= minWidths[col];
                if (share <= 0)
                    break;
            }
            qint64 widest = maxWidths[size_t(c)];
            if (flow.maximumWidth != kUnbounded) {
                widest = widest == kUnbounded ? flow.maximumWidth + sides
                                              : qMax(widest, flow.maximumWidth + sides);
            }
            if (widest == kUnbounded)
                continue;
            share = ceiled(widest);
            for (int n = 0; n < span && c + n < columns; ++n) {
                const size_t col = size_t(c + n);
                maxWidths[col] = qMax(minWidths[col], share / (span - n));
                share -= maxWidths[col];
                if (share <= 0)
                    break;
            }
        }
    }

    // Fixed columns, then percentages, then what is left to the variable ones.
    qint64 totalPercentage = 0;
    qint64 totalMinWidth = 0;
    int variable = 0;
    for (int c = 0; c < columns; ++c) {
        const QTextLength &length = constraints.at(c);
        const size_t col = size_t(c);
        if (length.type() == QTextLength::FixedLength) {
            minWidths[col] = widths[col] = qMax(fixed(length.rawValue() * box->deviceScale),
                                                minWidths[col]);
            remaining -= widths[col];
        } else if (length.type() == QTextLength::PercentageLength) {
            totalPercentage += fixed(length.rawValue());
        } else {
            ++variable;
            widths[col] = minWidths[col];
            remaining -= minWidths[col];
        }
        totalMinWidth += minWidths[col];
    }
    if (totalPercentage > 0) {
        const qint64 percentaged = times(initialTotal, totalPercentage) / 100;
        qint64 remainingMin = totalMinWidth;
        for (int c = 0; c < columns; ++c) {
            const size_t col = size_t(c);
            remainingMin -= minWidths[col];
            if (constraints.at(c).type() != QTextLength::PercentageLength)
                continue;
            const qint64 allotted = fixed(constraints.at(c).rawValue());
            const qint64 wanted = over(times(percentaged, allotted), totalPercentage);
            widths[col] = wanted >= minWidths[col]
                ? qBound(minWidths[col], wanted, qMax(minWidths[col], remaining - remainingMin))
                : minWidths[col];
            remaining -= widths[col];
        }
    }
    if (variable > 0 && remaining > 0) {
        std::vector<int> bounded;
        for (int c = 0; c < columns; ++c) {
            if (constraints.at(c).type() == QTextLength::VariableLength
                && maxWidths[size_t(c)] != kUnbounded)
                bounded.push_back(c);
        }
        qint64 last = remaining;
        while (remaining > 0) {
            for (size_t k = 0; k < bounded.size(); ++k) {
                const size_t col = size_t(bounded[k]);
                const qint64 left = qint64(bounded.size() - k);
                const qint64 w = qMin(maxWidths[col] - widths[col], remaining / left);
                widths[col] += w;
                remaining -= w;
            }
            if (remaining == last)
                break;
            last = remaining;
        }
        if (remaining > 0 && format.width().type() != QTextLength::VariableLength) {
            const qint64 each = remaining / variable;
            for (int c = 0; c < columns; ++c) {
                if (constraints.at(c).type() == QTextLength::VariableLength)
                    widths[size_t(c)] += each;
            }
        }
    }

    // Whole pixels, each column taking the rounding error of the one before.
    qint64 error = 0;
    for (qint64 &w : widths) {
        const qint64 exact = w;
        w = rounded(w - error);
        error = w - exact;
    }

    auto &columnPositions = box->columnPositions;
    columnPositions[0] = leftMargin + spacing + border;
    for (size_t c = 1; c < size_t(columns); ++c)
        columnPositions[c] = columnPositions[c - 1] + widths[c - 1] + 2 * border + spacing;
    box->contentsWidth = columnPositions.back() + widths.back() + box->padding + border + spacing
        - leftMargin;
    auto cellWidth = [&](int column, int span) {
        const size_t end = size_t(qMin(columns, column + span) - 1);
        return columnPositions[end] + widths[end] - columnPositions[size_t(column)];
    };

    // The cells at their widths, row by row; a cell spanning rows grows the last.
    auto &heights = box->heights;
    auto &rowPositions = box->rowPositions;
    rowPositions[0] = topMargin + spacing + border;
    std::vector<qint64> toDistribute(size_t(columns), 0);
    std::vector<qint64> cellHeights;
    bool spanned = false;
    for (int r = 0; r < rows; ++r) {
        if (r > 0)
            rowPositions[size_t(r)] = rowPositions[size_t(r) - 1] + heights[size_t(r) - 1]
                + border + spacing + border;
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            const int rowSpan = cell.rowSpan();
            const int columnSpan = cell.columnSpan();
            if (columnSpan > 1 && cell.column() != c)
                continue;
            if (rowSpan > 1) {
                spanned = true;
                if (cell.row() != r) {
                    if (cell.row() + rowSpan - 1 == r)
                        heights[size_t(r)] = rounded(qMax(heights[size_t(r)],
                                                          toDistribute[size_t(c)]));
                    continue;
                }
            }
            const QTextFormat cellFormat = cell.format();
            const qint64 top = cellPadding(box, cellFormat, QTextFormat::TableCellTopPadding);
            const qint64 bottom = cellPadding(box, cellFormat,
                                              QTextFormat::TableCellBottomPadding);
            const qint64 sides = cellPadding(box, cellFormat, QTextFormat::TableCellLeftPadding)
                + cellPadding(box, cellFormat, QTextFormat::TableCellRightPadding);
            const FlowResult flow = layOutFlow(cell.begin(), 0, cellWidth(c, columnSpan) - sides,
                                               0);
            const qint64 height = rounded(flow.y + top + bottom);
            if (rowSpan > 1)
                toDistribute[size_t(c)] = height;
            else
                heights[size_t(r)] = qMax(heights[size_t(r)], height);
            cellHeights.push_back(flow.y);
        }
        if (spanned) {
            const qint64 used = heights[size_t(r)] + border + spacing + border;
            for (qint64 &h : toDistribute)
                h = qMax<qint64>(h - used, 0);
        }
    }

    // Vertical alignment within the rows the cell covers.
    size_t cellIndex = 0;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() != r || cell.column() != c)
                continue;
            const int lastRow = qMin(rows, r + cell.rowSpan()) - 1;
            const qint64 available = rowPositions[size_t(lastRow)] + heights[size_t(lastRow)]
                - rowPositions[size_t(r)];
            const QTextCharFormat cellFormat = cell.format();
            const qint64 content = (cellIndex < cellHeights.size() ? cellHeights[cellIndex] : 0)
                + cellPadding(box, cellFormat, QTextFormat::TableCellTopPadding)
                + cellPadding(box, cellFormat, QTextFormat::TableCellBottomPadding);
            ++cellIndex;
            qint64 offset = 0;
            if (cellFormat.verticalAlignment() == QTextCharFormat::AlignMiddle)
                offset = (available - content) / 2;
            else if (cellFormat.verticalAlignment() == QTextCharFormat::AlignBottom)
                offset = available - content;
            for (int rd = 0; rd < cell.rowSpan() && r + rd < rows; ++rd) {
                for (int cd = 0; cd < cell.columnSpan() && c + cd < columns; ++cd)
                    box->cellVerticalOffsets[size_t((c + cd) + (r + rd) * columns)] = offset;
            }
        }
    }

    box->minimumWidth = columnPositions[0];
    box->maximumWidth = columnPositions[0];
    for (size_t c = 0; c < size_t(columns); ++c) {
        box->minimumWidth += minWidths[c] + 2 * border + spacing;
        if (maxWidths[c] != kUnbounded)
            box->maximumWidth += maxWidths[c] + 2 * border + spacing;
    }
    box->minimumWidth += rightMargin - border;
    box->maximumWidth += rightMargin - border;
    box->height = rowPositions.back() + heights.back() + box->padding + border + spacing
        + box->bottomMargin + border + box->padding;
    box->width = leftMargin + box->contentsWidth + rightMargin;
}

QPointF PadLayout::offsetInTopFrame(QTextFrame *frame, int position) const
{
    QPointF offset;
    const QTextFrame *root = document()->rootFrame();
    for (QTextFrame *f = frame; f && f != root; f = f->parentFrame()) {
        const PadFrameBox *box = boxOf(f);
        if (f->parentFrame() != root)
            offset += box->position;
        if (auto *table = qobject_cast<QTextTable *>(f)) {
            const QTextTableCell cell = table->cellAt(position);
            if (cell.isValid() && !box->columnPositions.empty())
                offset += cellOrigin(box, cell);
        }
    }
    return offset;
}

void PadLayout::drawFlow(QPainter *painter, const PaintContext &context, QTextFrame::iterator it,
                         const QPointF &offset, const QRectF &clip) const
{
    for (; !it.atEnd(); ++it) {
        if (QTextFrame *child = it.currentFrame())
            drawFrame(painter, context, child, offset + boxOf(child)->position, clip);
        else
            drawBlock(painter, context, it.currentBlock(), offset, clip);
    }
}

void PadLayout::drawFrame(QPainter *painter, const PaintContext &context, QTextFrame *frame,
                          const QPointF &origin, const QRectF &clip) const
{
    const PadFrameBox *box = boxOf(frame);
    const QRectF rect(origin, QSizeF(real(box->width), real(box->height)));
    if (clip.isValid() && (rect.bottom() < clip.top() || rect.top() > clip.bottom()))
        return;
    // Drawn near the origin, as paragraphs are.
    painter->save();
    painter->translate(origin);
    const QRectF local = clip.translated(-origin);
    const QTextFrameFormat format = frame->frameFormat();
    const QBrush background = format.background();
    if (background != Qt::NoBrush) {
        painter->fillRect(QRectF(real(box->leftMargin + box->border),
                                 real(box->topMargin + box->border),
                                 real(box->width - box->leftMargin - box->rightMargin
                                      - 2 * box->border),
                                 real(box->height - box->topMargin - box->bottomMargin
                                      - 2 * box->border)),
                          background);
    }
    const QBrush borderBrush = format.hasProperty(QTextFormat::FrameBorderBrush)
        ? format.borderBrush() : QBrush(Qt::darkGray);
    const qreal border = real(box->border);
    if (box->border > 0) {
        const QRectF outer(real(box->leftMargin), real(box->topMargin),
                           real(box->width - box->leftMargin - box->rightMargin),
                           real(box->height - box->topMargin - box->bottomMargin));
        painter->fillRect(QRectF(outer.left(), outer.top(), outer.width(), border), borderBrush);
        painter->fillRect(QRectF(outer.left(), outer.bottom() - border, outer.width(), border),
                          borderBrush);
        painter->fillRect(QRectF(outer.left(), outer.top(), border, outer.height()), borderBrush);
        painter->fillRect(QRectF(outer.right() - border, outer.top(), border, outer.height()),
                          borderBrush);
    }
    if (auto *table = qobject_cast<QTextTable *>(frame)) {
        const int rows = table->rows();
        const int columns = table->columns();
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                if (cell.row() != r || cell.column() != c)
                    continue;
                const int lastRow = qMin(rows, r + cell.rowSpan()) - 1;
                const int lastColumn = qMin(columns, c + cell.columnSpan()) - 1;
                const QRectF cellRect(
                    real(box->columnPositions[size_t(c)]), real(box->rowPositions[size_t(r)]),
                    real(box->columnPositions[size_t(lastColumn)] + box->widths[size_t(lastColumn)]
                         - box->columnPositions[size_t(c)]),
                    real(box->rowPositions[size_t(lastRow)] + box->heights[size_t(lastRow)]
                         - box->rowPositions[size_t(r)]));
                if (local.isValid() && (cellRect.bottom() + border < local.top()
                                        || cellRect.top() - border > local.bottom()))
                    continue;
                if (box->border > 0) {
                    const QRectF edge = cellRect.adjusted(-border, -border, border, border);
                    painter->fillRect(QRectF(edge.left(), edge.top(), edge.width(), border),
                                      borderBrush);
                    painter->fillRect(QRectF(edge.left(), edge.bottom() - border, edge.width(),
                                             border), borderBrush);
                    painter->fillRect(QRectF(edge.left(), edge.top(), border, edge.height()),
                                      borderBrush);
                    painter->fillRect(QRectF(edge.right() - border, edge.top(), border,
                                             edge.height()), borderBrush);
                }
                const QBrush cellBackground = cell.format().background();
                if (cellBackground != Qt::NoBrush)
                    painter->fillRect(cellRect, cellBackground);
                drawFlow(painter, context, cell.begin(), cellOrigin(box, cell), local);
            }
        }
    } else {
        drawFlow(painter, context, frame->begin(), QPointF(), local);
    }
    painter->restore();
}

PadLayout::Hit PadLayout::hitFlowBlock(const QTextBlock &block, const QPointF &point,
                                       Qt::HitTestAccuracy accuracy, int *position) const
{
    const QTextLayout *layout = block.layout();
    QRectF rect = layout->boundingRect();
    rect.translate(layout->position());
    *position = block.position();
    if (point.y() < rect.top())
        return Hit::Before;
    if (point.y() > rect.bottom()) {
        *position += block.length();
        return Hit::After;
    }
    bool exact = false;
    *position = hitBlock(block, point, QPointF(), accuracy, &exact);
    return exact ? Hit::Exact : Hit::Inside;
}

PadLayout::Hit PadLayout::hitFlow(QTextFrame::iterator it, Hit hit, const QPointF &point,
                                  Qt::HitTestAccuracy accuracy, int *position) const
{
    for (; !it.atEnd(); ++it) {
        int found = -1;
        Hit h;
        if (QTextFrame *child = it.currentFrame()) {
            h = hitFrame(child, point - boxOf(child)->position, accuracy, &found);
        } else {
            h = hitFlowBlock(it.currentBlock(), point, accuracy, &found);
            QTextFrame::iterator next = it;
            ++next;
            if ((h == Hit::Inside || h == Hit::Exact)
                && isEmptyBlockBeforeTable(it.currentBlock(), it.currentBlock().blockFormat(),
                                           next))
                continue;
        }
        if (h == Hit::Inside || h == Hit::Exact) {
            *position = found;
            return h;
        }
        if (h == Hit::Before && found < *position) {
            *position = found;
            hit = h;
        } else if (h == Hit::After && found > *position) {
            *position = found;
            hit = h;
        }
    }
    return hit;
}

PadLayout::Hit PadLayout::hitFrame(QTextFrame *frame, const QPointF &point,
                                   Qt::HitTestAccuracy accuracy, int *position) const
{
    const PadFrameBox *box = boxOf(frame);
    if (point.y() < 0 || point.x() < 0) {
        *position = frame->firstPosition() - 1;
        return Hit::Before;
    }
    if (point.y() > real(box->height) || point.x() > real(box->width)) {
        *position = frame->lastPosition() + 1;
        return Hit::After;
    }
    if (auto *table = qobject_cast<QTextTable *>(frame)) {
        if (box->rowPositions.empty() || box->columnPositions.empty())
            return Hit::Before;
        auto index = [](const std::vector<qint64> &starts, qint64 at) {
            auto it = std::lower_bound(starts.begin(), starts.end(), at);
            if (it == starts.end())
                --it;
            else if (it != starts.begin())
                --it;
            return int(it - starts.begin());
        };
        const QTextTableCell cell = table->cellAt(index(box->rowPositions, fixed(point.y())),
                                                  index(box->columnPositions, fixed(point.x())));
        if (!cell.isValid())
            return Hit::Before;
        *position = cell.firstPosition();
        const Hit h = hitFlow(cell.begin(), Hit::Inside, point - cellOrigin(box, cell), accuracy,
                              position);
        if (h == Hit::Exact)
            return h;
        if (h == Hit::After)
            *position = cell.lastPosition();
        return Hit::Inside;
    }
    QTextFrame::iterator it = frame->begin();
    *position = it.atEnd() ? frame->firstPosition()
                           : (it.currentFrame() ? it.currentFrame()->firstPosition()
                                                : it.currentBlock().position());
    return hitFlow(it, Hit::Before, point, accuracy, position);
}
