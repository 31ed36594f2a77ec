#pragma once

#include "editing/sharedtext.h"

#include <QList>

#include <optional>

// The undo history of the pad: plain-text snapshots of the whole text, taken before
// each character key (and around the toolbar's own Cut and Paste), stepped through by
// Undo and Redo. Pure logic on texts; the window feeds it the pad's text and shows
// what it returns.
//
// The rules:
// - The history is a row of texts and a position in it. While the user edits, the
//   pad's text is newer than every text in the row ("the newest text").
// - pushUndo(current) records `current`, the text as it stands before a change. What
//   could have been redone is discarded first. A text equal to the newest snapshot is
//   not recorded twice. When the row holds more than kCapacity snapshots, the oldest
//   goes.
// - undo(current) returns the text as it stood before the last recorded change: the
//   snapshot before the position. From the newest text, `current` is kept at the end
//   of the row so that Redo can return to it; from an older text, `current` replaces
//   the text at the position, so changes made there since (without a snapshot) are
//   not lost either. With nothing earlier, undo does nothing and returns nothing.
// - redo(current) returns the next text of the row, keeping `current` at the
//   position as undo does; at the end of the row it does nothing and returns nothing.
// - clearUndo() forgets everything; the next snapshot starts a new row.
// Holding kCapacity snapshots and the kept text, the row never exceeds
// kCapacity + 1 texts.
class EditHistory
{
public:
    static constexpr qsizetype kCapacity = 99;

    void pushUndo(const SharedText &current);
    std::optional<SharedText> undo(const SharedText &current);
    std::optional<SharedText> redo(const SharedText &current);
    void clearUndo();

    bool canUndo(const SharedText &current) const;
    bool canRedo() const;
    // Recorded snapshots, not counting the text kept for Redo.
    qsizetype snapshotCount() const;
    // Every text the history holds, for measuring what it costs.
    const QList<SharedText> &texts() const { return m_texts; }

private:
    bool atNewest() const { return m_position == m_texts.size(); }

    QList<SharedText> m_texts;
    // Index of the text the pad shows, or m_texts.size() while the pad holds the
    // newest text.
    qsizetype m_position = 0;
    // Whether the last text of the row is the one kept by undo from the newest text
    // rather than a snapshot.
    bool m_lastIsKept = false;
};
