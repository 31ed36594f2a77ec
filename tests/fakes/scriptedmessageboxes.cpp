#include "fakes/scriptedmessageboxes.h"

MessageBoxes::Answer ScriptedMessageBoxes::show(const QString &text, const QString &title,
                                                Buttons buttons, Icon icon)
{
    m_shown << Shown{text, title, buttons, icon};
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return m_answers.isEmpty() ? Answer::No : m_answers.takeFirst();
}
