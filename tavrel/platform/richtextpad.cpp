#include "platform/richtextpad.h"

#include "platform/padlayout.h"
#include "platform/padview.h"
#include "platform/regularfile.h"
#include "platform/rtf/rtfdocumentwriter.h"
#include "platform/rtf/rtfloader.h"
#include "platform/rtf/rtfreader.h"
#include "platform/textcodec.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QFontMetricsF>
#include <QScrollBar>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>

namespace {

// The marks a document's raw text holds where a frame (a table) begins and ends.
constexpr char16_t kBeginningOfFrame = 0xFDD0;
constexpr char16_t kEndOfFrame = 0xFDD1;

// A document's raw character as the plain text has it: paragraph, line and frame
// breaks are "\n"; an embedded picture has no text.
constexpr int kNoPlainChar = -1;

inline int plainCharOf(QChar raw)
{
    switch (raw.unicode()) {
    case QChar::ParagraphSeparator:
    case QChar::LineSeparator:
    case kBeginningOfFrame:
    case kEndOfFrame:
        return u'\n';
    case QChar::ObjectReplacementCharacter:
        return kNoPlainChar;
    default:
        return raw.unicode();
    }
}

// The pad's baseline offset in twips, kept beside the layout's share of the font
// height so that the offset keeps its length when the font changes.
constexpr int kCharOffsetTwips = QTextFormat::UserProperty + 1;
constexpr double kTwipsPerInch = 1440.0;

double fontHeight(const QFont &font)
{
    const QFontMetricsF metrics(font);
    return metrics.ascent() + metrics.descent();
}

} // namespace

RichTextPad::RichTextPad(QWidget *parent)
    : QTextEdit(parent)
{
    // The program keeps its own undo history; the widget's own would only hold a
    // second copy of every edit.
    setUndoRedoEnabled(false);
    // The pad's pop-up menu is the program's own.
    setContextMenuPolicy(Qt::NoContextMenu);
    viewport()->setMouseTracking(true);
    // Documents of any size: a layout that lays out only what is shown, and a view
    // that keeps to the text while it does.
    auto *layout = new PadLayout(document());
    document()->setDocumentLayout(layout);
    new PadView(this, layout);
    // The widget tells a screen reader of the caret's move right after this.
    connect(this, &QTextEdit::cursorPositionChanged, this, [this] { m_markIsCurrent = false; });
}

QString RichTextPad::text() const
{
    return plainTextOf(document()->toRawText());
}

QString RichTextPad::plainTextOf(QString raw)
{
    // One pass over the text, in place: a document's text can be tens of megabytes.
    QChar *out = raw.data();
    const QChar *end = out + raw.size();
    QChar *write = out;
    for (const QChar *read = out; read != end; ++read) {
        const int plain = plainCharOf(*read);
        if (plain != kNoPlainChar)
            *write++ = QChar(char16_t(plain));
    }
    raw.truncate(write - out);
    return raw;
}

bool RichTextPad::samePlainText(QStringView raw1, QStringView raw2)
{
    qsizetype i = 0;
    qsizetype j = 0;
    for (;;) {
        while (i < raw1.size() && plainCharOf(raw1.at(i)) == kNoPlainChar)
            ++i;
        while (j < raw2.size() && plainCharOf(raw2.at(j)) == kNoPlainChar)
            ++j;
        if (i == raw1.size() || j == raw2.size())
            return i == raw1.size() && j == raw2.size();
        if (plainCharOf(raw1.at(i++)) != plainCharOf(raw2.at(j++)))
            return false;
    }
}

void RichTextPad::setText(const QString &text)
{
    // The document takes the text in its own default format, so nothing of the old
    // content's formatting (not even the caret's) carries over; it also spares the
    // widget's second pass over the whole text to set that format again.
    if (!replaceChangedPart(text))
        document()->setPlainText(text);
    setTextCursor(QTextCursor(document()));
}

void RichTextPad::setWholeText(QString text)
{
    // Line breaks written as the document keeps them, in the string itself: the
    // document's text is then this string to the character.
    QChar *c = text.data();
    for (QChar *end = c + text.size(); c != end; ++c) {
        const char16_t u = c->unicode();
        if (u == u'\n' || u == u'\r' || u == kBeginningOfFrame || u == kEndOfFrame)
            *c = QChar::ParagraphSeparator;
    }
    document()->setProperty(kWholeTextProperty, text);
    document()->setPlainText(text);
    document()->setProperty(kWholeTextProperty, QVariant());
    setTextCursor(QTextCursor(document()));
}

bool RichTextPad::holdsPlainTextOnly() const
{
    // The formats a document gives plain text of its own.
    static const struct Plain {
        QTextBlockFormat block;
        QTextCharFormat blockChar;
        QTextCharFormat fragment;
    } plain = [] {
        QTextDocument reference;
        reference.setPlainText(QStringLiteral("x"));
        const QTextBlock block = reference.begin();
        return Plain{block.blockFormat(), block.charFormat(),
                     block.begin().fragment().charFormat()};
    }();

    const QTextDocument *doc = document();
    if (!doc->rootFrame()->childFrames().isEmpty())
        return false;
    // A document keeps every format it was ever given until it is cleared: when it
    // holds none but the plain ones, no paragraph can be formatted, and the text
    // needs no looking at, however long it is.
    const QList<QTextFormat> formats = doc->allFormats();
    const QTextFrameFormat rootFormat = doc->rootFrame()->frameFormat();
    if (std::all_of(formats.cbegin(), formats.cend(), [&](const QTextFormat &format) {
            return format == plain.block || format == plain.blockChar
                || format == plain.fragment || format == rootFormat;
        })) {
        return true;
    }
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat() != plain.block || block.charFormat() != plain.blockChar
            || block.textList())
            return false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat() != plain.fragment)
                return false;
        }
    }
    return true;
}

bool RichTextPad::replaceChangedPart(const QString &text)
{
    // A document of plain paragraphs in its default formats ends up the same whether
    // it is built anew or only its changed part is replaced. Replacing the part keeps
    // the layout of the rest, so that restoring a text that differs by a few
    // characters costs about as much as typing them, however long the text.
    if (!holdsPlainTextOnly())
        return false;
    const QString raw = document()->toRawText();
    auto same = [](QChar stored, QChar wanted) {
        return stored == wanted
               || (stored == QChar::ParagraphSeparator && wanted == QLatin1Char('\n'));
    };
    const qsizetype shorter = qMin(raw.size(), text.size());
    qsizetype prefix = 0;
    while (prefix < shorter && same(raw.at(prefix), text.at(prefix)))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix
           && same(raw.at(raw.size() - 1 - suffix), text.at(text.size() - 1 - suffix)))
        ++suffix;
    if (prefix + suffix == raw.size() && raw.size() == text.size())
        return true;
    replacePlainRange(int(prefix), int(raw.size() - suffix),
                      text.mid(prefix, text.size() - suffix - prefix));
    return true;
}

void RichTextPad::replacePlainRange(int start, int end, const QString &text)
{
    QTextCursor cursor(document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.insertText(text);
}

QString RichTextPad::textOfRange(int start, int end, QList<int> *leftOut) const
{
    QTextCursor cursor(document());
    const int last = document()->characterCount() - 1;
    cursor.setPosition(qBound(0, start, last));
    cursor.setPosition(qBound(cursor.position(), end, last), QTextCursor::KeepAnchor);
    const QString raw = cursor.selectedText();
    if (leftOut) {
        leftOut->clear();
        for (qsizetype i = raw.indexOf(QChar::ObjectReplacementCharacter); i >= 0;
             i = raw.indexOf(QChar::ObjectReplacementCharacter, i + 1)) {
            leftOut->append(cursor.selectionStart() + int(i));
        }
    }
    return plainTextOf(raw);
}

QTextCursor RichTextPad::readingMarkCursor() const
{
    QTextCursor cursor(document());
    const int last = document()->characterCount() - 1;
    cursor.setPosition(qBound(0, m_readingMarkStart, last));
    cursor.setPosition(qBound(0, m_readingMarkStart + m_readingMarkLength, last),
                       QTextCursor::KeepAnchor);
    return cursor;
}

bool RichTextPad::isShown(const QTextCursor &cursor) const
{
    QTextCursor start = cursor;
    start.setPosition(cursor.selectionStart());
    return viewport()->rect().intersects(cursorRect(start));
}

void RichTextPad::setReadingMark(int start, int length)
{
    // Following the reading stops while the user looks elsewhere in the text.
    const bool follow = m_readingMarkLength <= 0 || isShown(readingMarkCursor());
    m_readingMarkStart = start;
    m_readingMarkLength = qMax(0, length);
    drawReadingMark();
    m_markIsCurrent = m_readingMarkLength > 0;
    tellCurrentPosition();
    if (follow && m_readingMarkLength > 0)
        showPosition(readingMarkCursor().selectionStart());
}

void RichTextPad::showPosition(int position)
{
    QTextCursor at(document());
    at.setPosition(qBound(0, position, document()->characterCount() - 1));
    const QRect word = cursorRect(at);
    const QRect view = viewport()->rect();
    if (word.top() < view.top() || word.bottom() > view.bottom()) {
        // A third of the way down, so that the lines to come show.
        QScrollBar *bar = verticalScrollBar();
        bar->setValue(bar->value() + word.top() - view.height() / 3);
    }
    if (word.left() < view.left() || word.right() > view.right()) {
        QScrollBar *bar = horizontalScrollBar();
        bar->setValue(bar->value() + word.left() - view.width() / 3);
    }
}

void RichTextPad::clearReadingMark()
{
    if (m_markIsCurrent) {
        m_markIsCurrent = false;
        tellCurrentPosition();
    }
    if (m_readingMarkLength == 0 && extraSelections().isEmpty())
        return;
    m_readingMarkLength = 0;
    setExtraSelections({});
}

int RichTextPad::currentPosition() const
{
    return m_markIsCurrent ? readingMarkCursor().selectionStart() : textCursor().position();
}

void RichTextPad::tellCurrentPosition()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleTextCursorEvent event(this, currentPosition());
    QAccessible::updateAccessibility(&event);
}

void RichTextPad::drawReadingMark()
{
    if (m_readingMarkLength <= 0) {
        setExtraSelections({});
        return;
    }
    // Yellow, as a highlighter pen marks, unless the pad's own colour is too near it;
    // the text takes a colour of its own, so it reads on the mark whatever its colour.
    const QColor back = backColor();
    const auto distance = [&back](const QColor &c) {
        const int r = c.red() - back.red();
        const int g = c.green() - back.green();
        const int b = c.blue() - back.blue();
        return r * r + g * g + b * b;
    };
    const QColor yellow(255, 255, 0);
    const bool onYellow = distance(yellow) >= 200 * 200;
    QTextEdit::ExtraSelection mark;
    mark.cursor = readingMarkCursor();
    mark.format.setBackground(onYellow ? yellow : QColor(0, 0, 128));
    mark.format.setForeground(onYellow ? QColor(Qt::black) : QColor(Qt::white));
    setExtraSelections({mark});
}

QString RichTextPad::selText() const
{
    return plainTextOf(textCursor().selectedText());
}

void RichTextPad::setSelText(const QString &text)
{
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
}

void RichTextPad::convertSelText(const std::function<QString(const QString &)> &convert)
{
    QTextCursor selection = textCursor();
    if (!selection.hasSelection())
        return;
    const int start = selection.selectionStart();
    int end = selection.selectionEnd();
    struct Run {
        int from;
        int to;
        QTextCharFormat format;
    };
    QList<Run> runs;
    forEachRun(start, end, [&runs](int from, int to, const QTextCharFormat &format) {
        if (!format.isImageFormat())
            runs << Run{from, to, format};
        return true;
    });
    // From the last run back, so that a run changing its length moves nothing that
    // is still to be converted.
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (auto run = runs.crbegin(); run != runs.crend(); ++run) {
        cursor.setPosition(run->from);
        cursor.setPosition(run->to, QTextCursor::KeepAnchor);
        const QString text = cursor.selectedText();
        const QString converted = convert(text);
        if (converted == text)
            continue;
        cursor.insertText(converted, run->format);
        end += int(converted.size() - text.size());
    }
    cursor.endEditBlock();
    selection.setPosition(start);
    selection.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(selection);
}

int RichTextPad::selStart() const
{
    return textCursor().selectionStart();
}

void RichTextPad::setSelStart(int position)
{
    QTextCursor cursor = textCursor();
    const int end = document()->characterCount() - 1;
    cursor.setPosition(qBound(0, position, end));
    setTextCursor(cursor);
}

int RichTextPad::selLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void RichTextPad::setSelLength(int length)
{
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int end = document()->characterCount() - 1;
    cursor.setPosition(start);
    cursor.setPosition(qBound(start, start + qMax(0, length), end), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

template<typename Read>
auto RichTextPad::uniformFormat(Read read) const
    -> std::optional<decltype(read(QTextCharFormat()))>
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return read(cursor.charFormat());
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    std::optional<decltype(read(QTextCharFormat()))> value;
    bool mixed = false;
    forEachRun(start, end, [&](int, int, const QTextCharFormat &format) {
        const auto v = read(format);
        if (!value)
            value = v;
        else if (!(*value == v))
            mixed = true;
        return !mixed;
    });
    if (mixed)
        return std::nullopt;
    if (!value)
        return read(cursor.charFormat());
    return value;
}

void RichTextPad::forEachRun(int start, int end, const RunVisitor &visit) const
{
    for (QTextBlock block = document()->findBlock(start);
         block.isValid() && block.position() < end; block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = qMax(start, fragment.position());
            const int to = qMin(end, fragment.position() + fragment.length());
            if (from < to && !visit(from, to, fragment.charFormat()))
                return;
        }
    }
}

void RichTextPad::mergeSelectionFormat(const QTextCharFormat &format)
{
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection())
        cursor.mergeCharFormat(format);
    mergeCurrentCharFormat(format);
    refreshCharOffsets(cursor.selectionStart(), cursor.selectionEnd());
}

double RichTextPad::twipsToPixels(double twips) const
{
    return twips * logicalDpiY() / kTwipsPerInch;
}

void RichTextPad::refreshCharOffsets(int start, int end)
{
    const QFont base = document()->defaultFont();
    auto share = [this, &base](const QTextCharFormat &f) {
        const double height = fontHeight(f.font().resolve(base));
        const int twips = f.intProperty(kCharOffsetTwips);
        return height > 0 ? twipsToPixels(twips) / height * 100.0 : 0.0;
    };
    struct Run {
        int from;
        int to;
        double share;
    };
    // Gathered first: merging a format splits the fragments being walked.
    QList<Run> runs;
    forEachRun(start, end, [&runs, &share](int from, int to, const QTextCharFormat &format) {
        if (format.hasProperty(kCharOffsetTwips))
            runs << Run{from, to, share(format)};
        return true;
    });
    QTextCursor cursor(document());
    for (const Run &run : std::as_const(runs)) {
        cursor.setPosition(run.from);
        cursor.setPosition(run.to, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setBaselineOffset(run.share);
        cursor.mergeCharFormat(format);
    }
    // Text typed next at the caret.
    const QTextCharFormat current = currentCharFormat();
    if (!textCursor().hasSelection() && current.hasProperty(kCharOffsetTwips)) {
        QTextCharFormat format;
        format.setBaselineOffset(share(current));
        mergeCurrentCharFormat(format);
    }
}

std::optional<QColor> RichTextPad::selColor() const
{
    const QColor text = palette().color(QPalette::Text);
    return uniformFormat([text](const QTextCharFormat &f) {
        return f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : text;
    });
}

void RichTextPad::setSelColor(const QColor &color)
{
    QTextCharFormat format;
    format.setForeground(color);
    mergeSelectionFormat(format);
}

std::optional<QString> RichTextPad::selFontName() const
{
    const QFont base = document()->defaultFont();
    return uniformFormat([base](const QTextCharFormat &f) {
        return f.font().resolve(base).family();
    });
}

void RichTextPad::setSelFontName(const QString &family)
{
    setSelFontFamilies({family});
}

void RichTextPad::setSelFontFamilies(const QStringList &families)
{
    QTextCharFormat format;
    format.setFontFamilies(families);
    mergeSelectionFormat(format);
}

std::optional<double> RichTextPad::selFontSize() const
{
    const QFont base = document()->defaultFont();
    return uniformFormat([base](const QTextCharFormat &f) {
        return f.font().resolve(base).pointSizeF();
    });
}

void RichTextPad::setSelFontSize(double points)
{
    if (points <= 0)
        return;
    QTextCharFormat format;
    format.setFontPointSize(points);
    mergeSelectionFormat(format);
}

int RichTextPad::charOffsetTwips(const QTextCharFormat &f) const
{
    if (f.hasProperty(kCharOffsetTwips))
        return f.intProperty(kCharOffsetTwips);
    // An offset that came with a loaded document holds only the share.
    const double pixelsPerTwip = twipsToPixels(1.0);
    if (f.baselineOffset() == 0 || pixelsPerTwip <= 0)
        return 0;
    const double pixels =
        f.baselineOffset() / 100.0 * fontHeight(f.font().resolve(document()->defaultFont()));
    return int(qRound(pixels / pixelsPerTwip));
}

std::optional<int> RichTextPad::selCharOffset() const
{
    return uniformFormat([this](const QTextCharFormat &f) { return charOffsetTwips(f); });
}

void RichTextPad::setSelCharOffset(int twips)
{
    // The layout wants the offset as a share of each run's font height; merging
    // works that out run by run from the twips kept here.
    QTextCharFormat format;
    format.setProperty(kCharOffsetTwips, twips);
    format.setVerticalAlignment(QTextCharFormat::AlignNormal);
    mergeSelectionFormat(format);
}

std::optional<bool> RichTextPad::uniformFontFlag(bool (QFont::*flag)() const) const
{
    const QFont base = document()->defaultFont();
    return uniformFormat([base, flag](const QTextCharFormat &f) {
        return (f.font().resolve(base).*flag)();
    });
}

std::optional<bool> RichTextPad::selBold() const
{
    return uniformFontFlag(&QFont::bold);
}

void RichTextPad::setSelBold(bool on)
{
    QTextCharFormat format;
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeSelectionFormat(format);
}

std::optional<bool> RichTextPad::selItalic() const
{
    return uniformFontFlag(&QFont::italic);
}

void RichTextPad::setSelItalic(bool on)
{
    QTextCharFormat format;
    format.setFontItalic(on);
    mergeSelectionFormat(format);
}

std::optional<bool> RichTextPad::selUnderline() const
{
    // Dotted, dashed and wavy lines are underlines too, though the font knows only
    // the single one.
    const QFont base = document()->defaultFont();
    return uniformFormat([base](const QTextCharFormat &f) {
        if (f.hasProperty(QTextFormat::TextUnderlineStyle))
            return f.underlineStyle() != QTextCharFormat::NoUnderline;
        return f.font().resolve(base).underline();
    });
}

void RichTextPad::setSelUnderline(bool on)
{
    QTextCharFormat format;
    format.setFontUnderline(on);
    mergeSelectionFormat(format);
}

std::optional<bool> RichTextPad::selStrikeThru() const
{
    return uniformFontFlag(&QFont::strikeOut);
}

void RichTextPad::setSelStrikeThru(bool on)
{
    QTextCharFormat format;
    format.setFontStrikeOut(on);
    mergeSelectionFormat(format);
}

void RichTextPad::setSelAlignment(Alignment alignment)
{
    QTextBlockFormat format;
    switch (alignment) {
    case AlignLeft: format.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute); break;
    case AlignRight: format.setAlignment(Qt::AlignRight | Qt::AlignAbsolute); break;
    case AlignCenter: format.setAlignment(Qt::AlignHCenter); break;
    }
    textCursor().mergeBlockFormat(format);
}

QColor RichTextPad::backColor() const
{
    return palette().color(QPalette::Base);
}

void RichTextPad::setBackColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
    if (m_readingMarkLength > 0)
        drawReadingMark();
}

QString RichTextPad::baseFontName() const
{
    return font().family();
}

void RichTextPad::setBaseFontName(const QString &family)
{
    QFont f = font();
    f.setFamily(family);
    setFont(f);
    document()->setDefaultFont(f);
    refreshCharOffsets(0, document()->characterCount());
}

bool RichTextPad::loadFile(const QString &path)
{
    m_errorString.clear();
    // A text file is decoded as it is read, so that a book's bytes are never held
    // beside its text; an RTF file goes to the reader whole.
    constexpr qint64 kPiece = qint64(1) << 22;
    std::optional<TextCodec::Decoder> decoder;
    bool rtf = false;
    const bool read = RegularFile::readInPieces(
        path, kPiece,
        [&](QByteArrayView piece, qint64 fileSize) {
            if (!decoder) {
                if (Rtf::looksLikeRtf(std::string_view(piece.data(), std::size_t(piece.size())))) {
                    rtf = true;
                    return false;
                }
                decoder.emplace(fileSize);
            }
            decoder->add(piece);
            return true;
        },
        &m_errorString);
    if (!read)
        return false;
    if (rtf) {
        const std::optional<QByteArray> bytes = RegularFile::read(path, RegularFile::kWhole,
                                                                  &m_errorString);
        if (!bytes)
            return false;
        if (loadRichText(*bytes))
            return true;
        decoder.emplace(bytes->size());
        decoder->add(*bytes);
    }
    setWholeText(decoder ? decoder->finish() : QString());
    return true;
}

bool RichTextPad::loadRichText(const QByteArray &bytes)
{
    // A damaged file still loads whatever of it can be read.
    if (!Rtf::loadDocument(bytes, document()))
        return false;
    moveCursor(QTextCursor::Start);
    return true;
}

QByteArray RichTextPad::toRtf() const
{
    return Rtf::writeDocument(*document(),
                              [this](const QTextCharFormat &f) { return charOffsetTwips(f); });
}

int RichTextPad::find(const QString &text, int start, int options)
{
    if (text.isEmpty())
        return -1;
    const int end = document()->characterCount() - 1;
    if (start < 0 || start > end)
        return -1;
    QTextCursor from(document());
    from.setPosition(start);
    QTextDocument::FindFlags flags;
    if (options & FindWholeWord)
        flags |= QTextDocument::FindWholeWords;
    if (options & FindMatchCase)
        flags |= QTextDocument::FindCaseSensitively;
    const QTextCursor found = document()->find(text, from, flags);
    if (found.isNull())
        return -1;
    setTextCursor(found);
    return found.selectionStart();
}

void RichTextPad::replaceRanges(const QList<qsizetype> &starts, int length,
                                const QString &text)
{
    if (starts.isEmpty())
        return;
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    int shift = 0;
    for (const qsizetype start : starts) {
        cursor.setPosition(int(start) + shift);
        cursor.setPosition(int(start) + shift + length, QTextCursor::KeepAnchor);
        cursor.insertText(text);
        shift += int(text.size()) - length;
    }
    cursor.endEditBlock();
    setTextCursor(cursor);
}

void RichTextPad::deleteForward()
{
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection())
        cursor.removeSelectedText();
    else
        cursor.deleteChar();
    setTextCursor(cursor);
}

void RichTextPad::pasteFromClipboard()
{
    paste();
}

void RichTextPad::insertPicture(const QImage &image, const QSizeF &size)
{
    if (image.isNull())
        return;
    const QUrl name(QStringLiteral("tavrel-picture:%1").arg(++m_pictureSerial));
    document()->addResource(QTextDocument::ImageResource, name, image);
    QTextImageFormat format;
    format.setName(name.toString());
    if (size.isValid() && !size.isEmpty()) {
        format.setWidth(size.width());
        format.setHeight(size.height());
    }
    textCursor().insertImage(format);
}

void RichTextPad::setOwnedShortcuts(const QList<QKeySequence> &shortcuts)
{
    m_ownedShortcuts = shortcuts;
}

void RichTextPad::setSelectionShortcuts(const QList<QKeySequence> &shortcuts)
{
    m_selectionShortcuts = shortcuts;
}

bool RichTextPad::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto *keyEvent = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(
            QKeyCombination(keyEvent->modifiers() & ~Qt::KeypadModifier,
                            Qt::Key(keyEvent->key())));
        auto matches = [&pressed](const QList<QKeySequence> &shortcuts) {
            return std::any_of(shortcuts.cbegin(), shortcuts.cend(),
                               [&pressed](const QKeySequence &owned) {
                                   return owned.matches(pressed) == QKeySequence::ExactMatch;
                               });
        };
        if (matches(m_ownedShortcuts)
            || (textCursor().hasSelection() && matches(m_selectionShortcuts))) {
            // Not accepting the override lets the window's shortcut run.
            event->ignore();
            return true;
        }
    }
    return QTextEdit::event(event);
}

void RichTextPad::keyPressEvent(QKeyEvent *event)
{
    // Tab types a tab here; Ctrl+Tab and Ctrl+Shift+Tab move the focus on and back.
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        && (modifiers & Qt::ControlModifier)) {
        const bool forward = event->key() == Qt::Key_Tab && !(modifiers & Qt::ShiftModifier);
        // The text edit's own version refuses while Tab types a tab.
        QWidget::focusNextPrevChild(forward);
        return;
    }
    const QString text = event->text();
    // A letter with Alt held is a command key that no menu took; it types nothing.
    // (The text edit already refuses letters with Ctrl held.)
    if ((modifiers & Qt::AltModifier) && !text.isEmpty() && text.at(0).isPrint()) {
        event->ignore();
        return;
    }
    if (!text.isEmpty() && text.at(0) != QChar(0x7F) && !isReadOnly())
        emit keyPressed(text.at(0).unicode());
    if (event->matches(QKeySequence::InsertParagraphSeparator) && !isReadOnly()
        && startParagraphInLongOne()) {
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

bool RichTextPad::startParagraphInLongOne()
{
    // The text control's own Enter reads the whole paragraph twice (for its list
    // handling): a tenth of a second at 15 MB. Outside lists it does no more than this.
    const auto *layout = qobject_cast<PadLayout *>(document()->documentLayout());
    QTextCursor cursor = textCursor();
    if (!layout || cursor.hasSelection() || cursor.currentList()
        || !layout->isLongParagraph(cursor.block()))
        return false;
    cursor.insertBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
}

void RichTextPad::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved(event->buttons(), event->modifiers(), event->position());
    QTextEdit::mouseMoveEvent(event);
}

bool RichTextPad::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasImage() || QTextEdit::canInsertFromMimeData(source);
}

void RichTextPad::insertFromMimeData(const QMimeData *source)
{
    if (source->hasImage() && !source->hasText()) {
        insertPicture(qvariant_cast<QImage>(source->imageData()));
        return;
    }
    QTextEdit::insertFromMimeData(source);
}
