#pragma once

#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <functional>

class HelpBrowser;
class QAction;
class QHelpEngine;
class QLineEdit;
class QTabWidget;

// Tavrel's own help window: the manual's table of contents, its keyword index and a
// full-text search on the left, the page on the right, with Back, Forward and Home.
// When no help collection is found, the page says so and names the folders looked
// in.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    // Looks for the collection in `folders`, in order. Links that leave the manual
    // go to `openExternal`.
    HelpWindow(const QStringList &folders, std::function<void(const QUrl &)> openExternal,
               QWidget *parent = nullptr);
    ~HelpWindow() override;

    // The first page of the manual.
    static QUrl homeUrl();

    // The collection in use, or empty when none was found.
    QString collectionFile() const { return m_collectionFile; }
    QHelpEngine *helpEngine() const { return m_engine; }
    HelpBrowser *browser() const { return m_browser; }
    QTabWidget *tabs() const { return m_tabs; }

    // Brings the window to the front on its table of contents.
    void showContents();

private:
    void buildNavigation();
    void showMissing(const QStringList &folders);
    void showPage(const QUrl &url);
    void syncContents(const QUrl &url);

    QString m_collectionFile;
    QHelpEngine *m_engine = nullptr;
    HelpBrowser *m_browser = nullptr;
    QTabWidget *m_tabs = nullptr;
    QLineEdit *m_indexFilter = nullptr;
    QAction *m_back = nullptr;
    QAction *m_forward = nullptr;
    QAction *m_home = nullptr;
};
