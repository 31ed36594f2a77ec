#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
#include <utility>
#include <vector>

// A long text held in pieces that copies share. Copying costs next to nothing, and
// changing one copy duplicates only the few pieces the change touches, so a history
// can keep many versions of a large document for little more than one copy of it.
//
// The pieces (a few thousand characters each) are grouped in pages; a copy shares
// the list of pages, a change copies that list, the one page and the one piece it
// touches. The sharing is counted without atomic operations, which is what makes a
// change cheap: a text and its copies belong to one thread.
class SharedText
{
public:
    SharedText() = default;
    // Intentionally implicit: a SharedText is a text, only held differently.
    SharedText(const QString &text);
    SharedText(const char16_t *text) : SharedText(QString::fromUtf16(text)) { }
    // A text holding `text`'s own characters instead of a copy: the pieces read them
    // where they are, and a piece changed takes its own copy first. `text` is never
    // written to.
    static SharedText adopting(const QString &text);

    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }

    QString toString() const;
    // Calls visit() with each run of the text in order, without copying it.
    void forEachChunk(const std::function<void(QStringView)> &visit) const;
    QString mid(qsizetype position, qsizetype length) const;
    QChar at(qsizetype position) const;

    // Replaces `length` characters from `position` by `after`; the range is clamped
    // to the text.
    void replace(qsizetype position, qsizetype length, QStringView after);

    // True when both hold the same pages (a copy not changed since): no character
    // needs comparing.
    bool isSharedWith(const SharedText &other) const;

    // How many characters two texts have in common at their start, and then at their
    // end without overlapping that start: only what lies between differs. Pages and
    // pieces that both share are passed over without reading their characters, so
    // two versions of a long text compare in about the time their change took.
    struct CommonEnds {
        qsizetype prefix = 0;
        qsizetype suffix = 0;
    };
    static CommonEnds commonEnds(const SharedText &a, const SharedText &b);

    friend bool operator==(const SharedText &a, const SharedText &b);
    friend bool operator!=(const SharedText &a, const SharedText &b) { return !(a == b); }

    // Heap bytes held by the given texts together, each shared piece and page
    // counted once.
    static qsizetype heldBytes(const QList<SharedText> &texts);

    struct Piece;
    struct Page;
    struct Book;

    // A counted reference to a piece, page or book, shared by copies.
    template<typename T>
    class Ref
    {
    public:
        Ref() = default;
        explicit Ref(T *object) : m_object(object) { }
        Ref(const Ref &other) : m_object(other.m_object) { if (m_object) ++m_object->refs; }
        Ref(Ref &&other) noexcept : m_object(other.m_object) { other.m_object = nullptr; }
        Ref &operator=(Ref other) noexcept
        {
            std::swap(m_object, other.m_object);
            return *this;
        }
        ~Ref()
        {
            if (m_object && --m_object->refs == 0)
                delete m_object;
        }
        const T *get() const { return m_object; }
        const T *operator->() const { return m_object; }
        const T &operator*() const { return *m_object; }
        explicit operator bool() const { return m_object != nullptr; }
        // The object for changing: copied first when another reference shares it.
        T *detach()
        {
            if (m_object->refs > 1) {
                T *copy = new T(*m_object);
                --m_object->refs;
                m_object = copy;
            }
            return m_object;
        }

    private:
        T *m_object = nullptr;
    };

private:
    struct Place {
        qsizetype page = 0;
        qsizetype piece = 0;
        qsizetype offset = 0;
    };
    // The piece holding `position`; at a boundary between two pieces the earlier
    // piece is chosen (its end), so that typing at the end of a piece extends it.
    Place locate(qsizetype position) const;
    void setPieces(Book *book, qsizetype page, qsizetype firstPiece, qsizetype pieceCount,
                   QStringView text);
    void splitPage(Book *book, qsizetype page);
    void mergePages(Book *book, qsizetype page);

    Ref<Book> m_book;
    qsizetype m_size = 0;
};

// A run of characters, never shared with another piece's QString: a copy copies the
// characters, with room to type into. An adopted piece reads its characters in the
// text it was adopted from, which it keeps alive; changing it copies them first.
struct SharedText::Piece
{
    int refs = 1;
    QString text;
    QString adoptedFrom;

    explicit Piece(QStringView characters)
    {
        text.reserve(characters.size() + 16);
        text.append(characters);
    }
    Piece(const QString &whole, qsizetype from, qsizetype length)
        : text(QString::fromRawData(whole.constData() + from, length))
        , adoptedFrom(whole)
    {
    }
    Piece(const Piece &other) : Piece(QStringView(other.text)) { }
    Piece &operator=(const Piece &) = delete;
};

struct SharedText::Page
{
    int refs = 1;
    std::vector<Ref<Piece>> pieces;
    qsizetype size = 0;

    Page() = default;
    Page(const Page &other) : pieces(other.pieces), size(other.size) { }
    Page &operator=(const Page &) = delete;
};

struct SharedText::Book
{
    int refs = 1;
    std::vector<Ref<Page>> pages;

    Book() = default;
    Book(const Book &other) : pages(other.pages) { }
    Book &operator=(const Book &) = delete;
};
