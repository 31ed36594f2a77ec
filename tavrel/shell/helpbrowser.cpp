#include "shell/helpbrowser.h"

#include <QHelpEngineCore>

namespace {

bool isHelpUrl(const QUrl &url)
{
    return url.scheme() == QLatin1String("qthelp");
}

} // namespace

HelpBrowser::HelpBrowser(QHelpEngineCore *engine,
                         std::function<void(const QUrl &)> openExternal, QWidget *parent)
    : QTextBrowser(parent)
    , m_engine(engine)
    , m_openExternal(std::move(openExternal))
{
    setObjectName(QStringLiteral("helpBrowser"));
    // Links are followed here, so that one leaving the manual goes to the desktop.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
}

void HelpBrowser::followLink(const QUrl &url)
{
    const QUrl target = url.isRelative() ? source().resolved(url) : url;
    if (isHelpUrl(target))
        setSource(target);
    else if (m_openExternal)
        m_openExternal(target);
}

QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    const QUrl url = name.isRelative() ? source().resolved(name) : name;
    if (m_engine && isHelpUrl(url)) {
        const QByteArray data = m_engine->fileData(url);
        // Pages are UTF-8, as the manual is written.
        if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
            return QString::fromUtf8(data);
        return data;
    }
    return QTextBrowser::loadResource(type, name);
}
