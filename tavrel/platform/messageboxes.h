#pragma once

#include <QString>

// Message boxes as the program shows them: a text, a title, a button set and an
// icon; the answer is the button pressed.
class MessageBoxes
{
public:
    enum class Buttons { Ok, YesNo };
    enum class Icon { None, Question, Critical, Exclamation, Information };
    enum class Answer { Ok, Yes, No };

    virtual ~MessageBoxes() = default;
    virtual Answer show(const QString &text, const QString &title, Buttons buttons,
                        Icon icon) = 0;
};
