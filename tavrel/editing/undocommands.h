#pragma once

#include "editing/edithistory.h"
#include "editing/textmirror.h"

#include <QObject>

class RichTextPad;
struct DocumentState;

// The undo history at work on the pad: a snapshot before every character key the
// pad reports and before each editing command, Undo and Redo putting a snapshot back
// as the pad's plain text. The pad's text is followed as it changes, so a snapshot
// never copies the document; every change of it raises the document-changed flag,
// as Undo and Redo do when they did something.
class UndoCommands : public QObject
{
    Q_OBJECT

public:
    UndoCommands(RichTextPad &pad, DocumentState &state, QObject *parent = nullptr);

    // Records the pad's text as it stands now, before a change: a command that edits
    // the pad calls it first, so that one Undo takes back exactly that command.
    void pushUndo();
    void undoMe();
    void redoMe();
    void clearUndo();

    // The pad's text as followed, one character per document position (see
    // TextMirror); reading it copies nothing.
    const SharedText &padText();

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
