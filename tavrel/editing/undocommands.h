#pragma once

#include "editing/edithistory.h"
#include "editing/textmirror.h"

#include <QObject>

class RichTextPad;
struct DocumentState;

// The undo history at work on the pad: a snapshot before every character key the
// pad reports, Undo and Redo putting a snapshot back as the pad's plain text, and
// the document-changed flag raised by each of them when it did something. The
// pad's text is followed as it changes, so a snapshot never copies the document.
class UndoCommands : public QObject
{
    Q_OBJECT

public:
    UndoCommands(RichTextPad &pad, DocumentState &state, QObject *parent = nullptr);

    // Records the pad's text as it stands now, before a change.
    void pushUndo();
    void undoMe();
    void redoMe();
    void clearUndo();

    const EditHistory &history() const { return m_history; }
    const TextMirror &mirror() const { return m_mirror; }

private:
    // The pad may have been handed a new document since; the mirror follows it.
    void followPad();
    void restore(const SharedText &text);

    RichTextPad &m_pad;
    DocumentState &m_state;
    TextMirror m_mirror;
    EditHistory m_history;
};
