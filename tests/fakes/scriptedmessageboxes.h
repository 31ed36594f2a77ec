#pragma once

#include "platform/messageboxes.h"

#include <QList>

// Message boxes that record what was shown and answer from a queue: Yes/No boxes
// take the next queued answer (No when none is queued), OK boxes answer OK.
class ScriptedMessageBoxes : public MessageBoxes
{
public:
    struct Shown {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
    };

    Answer show(const QString &text, const QString &title, Buttons buttons,
                Icon icon) override;

    QList<Shown> m_shown;
    QList<Answer> m_answers;
};
