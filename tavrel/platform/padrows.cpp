#include "platform/padrows.h"

#include <algorithm>

namespace {

// Chunks are cut to kChunk rows, split above kMaxChunk and joined to a neighbour
// below kMinChunk.
constexpr size_t kChunk = 1024;
constexpr size_t kMaxChunk = 2 * kChunk;
constexpr size_t kMinChunk = kChunk / 4;

qsizetype linesIn(const std::vector<PadRows::Row> &rows, size_t from, size_t to)
{
    qsizetype n = 0;
    for (size_t i = from; i < to; ++i)
        n += rows[i].has(PadRows::HasLines) ? 1 : 0;
    return n;
}

} // namespace

void PadRows::updatePrefix() const
{
    if (m_starts.size() != m_chunks.size() + 1) {
        m_starts.resize(m_chunks.size() + 1);
        m_tops.resize(m_chunks.size() + 1);
        m_validChunks = std::min(m_validChunks, m_chunks.size());
    }
    if (m_validChunks == 0) {
        m_starts[0] = 0;
        m_tops[0] = 0;
    }
    for (size_t c = m_validChunks; c < m_chunks.size(); ++c) {
        m_starts[c + 1] = m_starts[c] + qsizetype(m_chunks[c].rows.size());
        m_tops[c + 1] = m_tops[c] + m_chunks[c].sum;
    }
    m_validChunks = m_chunks.size();
}

void PadRows::invalidateFrom(size_t chunk) const
{
    m_validChunks = std::min(m_validChunks, chunk);
}

PadRows::Place PadRows::locate(qsizetype index) const
{
    updatePrefix();
    // The last chunk starting at or before index.
    const auto it = std::upper_bound(m_starts.begin(), m_starts.begin() + qsizetype(m_chunks.size()),
                                     index);
    Place place;
    place.chunk = size_t(std::max<qsizetype>(0, (it - m_starts.begin()) - 1));
    place.offset = size_t(index - m_starts[place.chunk]);
    return place;
}

const PadRows::Row &PadRows::at(qsizetype index) const
{
    Q_ASSERT(index >= 0 && index < m_count);
    const Place place = locate(index);
    return m_chunks[place.chunk].rows[place.offset];
}

void PadRows::set(qsizetype index, const Row &row)
{
    Q_ASSERT(index >= 0 && index < m_count);
    const Place place = locate(index);
    Chunk &chunk = m_chunks[place.chunk];
    Row &old = chunk.rows[place.offset];
    chunk.sum += row.height() - old.height();
    const int linesDelta = int(row.has(HasLines)) - int(old.has(HasLines));
    chunk.withLines += linesDelta;
    m_withLines += linesDelta;
    old = row;
    invalidateFrom(place.chunk);
}

void PadRows::clear()
{
    m_chunks.clear();
    m_count = 0;
    m_withLines = 0;
    m_validChunks = 0;
}

void PadRows::replace(qsizetype first, qsizetype removeCount, const std::vector<Row> &rows)
{
    Q_ASSERT(first >= 0 && removeCount >= 0 && first + removeCount <= m_count);
    if (m_chunks.empty())
        m_chunks.emplace_back();
    // The rows from `first` to the end of the last chunk touched are taken out,
    // changed and put back as chunks of kChunk rows.
    const Place from = first < m_count ? locate(first) : Place{m_chunks.size() - 1,
                                                                m_chunks.back().rows.size()};
    size_t lastChunk = from.chunk;
    if (removeCount > 0)
        lastChunk = locate(first + removeCount - 1).chunk;

    std::vector<Row> merged;
    const std::vector<Row> &head = m_chunks[from.chunk].rows;
    const std::vector<Row> &tail = m_chunks[lastChunk].rows;
    const size_t tailFrom = removeCount > 0 ? locate(first + removeCount - 1).offset + 1
                                            : from.offset;
    merged.reserve(from.offset + rows.size() + (tail.size() - tailFrom));
    merged.insert(merged.end(), head.begin(), head.begin() + qsizetype(from.offset));
    merged.insert(merged.end(), rows.begin(), rows.end());
    merged.insert(merged.end(), tail.begin() + qsizetype(tailFrom), tail.end());

    for (size_t c = from.chunk; c <= lastChunk; ++c)
        m_withLines -= m_chunks[c].withLines;
    m_chunks.erase(m_chunks.begin() + qsizetype(from.chunk),
                   m_chunks.begin() + qsizetype(lastChunk) + 1);

    std::vector<Chunk> cut;
    for (size_t at = 0; at < merged.size() || cut.empty(); at += kChunk) {
        Chunk chunk;
        const size_t end = std::min(merged.size(), at + kChunk);
        chunk.rows.assign(merged.begin() + qsizetype(at), merged.begin() + qsizetype(end));
        for (const Row &row : chunk.rows)
            chunk.sum += row.height();
        chunk.withLines = linesIn(chunk.rows, 0, chunk.rows.size());
        m_withLines += chunk.withLines;
        cut.push_back(std::move(chunk));
        if (merged.empty())
            break;
    }
    const size_t lastCut = from.chunk + cut.size() - 1;
    m_chunks.insert(m_chunks.begin() + qsizetype(from.chunk), std::make_move_iterator(cut.begin()),
                    std::make_move_iterator(cut.end()));
    m_count += qsizetype(rows.size()) - removeCount;
    invalidateFrom(from.chunk);
    rebalance(lastCut);
    if (m_count == 0)
        clear();
}

void PadRows::rebalance(size_t chunk)
{
    // The last chunk cut may be small: it joins a neighbour, so that chunks stay few
    // however rows come and go; a join that grows too large is cut in two.
    if (m_chunks.size() < 2 || m_chunks[chunk].rows.size() >= kMinChunk)
        return;
    const size_t left = chunk + 1 < m_chunks.size() ? chunk : chunk - 1;
    Chunk &a = m_chunks[left];
    Chunk &b = m_chunks[left + 1];
    a.rows.insert(a.rows.end(), b.rows.begin(), b.rows.end());
    a.sum += b.sum;
    a.withLines += b.withLines;
    m_chunks.erase(m_chunks.begin() + qsizetype(left) + 1);
    if (a.rows.size() > kMaxChunk) {
        Chunk second;
        const size_t half = a.rows.size() / 2;
        second.rows.assign(a.rows.begin() + qsizetype(half), a.rows.end());
        a.rows.resize(half);
        for (const Row &row : second.rows)
            second.sum += row.height();
        second.withLines = linesIn(second.rows, 0, second.rows.size());
        a.sum -= second.sum;
        a.withLines -= second.withLines;
        m_chunks.insert(m_chunks.begin() + qsizetype(left) + 1, std::move(second));
    }
    invalidateFrom(left);
}

qint64 PadRows::top(qsizetype index) const
{
    if (index <= 0 || m_chunks.empty())
        return 0;
    if (index >= m_count) {
        updatePrefix();
        return m_tops[m_chunks.size()];
    }
    const Place place = locate(index);
    qint64 y = m_tops[place.chunk];
    const std::vector<Row> &rows = m_chunks[place.chunk].rows;
    for (size_t i = 0; i < place.offset; ++i)
        y += rows[i].height();
    return y;
}

qsizetype PadRows::rowAt(qint64 y, qint64 *rowTop) const
{
    if (m_count == 0)
        return -1;
    updatePrefix();
    // The last chunk whose top is at or above y, then the last row in it.
    const auto it = std::upper_bound(m_tops.begin(), m_tops.begin() + qsizetype(m_chunks.size()), y);
    const size_t chunk = size_t(std::max<qsizetype>(0, (it - m_tops.begin()) - 1));
    qint64 top = m_tops[chunk];
    const std::vector<Row> &rows = m_chunks[chunk].rows;
    size_t i = 0;
    while (i + 1 < rows.size() && top + rows[i].height() <= y)
        top += rows[i++].height();
    // Rows of no height before y belong to the next one with height.
    qsizetype index = m_starts[chunk] + qsizetype(i);
    if (rowTop)
        *rowTop = top;
    return index;
}
