#pragma once

#include "platform/messageboxes.h"

// Message boxes for benchmarks: nothing is shown. The last text is kept to check a
// result by; a box is answered OK, a question No.
class QuietBoxes : public MessageBoxes
{
public:
    Answer show(const QString &text, const QString &, Buttons buttons, Icon) override
    {
        m_last = text;
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }

    QString m_last;
};
