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
    const QString before = m_mirror.text().toString();
    // Snapshots are plain text: restoring one drops formatting and pictures.
    m_mirror.replaceAll(text, [this, &text] {
        m_pad.setText(RichTextPad::plainTextOf(text.toString()));
    });
    // The caret goes to the end of what changed, where the user was working.
    const QString after = m_mirror.text().toString();
    const qsizetype shorter = qMin(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before.at(prefix) == after.at(prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix
           && before.at(before.size() - 1 - suffix) == after.at(after.size() - 1 - suffix))
        ++suffix;
    QTextCursor cursor = m_pad.textCursor();
    cursor.setPosition(int(after.size() - suffix));
    m_pad.setTextCursor(cursor);
}
