#include "editing/undocommands.h"

#include "platform/richtextpad.h"
#include "shell/documentstate.h"

#include <QTextCursor>

UndoCommands::UndoCommands(RichTextPad &pad, DocumentState &state, QObject *parent)
    : QObject(parent)
    , m_pad(pad)
    , m_state(state)
    , m_mirror(pad.document())
{
    // The pad reports a character key before the character is applied.
    connect(&m_pad, &RichTextPad::keyPressed, this, [this] { pushUndo(); });
    // Any change of the text marks the document changed, whoever made it: a key,
    // a command, a dialog. New, Open and Save clear the mark after their own change.
    connect(&m_mirror, &TextMirror::plainTextChanged, this,
            [this] { m_state.textChanged = true; });
}

void UndoCommands::followPad()
{
    if (m_mirror.document() != m_pad.document())
        m_mirror.setDocument(m_pad.document());
}

const SharedText &UndoCommands::padText()
{
    followPad();
    return m_mirror.text();
}

void UndoCommands::pushUndo()
{
    followPad();
    m_history.pushUndo(m_mirror.text());
}

void UndoCommands::undoMe()
{
    followPad();
    if (const auto text = m_history.undo(m_mirror.text())) {
        restore(*text);
        m_state.textChanged = true;
    }
}

void UndoCommands::redoMe()
{
    followPad();
    if (const auto text = m_history.redo(m_mirror.text())) {
        restore(*text);
        m_state.textChanged = true;
    }
}

void UndoCommands::clearUndo()
{
    m_history.clearUndo();
    m_mirror.takeAsUnchanged();
}

void UndoCommands::restore(const SharedText &text)
{
    const SharedText before = m_mirror.text();
    const auto [prefix, suffix] = SharedText::commonEnds(before, text);
    // Snapshots are plain text: restoring one drops formatting and pictures. A pad
    // that holds plain text only has nothing to drop, and only what differs is put
    // back, so that an Undo costs about what the change it takes back did.
    if (m_pad.holdsPlainTextOnly()) {
        const qsizetype end = before.size() - suffix;
        const QString changed = text.mid(prefix, text.size() - suffix - prefix);
        m_mirror.replacePart(prefix, end - prefix, text, [&] {
            m_pad.replacePlainRange(int(prefix), int(end), RichTextPad::plainTextOf(changed));
        });
    } else {
        m_mirror.replaceAll(text, [this, &text] {
            m_pad.setText(RichTextPad::plainTextOf(text.toString()));
        });
    }
    // The caret goes to the end of what changed, where the user was working.
    const SharedText &after = m_mirror.text();
    const qsizetype afterSuffix = after.isSharedWith(text)
        ? suffix
        : SharedText::commonEnds(before, after).suffix;
    QTextCursor cursor = m_pad.textCursor();
    cursor.setPosition(int(after.size() - afterSuffix));
    m_pad.setTextCursor(cursor);
}
