#include "editing/textmirror.h"

#include "platform/richtextpad.h"

#include <QAbstractTextDocumentLayout>
#include <QTextCursor>
#include <QTextDocument>

#include <utility>

namespace {

// Reading a short change character by character is cheaper than building a cursor.
constexpr int kShortChange = 256;

// Characters the document keeps for frames (tables) and writes as line breaks.

qsizetype rawSize(const QTextDocument *document)
{
    // The document always ends in one paragraph separator of its own, which is not
    // part of the text.
    return qMax(0, document->characterCount() - 1);
}

// How many characters `text` and `other` have in common from their start.
qsizetype sameStart(const SharedText &text, QStringView other)
{
    qsizetype same = 0;
    bool differs = false;
    text.forEachChunk([&](QStringView chunk) {
        if (differs)
            return;
        const QStringView there = other.mid(same, chunk.size());
        if (there == chunk) {
            same += chunk.size();
            return;
        }
        differs = true;
        const qsizetype shorter = qMin(chunk.size(), there.size());
        for (qsizetype i = 0; i < shorter && chunk.at(i) == there.at(i); ++i)
            ++same;
    });
    return same;
}

// Whether two different characters both stay in the plain text, as different
// characters: after an equal start, the plain texts then differ.
bool plainAndDifferent(QChar a, QChar b)
{
    const QString plainA = RichTextPad::plainTextOf(QString(a));
    const QString plainB = RichTextPad::plainTextOf(QString(b));
    return plainA.size() == 1 && plainB.size() == 1 && plainA != plainB;
}

} // namespace

TextMirror::TextMirror(QTextDocument *document, QObject *parent)
    : QObject(parent)
{
    m_reader.setSingleShot(true);
    connect(&m_reader, &QTimer::timeout, this, [this] { readSlices(false); });
    setDocument(document);
}

const SharedText &TextMirror::text() const
{
    if (m_readTo >= 0)
        const_cast<TextMirror *>(this)->readSlices(true);
    return m_text;
}

void TextMirror::readSlices(bool all)
{
    if (m_readTo < 0)
        return;
    const qsizetype size = m_document ? rawSize(m_document) : 0;
    do {
        const qsizetype length = qMin(kSlice, size - m_readTo);
        if (length > 0) {
            m_text.replace(m_readTo, 0, readRange(int(m_readTo), int(length)));
            m_readTo += length;
        }
    } while (all && m_readTo < size);
    if (m_readTo >= size) {
        m_readTo = -1;
        m_reader.stop();
        if (m_beforeReading) {
            const SharedText before = *std::exchange(m_beforeReading, std::nullopt);
            if (before != m_text
                && !RichTextPad::samePlainText(before.toString(), m_text.toString()))
                emit plainTextChanged();
        }
    } else {
        m_reader.start(0);
    }
}

void TextMirror::setDocument(QTextDocument *document)
{
    disconnect(m_connection);
    m_document = document;
    if (m_document) {
        // A document reports its changes only once it has a layout; a pad's always
        // has one, a bare document gets the default one here.
        m_document->documentLayout();
        m_connection = connect(m_document, &QTextDocument::contentsChange, this,
                               &TextMirror::onContentsChange);
    }
    readAll();
}

void TextMirror::runUnfollowed(const std::function<void()> &change)
{
    m_readTo = -1;
    m_reader.stop();
    disconnect(m_connection);
    change();
    if (m_document) {
        m_connection = connect(m_document, &QTextDocument::contentsChange, this,
                               &TextMirror::onContentsChange);
    }
}

void TextMirror::replaceAll(const SharedText &text, const std::function<void()> &change)
{
    runUnfollowed(change);
    readAll();
    if (m_text == text)
        m_text = text;
}

void TextMirror::replacePart(qsizetype position, qsizetype removed, const SharedText &text,
                             const std::function<void()> &change)
{
    // Read up to now, so that the sizes below are the document's.
    const qsizetype oldSize = this->text().size();
    runUnfollowed(change);
    const qsizetype added = (m_document ? rawSize(m_document) : 0) - (oldSize - removed);
    const QString now = added >= 0 ? readRange(int(position), int(added)) : QString();
    if (added < 0 || now.size() != added) {
        readAll();
        if (m_text == text)
            m_text = text;
        return;
    }
    if (text.size() == oldSize - removed + added && text.mid(position, added) == now)
        m_text = text;
    else
        m_text.replace(position, removed, now);
}

void TextMirror::onContentsChange(int position, int charsRemoved, int charsAdded)
{
    Q_UNUSED(charsAdded);
    if (!m_document)
        return;
    const qsizetype newSize = rawSize(m_document);
    // A change while a new text is read: the reading starts again on the document
    // as it now is.
    if (m_readTo >= 0) {
        m_text = SharedText();
        m_readTo = 0;
        m_reader.start(0);
        return;
    }
    // The sizes reported can include the document's own closing separator (a whole
    // new text is reported so); the range is worked out from the sizes before and
    // after instead.
    const qsizetype oldSize = m_text.size();
    if (position == 0 && charsRemoved >= oldSize && newSize > kSlice) {
        // A file's text that the document carries is shared, not read back.
        const QString whole = m_document->property(RichTextPad::kWholeTextProperty).toString();
        if (whole.size() == newSize && whole.front() == m_document->characterAt(0)
            && whole.back() == m_document->characterAt(int(newSize) - 1)) {
            m_text = SharedText::adopting(whole);
            return;
        }
        // Whatever replaced the whole text, it changed it: at once when the length
        // shows it, else when the new text has been read. New and Open count their
        // text as unchanged afterwards.
        if (newSize != oldSize)
            emit plainTextChanged();
        else if (!m_beforeReading)
            m_beforeReading = m_text;
        m_text = SharedText();
        m_readTo = 0;
        m_reader.start(0);
        return;
    }
    if (position < 0 || position > oldSize) {
        rereadAll();
        return;
    }
    const qsizetype removed = qMin<qsizetype>(charsRemoved, oldSize - position);
    const qsizetype added = newSize - (oldSize - removed);
    if (added < 0 || position + added > newSize) {
        rereadAll();
        return;
    }
    if (added > kSlice && added > newSize / 2) {
        followWideChange();
        return;
    }
    const QString text = readRange(position, int(added));
    if (text.size() != added) {
        rereadAll();
        return;
    }
    const QString before = m_text.mid(position, removed);
    // A change of formatting only reports its range as replaced by itself.
    if (before == text)
        return;
    m_text.replace(position, removed, text);
    if (!RichTextPad::samePlainText(before, text))
        emit plainTextChanged();
}

void TextMirror::followWideChange()
{
    // The document's raw text is copied in one pass and kept as it is, which costs far
    // less than reading the changed range through a cursor and writing it into the
    // pieces. The text before the change stays shared with earlier copies only when
    // the change turns out to touch formatting alone.
    const QString now = m_document->toRawText();
    const qsizetype same = sameStart(m_text, now);
    if (same == now.size() && same == m_text.size())
        return;
    bool plainChanged = true;
    if (same == now.size() || same == m_text.size()
        || !plainAndDifferent(m_text.at(same), now.at(same))) {
        // What follows the common start decides; rare enough to copy.
        plainChanged = !RichTextPad::samePlainText(m_text.mid(same, m_text.size() - same),
                                                   QStringView(now).mid(same));
    }
    m_text = SharedText::adopting(now);
    if (plainChanged)
        emit plainTextChanged();
}

void TextMirror::rereadAll()
{
    const SharedText before = m_text;
    readAll();
    if (m_text != before)
        emit plainTextChanged();
}

QString TextMirror::readRange(int position, int length) const
{
    if (length <= 0)
        return QString();
    if (length <= kShortChange) {
        QString text(length, Qt::Uninitialized);
        for (int i = 0; i < length; ++i)
            text[i] = m_document->characterAt(position + i);
        return text;
    }
    QTextCursor cursor(m_document);
    cursor.setPosition(position);
    cursor.setPosition(position + length, QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

void TextMirror::takeAsUnchanged()
{
    m_beforeReading.reset();
}

void TextMirror::readAll()
{
    m_readTo = -1;
    m_reader.stop();
    m_beforeReading.reset();
    m_text = m_document ? SharedText(m_document->toRawText()) : SharedText();
}
