#pragma once

#include <QString>

class QAction;

// The document's state shared by the commands: the file of the last successful
// Save As and the document-changed flag. The enabled state of the Save menu item
// belongs to it.
struct DocumentState
{
    QString currentFile;
    // Raised on every change of the pad's plain text, whoever made it, and by Undo
    // and Redo (the undo history follows the pad for it); cleared by New, by a
    // successful Save or Save As, and by a successful Open.
    bool textChanged = false;
    // The document-name text New sets. The window has no status line to show it;
    // it is kept here for whatever shows the document's name.
    QString documentName;
    QAction *saveItem = nullptr;

    bool saveEnabled() const;
    void setSaveEnabled(bool on);
};
