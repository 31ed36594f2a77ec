#pragma once

#include "platform/wholetext.h"

#include <QKeySequence>
#include <QList>
#include <QTextEdit>

#include <functional>
#include <optional>

class QTextDocument;

// The editing pad: a rich-text box offering exactly the operations the program
// uses. Positions and lengths count characters of the plain text, where each line
// break is one "\n".
class RichTextPad : public QTextEdit
{
    Q_OBJECT

public:
    enum Alignment { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };
    // The property a document's whole text is announced under (see WholeText).
    static constexpr const char *kWholeTextProperty = WholeText::kProperty;
    enum FindOption { FindWholeWord = 2, FindMatchCase = 4 };

    explicit RichTextPad(QWidget *parent = nullptr);

    // The whole plain text, one "\n" per line break; embedded pictures are left out.
    QString text() const;
    // Replaces the whole content with plain text; formatting and pictures go.
    void setText(const QString &text);
    // The plain text of a document's raw text: paragraph, line and frame breaks
    // become "\n" and pictures are left out; every other character, a no-break space
    // among them, stays as it is.
    static QString plainTextOf(QString raw);
    // Whether two pieces of raw text read as the same plain text: they differ at most
    // in pictures and in the kind of their line breaks.
    static bool samePlainText(QStringView raw1, QStringView raw2);

    // Whether the pad holds plain text alone: paragraphs and characters in a
    // document's own default formats, without pictures, lists or tables.
    bool holdsPlainTextOnly() const;
    // Replaces the document positions [start, end) by plain text as setText() puts
    // text in (each line break a paragraph, in the document's default formats); the
    // rest of the document and its layout stay as they are.
    void replacePlainRange(int start, int end, const QString &text);

    // The plain text between two document positions (as selStart() counts them),
    // with the positions of the pictures it leaves out, in order.
    QString textOfRange(int start, int end, QList<int> *leftOut = nullptr) const;
    // The place of the word being heard: a mark drawn over the text, outside the
    // document (no undo step, no change of the text, nothing saved). The view
    // follows the mark, unless the user has scrolled the last one out of sight.
    void setReadingMark(int start, int length);
    void clearReadingMark();
    bool hasReadingMark() const { return m_readingMarkLength > 0; }
    // The text's current position as a screen reader is told it: the start of the
    // marked word while that is what moved last, else the caret. The caret itself
    // stays where the user put it.
    int currentPosition() const;
    // Scrolls the text at `position` into view, a third of the way down, unless it
    // shows already; the caret stays where it is.
    void showPosition(int position);

    QString selText() const;
    // Replaces the selection, or inserts at the caret, leaving the caret after it.
    void setSelText(const QString &text);
    // Replaces each run of the selection that shares one formatting by convert(run),
    // keeping that run's formatting; pictures and runs that convert to themselves are
    // left in place. The converted text stays selected, however its length changed.
    void convertSelText(const std::function<QString(const QString &)> &convert);
    int selStart() const;
    // Moves the caret; the selection becomes empty.
    void setSelStart(int position);
    int selLength() const;
    // Selects from selStart() on; clamped to the end of the text.
    void setSelLength(int length);

    // Formatting of the selection, or of text typed next at the caret. A selection
    // that mixes values reports none.
    std::optional<QColor> selColor() const;
    void setSelColor(const QColor &color);
    std::optional<QString> selFontName() const;
    void setSelFontName(const QString &family);
    // As setSelFontName, naming further families for the characters the first one
    // has no glyph for; selFontName() reports the first.
    void setSelFontFamilies(const QStringList &families);
    std::optional<double> selFontSize() const;
    void setSelFontSize(double points);
    // Offset from the baseline in twips, positive upwards. The offset stays the
    // same length when the text's font or size changes later.
    std::optional<int> selCharOffset() const;
    void setSelCharOffset(int twips);
    std::optional<bool> selBold() const;
    void setSelBold(bool on);
    std::optional<bool> selItalic() const;
    void setSelItalic(bool on);
    std::optional<bool> selUnderline() const;
    void setSelUnderline(bool on);
    std::optional<bool> selStrikeThru() const;
    void setSelStrikeThru(bool on);
    // For every paragraph touched by the selection.
    void setSelAlignment(Alignment alignment);

    QColor backColor() const;
    void setBackColor(const QColor &color);
    QString baseFontName() const;
    void setBaseFontName(const QString &family);

    // Replaces the content with a file: rich text with its formatting, anything else
    // as plain text. On failure the content is left as it was, false is returned and
    // errorString() says why.
    bool loadFile(const QString &path);
    QString errorString() const { return m_errorString; }
    // The whole content as an RTF document, with its formatting, pictures and tables:
    // loadFile() of what this gives shows the same document.
    QByteArray toRtf() const;

    // Searches from the 0-based start to the end. Returns the index of the match,
    // which becomes the selection, or -1.
    int find(const QString &text, int start, int options = 0);
    // Replaces each of the ranges (starts in order, ranges not overlapping) by `text`
    // in one edit, so that the layout follows the document once however many there
    // are. Each replacement takes the formatting of the text it replaces. The caret
    // goes after the last replacement.
    void replaceRanges(const QList<qsizetype> &starts, int length, const QString &text);

    // The pad's own editing keys, reached without a key event: Delete removes the
    // selection or the character after the caret; paste inserts the clipboard's text,
    // or its picture as an embedded picture.
    void deleteForward();
    void pasteFromClipboard();
    void insertPicture(const QImage &image, const QSizeF &size = QSizeF());

    // Keys that belong to the window's commands: the pad gives them up instead of
    // claiming them through ShortcutOverride.
    void setOwnedShortcuts(const QList<QKeySequence> &shortcuts);
    // Keys that belong to the window's commands only while text is selected; without
    // a selection the pad's own editing keeps them (Del deletes the next character).
    void setSelectionShortcuts(const QList<QKeySequence> &shortcuts);

signals:
    // Once per key that produces a character, with its code, before it is applied.
    void keyPressed(int charCode);
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                    const QPointF &position);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    // Enter in a paragraph laid out in pieces; false when the text control's own
    // Enter is needed (lists, a selection, a short paragraph).
    bool startParagraphInLongOne();
    template<typename Read>
    auto uniformFormat(Read read) const -> std::optional<decltype(read(QTextCharFormat()))>;
    void mergeSelectionFormat(const QTextCharFormat &format);
    std::optional<bool> uniformFontFlag(bool (QFont::*flag)() const) const;
    // Calls visit(from, to, format) for each run of one format between start and
    // end, in order; a visit returning false ends the walk.
    using RunVisitor = std::function<bool(int from, int to, const QTextCharFormat &format)>;
    void forEachRun(int start, int end, const RunVisitor &visit) const;
    // Works the baseline offsets held in twips into shares of each run's font height,
    // as the layout wants them, for the runs touching [start, end).
    void refreshCharOffsets(int start, int end);
    double twipsToPixels(double twips) const;
    // A run's offset from the baseline in twips, however the format holds it.
    int charOffsetTwips(const QTextCharFormat &format) const;
    bool loadRichText(const QByteArray &bytes);
    // Replaces the content with a file's plain text, taking the string over.
    void setWholeText(QString text);
    bool replaceChangedPart(const QString &text);
    QTextCursor readingMarkCursor() const;
    bool isShown(const QTextCursor &cursor) const;
    void drawReadingMark();
    void tellCurrentPosition();

    QList<QKeySequence> m_ownedShortcuts;
    QList<QKeySequence> m_selectionShortcuts;
    QString m_errorString;
    int m_pictureSerial = 0;
    int m_readingMarkStart = 0;
    int m_readingMarkLength = 0;
    // Whether the mark moved since the caret did.
    bool m_markIsCurrent = false;
};
