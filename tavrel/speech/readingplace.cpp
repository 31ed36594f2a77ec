#include "speech/readingplace.h"

#include <QTextDocument>

ReadingPlace::ReadingPlace(QTextDocument &document, int start, QList<int> leftOut)
    : m_start(start)
    , m_leftOut(std::move(leftOut))
{
    m_connection = QObject::connect(&document, &QTextDocument::contentsChange,
                                    [this](int position, int removed, int added) {
                                        // A change of formatting alone leaves every
                                        // character where it was.
                                        if (removed != added)
                                            m_edits.push_back({position, removed, added});
                                    });
}

ReadingPlace::~ReadingPlace()
{
    QObject::disconnect(m_connection);
}

int ReadingPlace::position(qsizetype offset) const
{
    qsizetype position = m_start + offset;
    for (const int picture : m_leftOut) {
        if (picture > position)
            break;
        ++position;
    }
    // The edits in the order they were made, each moving what came after it.
    for (const Edit &edit : m_edits) {
        if (position >= edit.position + edit.removed)
            position += edit.added - edit.removed;
        else if (position >= edit.position)
            return -1;
    }
    return int(position);
}
