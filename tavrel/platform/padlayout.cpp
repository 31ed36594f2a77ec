#include "platform/padlayout.h"

#include "platform/padblocklayout.h"
#include "platform/padframebox.h"
#include "platform/padimagehandler.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPaintDevice>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>
#include <QTextTable>
#include <QTimer>
#include <QtGui/private/qtextdocument_p.h>
#include <QtGui/private/qtextengine_p.h>

#include <algorithm>
#include <cmath>

using PadBlockLayout::fixed;
using PadBlockLayout::real;

namespace {

// Blocks holding laid-out lines beyond this many are emptied, but for those near
// what was drawn last: a block keeps its measured height without its lines.
constexpr qsizetype kKeepLaidOut = 3000;
constexpr qsizetype kKeepAroundShown = 400;
// Pieces of one long paragraph kept laid out.
constexpr size_t kKeepPieces = 48;
constexpr int kDefaultDpi = 96;
// Room left in a long paragraph's copy of its text for typing: the copy then grows in
// place, where a full one would be copied whole (tens of milliseconds) at the next key.
constexpr qsizetype kTypingRoom = 65536;

// The text of `length` characters of the document from `position`, within one
// paragraph, with room for typing after it.
QString textWithRoom(const QTextDocument *document, int position, int length)
{
    QString text;
    text.reserve(length + kTypingRoom);
    const QTextDocumentPrivate *p = QTextDocumentPrivate::get(document);
    const QStringView buffer(p->buffer());
    int at = position;
    for (auto it = p->find(position); at < position + length && !it.atEnd(); ++it) {
        const QTextFragmentData *fragment = it.value();
        const int offset = at - it.position();
        const int take = qMin(int(fragment->size_array[0]) - offset, position + length - at);
        text += buffer.mid(fragment->stringPosition + offset, take);
        at += take;
    }
    return text;
}

} // namespace

struct PadLayout::Kind
{
    qint64 lineHeight = 0;
    qreal charWidth = 0;
    qint64 sideMargins = 0;
    qreal topMargin = 0;
    qreal bottomMargin = 0;
};

struct PadLayout::Piece
{
    int start = 0; // within the block
    int length = 0;
    qint64 height = 0;
    bool measured = false;
    std::unique_ptr<QTextLayout> layout;
};

struct PadLayout::LongParagraph
{
    std::vector<Piece> pieces;
    qint64 gap = 0;
    size_t laidOut = 0;
    // The paragraph's text, kept in step with its edits and shared with its own text
    // layout (see keepOwnText); null until first asked for.
    QString text;
};

PadLayout::PadLayout(QTextDocument *document)
    : QAbstractTextDocumentLayout(document)
{
    registerHandler(QTextFormat::ImageObject, new PadImageHandler(this));
    readRoot();
}

PadLayout::~PadLayout() = default;

bool PadLayout::readRoot()
{
    const QTextDocument *doc = document();
    const QTextFrameFormat root = doc->rootFrame()->frameFormat();
    const qreal page = doc->pageSize().width();
    // Whole pixels, as in Qt's layout.
    auto pixels = [](qreal v) { return (fixed(v) + 32) & ~qint64(63); };
    const qint64 left = pixels(root.leftMargin());
    const qint64 right = pixels(root.rightMargin());
    const qint64 border = pixels(root.border());
    const qint64 padding = pixels(root.padding());
    const qint64 width = fixed(root.width().value(qMax<qreal>(0, page)));
    const qint64 contents = width - 2 * (border + padding) - left - right;
    const qint64 oldWidth = m_right - m_left;
    const bool oldNoWrap = m_noWrap;
    m_noWrap = page < 0;
    m_pageWidth = fixed(page);
    m_left = left + border + padding;
    m_right = m_left + contents;
    m_rightMargin = right + border + padding;
    m_topMargin = pixels(root.topMargin()) + border + padding;
    m_bottomMargin = pixels(root.bottomMargin()) + border + padding;
    return contents != oldWidth || oldNoWrap != m_noWrap;
}

quint16 PadLayout::kindOf(const QTextBlock &block) const
{
    // Finding a block's character format walks the document; a document with one
    // character format (plain text) needs no walk.
    const int charFormat = m_onlyCharFormat >= 0 ? m_onlyCharFormat : block.charFormatIndex();
    const quint64 key = quint64(quint32(block.blockFormatIndex())) << 32 | quint32(charFormat);
    const auto found = m_kindByFormats.constFind(key);
    if (found != m_kindByFormats.constEnd())
        return *found;
    const QTextBlockFormat format = block.blockFormat();
    const QPaintDevice *device = paintDevice();
    const QFont font = device ? QFont(block.charFormat().font(), device)
                              : block.charFormat().font();
    const QFontMetricsF metrics(font);
    Kind kind;
    const qreal scale = device && device->logicalDpiY() != kDefaultDpi
        ? qreal(device->logicalDpiY()) / kDefaultDpi : 1.0;
    const qreal raw = std::ceil(metrics.ascent() + metrics.descent()
                                + qMax<qreal>(0, metrics.leading()));
    kind.lineHeight = fixed(format.lineHeight(raw, scale));
    kind.charWidth = metrics.averageCharWidth();
    kind.sideMargins = fixed(format.leftMargin() + format.rightMargin())
        + PadBlockLayout::indent(document(), format, device);
    kind.topMargin = format.topMargin();
    kind.bottomMargin = format.bottomMargin();
    m_kinds.push_back(kind);
    const auto index = quint16(qMin<size_t>(m_kinds.size() - 1, 0xFFFF));
    m_kindByFormats.insert(key, index);
    return index;
}

qint64 PadLayout::estimateLines(const PadRows::Row &row) const
{
    if (row.has(PadRows::InFrame) && !row.has(PadRows::FrameStart))
        return 0;
    const Kind &kind = m_kinds[row.kind];
    if (m_noWrap || row.length <= 1)
        return kind.lineHeight;
    const qint64 available = qMax<qint64>(64, (m_right - m_left) - kind.sideMargins);
    const qreal chars = qreal(row.length - 1);
    const qint64 lines = qMax<qint64>(1, qint64(std::ceil(chars * kind.charWidth * 64.0
                                                            / qreal(available))));
    return lines * kind.lineHeight;
}

qint64 PadLayout::gapOf(const PadRows::Row &row, const PadRows::Row *previous) const
{
    // Inside a frame, or after one, nothing collapses into the gap.
    if (!previous || row.has(PadRows::InFrame) || previous->has(PadRows::InFrame))
        return 0;
    qreal margin = qMax(m_kinds[row.kind].topMargin, m_kinds[previous->kind].bottomMargin);
    if (margin > 0 && paintDevice())
        margin *= qreal(paintDevice()->logicalDpiY()) / qreal(kDefaultDpi);
    return fixed(margin);
}

PadRows::Row PadLayout::makeRow(const QTextBlock &block, bool inFrame) const
{
    PadRows::Row row;
    row.length = block.length();
    row.kind = kindOf(block);
    if (inFrame) {
        row.flags |= PadRows::InFrame;
    } else if (row.length > kLongParagraph) {
        row.flags |= PadRows::Segmented;
        // Lines left from when the paragraph was short would make the text control
        // measure the whole paragraph for each caret position it asks about.
        const_cast<QTextBlock &>(block).clearLayout();
    }
    row.lines = estimateLines(row);
    return row;
}

QString PadLayout::settingsKey() const
{
    const QTextDocument *doc = document();
    const QTextOption option = doc->defaultTextOption();
    const QPaintDevice *device = paintDevice();
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
        .arg(doc->defaultFont().key())
        .arg(int(option.alignment()))
        .arg(int(option.wrapMode()))
        .arg(int(option.flags()))
        .arg(option.tabStopDistance())
        .arg(doc->indentWidth())
        .arg(device ? device->logicalDpiY() : 0);
}

void PadLayout::findOnlyCharFormat()
{
    m_onlyCharFormat = -1;
    const QList<QTextFormat> formats = document()->allFormats();
    for (qsizetype i = 0; i < formats.size(); ++i) {
        if (!formats.at(i).isCharFormat())
            continue;
        if (m_onlyCharFormat >= 0) {
            m_onlyCharFormat = -1;
            return;
        }
        m_onlyCharFormat = int(i);
    }
}

void PadLayout::rebuildRows()
{
    const QTextDocument *doc = document();
    std::vector<PadRows::Row> rows;
    rows.reserve(size_t(doc->blockCount()));
    PadRows::Row previous;
    bool first = true;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        PadRows::Row row = makeRow(b, !m_topFrames.empty()
                                       && topLevelFrameAt(b.position()) != nullptr);
        row.gap = qint32(gapOf(row, first ? nullptr : &previous));
        rows.push_back(row);
        previous = row;
        first = false;
    }
    m_rows.replace(0, m_rows.count(), rows);
}

void PadLayout::reestimateAll()
{
    // Rows keep their blocks' lengths and kinds, so a new width needs no pass over
    // the document.
    m_rows.transform([this](PadRows::Row &row) {
        row.flags &= ~(PadRows::Measured | PadRows::HasLines);
        row.lines = estimateLines(row);
    });
}

QTextFrame *PadLayout::topLevelFrameAt(int position) const
{
    const auto it = std::upper_bound(m_topFrames.begin(), m_topFrames.end(), position,
                                     [](int p, const TopFrame &f) { return p < f.first; });
    if (it == m_topFrames.begin())
        return nullptr;
    const TopFrame &f = *(it - 1);
    return position <= f.last ? f.frame : nullptr;
}

qsizetype PadLayout::rowOf(const QTextBlock &block) const
{
    return block.blockNumber();
}

PadBlockLayout::Flow PadLayout::flowBetween(qint64 left, qint64 right) const
{
    PadBlockLayout::Flow flow;
    flow.left = left;
    flow.right = right;
    flow.noWrap = m_noWrap;
    return flow;
}

qsizetype PadLayout::itemRowOf(qsizetype index) const
{
    // A row inside a top-level frame stands for the frame's first row.
    const PadRows::Row &row = m_rows.at(index);
    if (row.has(PadRows::InFrame) && !row.has(PadRows::FrameStart)) {
        const QTextBlock inside = document()->findBlockByNumber(int(index));
        if (QTextFrame *frame = topLevelFrameAt(inside.position()))
            return frameRow(frame);
    }
    return index;
}

qsizetype PadLayout::frameRow(QTextFrame *frame) const
{
    return document()->findBlock(frame->firstPosition()).blockNumber();
}

void PadLayout::markFrames(int changedFrom, int changedTo)
{
    // Rows of blocks in frames below the top level hold no height of their own; the
    // first row of each top-level frame holds the frame's.
    for (const TopFrame &f : m_topFrames) {
        const QTextBlock first = document()->findBlock(f.first);
        const QTextBlock last = document()->findBlock(f.last);
        if (!first.isValid() || !last.isValid())
            continue;
        const qsizetype from = first.blockNumber();
        const qsizetype to = last.blockNumber();
        for (qsizetype r = from; r <= to && r < m_rows.count(); ++r) {
            PadRows::Row row = m_rows.at(r);
            const bool start = r == from;
            if (row.has(PadRows::InFrame) && row.has(PadRows::FrameStart) == start)
                continue;
            row.flags = quint8((row.flags & ~(PadRows::Segmented | PadRows::FrameStart
                                              | PadRows::Measured))
                               | PadRows::InFrame | (start ? PadRows::FrameStart : 0));
            row.gap = 0;
            row.lines = start ? qint64(to - from + 1) * m_kinds[row.kind].lineHeight : 0;
            m_rows.set(r, row);
        }
        if (f.last >= changedFrom && f.first <= changedTo) {
            if (PadFrameBox *box = boxOf(f.frame))
                box->valid = false;
        }
    }
}

void PadLayout::dropLayouts()
{
    std::vector<qsizetype> laidOut;
    m_rows.forEachWithLines([&laidOut](qsizetype index, const PadRows::Row &) {
        laidOut.push_back(index);
    });
    for (const qsizetype index : laidOut)
        document()->findBlockByNumber(int(index)).clearLayout();
    for (auto &entry : m_long) {
        entry.second->pieces.clear();
        entry.second->laidOut = 0;
    }
    for (const TopFrame &f : m_topFrames) {
        if (PadFrameBox *box = boxOf(f.frame))
            box->valid = false;
    }
}

void PadLayout::sweepLayouts(qsizetype keepFrom, qsizetype keepTo) const
{
    if (m_rows.withLines() <= kKeepLaidOut)
        return;
    std::vector<qsizetype> far;
    m_rows.forEachWithLines([&](qsizetype index, const PadRows::Row &row) {
        if (!row.has(PadRows::InFrame) && (index < keepFrom - kKeepAroundShown
                                           || index > keepTo + kKeepAroundShown))
            far.push_back(index);
    });
    for (const qsizetype index : far) {
        document()->findBlockByNumber(int(index)).clearLayout();
        PadRows::Row row = m_rows.at(index);
        row.flags &= ~PadRows::HasLines;
        m_rows.set(index, row);
    }
}

void PadLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    QTextDocument *doc = document();
    readRoot();
    const qsizetype oldCount = m_rows.count();
    const int newCount = doc->blockCount();
    const int characters = doc->characterCount();

    m_topFrames.clear();
    for (QTextFrame *frame : doc->rootFrame()->childFrames())
        m_topFrames.push_back({frame->firstPosition(), frame->lastPosition(), frame});
    findOnlyCharFormat();

    qsizetype firstRow = 0;
    const bool sameText = from == 0 && charsRemoved == 0 && charsAdded == characters
        && newCount == oldCount && characters == m_characterCount && oldCount > 0;
    if (sameText) {
        // The same text laid out anew: a new width, a new default font or option, or
        // the same document handed over again. Rows keep their blocks' lengths and
        // kinds, so a new width alone needs no pass over the document.
        dropLayouts();
        const QString state = settingsKey();
        if (state == m_settings) {
            reestimateAll();
        } else {
            m_kinds.clear();
            m_kindByFormats.clear();
            rebuildRows();
        }
        m_settings = state;
    } else {
        QTextBlock first = doc->findBlock(from);
        if (!first.isValid())
            first = doc->lastBlock();
        QTextBlock last = charsAdded > 0 ? doc->findBlock(from + charsAdded - 1) : first;
        if (!last.isValid() || last.blockNumber() < first.blockNumber())
            last = first;
        firstRow = first.blockNumber();
        const qsizetype delta = newCount - oldCount;
        qsizetype newRows = last.blockNumber() - firstRow + 1;
        while (newRows - delta < 1 && last.next().isValid()) {
            last = last.next();
            ++newRows;
        }
        qsizetype oldRows = newRows - delta;
        const bool whole = oldCount == 0 || oldRows < 1 || firstRow + oldRows > oldCount;
        if (whole) {
            firstRow = 0;
            first = doc->begin();
            last = doc->lastBlock();
            oldRows = oldCount;
        }
        bool wasMeasured = false;
        bool edited = false;
        if (!whole) {
            const PadRows::Row old = m_rows.at(firstRow);
            wasMeasured = old.has(PadRows::Measured) && newRows <= 16;
            if (oldRows == 1 && newRows == 1 && old.has(PadRows::Segmented)
                && first.length() > kLongParagraph / 2) {
                edited = editLongParagraph(firstRow, from - first.position(), charsRemoved,
                                           charsAdded);
            }
        }
        if (whole) {
            m_settings = settingsKey();
            m_long.clear();
            rebuildRows();
        } else if (!edited) {
            // A long paragraph split in two (Enter), or two joined (Backspace or Delete
            // at their edge), hands its text on: reading it from the document again
            // costs a key tens of milliseconds.
            QString splitText;
            QString joinedText;
            if (oldRows == 1 && newRows == 2 && charsRemoved == 0 && charsAdded == 1) {
                LongParagraph *paragraph = longOf(m_rows.at(firstRow));
                if (paragraph && paragraph->text.size() == first.length() + last.length() - 2)
                    splitText = std::move(paragraph->text);
            } else if (oldRows == 2 && newRows == 1 && charsRemoved == 1 && charsAdded == 0) {
                joinedText = joinedTexts(firstRow, first, from - first.position());
            }
            if (!m_long.empty()) {
                for (qsizetype r = firstRow; r < firstRow + oldRows; ++r) {
                    const PadRows::Row &old = m_rows.at(r);
                    if (old.pieces)
                        m_long.erase(old.pieces);
                }
            }
            std::vector<PadRows::Row> rows;
            rows.reserve(size_t(newRows));
            PadRows::Row previousRow = firstRow > 0 ? m_rows.at(firstRow - 1) : PadRows::Row();
            const PadRows::Row *previous = firstRow > 0 ? &previousRow : nullptr;
            for (QTextBlock b = first;; b = b.next()) {
                PadRows::Row row = makeRow(b, !m_topFrames.empty()
                                               && topLevelFrameAt(b.position()) != nullptr);
                row.gap = qint32(gapOf(row, previous));
                rows.push_back(row);
                previousRow = row;
                previous = &previousRow;
                if (b == last || !b.next().isValid())
                    break;
            }
            m_rows.replace(firstRow, oldRows, rows);
            if (!joinedText.isNull() && rows.front().has(PadRows::Segmented))
                makeLong(firstRow, first, std::move(joinedText));
            if (!splitText.isNull()) {
                const int at = first.length() - 1;
                if (rows.back().has(PadRows::Segmented)) {
                    QString second;
                    second.reserve(splitText.size() - at + kTypingRoom);
                    second += QStringView(splitText).mid(at);
                    makeLong(firstRow + 1, last, std::move(second));
                }
                if (rows.front().has(PadRows::Segmented)) {
                    splitText.truncate(at);
                    makeLong(firstRow, first, std::move(splitText));
                }
            }
            const qsizetype next = firstRow + qsizetype(rows.size());
            if (next < m_rows.count()) {
                PadRows::Row row = m_rows.at(next);
                row.gap = qint32(gapOf(row, &rows.back()));
                m_rows.set(next, row);
            }
        }
        if (!m_topFrames.empty())
            markFrames(from, from + qMax(charsAdded, charsRemoved));
        // Paragraphs that were on view stay exact: they are laid out again at once, as
        // the caret's paragraph is asked for straight after an edit anyway.
        if (wasMeasured && !edited) {
            for (qsizetype r = firstRow; r < firstRow + newRows && r < m_rows.count(); ++r) {
                if (!m_rows.at(r).has(PadRows::InFrame))
                    ensureRow(r);
            }
        }
    }
    if (sameText && !m_topFrames.empty())
        markFrames(0, INT_MAX);
    m_characterCount = characters;

    const QSizeF size = documentSize();
    if (size != m_reportedSize) {
        m_reportedSize = size;
        emit documentSizeChanged(size);
    }
    const qreal top = real(m_topMargin + m_rows.top(firstRow));
    emit update(QRectF(0, top, qreal(INT_MAX), qreal(INT_MAX)));
}

qint64 PadLayout::ensureRow(qsizetype index) const
{
    PadRows::Row row = m_rows.at(index);
    if (row.has(PadRows::InFrame) && !row.has(PadRows::FrameStart)) {
        const QTextBlock block = document()->findBlockByNumber(int(index));
        if (QTextFrame *frame = topLevelFrameAt(block.position()))
            return ensureRow(frameRow(frame));
        return m_rows.top(index);
    }
    const qint64 top = m_rows.top(index);
    const QTextBlock block = document()->findBlockByNumber(int(index));
    if (row.has(PadRows::FrameStart)) {
        QTextFrame *frame = topLevelFrameAt(block.position());
        PadFrameBox *box = frame ? boxOf(frame) : nullptr;
        if (frame && (!box || !box->valid || !row.has(PadRows::Measured)))
            layOutFrameRow(index, frame, top);
        return top;
    }
    if (row.has(PadRows::Segmented)) {
        if (!longOf(row))
            makeLong(index, block, QString());
        return top;
    }
    if (!row.has(PadRows::Measured) || !row.has(PadRows::HasLines)
        || block.layout()->lineCount() == 0) {
        layOutBlockRow(index, block, top);
    } else {
        QTextLayout *layout = block.layout();
        const QPointF position(real(m_left), real(m_topMargin + top + row.gap));
        if (row.has(PadRows::Tucked))
            placeTucked(index, block, top);
        else if (layout->position() != position)
            layout->setPosition(position);
    }
    return top;
}

void PadLayout::layOutBlockRow(qsizetype index, const QTextBlock &block, qint64 top) const
{
    PadRows::Row row = m_rows.at(index);
    QTextBlockFormat previousFormat;
    const QTextBlockFormat *previous = nullptr;
    if (index > 0 && !m_rows.at(index - 1).has(PadRows::InFrame)) {
        previousFormat = block.previous().blockFormat();
        previous = &previousFormat;
    }
    QTextLayout *layout = block.layout();
    const PadBlockLayout::Result result = PadBlockLayout::layOut(
        layout, document(), block, block.blockFormat(), previous, flowBetween(m_left, m_right),
        m_topMargin + top, paintDevice());
    ++m_layoutsMade;
    row.gap = qint32(result.gap);
    row.lines = result.height;
    row.flags &= ~PadRows::Tucked;
    // The empty paragraph Qt keeps before a table takes no room: the table covers it.
    const QTextBlock next = block.next();
    if (block.length() == 1 && next.isValid() && m_rows.at(index + 1).has(PadRows::FrameStart)
        && !block.blockFormat().hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth)
        && !block.blockFormat().hasProperty(QTextFormat::BackgroundBrush)) {
        QTextFrame *frame = topLevelFrameAt(next.position());
        if (frame && frame->firstPosition() == block.position() + 1)
            row.lines = 0;
    }
    // The empty paragraph after a table sits beside the table's end, as in Qt's
    // layout, and takes no room.
    if (block.length() == 1 && index > 0 && m_rows.at(index - 1).has(PadRows::InFrame)) {
        QTextFrame *frame = topLevelFrameAt(block.position() - 1);
        if (qobject_cast<QTextTable *>(frame) && frame->lastPosition() == block.position() - 1) {
            row.gap = 0;
            row.lines = 0;
            row.flags |= PadRows::Tucked;
        }
    }
    row.flags |= PadRows::Measured | PadRows::HasLines;
    m_widest = qMax(m_widest, result.contentsWidth);
    m_rows.set(index, row);
    if (row.has(PadRows::Tucked))
        placeTucked(index, block, top);
}

void PadLayout::placeTucked(qsizetype index, const QTextBlock &block, qint64 top) const
{
    Q_UNUSED(index);
    QTextFrame *frame = topLevelFrameAt(block.position() - 1);
    const PadFrameBox *box = frame ? boxOf(frame) : nullptr;
    if (!box)
        return;
    QTextLayout *layout = block.layout();
    layout->setPosition(QPointF(box->position.x() + real(box->width),
                                real(m_topMargin + top) - layout->boundingRect().height()));
}

QRectF PadLayout::blockBoundingRect(const QTextBlock &block) const
{
    if (!block.isValid() || document()->pageSize().isNull() || m_rows.count() == 0)
        return QRectF();
    const qsizetype index = rowOf(block);
    if (index >= m_rows.count())
        return QRectF();
    const PadRows::Row &row = m_rows.at(index);
    if (row.has(PadRows::InFrame)) {
        QTextFrame *top = topLevelFrameAt(block.position());
        if (!top)
            return QRectF();
        const qint64 y = ensureRow(frameRow(top));
        const PadFrameBox *box = boxOf(top);
        const QPointF origin(box->position.x(), real(m_topMargin + y));
        QTextFrame *inner = document()->frameAt(block.position());
        const QTextLayout *layout = block.layout();
        QRectF rect = layout->boundingRect();
        rect.moveTopLeft(layout->position() + origin + offsetInTopFrame(inner, block.position()));
        return rect;
    }
    const qint64 top = ensureRow(index);
    const PadRows::Row &now = m_rows.at(index);
    if (now.has(PadRows::Segmented)) {
        // Asked for first by whoever then asks the paragraph's own layout about a line.
        keepOwnText(block, longOf(now));
        return QRectF(real(m_left), real(m_topMargin + top + now.gap), real(m_right - m_left),
                      real(now.lines));
    }
    const QTextLayout *layout = block.layout();
    QRectF rect = layout->boundingRect();
    rect.moveTopLeft(layout->position());
    return rect;
}

QSizeF PadLayout::documentSize() const
{
    const qint64 contents = qMax(m_right - m_left, m_widest);
    return QSizeF(real(m_left + contents + m_rightMargin),
                  real(m_topMargin + m_rows.total() + m_bottomMargin));
}

int PadLayout::pageCount() const
{
    return 1;
}

QRectF PadLayout::frameBoundingRect(QTextFrame *frame) const
{
    if (!frame)
        return QRectF();
    if (frame == document()->rootFrame())
        return QRectF(QPointF(0, 0), documentSize());
    QTextFrame *top = frame;
    while (top->parentFrame() && top->parentFrame() != document()->rootFrame())
        top = top->parentFrame();
    const qint64 y = ensureRow(frameRow(top));
    const PadFrameBox *topBox = boxOf(top);
    QPointF origin(topBox->position.x(), real(m_topMargin + y));
    if (frame != top)
        origin += offsetInTopFrame(frame->parentFrame(), frame->firstPosition())
            + boxOf(frame)->position;
    const PadFrameBox *box = boxOf(frame);
    return QRectF(origin, QSizeF(real(box->width), real(box->height)));
}

qreal PadLayout::topOf(int position) const
{
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid())
        return 0;
    qsizetype index = rowOf(block);
    if (m_rows.at(index).has(PadRows::InFrame)) {
        if (QTextFrame *frame = topLevelFrameAt(block.position()))
            index = frameRow(frame);
    }
    return real(m_topMargin + m_rows.top(index));
}

void PadLayout::layOutRange(qreal top, qreal bottom)
{
    if (m_rows.count() == 0)
        return;
    qint64 y = 0;
    qsizetype index = m_rows.rowAt(fixed(top) - m_topMargin, &y);
    const qint64 end = fixed(bottom) - m_topMargin;
    while (index < m_rows.count() && y <= end) {
        const PadRows::Row row = m_rows.at(index);
        if (row.has(PadRows::InFrame) && !row.has(PadRows::FrameStart)) {
            ++index;
            continue;
        }
        ensureRow(index);
        if (m_rows.at(index).has(PadRows::Segmented)) {
            measureLongParagraph(index, document()->findBlockByNumber(int(index)), y,
                                 fixed(top) - m_topMargin - y, end - y);
        }
        y += m_rows.at(index).height();
        ++index;
    }
    scheduleSizeReport();
}

void PadLayout::layOutAround(int position, qreal above, qreal below)
{
    // Walks out from the position's paragraph, laying out as it goes, until the
    // laid-out heights cover the distances asked for: estimates above would
    // otherwise leave part of the view unlaid when they were too large.
    if (m_rows.count() == 0)
        return;
    auto measure = [this](qsizetype index, qint64 from, qint64 to) {
        const qint64 top = ensureRow(index);
        if (m_rows.at(index).has(PadRows::Segmented)) {
            measureLongParagraph(index, document()->findBlockByNumber(int(index)), top, from,
                                 to);
        }
        return m_rows.at(index).height();
    };
    const QTextBlock block = document()->findBlock(position);
    const qsizetype start = itemRowOf(block.isValid() ? block.blockNumber() : 0);
    const qint64 up = fixed(above);
    const qint64 down = fixed(below);
    // The position's own paragraph: where in it the position lies.
    ensureRow(start);
    const qint64 within = fixed(cursorRect(position).top()) - m_topMargin - m_rows.top(start);
    measure(start, within - up, within + down);
    qint64 covered = within;
    for (qsizetype i = start; covered < up && i > 0;) {
        i = itemRowOf(i - 1);
        covered += measure(i, m_rows.at(i).height() - (up - covered), m_rows.at(i).height());
    }
    covered = m_rows.at(start).height() - within;
    for (qsizetype i = start + 1; covered < down && i < m_rows.count(); ++i) {
        const PadRows::Row &row = m_rows.at(i);
        if (row.has(PadRows::InFrame) && !row.has(PadRows::FrameStart))
            continue;
        covered += measure(i, 0, down - covered);
    }
    scheduleSizeReport();
}

void PadLayout::scheduleSizeReport() const
{
    if (m_sizeReportPending || documentSize() == m_reportedSize)
        return;
    // Reported from the event loop: the view must not change its scroll bars while
    // it paints.
    m_sizeReportPending = true;
    auto *self = const_cast<PadLayout *>(this);
    QTimer::singleShot(0, self, [self] {
        self->m_sizeReportPending = false;
        const QSizeF size = self->documentSize();
        if (size != self->m_reportedSize) {
            self->m_reportedSize = size;
            emit self->documentSizeChanged(size);
        }
    });
}

void PadLayout::resizeInlineObject(QTextInlineObject item, int posInDocument,
                                   const QTextFormat &format)
{
    const QTextCharFormat f = format.toCharFormat();
    QTextObjectInterface *handler = handlerForObject(f.objectType());
    if (!handler)
        return;
    const QSizeF size = handler->intrinsicSize(document(), posInDocument, format);
    item.setWidth(size.width());
    if (f.verticalAlignment() == QTextCharFormat::AlignMiddle) {
        const QFontMetrics metrics(f.font());
        const qreal halfX = metrics.xHeight() / 2.0;
        item.setAscent((size.height() + halfX) / 2.0);
        item.setDescent((size.height() - halfX) / 2.0);
    } else {
        item.setDescent(0);
        item.setAscent(size.height());
    }
}

// Long paragraphs --------------------------------------------------------------

PadLayout::LongParagraph *PadLayout::longOf(const PadRows::Row &row) const
{
    if (!row.pieces)
        return nullptr;
    const auto found = m_long.find(row.pieces);
    return found == m_long.end() ? nullptr : found->second.get();
}

qint64 PadLayout::piecesHeight(const LongParagraph &paragraph) const
{
    qint64 height = 0;
    for (const Piece &piece : paragraph.pieces)
        height += piece.height;
    return height;
}

void PadLayout::makePieces(LongParagraph &paragraph, const QTextBlock &block) const
{
    // Cut after a space near every kPiece characters; the document is read only
    // there, not as a whole.
    const QTextDocument *doc = document();
    const int base = block.position();
    const int length = block.length() - 1;
    PadRows::Row estimate;
    estimate.kind = kindOf(block);
    paragraph.pieces.clear();
    paragraph.laidOut = 0;
    int start = 0;
    do {
        int end = qMin(length, start + kPiece);
        if (end < length) {
            const int limit = qMin(length, end + kPiece / 4);
            int at = end;
            while (at < limit && !doc->characterAt(base + at).isSpace())
                ++at;
            if (at < limit)
                end = at + 1;
            if (length - end < kPiece / 4)
                end = length;
        }
        Piece piece;
        piece.start = start;
        piece.length = end - start;
        estimate.length = piece.length + 1;
        piece.height = estimateLines(estimate);
        paragraph.pieces.push_back(std::move(piece));
        start = end;
    } while (start < length);
}

size_t PadLayout::pieceAt(const LongParagraph &paragraph, int offset, qint64 *top) const
{
    qint64 y = 0;
    size_t i = 0;
    while (i + 1 < paragraph.pieces.size()
           && offset >= paragraph.pieces[i].start + paragraph.pieces[i].length) {
        y += paragraph.pieces[i].height;
        ++i;
    }
    if (top)
        *top = y;
    return i;
}

void PadLayout::keepOwnText(const QTextBlock &block, LongParagraph *paragraph)
{
    // The text control and QTextCursor ask a paragraph's own text layout for the
    // caret's line after every edit and caret move, each time right after they asked
    // for the paragraph's rectangle. A layout without its text first analyses the
    // scripts of the whole paragraph for that, a second for a few megabytes; given
    // its text (and no lines), it answers at once that it has no line.
    // The text is shared with the paragraph's copy, which an edit changes in place.
    QTextEngine *engine = block.layout()->engine();
    if (engine->layoutData)
        return;
    constexpr auto kMarks = QTextOption::ShowDocumentTerminator
        | QTextOption::ShowLineAndParagraphSeparators;
    const bool plain = !(engine->option.flags() & kMarks)
        && engine->preeditAreaPosition() == -1;
    if (paragraph && plain) {
        if (paragraph->text.size() != block.length() - 1)
            paragraph->text = textWithRoom(block.document(), block.position(), block.length() - 1);
        engine->layoutData = new QTextEngine::LayoutData();
        engine->layoutData->string = paragraph->text;
        return;
    }
    engine->validate();
}

void PadLayout::makeLong(qsizetype index, const QTextBlock &block, QString text) const
{
    PadRows::Row row = m_rows.at(index);
    auto paragraph = std::make_unique<LongParagraph>();
    makePieces(*paragraph, block);
    if (text.size() == block.length() - 1)
        paragraph->text = std::move(text);
    row.pieces = m_nextLong++;
    row.lines = piecesHeight(*paragraph);
    m_long[row.pieces] = std::move(paragraph);
    m_rows.set(index, row);
}

QString PadLayout::joinedTexts(qsizetype index, const QTextBlock &joined, int firstLength) const
{
    // The longer part's copy takes in the other part; a short part is read from the
    // document, a long one without a copy of its own leaves the text to be read whole.
    LongParagraph *a = longOf(m_rows.at(index));
    LongParagraph *b = longOf(m_rows.at(index + 1));
    const int secondLength = joined.length() - 1 - firstLength;
    const bool haveA = a && a->text.size() == firstLength;
    const bool haveB = b && b->text.size() == secondLength;
    const QTextDocument *doc = document();
    if (haveA && (haveB || secondLength <= kLongParagraph)) {
        QString text = std::move(a->text);
        text += haveB ? QStringView(b->text)
                      : QStringView(textWithRoom(doc, joined.position() + firstLength,
                                                 secondLength));
        return text;
    }
    if (haveB && firstLength <= kLongParagraph) {
        QString text = std::move(b->text);
        text.prepend(textWithRoom(doc, joined.position(), firstLength));
        return text;
    }
    return QString();
}

bool PadLayout::editLongParagraph(qsizetype index, int from, int removed, int added)
{
    // Only the piece holding the change is laid out again; the pieces after it move
    // by the change in length.
    PadRows::Row row = m_rows.at(index);
    LongParagraph *paragraph = longOf(row);
    if (!paragraph || paragraph->pieces.empty() || from < 0)
        return false;
    auto &pieces = paragraph->pieces;
    const size_t first = pieceAt(*paragraph, from, nullptr);
    size_t last = first;
    while (last + 1 < pieces.size() && pieces[last].start + pieces[last].length < from + removed)
        ++last;
    Piece &piece = pieces[first];
    const int end = pieces[last].start + pieces[last].length;
    piece.length = end - piece.start + added - removed;
    if (piece.length < 0)
        return false;
    pieces.erase(pieces.begin() + qsizetype(first) + 1, pieces.begin() + qsizetype(last) + 1);
    for (size_t i = first + 1; i < pieces.size(); ++i)
        pieces[i].start += added - removed;
    const bool wasMeasured = piece.measured;
    piece.layout.reset();
    piece.measured = false;
    const QTextBlock block = document()->findBlockByNumber(int(index));
    if (added > kPiece) {
        // Read afresh when next asked for.
        paragraph->text = QString();
    } else if (!paragraph->text.isNull()) {
        // Its own layout has let go of the text with the edit: no copy is made here.
        const int base = block.position();
        QString inserted(added, Qt::Uninitialized);
        for (int i = 0; i < added; ++i)
            inserted[i] = document()->characterAt(base + from + i);
        paragraph->text.replace(from, removed, inserted);
    }
    if (piece.length > 2 * kPiece || (piece.length < kPiece / 8 && pieces.size() > 1)) {
        // Cut again the stretch around it.
        const size_t a = first > 0 && piece.length < kPiece / 8 ? first - 1 : first;
        const int from0 = pieces[a].start;
        const int to0 = pieces[first].start + pieces[first].length;
        LongParagraph part;
        makePieces(part, block);
        // makePieces cuts the whole paragraph; keep only what falls in [from0, to0).
        std::vector<Piece> cut;
        for (Piece &p : part.pieces) {
            if (p.start >= from0 && p.start < to0)
                cut.push_back(std::move(p));
        }
        if (cut.empty() || cut.front().start != from0
            || cut.back().start + cut.back().length != to0)
            return false;
        pieces.erase(pieces.begin() + qsizetype(a), pieces.begin() + qsizetype(first) + 1);
        pieces.insert(pieces.begin() + qsizetype(a), std::make_move_iterator(cut.begin()),
                      std::make_move_iterator(cut.end()));
    } else if (wasMeasured) {
        layOutPiece(block, *paragraph, first);
    } else {
        PadRows::Row estimate;
        estimate.kind = row.kind;
        estimate.length = piece.length + 1;
        piece.height = estimateLines(estimate);
    }
    row.length = block.length();
    row.lines = piecesHeight(*paragraph);
    m_rows.set(index, row);
    return true;
}

void PadLayout::layOutPiece(const QTextBlock &block, LongParagraph &paragraph, size_t index) const
{
    Piece &piece = paragraph.pieces[index];
    const int base = block.position() + piece.start;
    QTextCursor range(document());
    range.setPosition(base);
    range.setPosition(base + piece.length, QTextCursor::KeepAnchor);
    QString text = range.selectedText();
    // A picture needs its paragraph's own layout; in a piece it keeps its place only.
    text.replace(QChar::ObjectReplacementCharacter, QChar::Nbsp);

    QList<QTextLayout::FormatRange> formats;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const int from = qMax(fragment.position(), base);
        const int to = qMin(fragment.position() + fragment.length(), base + piece.length);
        if (fragment.position() >= base + piece.length)
            break;
        if (from < to)
            formats.append({from - base, to - from, fragment.charFormat()});
    }
    auto layout = std::make_unique<QTextLayout>(text, document()->defaultFont(),
                                                const_cast<QPaintDevice *>(paintDevice()));
    layout->setFormats(formats);
    const PadBlockLayout::Result result = PadBlockLayout::layOut(
        layout.get(), document(), block, block.blockFormat(), nullptr,
        flowBetween(m_left, m_right), 0, paintDevice(), index == 0);
    ++m_layoutsMade;
    if (!piece.layout)
        ++paragraph.laidOut;
    piece.layout = std::move(layout);
    piece.height = result.height;
    piece.measured = true;
}

void PadLayout::measureLongParagraph(qsizetype index, const QTextBlock &block, qint64 top,
                                     qint64 from, qint64 to) const
{
    Q_UNUSED(top);
    PadRows::Row row = m_rows.at(index);
    LongParagraph *paragraph = longOf(row);
    if (!paragraph)
        return;
    if (paragraph->pieces.empty())
        makePieces(*paragraph, block);
    auto &pieces = paragraph->pieces;
    qint64 y = row.gap;
    size_t firstShown = pieces.size();
    size_t lastShown = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (y > to)
            break;
        if (y + pieces[i].height >= from) {
            if (!pieces[i].layout)
                layOutPiece(block, *paragraph, i);
            firstShown = qMin(firstShown, i);
            lastShown = i;
        }
        y += pieces[i].height;
    }
    // Pieces far from what is shown give their lines back.
    if (paragraph->laidOut > kKeepPieces && firstShown <= lastShown) {
        for (size_t i = 0; i < pieces.size() && paragraph->laidOut > kKeepPieces / 2; ++i) {
            if (pieces[i].layout && (i + kKeepPieces / 4 < firstShown
                                     || i > lastShown + kKeepPieces / 4)) {
                pieces[i].layout.reset();
                --paragraph->laidOut;
            }
        }
    }
    const qint64 height = piecesHeight(*paragraph);
    if (height != row.lines) {
        row.lines = height;
        m_rows.set(index, row);
    }
}

bool PadLayout::isLongParagraph(const QTextBlock &block) const
{
    if (!block.isValid() || rowOf(block) >= m_rows.count())
        return false;
    return m_rows.at(rowOf(block)).has(PadRows::Segmented);
}

// Drawing ------------------------------------------------------------------------

QList<QTextLayout::FormatRange> PadLayout::selectionsIn(const PaintContext &context, int from,
                                                        int length,
                                                        const QTextLayout *layout) const
{
    QList<QTextLayout::FormatRange> ranges;
    for (const Selection &range : context.selections) {
        const int start = range.cursor.selectionStart() - from;
        const int end = range.cursor.selectionEnd() - from;
        if (start < length && end > 0 && end > start) {
            // Unclipped, as Qt's layout gives them: the text layout draws a selection
            // that began before the paragraph differently from one that begins in it.
            ranges.append({start, end - start, range.format});
        } else if (!range.cursor.hasSelection()
                   && range.format.hasProperty(QTextFormat::FullWidthSelection)
                   && range.cursor.position() >= from
                   && range.cursor.position() < from + length) {
            // A whole line marked by a position alone.
            const QTextLine line = layout->lineForTextPosition(range.cursor.position() - from);
            if (!line.isValid())
                continue;
            QTextLayout::FormatRange o{line.textStart(), line.textLength(), range.format};
            if (o.start + o.length == length - 1)
                ++o.length;
            ranges.append(o);
        }
    }
    return ranges;
}

void PadLayout::drawListMarker(QPainter *painter, const PaintContext &context,
                               const QTextBlock &block, const QPointF &offset,
                               const QTextCharFormat *selection) const
{
    const QTextBlockFormat blockFormat = block.blockFormat();
    auto *list = qobject_cast<QTextList *>(document()->objectForFormat(blockFormat));
    if (!list)
        return;
    const QTextCharFormat charFormat = QTextCursor(block).charFormat();
    QFont font = charFormat.font();
    if (paintDevice())
        font = QFont(font, const_cast<QPaintDevice *>(paintDevice()));
    const QFontMetrics metrics(font);
    int style = list->format().style();
    if (blockFormat.hasProperty(QTextFormat::ListStyle))
        style = blockFormat.intProperty(QTextFormat::ListStyle);
    const QTextLayout *layout = block.layout();
    if (layout->lineCount() == 0)
        return;
    const QTextLine firstLine = layout->lineAt(0);
    QPointF pos = (offset + layout->position()).toPoint();
    const Qt::LayoutDirection direction = block.textDirection();
    const QRectF textRect = firstLine.naturalTextRect();
    pos += textRect.topLeft().toPoint();
    if (direction == Qt::RightToLeft)
        pos.rx() += textRect.width();

    QString itemText;
    QSizeF size;
    switch (style) {
    case QTextListFormat::ListDecimal:
    case QTextListFormat::ListLowerAlpha:
    case QTextListFormat::ListUpperAlpha:
    case QTextListFormat::ListLowerRoman:
    case QTextListFormat::ListUpperRoman:
        itemText = list->itemText(block);
        size = QSizeF(metrics.horizontalAdvance(itemText), metrics.height());
        break;
    case QTextListFormat::ListSquare:
    case QTextListFormat::ListCircle:
    case QTextListFormat::ListDisc:
        size = QSizeF(metrics.lineSpacing() / 3, metrics.lineSpacing() / 3);
        break;
    default:
        return;
    }
    QRectF r(pos, size);
    qreal xoff = metrics.horizontalAdvance(QLatin1Char(' '));
    if (direction == Qt::LeftToRight)
        xoff = -xoff - size.width();
    r.translate(xoff, (metrics.height() / 2) - (size.height() / 2));

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (selection) {
        painter->setPen(QPen(selection->foreground(), 0));
        painter->fillRect(r, selection->background());
    } else {
        QBrush fg = charFormat.foreground();
        if (fg == Qt::NoBrush)
            fg = context.palette.text();
        painter->setPen(QPen(fg, 0));
    }
    const QBrush brush = context.palette.brush(QPalette::Text);
    switch (style) {
    case QTextListFormat::ListSquare:
        painter->fillRect(r, brush);
        break;
    case QTextListFormat::ListCircle:
        painter->setPen(QPen(brush, 0));
        painter->drawEllipse(r.translated(0.5, 0.5));
        break;
    case QTextListFormat::ListDisc:
        painter->setBrush(brush);
        painter->setPen(Qt::NoPen);
        painter->drawEllipse(r);
        break;
    default: {
        QTextLayout marker(itemText, font, const_cast<QPaintDevice *>(paintDevice()));
        QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
        option.setTextDirection(direction);
        marker.setTextOption(option);
        marker.beginLayout();
        QTextLine line = marker.createLine();
        if (line.isValid())
            line.setLeadingIncluded(true);
        marker.endLayout();
        marker.draw(painter, QPointF(r.left(), pos.y()));
        break;
    }
    }
    painter->restore();
}

void PadLayout::drawBlock(QPainter *painter, const PaintContext &context, const QTextBlock &block,
                          const QPointF &offset, const QRectF &clip) const
{
    const QTextLayout *layout = block.layout();
    QRectF r = layout->boundingRect();
    r.translate(offset + layout->position());
    if (!block.isVisible() || (clip.isValid() && (r.bottom() < clip.top() || r.top() > clip.bottom())))
        return;
    // Drawn near the origin: the text engine places glyphs in 64ths of a pixel and
    // cannot reach far down a long document.
    const qreal shift = offset.y() + layout->position().y();
    painter->save();
    painter->translate(0, shift);
    const QPointF at(offset.x(), -layout->position().y());
    r.translate(0, -shift);
    const QRectF localClip = clip.translated(0, -shift);

    const QTextBlockFormat blockFormat = block.blockFormat();
    const QBrush background = blockFormat.background();
    if (background != Qt::NoBrush) {
        painter->setBrushOrigin(r.topLeft());
        painter->fillRect(r, background);
    }
    const int position = block.position();
    const int length = block.length();
    const QList<QTextLayout::FormatRange> selections = selectionsIn(context, position, length,
                                                                    layout);
    const QTextCharFormat *selectionFormat = nullptr;
    for (const Selection &range : context.selections) {
        if (range.cursor.selectionStart() < position && range.cursor.selectionEnd() >= position + 1)
            selectionFormat = &range.format;
    }
    if (const QTextObject *object = document()->objectForFormat(blockFormat)) {
        if (object->format().toListFormat().style() != QTextListFormat::ListStyleUndefined)
            drawListMarker(painter, context, block, at, selectionFormat);
    }
    painter->setPen(context.palette.color(QPalette::Text));
    layout->draw(painter, at, selections, localClip);
    const int caret = context.cursorPosition;
    if ((caret >= position && caret < position + length)
        || (caret < -1 && !layout->preeditAreaText().isEmpty())) {
        const int relative = caret < -1 ? layout->preeditAreaPosition() - (caret + 2)
                                        : caret - position;
        layout->drawCursor(painter, at, relative, m_cursorWidth);
    }
    if (blockFormat.hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth)) {
        const qreal width = blockFormat.lengthProperty(QTextFormat::BlockTrailingHorizontalRulerWidth)
                                .value(r.width());
        painter->setPen(context.palette.color(QPalette::Dark));
        const qreal y = length == 1 ? r.top() + r.height() / 2 : r.bottom();
        const qreal middle = r.left() + r.width() / 2;
        painter->drawLine(QLineF(middle - width / 2, y, middle + width / 2, y));
    }
    painter->restore();
}

void PadLayout::drawLongParagraph(QPainter *painter, const PaintContext &context,
                                  const QTextBlock &block, const LongParagraph &paragraph,
                                  qint64 top, const QRectF &clip) const
{
    const int position = block.position();
    qint64 y = m_topMargin + top + m_rows.at(rowOf(block)).gap;
    const int caret = context.cursorPosition;
    for (size_t i = 0; i < paragraph.pieces.size(); ++i) {
        const Piece &piece = paragraph.pieces[i];
        const qreal pieceTop = real(y);
        y += piece.height;
        if (!piece.layout || real(y) < clip.top() || pieceTop > clip.bottom())
            continue;
        const bool last = i + 1 == paragraph.pieces.size();
        const int from = position + piece.start;
        const int length = piece.length + (last ? 1 : 0);
        painter->save();
        painter->translate(0, pieceTop);
        const QRectF localClip = clip.translated(0, -pieceTop);
        const QBrush background = block.blockFormat().background();
        if (background != Qt::NoBrush) {
            QRectF r = piece.layout->boundingRect();
            r.translate(piece.layout->position());
            painter->fillRect(r, background);
        }
        painter->setPen(context.palette.color(QPalette::Text));
        piece.layout->draw(painter, QPointF(), selectionsIn(context, from, length,
                                                            piece.layout.get()),
                           localClip);
        if (caret >= from && caret < from + length)
            piece.layout->drawCursor(painter, QPointF(), caret - from, m_cursorWidth);
        painter->restore();
    }
}

void PadLayout::draw(QPainter *painter, const PaintContext &context)
{
    if (m_rows.count() == 0)
        return;
    const QRectF area = context.clip.isValid() ? context.clip
                                               : QRectF(QPointF(0, 0), documentSize());
    const QBrush background = document()->rootFrame()->frameFormat().background();
    if (background != Qt::NoBrush)
        painter->fillRect(area, background);
    // Text and its selections stay within the page's side margins, as in Qt's layout.
    const QTextFrameFormat root = document()->rootFrame()->frameFormat();
    const QRectF page = QRectF(QPointF(0, 0), documentSize())
                            .adjusted(real(fixed(root.leftMargin())), 0,
                                      -real(fixed(root.rightMargin())), 0);
    const QRectF clip = area & page;

    const qint64 from = fixed(clip.top()) - m_topMargin;
    const qint64 to = fixed(clip.bottom()) - m_topMargin;
    qint64 top = 0;
    qsizetype index = m_rows.rowAt(from, &top);
    // A frame is drawn from its first row.
    if (m_rows.at(index).has(PadRows::InFrame) && !m_rows.at(index).has(PadRows::FrameStart)) {
        const QTextBlock inside = document()->findBlockByNumber(int(index));
        if (QTextFrame *frame = topLevelFrameAt(inside.position())) {
            index = frameRow(frame);
            top = m_rows.top(index);
        }
    }
    m_shownFrom = index;
    QTextBlock block = document()->findBlockByNumber(int(index));
    while (block.isValid() && index < m_rows.count() && top <= to) {
        const PadRows::Row row = m_rows.at(index);
        if (row.has(PadRows::InFrame) && !row.has(PadRows::FrameStart)) {
            block = block.next();
            ++index;
            continue;
        }
        ensureRow(index);
        if (row.has(PadRows::FrameStart)) {
            if (QTextFrame *frame = topLevelFrameAt(block.position())) {
                const PadFrameBox *box = boxOf(frame);
                drawFrame(painter, context, frame, QPointF(box->position.x(),
                                                           real(m_topMargin + top)), clip);
            }
        } else if (row.has(PadRows::Segmented)) {
            measureLongParagraph(index, block, top, from - top, to - top);
            if (const LongParagraph *paragraph = longOf(m_rows.at(index)))
                drawLongParagraph(painter, context, block, *paragraph, top, clip);
        } else {
            drawBlock(painter, context, block, QPointF(), clip);
        }
        top += m_rows.at(index).height();
        block = block.next();
        ++index;
    }
    m_shownTo = index;
    sweepLayouts(m_shownFrom, m_shownTo);
    scheduleSizeReport();
}

// Hit testing and caret geometry --------------------------------------------------

int PadLayout::hitBlock(const QTextBlock &block, const QPointF &point, const QPointF &offset,
                        Qt::HitTestAccuracy accuracy, bool *exact) const
{
    const QTextLayout *layout = block.layout();
    QRectF rect = layout->boundingRect();
    rect.translate(offset + layout->position());
    if (point.y() < rect.top())
        return block.position();
    if (point.y() > rect.bottom())
        return block.position() + block.length();
    const QPointF pos = point - offset - layout->position();
    int off = 0;
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        const QRectF lr = line.naturalTextRect();
        if (lr.top() > pos.y()) {
            off = qMin(off, line.textStart());
        } else if (lr.bottom() <= pos.y()) {
            off = qMax(off, line.textStart() + line.textLength());
        } else {
            if (lr.left() <= pos.x() && lr.right() >= pos.x() && exact)
                *exact = true;
            off = line.xToCursor(pos.x(), accuracy == Qt::ExactHit
                                              ? QTextLine::CursorOnCharacter
                                              : QTextLine::CursorBetweenCharacters);
            break;
        }
    }
    return block.position() + off;
}

PadLayout::Hit PadLayout::hitLongParagraph(qsizetype index, const QTextBlock &block,
                                            qint64 top, const QPointF &point,
                                            int *position) const
{
    const qint64 y = fixed(point.y()) - m_topMargin;
    const PadRows::Row row = m_rows.at(index);
    if (y < top + row.gap) {
        *position = block.position();
        return Hit::Before;
    }
    if (y >= top + row.height()) {
        *position = block.position() + block.length();
        return Hit::After;
    }
    measureLongParagraph(index, block, top, y - top, y - top);
    LongParagraph *paragraph = longOf(m_rows.at(index));
    qint64 pieceTop = m_topMargin + top + m_rows.at(index).gap;
    *position = block.position();
    bool exact = false;
    for (size_t i = 0; paragraph && i < paragraph->pieces.size(); ++i) {
        const Piece &piece = paragraph->pieces[i];
        if (fixed(point.y()) >= pieceTop + piece.height && i + 1 < paragraph->pieces.size()) {
            pieceTop += piece.height;
            continue;
        }
        if (!piece.layout)
            layOutPiece(block, *paragraph, i);
        const QTextLayout *layout = piece.layout.get();
        const QPointF local = point - QPointF(layout->position().x(), real(pieceTop));
        int off = piece.length;
        for (int l = 0; l < layout->lineCount(); ++l) {
            const QTextLine line = layout->lineAt(l);
            const QRectF rect = line.naturalTextRect();
            if (local.y() < rect.bottom() || l + 1 == layout->lineCount()) {
                exact = local.y() >= rect.top() && rect.left() <= local.x()
                    && rect.right() >= local.x();
                off = line.xToCursor(local.x());
                break;
            }
        }
        *position = block.position() + piece.start + off;
        break;
    }
    return exact ? Hit::Exact : Hit::Inside;
}

int PadLayout::hitTest(const QPointF &exactPoint, Qt::HitTestAccuracy accuracy) const
{
    if (m_rows.count() == 0)
        return 0;
    // In 64ths of a pixel, as Qt's layout takes the point.
    const QPointF point(real(fixed(exactPoint.x())), real(fixed(exactPoint.y())));
    const qint64 y = fixed(point.y()) - m_topMargin;
    auto nextItem = [this](qsizetype index) {
        ++index;
        while (index < m_rows.count() && m_rows.at(index).has(PadRows::InFrame)
               && !m_rows.at(index).has(PadRows::FrameStart))
            ++index;
        return index;
    };
    qint64 top = 0;
    qsizetype index = itemRowOf(m_rows.rowAt(y, &top));
    for (;;) {
        top = ensureRow(index);
        // Laying the row out may have made it shorter than the point.
        const qsizetype next = nextItem(index);
        if (y >= top + m_rows.at(index).height() && next < m_rows.count()) {
            index = next;
            continue;
        }
        break;
    }
    // As Qt's layout does, the items around are asked in order and the first that
    // holds the point wins; between them the point goes to the nearest edge. A
    // paragraph's lines may reach above its row (a fixed line height raises them),
    // the paragraph after a table sits beside it, and on the edge between two
    // paragraphs the first holds the point.
    // Only items that could hold the point are asked, so that asking lays out no more
    // than it must: the one before on the very edge, the next ones whose lines could
    // reach up to the point.
    constexpr qint64 kReach = 64 * 64;
    std::vector<qsizetype> window;
    if (index > 0 && y - top <= 64)
        window.push_back(itemRowOf(index - 1));
    window.push_back(index);
    qint64 nextTop = top + m_rows.at(index).height();
    for (qsizetype next = nextItem(index);
         next < m_rows.count() && window.size() < 4 && nextTop - y <= kReach;
         next = nextItem(next)) {
        window.push_back(next);
        nextTop += m_rows.at(next).height();
    }

    int position = -1;
    for (const qsizetype i : window) {
        const qint64 rowTop = ensureRow(i);
        const PadRows::Row row = m_rows.at(i);
        const QTextBlock block = document()->findBlockByNumber(int(i));
        if (position < 0)
            position = block.position();
        int found = 0;
        Hit h;
        if (row.has(PadRows::FrameStart)) {
            QTextFrame *frame = topLevelFrameAt(block.position());
            const PadFrameBox *box = boxOf(frame);
            h = hitFrame(frame, point - QPointF(box->position.x(), real(m_topMargin + rowTop)),
                         accuracy, &found);
        } else if (row.has(PadRows::Segmented)) {
            h = hitLongParagraph(i, block, rowTop, point, &found);
        } else {
            h = hitFlowBlock(block, point, accuracy, &found);
            // The empty paragraph before a table lies under the table.
            const QTextBlockFormat format = block.blockFormat();
            QTextFrame *after = topLevelFrameAt(block.position() + 1);
            if ((h == Hit::Inside || h == Hit::Exact) && block.length() == 1
                && qobject_cast<QTextTable *>(after)
                && after->firstPosition() == block.position() + 1
                && !format.hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth)
                && !format.hasProperty(QTextFormat::BackgroundBrush))
                continue;
        }
        if (h == Hit::Inside || h == Hit::Exact) {
            if (accuracy == Qt::ExactHit && h != Hit::Exact)
                return -1;
            return qBound(0, found, document()->characterCount() - 1);
        }
        if ((h == Hit::Before && found < position) || (h == Hit::After && found > position))
            position = found;
    }
    if (accuracy == Qt::ExactHit)
        return -1;
    return qBound(0, position, document()->characterCount() - 1);
}

QRectF PadLayout::cursorRect(int position) const
{
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid())
        return QRectF();
    const int relative = position - block.position();
    if (isLongParagraph(block)) {
        const qsizetype index = rowOf(block);
        const qint64 top = ensureRow(index);
        LongParagraph *paragraph = longOf(m_rows.at(index));
        if (!paragraph)
            return QRectF();
        if (paragraph->pieces.empty())
            makePieces(*paragraph, block);
        qint64 pieceTop = 0;
        const size_t i = pieceAt(*paragraph, relative, &pieceTop);
        if (!paragraph->pieces[i].layout) {
            layOutPiece(block, *paragraph, i);
            PadRows::Row row = m_rows.at(index);
            row.lines = piecesHeight(*paragraph);
            m_rows.set(index, row);
        }
        const Piece &piece = paragraph->pieces[i];
        const QTextLine line = piece.layout->lineForTextPosition(relative - piece.start);
        const qreal y = real(m_topMargin + top + m_rows.at(index).gap + pieceTop);
        if (!line.isValid())
            return QRectF(real(m_left), y, m_cursorWidth, 10);
        return QRectF(piece.layout->position().x() + line.cursorToX(relative - piece.start),
                      y + line.y(), m_cursorWidth, line.height());
    }
    const QPointF origin = blockBoundingRect(block).topLeft();
    const QTextLayout *layout = block.layout();
    const QTextLine line = layout->lineForTextPosition(relative);
    if (!line.isValid())
        return QRectF(origin.x(), origin.y(), m_cursorWidth, 10);
    return QRectF(origin.x() + line.cursorToX(relative), origin.y() + line.y(), m_cursorWidth,
                  line.height());
}

std::pair<int, int> PadLayout::lineBounds(int position) const
{
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid())
        return {position, position};
    const int relative = position - block.position();
    const QTextLayout *layout = block.layout();
    int base = block.position();
    bool lastLine = false;
    QTextLine line;
    if (isLongParagraph(block)) {
        cursorRect(position); // lays the piece out
        LongParagraph *paragraph = longOf(m_rows.at(rowOf(block)));
        const size_t i = pieceAt(*paragraph, relative, nullptr);
        const Piece &piece = paragraph->pieces[i];
        layout = piece.layout.get();
        base += piece.start;
        line = layout->lineForTextPosition(relative - piece.start);
        lastLine = i + 1 == paragraph->pieces.size() && line.lineNumber() == layout->lineCount() - 1;
    } else {
        blockBoundingRect(block);
        line = layout->lineForTextPosition(relative);
        lastLine = line.lineNumber() == layout->lineCount() - 1;
    }
    if (!line.isValid())
        return {block.position(), block.position() + block.length() - 1};
    const int start = base + line.textStart();
    int end = base + line.textStart() + line.textLength();
    if (!lastLine && end > start && document()->characterAt(end - 1).isSpace())
        --end;
    return {start, qMin(end, block.position() + block.length() - 1)};
}

int PadLayout::positionOnNextLine(int position, qreal x, int direction) const
{
    const QRectF caret = cursorRect(position);
    if (caret.isNull())
        return -1;
    // Step past the line's own height, then past any gap between paragraphs.
    qreal y = direction > 0 ? caret.bottom() + 0.5 : caret.top() - 0.5;
    const qreal end = documentSize().height();
    for (int tries = 0; tries < 64; ++tries) {
        if (y < 0 || y > end)
            return -1;
        const int found = hitTest(QPointF(x, y), Qt::FuzzyHit);
        const QRectF r = cursorRect(found);
        if (direction > 0 ? r.top() >= caret.bottom() - 0.5 : r.bottom() <= caret.top() + 0.5)
            return found;
        y += direction * qMax<qreal>(1.0, caret.height() / 2);
    }
    return -1;
}
