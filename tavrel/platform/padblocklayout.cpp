#include "platform/padblocklayout.h"

#include <QPaintDevice>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>

#include <cmath>

namespace PadBlockLayout {

namespace {

// The dots per inch that lengths in formats are given for.
constexpr int kDefaultDpi = 96;

qreal scaling(const QPaintDevice *device)
{
    if (device && device->logicalDpiY() != kDefaultDpi)
        return qreal(device->logicalDpiY()) / qreal(kDefaultDpi);
    return 1.0;
}

Qt::Alignment visualAlignment(Qt::LayoutDirection direction, Qt::Alignment alignment)
{
    if (!(alignment & Qt::AlignHorizontal_Mask))
        alignment |= Qt::AlignLeft;
    if (!(alignment & Qt::AlignAbsolute) && (alignment & (Qt::AlignLeft | Qt::AlignRight))) {
        if (direction == Qt::RightToLeft)
            alignment ^= (Qt::AlignLeft | Qt::AlignRight);
        alignment |= Qt::AlignAbsolute;
    }
    return alignment;
}

struct LineHeight
{
    qint64 adjustment = 0; // how far the line is raised
    qint64 height = 0;     // how far the next line goes down
    qint64 bottom = 0;     // where this line's own box ends
};

LineHeight lineHeight(const QTextBlockFormat &format, const QTextLine &line, qreal scale)
{
    LineHeight h;
    const qreal raw = std::ceil(line.ascent() + line.descent() + line.leading());
    h.height = fixed(format.lineHeight(raw, scale));
    h.bottom = fixed(format.lineHeight(line.height(), scale));
    const int type = format.lineHeightType();
    if (type == QTextBlockFormat::FixedHeight) {
        h.adjustment = fixed(line.ascent() + qMax(line.leading(), qreal(0.0))) - (h.height * 4) / 5;
    } else if (type == QTextBlockFormat::MinimumHeight) {
        h.adjustment = fixed(line.height()) - h.height;
    }
    return h;
}

} // namespace

qint64 gapBefore(const QTextBlockFormat &format, const QTextBlockFormat *previous,
                 const QPaintDevice *device)
{
    if (!previous)
        return 0;
    qreal margin = qMax(format.topMargin(), previous->bottomMargin());
    if (margin > 0 && device)
        margin *= qreal(device->logicalDpiY()) / qreal(kDefaultDpi);
    return fixed(margin);
}

qint64 indent(const QTextDocument *document, const QTextBlockFormat &format,
              const QPaintDevice *device)
{
    qreal indent = format.indent();
    if (const QTextObject *object = document->objectForFormat(format))
        indent += object->format().toListFormat().indent();
    if (qFuzzyIsNull(indent))
        return 0;
    const qreal scale = device ? qreal(device->logicalDpiY()) / qreal(kDefaultDpi) : 1.0;
    return fixed(indent * scale * document->indentWidth());
}

QTextOption textOption(const QTextDocument *document, const QTextBlock &block,
                       const QTextBlockFormat &format, bool noWrap)
{
    QTextOption option = document->defaultTextOption();
    const Qt::LayoutDirection direction = block.textDirection();
    option.setTextDirection(direction);
    option.setTabs(format.tabPositions());
    Qt::Alignment align = document->defaultTextOption().alignment();
    if (format.hasProperty(QTextFormat::BlockAlignment))
        align = format.alignment();
    option.setAlignment(visualAlignment(direction, align));
    if (format.nonBreakableLines() || noWrap)
        option.setWrapMode(QTextOption::ManualWrap);
    return option;
}

Result layOut(QTextLayout *layout, const QTextDocument *document, const QTextBlock &block,
              const QTextBlockFormat &format, const QTextBlockFormat *previous, const Flow &flow,
              qint64 y, const QPaintDevice *device, bool firstPiece)
{
    Result result;
    result.gap = gapBefore(format, previous, device);
    y += result.gap;
    const qint64 top = y;

    const Qt::LayoutDirection direction = block.textDirection();
    const qint64 blockIndent = indent(document, format, device);
    const qint64 totalLeft = fixed(format.leftMargin())
        + (direction == Qt::RightToLeft ? 0 : blockIndent);
    const qint64 totalRight = fixed(format.rightMargin())
        + (direction == Qt::RightToLeft ? blockIndent : 0);

    layout->setPosition(QPointF(real(flow.left), real(y)));
    QTextOption option = textOption(document, block, format, flow.noWrap);
    layout->setTextOption(option);
    const bool wordOrAnywhere = option.wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere;
    const qreal scale = scaling(device);

    const qint64 l = flow.left + totalLeft;
    const qint64 r = flow.right - totalRight;
    qint64 bottom = y;
    bool firstLine = firstPiece;
    layout->beginLayout();
    for (;;) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        line.setLeadingIncluded(true);
        qint64 left = l;
        qint64 right = r;
        if (firstLine) {
            const qint64 textIndent = fixed(format.textIndent());
            if (direction == Qt::LeftToRight)
                left += textIndent;
            else
                right -= textIndent;
            firstLine = false;
        }
        if (flow.fixedColumns != -1)
            line.setNumColumns(flow.fixedColumns, real(right - left));
        else
            line.setLineWidth(real(right - left));
        if (flow.fixedColumns == -1 && fixed(line.naturalTextWidth()) > right - left) {
            // A word wider than the line: break it anywhere when the wrap mode allows.
            line.setLineWidth(real(right - left));
            if (fixed(line.naturalTextWidth()) > right - left) {
                if (wordOrAnywhere) {
                    option.setWrapMode(QTextOption::WrapAnywhere);
                    layout->setTextOption(option);
                }
                line.setLineWidth(qMax<qreal>(line.naturalTextWidth(), real(right - left)));
                if (wordOrAnywhere) {
                    option.setWrapMode(QTextOption::WordWrap);
                    layout->setTextOption(option);
                }
            }
        }
        const LineHeight h = lineHeight(format, line, scale);
        line.setPosition(QPointF(real(left - flow.left), real(y - top - h.adjustment)));
        bottom = y + h.bottom;
        y += h.height;
        result.contentsWidth = qMax(result.contentsWidth,
                                    fixed(line.x() + line.naturalTextWidth()) + totalRight);
    }
    y = qMax(y, bottom);
    layout->endLayout();

    const qint64 margins = totalLeft + totalRight;
    result.minimumWidth = fixed(layout->minimumWidth()) + margins;
    result.maximumWidth = fixed(layout->maximumWidth()) + margins;
    result.height = y - top;
    return result;
}

} // namespace PadBlockLayout
