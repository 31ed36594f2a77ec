#include "editing/edithistory.h"

void EditHistory::pushUndo(const SharedText &current)
{
    // A new snapshot ends every way forward: what could have been redone goes.
    m_texts.resize(m_position);
    m_lastIsKept = false;
    if (m_texts.isEmpty() || m_texts.constLast() != current)
        m_texts.append(current);
    while (m_texts.size() > kCapacity)
        m_texts.removeFirst();
    m_position = m_texts.size();
}

std::optional<SharedText> EditHistory::undo(const SharedText &current)
{
    if (!canUndo(current))
        return std::nullopt;
    if (atNewest()) {
        if (m_texts.constLast() == current) {
            // Nothing changed since the newest snapshot: it stands for the current
            // text, and Undo goes to the one before it.
            m_position = m_texts.size() - 1;
        } else {
            m_texts.append(current);
            m_lastIsKept = true;
            m_position = m_texts.size() - 1;
        }
    } else {
        m_texts[m_position] = current;
    }
    --m_position;
    return m_texts.at(m_position);
}

std::optional<SharedText> EditHistory::redo(const SharedText &current)
{
    if (!canRedo())
        return std::nullopt;
    m_texts[m_position] = current;
    ++m_position;
    const SharedText next = m_texts.at(m_position);
    if (m_lastIsKept && m_position == m_texts.size() - 1) {
        // Back at the text kept by the first Undo: the pad holds the newest text again.
        m_texts.removeLast();
        m_lastIsKept = false;
        m_position = m_texts.size();
    }
    return next;
}

void EditHistory::clearUndo()
{
    m_texts.clear();
    m_position = 0;
    m_lastIsKept = false;
}

bool EditHistory::canUndo(const SharedText &current) const
{
    if (!atNewest())
        return m_position > 0;
    if (m_texts.isEmpty())
        return false;
    return m_texts.size() > 1 || m_texts.constLast() != current;
}

bool EditHistory::canRedo() const
{
    return !atNewest() && m_position + 1 < m_texts.size();
}

qsizetype EditHistory::snapshotCount() const
{
    return m_texts.size() - (m_lastIsKept ? 1 : 0);
}
