#include "shell/documentstate.h"

#include <QAction>

bool DocumentState::saveEnabled() const
{
    return saveItem && saveItem->isEnabled();
}

void DocumentState::setSaveEnabled(bool on)
{
    if (saveItem)
        saveItem->setEnabled(on);
}
