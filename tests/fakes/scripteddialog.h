#pragma once

#include "platform/commondialog.h"

#include <QList>
#include <QStringList>

#include <functional>

// A common dialog that answers from a script instead of showing anything. Each show
// takes the next answer queued for its kind; with none queued it is cancelled.
// Every show is recorded as "open", "save", "printer", "font" or "color", with the
// filter and filter index in force when it was shown.
class ScriptedDialog : public CommonDialog
{
public:
    struct Shown {
        QString kind;
        QString filter;
        int filterIndex = 0;
        QString fileName;
    };

    // A file dialog confirmed with this path (an empty path is confirmed empty).
    void answerFile(const QString &kind, const QString &path);
    // The next dialog of this kind is cancelled.
    void answerCancel(const QString &kind);
    // A font, colour or print dialog confirmed after changing the properties.
    void answerWith(const QString &kind, std::function<void(CommonDialog &)> change);

    bool showOpen() override;
    bool showSave() override;
    bool showPrinter(QPrinter *printer) override;
    bool showFont() override;
    bool showColor() override;

    QList<Shown> m_shown;

private:
    struct Answer {
        QString kind;
        bool accept = false;
        QString path;
        bool isFile = false;
        std::function<void(CommonDialog &)> change;
    };
    bool take(const QString &kind);

    QList<Answer> m_answers;
};
