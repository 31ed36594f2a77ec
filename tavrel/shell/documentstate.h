#pragma once

#include <QString>

class QAction;

// The document's state shared by the commands: the file of the last successful
// Save As and the document-changed flag. The enabled state of the Save menu item
// belongs to it.
struct DocumentState
{
    QString currentFile;
    bool textChanged = false;
    QAction *saveItem = nullptr;

    bool saveEnabled() const;
    void setSaveEnabled(bool on);
};
