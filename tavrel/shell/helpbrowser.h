#pragma once

#include <QTextBrowser>

#include <functional>

class QHelpEngineCore;

// Shows the pages of a help collection. Pages, style sheets and pictures come out of
// the collection (qthelp: addresses); a link to anything else (a web page, a mail
// address) is handed to `openExternal` instead of being shown here.
class HelpBrowser : public QTextBrowser
{
    Q_OBJECT

public:
    HelpBrowser(QHelpEngineCore *engine, std::function<void(const QUrl &)> openExternal,
                QWidget *parent = nullptr);

    QVariant loadResource(int type, const QUrl &name) override;

private:
    void followLink(const QUrl &url);

    QHelpEngineCore *m_engine;
    std::function<void(const QUrl &)> m_openExternal;
};
