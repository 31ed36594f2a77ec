#include "editing/sharedtext.h"

#include <QSet>

namespace {

// A piece is cut to kPiece characters and re-cut when a change makes it longer than
// kMaxPiece; a page holds kPagePieces pieces and is split above kMaxPagePieces. A
// change copies the page list, one page and one piece: for a 10 MB text some forty
// and sixty pointers and a few kilobytes.
constexpr qsizetype kPiece = 4096;
constexpr qsizetype kMaxPiece = 2 * kPiece;
constexpr qsizetype kPagePieces = 64;
constexpr qsizetype kMaxPagePieces = 2 * kPagePieces;

using Piece = SharedText::Piece;
using Page = SharedText::Page;
using Book = SharedText::Book;
template<typename T>
using Ref = SharedText::Ref<T>;

std::vector<Ref<Piece>> cutIntoPieces(QStringView text)
{
    std::vector<Ref<Piece>> pieces;
    pieces.reserve(size_t((text.size() + kPiece - 1) / kPiece));
    for (qsizetype at = 0; at < text.size(); at += kPiece)
        pieces.emplace_back(new Piece(text.mid(at, kPiece)));
    return pieces;
}

qsizetype sizeOf(const std::vector<Ref<Piece>> &pieces)
{
    qsizetype size = 0;
    for (const Ref<Piece> &piece : pieces)
        size += piece->text.size();
    return size;
}

// A walk over a text's pieces from its start or from its end, the offset counting the
// characters of the current piece already passed in that direction.
class PieceWalk
{
public:
    PieceWalk(const Ref<Book> &book, bool backward) : m_backward(backward)
    {
        if (book)
            m_pages = &book->pages;
        settle();
    }

    // The current page while the walk stands at its first character, else null.
    const Page *pageAhead() const
    {
        return m_piece == 0 && m_offset == 0 && m_page < size() ? page() : nullptr;
    }
    // The current piece, or null at the end of the text.
    const Piece *piece() const { return m_page < size() ? pieceAt(m_piece) : nullptr; }
    qsizetype offset() const { return m_offset; }
    qsizetype left() const { return piece()->text.size() - m_offset; }
    // The next n characters of the current piece, in the text's order.
    QStringView ahead(qsizetype n) const
    {
        const QStringView text(piece()->text);
        return text.mid(m_backward ? text.size() - m_offset - n : m_offset, n);
    }
    bool isBackward() const { return m_backward; }
    void skipPage()
    {
        ++m_page;
        m_piece = 0;
        m_offset = 0;
        settle();
    }
    void advance(qsizetype n)
    {
        m_offset += n;
        settle();
    }

private:
    size_t size() const { return m_pages ? m_pages->size() : 0; }
    const Page *page() const
    {
        return (*m_pages)[m_backward ? size() - 1 - m_page : m_page].get();
    }
    const Piece *pieceAt(size_t i) const
    {
        const auto &pieces = page()->pieces;
        return pieces[m_backward ? pieces.size() - 1 - i : i].get();
    }
    // Moves past the pieces and pages the walk has passed to the end of.
    void settle()
    {
        while (m_page < size()) {
            if (m_piece < page()->pieces.size()) {
                if (m_offset < pieceAt(m_piece)->text.size())
                    return;
                ++m_piece;
                m_offset = 0;
            } else {
                ++m_page;
                m_piece = 0;
            }
        }
    }

    const std::vector<Ref<Page>> *m_pages = nullptr;
    bool m_backward;
    size_t m_page = 0;
    size_t m_piece = 0;
    qsizetype m_offset = 0;
};

// How many characters the two walks pass alike, up to `limit`.
qsizetype walkAlike(PieceWalk &a, PieceWalk &b, qsizetype limit)
{
    qsizetype count = 0;
    while (count < limit) {
        const Page *page = a.pageAhead();
        if (page && page == b.pageAhead()) {
            count += page->size;
            a.skipPage();
            b.skipPage();
            continue;
        }
        if (!a.piece() || !b.piece())
            break;
        const qsizetype n = qMin(qMin(a.left(), b.left()), limit - count);
        const QStringView runA = a.ahead(n);
        const QStringView runB = b.ahead(n);
        if ((a.piece() != b.piece() || a.offset() != b.offset()) && runA != runB) {
            for (qsizetype k = 0; k < n; ++k) {
                const qsizetype i = a.isBackward() ? n - 1 - k : k;
                if (runA.at(i) != runB.at(i))
                    return count + k;
            }
        }
        count += n;
        a.advance(n);
        b.advance(n);
    }
    return qMin(count, limit);
}

} // namespace

SharedText::CommonEnds SharedText::commonEnds(const SharedText &a, const SharedText &b)
{
    CommonEnds ends;
    const qsizetype shorter = qMin(a.m_size, b.m_size);
    {
        PieceWalk wa(a.m_book, false);
        PieceWalk wb(b.m_book, false);
        ends.prefix = walkAlike(wa, wb, shorter);
    }
    PieceWalk wa(a.m_book, true);
    PieceWalk wb(b.m_book, true);
    ends.suffix = walkAlike(wa, wb, shorter - ends.prefix);
    return ends;
}

SharedText::SharedText(const QString &text)
{
    replace(0, 0, text);
}

SharedText SharedText::adopting(const QString &text)
{
    SharedText adopted;
    if (text.isEmpty())
        return adopted;
    auto *book = new Book;
    for (qsizetype at = 0; at < text.size();) {
        auto *page = new Page;
        for (qsizetype i = 0; i < kPagePieces && at < text.size(); ++i) {
            const qsizetype length = qMin(kPiece, text.size() - at);
            page->pieces.emplace_back(new Piece(text, at, length));
            page->size += length;
            at += length;
        }
        book->pages.emplace_back(page);
    }
    adopted.m_book = Ref<Book>(book);
    adopted.m_size = text.size();
    return adopted;
}

QString SharedText::toString() const
{
    QString out;
    out.reserve(m_size);
    forEachChunk([&out](QStringView chunk) { out.append(chunk); });
    return out;
}

void SharedText::forEachChunk(const std::function<void(QStringView)> &visit) const
{
    if (!m_book)
        return;
    for (const Ref<Page> &page : m_book->pages) {
        for (const Ref<Piece> &piece : page->pieces)
            visit(piece->text);
    }
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
    const auto &pages = m_book->pages;
    for (size_t p = size_t(from.page); p < pages.size() && out.size() < length; ++p) {
        const auto &pieces = pages[p]->pieces;
        for (size_t i = (qsizetype(p) == from.page ? size_t(from.piece) : 0);
             i < pieces.size() && out.size() < length; ++i) {
            out.append(QStringView(pieces[i]->text).mid(offset, length - out.size()));
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
    if (!m_book)
        return place;
    const auto &pages = m_book->pages;
    qsizetype before = 0;
    for (size_t p = 0; p < pages.size(); ++p) {
        const Page &page = *pages[p];
        if (position <= before + page.size || p + 1 == pages.size()) {
            place.page = qsizetype(p);
            for (size_t i = 0; i < page.pieces.size(); ++i) {
                const qsizetype pieceSize = page.pieces[i]->text.size();
                if (position <= before + pieceSize || i + 1 == page.pieces.size()) {
                    place.piece = qsizetype(i);
                    place.offset = position - before;
                    return place;
                }
                before += pieceSize;
            }
            return place;
        }
        before += page.size;
    }
    return place;
}

void SharedText::replace(qsizetype position, qsizetype length, QStringView after)
{
    position = qBound<qsizetype>(0, position, m_size);
    length = qBound<qsizetype>(0, length, m_size - position);
    if (length == 0 && after.isEmpty())
        return;

    if (!m_book || m_book->pages.empty()) {
        auto *book = new Book;
        std::vector<Ref<Piece>> pieces = cutIntoPieces(after);
        for (size_t at = 0; at < pieces.size(); at += size_t(kPagePieces)) {
            auto *page = new Page;
            const size_t end = std::min(pieces.size(), at + size_t(kPagePieces));
            for (size_t i = at; i < end; ++i)
                page->pieces.push_back(std::move(pieces[i]));
            page->size = sizeOf(page->pieces);
            book->pages.emplace_back(page);
        }
        m_book = Ref<Book>(book);
        m_size = after.size();
        return;
    }

    const Place first = locate(position);
    const Place last = length > 0 ? locate(position + length) : first;
    m_size += after.size() - length;
    Book *book = m_book.detach();

    if (first.page == last.page && first.piece == last.piece) {
        // The usual case, a key press: the change lies inside one piece.
        Page *page = book->pages[size_t(first.page)].detach();
        Piece *piece = page->pieces[size_t(first.piece)].detach();
        if (!piece->adoptedFrom.isNull()) {
            // Its own characters now, with room to type into.
            QString own;
            own.reserve(piece->text.size() + after.size() + 16);
            own.append(piece->text);
            piece->text = own;
            piece->adoptedFrom = QString();
        }
        piece->text.replace(first.offset, length, after.data(), after.size());
        page->size += after.size() - length;
        if (piece->text.size() > kMaxPiece) {
            const QString grown = piece->text;
            setPieces(book, first.page, first.piece, 1, grown);
        } else if (piece->text.size() < kPiece / 8) {
            // Keep pieces from crumbling: a small piece joins its neighbour.
            const size_t next = size_t(first.piece) + 1;
            if (next < page->pieces.size()
                && piece->text.size() + page->pieces[next]->text.size() <= kPiece) {
                const QString joined = piece->text + page->pieces[next]->text;
                setPieces(book, first.page, first.piece, 2, joined);
            } else if (piece->text.isEmpty()) {
                setPieces(book, first.page, first.piece, 1, {});
            }
        }
        splitPage(book, first.page);
        mergePages(book, first.page);
        return;
    }

    // A change across pieces: the pieces it touches are joined, changed and cut anew.
    QString changed;
    {
        const QString &firstText = book->pages[size_t(first.page)]->pieces[size_t(first.piece)]
                                       ->text;
        const QString &lastText = book->pages[size_t(last.page)]->pieces[size_t(last.piece)]
                                      ->text;
        changed.reserve(first.offset + after.size() + lastText.size() - last.offset);
        changed.append(QStringView(firstText).left(first.offset));
        changed.append(after);
        changed.append(QStringView(lastText).mid(last.offset));
    }
    if (first.page == last.page) {
        setPieces(book, first.page, first.piece, last.piece - first.piece + 1, changed);
    } else {
        Page *lastPage = book->pages[size_t(last.page)].detach();
        lastPage->pieces.erase(lastPage->pieces.begin(),
                               lastPage->pieces.begin() + last.piece + 1);
        lastPage->size = sizeOf(lastPage->pieces);
        book->pages.erase(book->pages.begin() + first.page + 1,
                          book->pages.begin() + last.page);
        const qsizetype firstPageCount = qsizetype(book->pages[size_t(first.page)]->pieces.size());
        setPieces(book, first.page, first.piece, firstPageCount - first.piece, changed);
        // The remains of the last page now follow the first page.
        mergePages(book, first.page + 1);
    }
    splitPage(book, first.page);
    mergePages(book, first.page);
}

void SharedText::setPieces(Book *book, qsizetype page, qsizetype firstPiece,
                           qsizetype pieceCount, QStringView text)
{
    Page *changed = book->pages[size_t(page)].detach();
    auto &pieces = changed->pieces;
    pieces.erase(pieces.begin() + firstPiece, pieces.begin() + firstPiece + pieceCount);
    std::vector<Ref<Piece>> cut = cutIntoPieces(text);
    pieces.insert(pieces.begin() + firstPiece, std::make_move_iterator(cut.begin()),
                  std::make_move_iterator(cut.end()));
    changed->size = sizeOf(pieces);
}

void SharedText::splitPage(Book *book, qsizetype page)
{
    if (page >= qsizetype(book->pages.size())
        || qsizetype(book->pages[size_t(page)]->pieces.size()) <= kMaxPagePieces)
        return;
    const Ref<Page> whole = book->pages[size_t(page)];
    book->pages.erase(book->pages.begin() + page);
    qsizetype at = page;
    const auto &pieces = whole->pieces;
    for (size_t i = 0; i < pieces.size(); i += size_t(kPagePieces), ++at) {
        auto *part = new Page;
        const size_t end = std::min(pieces.size(), i + size_t(kPagePieces));
        part->pieces.assign(pieces.begin() + qsizetype(i), pieces.begin() + qsizetype(end));
        part->size = sizeOf(part->pieces);
        book->pages.insert(book->pages.begin() + at, Ref<Page>(part));
    }
}

void SharedText::mergePages(Book *book, qsizetype page)
{
    auto &pages = book->pages;
    if (page >= qsizetype(pages.size()))
        return;
    if (pages[size_t(page)]->pieces.empty()) {
        pages.erase(pages.begin() + page);
        return;
    }
    // Pages that have shrunk join a neighbour, so that the page list stays short.
    auto join = [&pages](qsizetype left) {
        if (left < 0 || left + 1 >= qsizetype(pages.size()))
            return false;
        const Page &right = *pages[size_t(left) + 1];
        if (qsizetype(pages[size_t(left)]->pieces.size() + right.pieces.size()) > kPagePieces)
            return false;
        Page *joined = pages[size_t(left)].detach();
        joined->pieces.insert(joined->pieces.end(), right.pieces.begin(), right.pieces.end());
        joined->size += right.size;
        pages.erase(pages.begin() + left + 1);
        return true;
    };
    if (!join(page))
        join(page - 1);
}

bool SharedText::isSharedWith(const SharedText &other) const
{
    return m_size == other.m_size && m_book.get() == other.m_book.get();
}

bool operator==(const SharedText &a, const SharedText &b)
{
    if (a.m_size != b.m_size)
        return false;
    if (a.isSharedWith(b) || a.m_size == 0)
        return true;
    // Walk both piece sequences side by side; pieces that are shared compare at once.
    struct Walk {
        const std::vector<SharedText::Ref<SharedText::Page>> &pages;
        size_t page = 0;
        size_t piece = 0;
        qsizetype offset = 0;
        const SharedText::Piece *current()
        {
            while (page < pages.size() && piece >= pages[page]->pieces.size()) {
                ++page;
                piece = 0;
            }
            return page < pages.size() ? pages[page]->pieces[piece].get() : nullptr;
        }
        void advance(qsizetype n, qsizetype size)
        {
            offset += n;
            if (offset == size) {
                ++piece;
                offset = 0;
            }
        }
    };
    Walk wa{a.m_book->pages};
    Walk wb{b.m_book->pages};
    while (true) {
        const SharedText::Piece *pa = wa.current();
        const SharedText::Piece *pb = wb.current();
        if (!pa || !pb)
            return !pa && !pb;
        const qsizetype n = qMin(pa->text.size() - wa.offset, pb->text.size() - wb.offset);
        const bool same = (pa == pb && wa.offset == wb.offset)
            || QStringView(pa->text).mid(wa.offset, n) == QStringView(pb->text).mid(wb.offset, n);
        if (!same)
            return false;
        wa.advance(n, pa->text.size());
        wb.advance(n, pb->text.size());
    }
}

qsizetype SharedText::heldBytes(const QList<SharedText> &texts)
{
    // Each block of the heap is counted once, however many texts share it.
    constexpr qsizetype kHeader = 16;
    QSet<const void *> seen;
    qsizetype bytes = 0;
    for (const SharedText &text : texts) {
        if (!text.m_book || seen.contains(text.m_book.get()))
            continue;
        seen.insert(text.m_book.get());
        const Book &book = *text.m_book;
        bytes += kHeader + qsizetype(sizeof(Book))
            + qsizetype(book.pages.capacity() * sizeof(Ref<Page>));
        for (const Ref<Page> &page : book.pages) {
            if (seen.contains(page.get()))
                continue;
            seen.insert(page.get());
            bytes += kHeader + qsizetype(sizeof(Page))
                + qsizetype(page->pieces.capacity() * sizeof(Ref<Piece>));
            for (const Ref<Piece> &piece : page->pieces) {
                if (seen.contains(piece.get()))
                    continue;
                seen.insert(piece.get());
                bytes += 2 * kHeader + qsizetype(sizeof(Piece))
                    + (piece->text.capacity() + 1) * qsizetype(sizeof(QChar));
                const void *adopted = piece->adoptedFrom.constData();
                if (!piece->adoptedFrom.isNull() && !seen.contains(adopted)) {
                    seen.insert(adopted);
                    bytes += kHeader + (piece->adoptedFrom.size() + 1) * qsizetype(sizeof(QChar));
                }
            }
        }
    }
    return bytes;
}
