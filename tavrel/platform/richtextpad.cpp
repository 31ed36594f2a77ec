#include "platform/richtextpad.h"

#include "platform/textcodec.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

namespace {

// Paragraph and line separators of the document as the plain text's "\n"; embedded
// pictures have no text.
QString toPlain(QString text)
{
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

bool looksLikeRtf(const QByteArray &bytes)
{
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size() && (bytes.at(i) == ' ' || bytes.at(i) == '\t'
                                || bytes.at(i) == '\r' || bytes.at(i) == '\n'))
        ++i;
    return bytes.mid(i, 5) == "{\\rtf";
}

constexpr double kTwipsPerPoint = 20.0;

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
}

QString RichTextPad::text() const
{
    return toPlain(toPlainText());
}

void RichTextPad::setText(const QString &text)
{
    setPlainText(text);
}

QString RichTextPad::selText() const
{
    return toPlain(textCursor().selectedText());
}

void RichTextPad::setSelText(const QString &text)
{
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
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
    for (QTextBlock block = document()->findBlock(start);
         block.isValid() && block.position() < end; block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() <= start || fragment.position() >= end)
                continue;
            const auto v = read(fragment.charFormat());
            if (!value)
                value = v;
            else if (!(*value == v))
                return std::nullopt;
        }
    }
    if (!value)
        return read(cursor.charFormat());
    return value;
}

void RichTextPad::mergeSelectionFormat(const QTextCharFormat &format)
{
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection())
        cursor.mergeCharFormat(format);
    mergeCurrentCharFormat(format);
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
    QTextCharFormat format;
    format.setFontFamilies({family});
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

std::optional<int> RichTextPad::selCharOffset() const
{
    const QFont base = document()->defaultFont();
    return uniformFormat([base](const QTextCharFormat &f) {
        const double size = f.font().resolve(base).pointSizeF();
        return int(qRound(f.baselineOffset() / 100.0 * size * kTwipsPerPoint));
    });
}

void RichTextPad::setSelCharOffset(int twips)
{
    // The offset is held as a share of the font size, so it is worked out for the
    // size in force where the selection starts.
    const double size = selFontSize().value_or(document()->defaultFont().pointSizeF());
    QTextCharFormat format;
    format.setBaselineOffset(size > 0 ? twips / (size * kTwipsPerPoint) * 100.0 : 0.0);
    format.setVerticalAlignment(QTextCharFormat::AlignNormal);
    mergeSelectionFormat(format);
}

std::optional<bool> RichTextPad::selBold() const
{
    const QFont base = document()->defaultFont();
    return uniformFormat([base](const QTextCharFormat &f) {
        return f.font().resolve(base).bold();
    });
}

void RichTextPad::setSelBold(bool on)
{
    QTextCharFormat format;
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeSelectionFormat(format);
}

std::optional<bool> RichTextPad::selItalic() const
{
    const QFont base = document()->defaultFont();
    return uniformFormat([base](const QTextCharFormat &f) {
        return f.font().resolve(base).italic();
    });
}

void RichTextPad::setSelItalic(bool on)
{
    QTextCharFormat format;
    format.setFontItalic(on);
    mergeSelectionFormat(format);
}

std::optional<bool> RichTextPad::selUnderline() const
{
    const QFont base = document()->defaultFont();
    return uniformFormat([base](const QTextCharFormat &f) {
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
    const QFont base = document()->defaultFont();
    return uniformFormat([base](const QTextCharFormat &f) {
        return f.font().resolve(base).strikeOut();
    });
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
}

bool RichTextPad::loadFile(const QString &path)
{
    m_errorString.clear();
    const QFileInfo info(path);
    if (info.isDir()) {
        m_errorString = tr("%1 is a folder, not a file.").arg(path);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_errorString = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_errorString = file.errorString();
        return false;
    }
    if (looksLikeRtf(bytes) && loadRichText(bytes))
        return true;
    setPlainText(TextCodec::decode(bytes));
    return true;
}

bool RichTextPad::loadRichText(const QByteArray &)
{
    // No rich-text reader yet: such files load as plain text.
    return false;
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

bool RichTextPad::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto *keyEvent = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(
            QKeyCombination(keyEvent->modifiers() & ~Qt::KeypadModifier,
                            Qt::Key(keyEvent->key())));
        for (const QKeySequence &owned : std::as_const(m_ownedShortcuts)) {
            if (owned.matches(pressed) == QKeySequence::ExactMatch) {
                // Not accepting the override lets the window's shortcut run.
                event->ignore();
                return true;
            }
        }
    }
    return QTextEdit::event(event);
}

void RichTextPad::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0) != QChar(0x7F) && !isReadOnly())
        emit keyPressed(text.at(0).unicode());
    QTextEdit::keyPressEvent(event);
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
