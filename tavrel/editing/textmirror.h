#pragma once

#include "editing/sharedtext.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QTextDocument>
#include <QTimer>

#include <functional>
#include <optional>

// Follows every change of a text document and keeps a SharedText equal to its raw
// text, so that taking a snapshot of a large document costs a copy of a few pointers
// instead of a copy of the whole text. The raw text has one character per document
// position: U+2029 between paragraphs, U+FFFC for each picture; the pad's
// plainTextOf() turns it into the text the pad reports.
//
// A whole new text of more than kSlice characters (a file opened) is read in slices
// from the event loop, so that the document is shown before its copy is made;
// text() finishes the reading first when it is asked for before. Such a text is
// still a change of the plain text when it replaces the old one (Select All and a
// large paste): reported at once when the length differs, else once it is read.
class TextMirror : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype kSlice = 1 << 18;

    explicit TextMirror(QTextDocument *document, QObject *parent = nullptr);

    const SharedText &text() const;
    // Whether a new text is still being read.
    bool isReading() const { return m_readTo >= 0; }
    QTextDocument *document() const { return m_document; }
    // Follows another document (the pad was given a new one) and reads it afresh.
    void setDocument(QTextDocument *document);

    // Runs `change`, which sets the whole document to the plain text of `text`,
    // without following it piece by piece; then reads the document and keeps `text`
    // itself when the two agree, so that the mirror and the history share it.
    void replaceAll(const SharedText &text, const std::function<void()> &change);
    // Runs `change`, which replaces `removed` characters of the document from
    // `position`, without following it; then reads back only the characters put
    // there. `text` agrees with the document outside that range; when it agrees
    // inside too, the mirror keeps `text` itself, as replaceAll() does.
    void replacePart(qsizetype position, qsizetype removed, const SharedText &text,
                     const std::function<void()> &change);
    // The text as it now stands counts as unchanged (a file just opened or saved): a
    // comparison still due when a new text has been read is dropped.
    void takeAsUnchanged();

signals:
    // The document's plain text changed, whoever changed it: not raised for a change
    // of formatting or pictures alone, nor for replaceAll(), replacePart() and
    // setDocument().
    void plainTextChanged();

private:
    void onContentsChange(int position, int charsRemoved, int charsAdded);
    // Runs `change` with the document's changes not followed.
    void runUnfollowed(const std::function<void()> &change);
    void readAll();
    // Follows a change over most of a long text by reading the whole text at once.
    void followWideChange();
    // Reads the document afresh after a change it reported in a way not followed.
    void rereadAll();
    QString readRange(int position, int length) const;
    // Reads the next slice of a new text; all of it when `all`.
    void readSlices(bool all);

    QPointer<QTextDocument> m_document;
    QMetaObject::Connection m_connection;
    SharedText m_text;
    // While a new text is read: how far it has been read, else -1.
    qsizetype m_readTo = -1;
    // The text before a whole new text of the same length came in (pasted over
    // everything, say), compared once the new one has been read.
    std::optional<SharedText> m_beforeReading;
    QTimer m_reader;
};
