#pragma once

#include <QRectF>
#include <QTextOption>
#include <QtGlobal>

class QPaintDevice;
class QTextBlock;
class QTextBlockFormat;
class QTextDocument;
class QTextLayout;

// Lays out the lines of one paragraph the way Qt's own document layout does, so
// that a paragraph breaks into the same lines at the same heights: margins that
// collapse with the paragraph before, indents and list indents, the first-line
// indent, alignment (mirrored for right-to-left text), tab positions, and the five
// kinds of line height. Lengths are in 64ths of a pixel, as the text layout works.
namespace PadBlockLayout {

// Real pixels to 64ths (cut towards zero, as the text layout does) and back.
inline qint64 fixed(qreal pixels)
{
    return qint64(pixels * 64.0);
}
inline qreal real(qint64 fixed)
{
    return qreal(fixed) / 64.0;
}

// Where and how wide the paragraph's flow is, and what comes before it.
struct Flow
{
    qint64 left = 0;  // left edge of the flow
    qint64 right = 0; // right edge of the flow
    // No wrapping at all (the page has no width).
    bool noWrap = false;
    // Fixed width in characters, or -1.
    int fixedColumns = -1;
};

struct Result
{
    // The space taken before the first line (collapsed margins), and by the lines.
    qint64 gap = 0;
    qint64 height = 0;
    // Narrowest and widest the paragraph could be, with its margins, and the width
    // its lines take.
    qint64 minimumWidth = 0;
    qint64 maximumWidth = 0;
    qint64 contentsWidth = 0;
};

// The space before a paragraph: the larger of its top margin and the bottom margin
// of the paragraph before it in the same flow (none for the first).
qint64 gapBefore(const QTextBlockFormat &format, const QTextBlockFormat *previous,
                 const QPaintDevice *device);

// The indent of the paragraph and of its list, in 64ths.
qint64 indent(const QTextDocument *document, const QTextBlockFormat &format,
              const QPaintDevice *device);

// The text option a paragraph is laid out with.
QTextOption textOption(const QTextDocument *document, const QTextBlock &block,
                       const QTextBlockFormat &format, bool noWrap);

// Lays the paragraph's text out into `layout` (the block's own, or one holding a
// piece of a long paragraph), placing the layout at (flow.left, y + gap) relative to
// the flow's origin. `firstPiece` says whether the first-line indent applies.
Result layOut(QTextLayout *layout, const QTextDocument *document, const QTextBlock &block,
              const QTextBlockFormat &format, const QTextBlockFormat *previous, const Flow &flow,
              qint64 y, const QPaintDevice *device, bool firstPiece = true);

} // namespace PadBlockLayout
