#pragma once

#include "platform/padblocklayout.h"
#include "platform/padrows.h"

#include <QAbstractTextDocumentLayout>
#include <QHash>
#include <QTextBlock>
#include <QTextObject>

#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

class QTextFrame;
class QTextLayout;
class QTextTable;
class QTextTableCell;
struct PadFrameBox;

// The pad's document layout, made for documents of any size: it lays out only the
// paragraphs that are shown or asked about, and estimates the height of the rest
// from their length and font, correcting the estimate as paragraphs get laid out.
// An edit lays out again only the paragraph it touches; nothing after it moves but
// by arithmetic. Qt's own document layout instead positions every paragraph after
// an edit and lays out the whole document before it settles, and fails beyond
// 33 million pixels of height.
//
// A paragraph is broken into the same lines, and placed at the same height, as
// Qt's layout does (margins, indents, alignment, line heights, lists, pictures,
// super- and subscript). Tables and other frames are laid out whole when they come
// into view. A paragraph longer than kLongParagraph characters is laid out in pieces
// of about kPiece characters, each ending a line at a space: laying out such a
// paragraph in one piece takes seconds, and every key in it would too.
//
// Heights above the view change as paragraphs there are laid out; the pad keeps the
// view on its text (see PadView).
class PadLayout : public QAbstractTextDocumentLayout
{
    Q_OBJECT
    // Read and written by the text control by name, as on Qt's own layout.
    Q_PROPERTY(int cursorWidth READ cursorWidth WRITE setCursorWidth)
    Q_PROPERTY(bool contentHasAlignment READ contentHasAlignment)

public:
    static constexpr int kLongParagraph = 8192;
    static constexpr int kPiece = 2048;

    explicit PadLayout(QTextDocument *document);
    ~PadLayout() override;

    void draw(QPainter *painter, const PaintContext &context) override;
    int hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override;
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame *frame) const override;
    QRectF blockBoundingRect(const QTextBlock &block) const override;

    int cursorWidth() const { return m_cursorWidth; }
    void setCursorWidth(int width) { m_cursorWidth = width; }
    bool contentHasAlignment() const { return true; }

    // Lays out what covers [top, bottom] of the document.
    void layOutRange(qreal top, qreal bottom);
    // Lays out what lies from `above` pixels above the position's line to `below`
    // pixels below it, as laid out (not as estimated).
    void layOutAround(int position, qreal above, qreal below);
    // The top of the top-level paragraph or frame holding `position`.
    qreal topOf(int position) const;
    // The caret's rectangle at `position`: the line's height, the caret's width.
    QRectF cursorRect(int position) const;
    // A paragraph laid out in pieces: its own text layout holds no lines.
    bool isLongParagraph(const QTextBlock &block) const;
    bool hasLongParagraphs() const { return !m_long.empty(); }
    // The position on the line above (direction -1) or below (+1) the one holding
    // `position`, nearest to x; -1 when there is no such line.
    int positionOnNextLine(int position, qreal x, int direction) const;
    // Where the line holding `position` begins and ends.
    std::pair<int, int> lineBounds(int position) const;

    // Paragraphs holding laid-out lines now; paragraphs laid out since the document
    // was last set or resized.
    qsizetype blocksWithLines() const { return m_rows.withLines(); }
    qsizetype layoutsMade() const { return m_layoutsMade; }

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;
    void resizeInlineObject(QTextInlineObject item, int posInDocument,
                            const QTextFormat &format) override;

private:
    struct Kind;
    struct Piece;
    struct LongParagraph;
    struct Item;

    // Page width, root margins; true when the width changed.
    bool readRoot();
    quint16 kindOf(const QTextBlock &block) const;
    qint64 estimateLines(const PadRows::Row &row) const;
    qint64 gapOf(const PadRows::Row &row, const PadRows::Row *previous) const;
    PadRows::Row makeRow(const QTextBlock &block, bool inFrame) const;
    void reestimateAll();
    void rebuildRows();
    void findOnlyCharFormat();
    // What besides the width decides how the text is laid out.
    QString settingsKey() const;
    // Flags the rows of top-level frames; frames touching the change are laid out anew.
    void markFrames(int changedFrom, int changedTo);
    void dropLayouts();
    void sweepLayouts(qsizetype keepFrom, qsizetype keepTo) const;

    // Lays out the root row (a paragraph or a whole top-level frame) if needed and
    // returns its top.
    qint64 ensureRow(qsizetype row) const;
    void layOutBlockRow(qsizetype row, const QTextBlock &block, qint64 top) const;
    void placeTucked(qsizetype row, const QTextBlock &block, qint64 top) const;
    void layOutFrameRow(qsizetype row, QTextFrame *frame, qint64 top) const;
    QTextFrame *topLevelFrameAt(int position) const;
    qsizetype rowOf(const QTextBlock &block) const;
    qsizetype frameRow(QTextFrame *frame) const;
    qsizetype itemRowOf(qsizetype index) const;
    PadBlockLayout::Flow flowBetween(qint64 left, qint64 right) const;

    // Long paragraphs.
    LongParagraph *longOf(const PadRows::Row &row) const;
    // Cuts the row's paragraph into pieces; `text` is its text when known.
    void makeLong(qsizetype index, const QTextBlock &block, QString text) const;
    // The text of rows index and index + 1 joined into one paragraph, the first
    // `firstLength` characters long, from their copies; null when one is missing.
    QString joinedTexts(qsizetype index, const QTextBlock &joined, int firstLength) const;
    void makePieces(LongParagraph &paragraph, const QTextBlock &block) const;
    static void keepOwnText(const QTextBlock &block, LongParagraph *paragraph);
    bool editLongParagraph(qsizetype row, int from, int removed, int added);
    void layOutPiece(const QTextBlock &block, LongParagraph &paragraph, size_t index) const;
    qint64 piecesHeight(const LongParagraph &paragraph) const;
    void measureLongParagraph(qsizetype row, const QTextBlock &block, qint64 top,
                              qint64 from, qint64 to) const;
    // The piece holding `offset` (block-relative) and its top within the block.
    size_t pieceAt(const LongParagraph &paragraph, int offset, qint64 *top) const;

    // Drawing and hit testing.
    void drawBlock(QPainter *painter, const PaintContext &context, const QTextBlock &block,
                   const QPointF &offset, const QRectF &clip) const;
    void drawLongParagraph(QPainter *painter, const PaintContext &context,
                           const QTextBlock &block, const LongParagraph &paragraph,
                           qint64 top, const QRectF &clip) const;
    void drawListMarker(QPainter *painter, const PaintContext &context, const QTextBlock &block,
                        const QPointF &offset, const QTextCharFormat *selection) const;
    QList<QTextLayout::FormatRange> selectionsIn(const PaintContext &context, int from,
                                                 int length, const QTextLayout *layout) const;
    int hitBlock(const QTextBlock &block, const QPointF &point, const QPointF &offset,
                 Qt::HitTestAccuracy accuracy, bool *exact) const;

    // Frames (tables and others), laid out whole: see padframelayout.cpp.
    PadFrameBox *boxOf(QTextFrame *frame) const;
    void layOutFrame(QTextFrame *frame, qint64 width) const;
    void layOutTable(QTextTable *table, PadFrameBox *box, qint64 width) const;
    qint64 alignedLeft(QTextFrame *frame, qint64 left, qint64 right) const;
    struct FlowResult;
    // Lays out a frame's or a cell's content between left and right from y down.
    FlowResult layOutFlow(QTextFrame::iterator it, qint64 left, qint64 right, qint64 y) const;
    QPointF cellOrigin(const PadFrameBox *box, const QTextTableCell &cell) const;
    void drawFrame(QPainter *painter, const PaintContext &context, QTextFrame *frame,
                   const QPointF &origin, const QRectF &clip) const;
    void drawFlow(QPainter *painter, const PaintContext &context, QTextFrame::iterator it,
                  const QPointF &offset, const QRectF &clip) const;
    // Positions within a frame, as Qt's layout finds them: a point before or after
    // the frame gives the position before or after it.
    enum class Hit { Before, After, Inside, Exact };
    Hit hitFrame(QTextFrame *frame, const QPointF &point, Qt::HitTestAccuracy accuracy,
                 int *position) const;
    Hit hitFlow(QTextFrame::iterator it, Hit hit, const QPointF &point,
                Qt::HitTestAccuracy accuracy, int *position) const;
    Hit hitFlowBlock(const QTextBlock &block, const QPointF &point,
                     Qt::HitTestAccuracy accuracy, int *position) const;
    Hit hitLongParagraph(qsizetype row, const QTextBlock &block, qint64 top,
                         const QPointF &point, int *position) const;
    // Where a frame's content origin lies relative to the top-level frame holding it,
    // and where a cell's flow begins.
    QPointF offsetInTopFrame(QTextFrame *frame, int position) const;

    void scheduleSizeReport() const;

    mutable PadRows m_rows;
    mutable std::vector<Kind> m_kinds;
    mutable QHash<quint64, quint16> m_kindByFormats;
    mutable std::unordered_map<quint32, std::unique_ptr<LongParagraph>> m_long;
    mutable quint32 m_nextLong = 1;
    // Top-level frames with the first and last position of each, in order.
    struct TopFrame
    {
        int first;
        int last;
        QTextFrame *frame;
    };
    std::vector<TopFrame> m_topFrames;

    qint64 m_pageWidth = 0;
    bool m_noWrap = false;
    qint64 m_left = 0;
    qint64 m_right = 0;
    qint64 m_topMargin = 0;
    qint64 m_bottomMargin = 0;
    qint64 m_rightMargin = 0;
    int m_characterCount = 0;
    QString m_settings;
    // The index of the document's only character format, or -1 when it has several.
    int m_onlyCharFormat = -1;
    int m_cursorWidth = 1;
    mutable qsizetype m_layoutsMade = 0;
    mutable qint64 m_widest = 0;
    mutable bool m_sizeReportPending = false;
    mutable QSizeF m_reportedSize;
    // Rows drawn last, kept laid out when layouts are swept.
    mutable qsizetype m_shownFrom = 0;
    mutable qsizetype m_shownTo = 0;
};
