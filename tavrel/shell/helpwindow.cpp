#include "shell/helpwindow.h"

#include "platform/accessibility.h"
#include "shell/helpbrowser.h"
#include "shell/helplocation.h"

#include <QAction>
#include <QApplication>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

HelpWindow::HelpWindow(const QStringList &folders,
                       std::function<void(const QUrl &)> openExternal, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(tr("Tavrel Help"));
    resize(860, 620);

    const QString folder = HelpLocation::findFolder(folders);
    if (!folder.isEmpty())
        m_collectionFile = HelpLocation::usableCollection(folder);
    if (!m_collectionFile.isEmpty()) {
        m_engine = new QHelpEngine(m_collectionFile, this);
        // The collection is only read; its search index lives in a folder of its own.
        m_engine->setReadOnly(true);
        if (!m_engine->setupData()) {
            qWarning("Help: %s: %s", qPrintable(m_collectionFile),
                     qPrintable(m_engine->error()));
            delete m_engine;
            m_engine = nullptr;
            m_collectionFile.clear();
        }
    }

    auto *toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("helpToolbar"));
    toolbar->setAccessibleName(tr("Navigation"));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_back = toolbar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("Back"));
    m_back->setShortcut(QKeySequence::Back);
    m_forward = toolbar->addAction(style()->standardIcon(QStyle::SP_ArrowForward),
                                   tr("Forward"));
    m_forward->setShortcut(QKeySequence::Forward);
    m_home = toolbar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("Home"));
    m_home->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));

    m_browser = new HelpBrowser(m_engine, std::move(openExternal));
    m_browser->setAccessibleName(tr("Page"));
    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("helpTabs"));
    auto *splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({250, 610});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar);
    layout->addWidget(splitter, 1);

    connect(m_back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QAction::setEnabled);
    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    auto *close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);

    if (m_engine) {
        buildNavigation();
        connect(m_home, &QAction::triggered, this, [this] { showPage(homeUrl()); });
        showPage(homeUrl());
    } else {
        m_home->setEnabled(false);
        showMissing(folders);
    }
    Accessibility::nameUnnamed(this);
}

HelpWindow::~HelpWindow() = default;

QUrl HelpWindow::homeUrl()
{
    return QUrl(QStringLiteral("qthelp://org.tavrel.help/manual/index.html"));
}

void HelpWindow::buildNavigation()
{
    QHelpContentWidget *contents = m_engine->contentWidget();
    contents->setObjectName(QStringLiteral("helpContents"));
    contents->setHeaderHidden(true);
    contents->setAccessibleName(tr("Contents"));
    m_tabs->addTab(contents, tr("&Contents"));
    connect(contents, &QHelpContentWidget::linkActivated, this, &HelpWindow::showPage);
    connect(m_engine->contentModel(), &QHelpContentModel::contentsCreated, contents, [this] {
        m_engine->contentWidget()->expandToDepth(0);
        syncContents(m_browser->source());
    });

    auto *indexPage = new QWidget;
    auto *indexLayout = new QVBoxLayout(indexPage);
    indexLayout->setContentsMargins(4, 4, 4, 4);
    auto *lookFor = new QLabel(tr("&Look for:"));
    m_indexFilter = new QLineEdit;
    m_indexFilter->setObjectName(QStringLiteral("helpIndexFilter"));
    lookFor->setBuddy(m_indexFilter);
    QHelpIndexWidget *index = m_engine->indexWidget();
    index->setObjectName(QStringLiteral("helpIndex"));
    index->setAccessibleName(tr("Index"));
    indexLayout->addWidget(lookFor);
    indexLayout->addWidget(m_indexFilter);
    indexLayout->addWidget(index, 1);
    m_tabs->addTab(indexPage, tr("&Index"));
    connect(m_indexFilter, &QLineEdit::textChanged, index,
            [index](const QString &text) { index->filterIndices(text); });
    connect(m_indexFilter, &QLineEdit::returnPressed, index,
            &QHelpIndexWidget::activateCurrentItem);
    connect(index, &QHelpIndexWidget::documentActivated, this,
            [this](const QHelpLink &document) { showPage(document.url); });
    connect(index, &QHelpIndexWidget::documentsActivated, this,
            [this](const QList<QHelpLink> &documents) {
                if (!documents.isEmpty())
                    showPage(documents.constFirst().url);
            });

    QHelpSearchEngine *search = m_engine->searchEngine();
    auto *searchPage = new QWidget;
    auto *searchLayout = new QVBoxLayout(searchPage);
    searchLayout->setContentsMargins(4, 4, 4, 4);
    QHelpSearchQueryWidget *query = search->queryWidget();
    query->setObjectName(QStringLiteral("helpSearchQuery"));
    QHelpSearchResultWidget *results = search->resultWidget();
    results->setObjectName(QStringLiteral("helpSearchResults"));
    searchLayout->addWidget(query);
    searchLayout->addWidget(results, 1);
    m_tabs->addTab(searchPage, tr("&Search"));
    connect(query, &QHelpSearchQueryWidget::search, search,
            [search, query] { search->search(query->searchInput()); });
    connect(results, &QHelpSearchResultWidget::requestShowLink, this, &HelpWindow::showPage);
    // Qt's search leaves its field, its results and the arrows that page through
    // them unnamed; the arrows are made in this order.
    if (auto *input = query->findChild<QLineEdit *>())
        input->setAccessibleName(tr("Search for"));
    if (auto *found = results->findChild<QTextBrowser *>())
        found->setAccessibleName(tr("Search results"));
    const QList<QToolButton *> arrows = results->findChildren<QToolButton *>();
    const QStringList arrowNames = {tr("First page"), tr("Previous page"), tr("Next page"),
                                    tr("Last page")};
    for (qsizetype i = 0; i < arrows.size() && arrows.size() == arrowNames.size(); ++i)
        arrows[i]->setAccessibleName(arrowNames[i]);
    // The index for the full-text search is built in the background, once per
    // version of the manual.
    search->scheduleIndexDocumentation();

    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::syncContents);
}

void HelpWindow::showPage(const QUrl &url)
{
    if (url.isValid())
        m_browser->setSource(url);
}

void HelpWindow::syncContents(const QUrl &url)
{
    // The table of contents marks the chapter on show.
    if (!m_engine)
        return;
    QHelpContentWidget *contents = m_engine->contentWidget();
    QUrl page = url;
    page.setFragment(QString());
    const QModelIndex index = contents->indexOf(page);
    if (index.isValid())
        contents->setCurrentIndex(index);
}

void HelpWindow::showMissing(const QStringList &folders)
{
    // Without this page the window would open empty and say nothing at all.
    QString places;
    for (const QString &folder : folders)
        places += QStringLiteral("<li>%1</li>").arg(folder.toHtmlEscaped());
    m_browser->setHtml(
        tr("<h1>The help could not be found</h1>"
           "<p>Tavrel's manual is the pair of files <b>%1</b> and <b>%2</b>. "
           "Tavrel looked for them in these folders, and none held both:</p><ul>%3</ul>"
           "<p>Reinstalling Tavrel puts them back; in a copy you built yourself, "
           "build the whole project.</p>")
            .arg(HelpLocation::collectionName(), HelpLocation::documentationName(), places));
    m_tabs->hide();
}

void HelpWindow::showContents()
{
    if (m_engine)
        m_tabs->setCurrentIndex(0);
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}
