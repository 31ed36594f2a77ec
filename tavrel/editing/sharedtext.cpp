#include "editing/sharedtext.h"

#include <QSet>

namespace {

// A piece is cut to kPiece characters and re-cut when a change makes it longer than
// kMaxPiece; a page holds kPagePieces pieces and is split above kMaxPagePieces.
// Copying a text touches only the page list; a change copies one page list (a few
// hundred pointers) and one piece (a few kilobytes).
constexpr qsizetype kPiece = 1024;
constexpr qsizetype kMaxPiece = 2 * kPiece;
constexpr qsizetype kPagePieces = 128;
constexpr qsizetype kMaxPagePieces = 2 * kPagePieces;

QList<QString> cutIntoPieces(QStringView text)
{
    QList<QString> pieces;
    pieces.reserve((text.size() + kPiece - 1) / kPiece);
    for (qsizetype at = 0; at < text.size(); at += kPiece)
        pieces.append(text.mid(at, kPiece).toString());
    return pieces;
}

qsizetype sizeOf(const QList<QString> &pieces)
{
    qsizetype size = 0;
    for (const QString &piece : pieces)
        size += piece.size();
    return size;
}

} // namespace

SharedText::SharedText(const QString &text)
{
    replace(0, 0, text);
}

QString SharedText::toString() const
{
    QString out;
    out.reserve(m_size);
    for (const Page &page : m_pages) {
        for (const QString &piece : page)
            out.append(piece);
    }
    return out;
}

QString SharedText::mid(qsizetype position, qsizetype length) const
{
    position = qBound<qsizetype>(0, position, m_size);
    length = qBound<qsizetype>(0, length, m_size - position);
    QString out;
    if (length == 0)
        return out;
    out.reserve(length);
    const Place from = locate(position);
    qsizetype offset = from.offset;
    for (qsizetype p = from.page; p < m_pages.size() && out.size() < length; ++p) {
        const Page &page = m_pages.at(p);
        for (qsizetype i = (p == from.page ? from.piece : 0);
             i < page.size() && out.size() < length; ++i) {
            const QString &piece = page.at(i);
            out.append(QStringView(piece).mid(offset, length - out.size()));
            offset = 0;
        }
    }
    return out;
}

QChar SharedText::at(qsizetype position) const
{
    Q_ASSERT(position >= 0 && position < m_size);
    return mid(position, 1).at(0);
}

SharedText::Place SharedText::locate(qsizetype position) const
{
    Place place;
    qsizetype before = 0;
    for (qsizetype p = 0; p < m_pages.size(); ++p) {
        const qsizetype pageSize = m_pageSizes.at(p);
        if (position <= before + pageSize || p + 1 == m_pages.size()) {
            place.page = p;
            const Page &page = m_pages.at(p);
            for (qsizetype i = 0; i < page.size(); ++i) {
                const qsizetype pieceSize = page.at(i).size();
                if (position <= before + pieceSize || i + 1 == page.size()) {
                    place.piece = i;
                    place.offset = position - before;
                    return place;
                }
                before += pieceSize;
            }
            return place;
        }
        before += pageSize;
    }
    return place;
}

void SharedText::replace(qsizetype position, qsizetype length, QStringView after)
{
    position = qBound<qsizetype>(0, position, m_size);
    length = qBound<qsizetype>(0, length, m_size - position);
    if (length == 0 && after.isEmpty())
        return;

    if (m_pages.isEmpty()) {
        const QList<QString> pieces = cutIntoPieces(after);
        for (qsizetype at = 0; at < pieces.size(); at += kPagePieces) {
            m_pages.append(pieces.mid(at, kPagePieces));
            m_pageSizes.append(sizeOf(m_pages.constLast()));
        }
        m_size = after.size();
        return;
    }

    const Place first = locate(position);
    const Place last = length > 0 ? locate(position + length) : first;
    m_size += after.size() - length;

    if (first.page == last.page && first.piece == last.piece) {
        // The usual case, a key press: the change lies inside one piece.
        QString &piece = m_pages[first.page][first.piece];
        piece.replace(first.offset, length, after.data(), after.size());
        m_pageSizes[first.page] += after.size() - length;
        if (piece.size() > kMaxPiece) {
            const QString grown = piece;
            setPieces(first.page, first.piece, 1, grown);
        } else if (piece.size() < kPiece / 8) {
            // Keep pieces from crumbling: a small piece joins its neighbour.
            const Page &page = m_pages.at(first.page);
            if (first.piece + 1 < page.size()
                && piece.size() + page.at(first.piece + 1).size() <= kPiece) {
                const QString joined = piece + page.at(first.piece + 1);
                setPieces(first.page, first.piece, 2, joined);
            } else if (piece.isEmpty()) {
                setPieces(first.page, first.piece, 1, {});
            }
        }
        splitPage(first.page);
        mergePages(first.page);
        return;
    }

    // A change across pieces: the pieces it touches are joined, changed and cut anew.
    const QString &firstPiece = m_pages.at(first.page).at(first.piece);
    const QString &lastPiece = m_pages.at(last.page).at(last.piece);
    QString changed;
    changed.reserve(first.offset + after.size() + lastPiece.size() - last.offset);
    changed.append(QStringView(firstPiece).left(first.offset));
    changed.append(after);
    changed.append(QStringView(lastPiece).mid(last.offset));
    if (first.page == last.page) {
        setPieces(first.page, first.piece, last.piece - first.piece + 1, changed);
    } else {
        Page &lastPage = m_pages[last.page];
        lastPage.remove(0, last.piece + 1);
        m_pageSizes[last.page] = sizeOf(lastPage);
        m_pages.remove(first.page + 1, last.page - first.page - 1);
        m_pageSizes.remove(first.page + 1, last.page - first.page - 1);
        setPieces(first.page, first.piece, m_pages.at(first.page).size() - first.piece,
                  changed);
        // The remains of the last page now follow the first page.
        mergePages(first.page + 1);
    }
    splitPage(first.page);
    mergePages(first.page);
}

void SharedText::setPieces(qsizetype page, qsizetype firstPiece, qsizetype pieceCount,
                           QStringView text)
{
    Page &pieces = m_pages[page];
    pieces.remove(firstPiece, pieceCount);
    const QList<QString> cut = cutIntoPieces(text);
    for (qsizetype i = 0; i < cut.size(); ++i)
        pieces.insert(firstPiece + i, cut.at(i));
    m_pageSizes[page] = sizeOf(pieces);
}

void SharedText::splitPage(qsizetype page)
{
    if (page >= m_pages.size() || m_pages.at(page).size() <= kMaxPagePieces)
        return;
    const Page whole = m_pages.at(page);
    m_pages.remove(page);
    m_pageSizes.remove(page);
    qsizetype at = page;
    for (qsizetype i = 0; i < whole.size(); i += kPagePieces, ++at) {
        m_pages.insert(at, whole.mid(i, kPagePieces));
        m_pageSizes.insert(at, sizeOf(m_pages.at(at)));
    }
}

void SharedText::mergePages(qsizetype page)
{
    if (page >= m_pages.size())
        return;
    if (m_pages.at(page).isEmpty()) {
        m_pages.remove(page);
        m_pageSizes.remove(page);
        return;
    }
    // Pages that have shrunk join a neighbour, so that the page list stays short.
    auto join = [this](qsizetype left) {
        if (left < 0 || left + 1 >= m_pages.size())
            return false;
        if (m_pages.at(left).size() + m_pages.at(left + 1).size() > kPagePieces)
            return false;
        m_pages[left].append(m_pages.at(left + 1));
        m_pageSizes[left] += m_pageSizes.at(left + 1);
        m_pages.remove(left + 1);
        m_pageSizes.remove(left + 1);
        return true;
    };
    if (!join(page))
        join(page - 1);
}

bool SharedText::isSharedWith(const SharedText &other) const
{
    return m_size == other.m_size && m_pages.constData() == other.m_pages.constData();
}

bool operator==(const SharedText &a, const SharedText &b)
{
    if (a.m_size != b.m_size)
        return false;
    if (a.isSharedWith(b))
        return true;
    // Walk both piece sequences side by side; pieces that are shared compare at once.
    qsizetype pa = 0, ia = 0, oa = 0;
    qsizetype pb = 0, ib = 0, ob = 0;
    auto next = [](const QList<SharedText::Page> &pages, qsizetype &p, qsizetype &i) {
        while (p < pages.size() && i >= pages.at(p).size()) {
            ++p;
            i = 0;
        }
        return p < pages.size();
    };
    while (next(a.m_pages, pa, ia) && next(b.m_pages, pb, ib)) {
        const QString &sa = a.m_pages.at(pa).at(ia);
        const QString &sb = b.m_pages.at(pb).at(ib);
        const qsizetype n = qMin(sa.size() - oa, sb.size() - ob);
        const bool same = (oa == ob && sa.constData() == sb.constData())
            || QStringView(sa).mid(oa, n) == QStringView(sb).mid(ob, n);
        if (!same)
            return false;
        oa += n;
        ob += n;
        if (oa == sa.size()) {
            ++ia;
            oa = 0;
        }
        if (ob == sb.size()) {
            ++ib;
            ob = 0;
        }
    }
    return true;
}

qsizetype SharedText::heldBytes(const QList<SharedText> &texts)
{
    // Each block of the heap is counted once, however many texts share it; a block
    // carries a small header besides its elements.
    constexpr qsizetype kHeader = 16;
    QSet<const void *> seen;
    qsizetype bytes = 0;
    for (const SharedText &text : texts) {
        if (text.m_pages.capacity() > 0 && !seen.contains(text.m_pages.constData())) {
            seen.insert(text.m_pages.constData());
            bytes += kHeader + text.m_pages.capacity() * qsizetype(sizeof(Page));
        }
        if (text.m_pageSizes.capacity() > 0 && !seen.contains(text.m_pageSizes.constData())) {
            seen.insert(text.m_pageSizes.constData());
            bytes += kHeader + text.m_pageSizes.capacity() * qsizetype(sizeof(qsizetype));
        }
        for (const Page &page : text.m_pages) {
            if (seen.contains(page.constData()))
                continue;
            seen.insert(page.constData());
            bytes += kHeader + page.capacity() * qsizetype(sizeof(QString));
            for (const QString &piece : page) {
                if (piece.capacity() == 0 || seen.contains(piece.constData()))
                    continue;
                seen.insert(piece.constData());
                bytes += kHeader + (piece.capacity() + 1) * qsizetype(sizeof(QChar));
            }
        }
    }
    return bytes;
}
