#pragma once

#include <QList>
#include <QMetaObject>

#include <vector>

class QTextDocument;

// Where the characters of a text being read stand in the document it was taken
// from, following the edits made to the document since: a character after an edit
// moves with it, and one the edit removed has no place any more.
class ReadingPlace
{
public:
    // The text began at document position `start`; `leftOut` holds the positions of
    // the pictures the text left out, in order.
    ReadingPlace(QTextDocument &document, int start, QList<int> leftOut);
    ~ReadingPlace();
    ReadingPlace(const ReadingPlace &) = delete;
    ReadingPlace &operator=(const ReadingPlace &) = delete;

    // The document position of the text's character `offset` now, or -1.
    int position(qsizetype offset) const;

private:
    struct Edit {
        int position;
        int removed;
        int added;
    };

    int m_start;
    QList<int> m_leftOut;
    std::vector<Edit> m_edits;
    QMetaObject::Connection m_connection;
};
