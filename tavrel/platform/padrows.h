#pragma once

#include <QtGlobal>

#include <vector>

// The heights of a document's blocks in the order of the document, one row a block,
// each measured or estimated, held so that the height above a row and the row at a
// height are found without adding up every row before it: rows are kept in chunks
// of about a thousand, and only the chunks' sums are added. Changing a row costs a
// chunk; inserting and removing rows, the chunks they touch.
//
// Heights are in 64ths of a pixel, the unit the text layout works in, so that sums
// of measured heights are exact.
class PadRows
{
public:
    enum Flag : quint8 {
        // The height was measured at the current width (not estimated).
        Measured = 0x1,
        // The block's own text layout holds lines at the current width.
        HasLines = 0x2,
        // The block lies in a frame (a table) below the top level: its height is part
        // of the frame's, held by the frame's first row.
        InFrame = 0x4,
        // The first row of a top-level frame: it holds the whole frame's height.
        FrameStart = 0x8,
        // A paragraph too long to lay out in one piece.
        Segmented = 0x10,
        // The empty paragraph after a table: it sits beside the table's end and takes
        // no room, as in Qt's layout.
        Tucked = 0x20,
    };

    struct Row
    {
        // Height of the row's lines, and of the space before it (the larger of its top
        // margin and the bottom margin of the block before).
        qint64 lines = 0;
        qint32 gap = 0;
        // The block's length when the row was made, for estimating it again.
        qint32 length = 0;
        // The pieces of a long paragraph, kept by the layout under this number.
        quint32 pieces = 0;
        // Which of the layout's estimate classes (font, margins) the block belongs to.
        quint16 kind = 0;
        quint8 flags = 0;
        quint8 spare = 0;

        qint64 height() const { return lines + gap; }
        bool has(Flag flag) const { return flags & flag; }
    };

    qsizetype count() const { return m_count; }
    const Row &at(qsizetype index) const;
    void set(qsizetype index, const Row &row);
    // Replaces `removeCount` rows from `first` on by `rows`.
    void replace(qsizetype first, qsizetype removeCount, const std::vector<Row> &rows);
    void clear();
    // Replaces every row by transform(row), in place.
    template<typename Transform>
    void transform(Transform change)
    {
        m_withLines = 0;
        for (Chunk &chunk : m_chunks) {
            chunk.sum = 0;
            chunk.withLines = 0;
            for (Row &row : chunk.rows) {
                change(row);
                chunk.sum += row.height();
                chunk.withLines += row.has(HasLines) ? 1 : 0;
            }
            m_withLines += chunk.withLines;
        }
        m_validChunks = 0;
    }

    // The sum of the heights of the rows before `index` (count() gives the total).
    qint64 top(qsizetype index) const;
    qint64 total() const { return top(m_count); }
    // The row holding `y`: the last row whose top is at or above it, clamped to the
    // rows there are; -1 when there are none. Its top goes to `rowTop`.
    qsizetype rowAt(qint64 y, qint64 *rowTop = nullptr) const;

    // Rows whose block holds lines; lets a sweep skip the chunks without any.
    qsizetype withLines() const { return m_withLines; }
    // Calls visit(index, row) for every row with the flag HasLines.
    template<typename Visit>
    void forEachWithLines(Visit visit) const
    {
        qsizetype start = 0;
        for (const Chunk &chunk : m_chunks) {
            if (chunk.withLines > 0) {
                for (size_t i = 0; i < chunk.rows.size(); ++i) {
                    if (chunk.rows[i].has(HasLines))
                        visit(start + qsizetype(i), chunk.rows[i]);
                }
            }
            start += qsizetype(chunk.rows.size());
        }
    }

private:
    struct Chunk
    {
        std::vector<Row> rows;
        qint64 sum = 0;
        qsizetype withLines = 0;
    };
    struct Place
    {
        size_t chunk = 0;
        size_t offset = 0;
    };

    Place locate(qsizetype index) const;
    void updatePrefix() const;
    void invalidateFrom(size_t chunk) const;
    void rebalance(size_t chunk);

    std::vector<Chunk> m_chunks;
    qsizetype m_count = 0;
    qsizetype m_withLines = 0;
    // First row index and top of each chunk, valid for chunks before m_validChunks.
    mutable std::vector<qsizetype> m_starts;
    mutable std::vector<qint64> m_tops;
    mutable size_t m_validChunks = 0;
};
