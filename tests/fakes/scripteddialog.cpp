#include "fakes/scripteddialog.h"

void ScriptedDialog::answerFile(const QString &kind, const QString &path)
{
    m_answers << Answer{kind, true, path, true, {}};
}

void ScriptedDialog::answerCancel(const QString &kind)
{
    m_answers << Answer{kind, false, {}, false, {}};
}

void ScriptedDialog::answerWith(const QString &kind, std::function<void(CommonDialog &)> change)
{
    m_answers << Answer{kind, true, {}, false, std::move(change)};
}

bool ScriptedDialog::take(const QString &kind)
{
    m_shown << Shown{kind, filter(), filterIndex(), fileName()};
    for (qsizetype i = 0; i < m_answers.size(); ++i) {
        if (m_answers.at(i).kind != kind)
            continue;
        const Answer answer = m_answers.takeAt(i);
        if (!answer.accept)
            return false;
        if (answer.isFile)
            acceptFile(answer.path);
        if (answer.change)
            answer.change(*this);
        return true;
    }
    return false;
}

bool ScriptedDialog::showOpen() { return take(QStringLiteral("open")); }
bool ScriptedDialog::showSave() { return take(QStringLiteral("save")); }
bool ScriptedDialog::showPrinter(QPrinter *) { return take(QStringLiteral("printer")); }
bool ScriptedDialog::showFont() { return take(QStringLiteral("font")); }
bool ScriptedDialog::showColor() { return take(QStringLiteral("color")); }
