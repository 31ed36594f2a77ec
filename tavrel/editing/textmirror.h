#pragma once

#include "editing/sharedtext.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QTextDocument>

#include <functional>

// Follows every change of a text document and keeps a SharedText equal to its raw
// text, so that taking a snapshot of a large document costs a copy of a few pointers
// instead of a copy of the whole text. The raw text has one character per document
// position: U+2029 between paragraphs, U+FFFC for each picture; the pad's
// plainTextOf() turns it into the text the pad reports.
class TextMirror : public QObject
{
    Q_OBJECT

public:
    explicit TextMirror(QTextDocument *document, QObject *parent = nullptr);

    const SharedText &text() const { return m_text; }
    QTextDocument *document() const { return m_document; }
    // Follows another document (the pad was given a new one) and reads it afresh.
    void setDocument(QTextDocument *document);

    // Runs `change`, which sets the whole document to the plain text of `text`,
    // without following it piece by piece; then reads the document and keeps `text`
    // itself when the two agree, so that the mirror and the history share it.
    void replaceAll(const SharedText &text, const std::function<void()> &change);

signals:
    // The document's plain text changed, whoever changed it: not raised for a change
    // of formatting or pictures alone, nor for replaceAll() and setDocument().
    void plainTextChanged();

private:
    void onContentsChange(int position, int charsRemoved, int charsAdded);
    void readAll();
    // Reads the document afresh after a change it reported in a way not followed.
    void rereadAll();
    QString readRange(int position, int length) const;

    QPointer<QTextDocument> m_document;
    QMetaObject::Connection m_connection;
    SharedText m_text;
};
