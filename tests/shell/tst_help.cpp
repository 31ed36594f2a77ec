// The manual as built into the help collection, the help window that shows it, and
// the About box.
#include "failingdisk.h"
#include "windowfixture.h"

#include "shell/aboutdialog.h"
#include "shell/helpbrowser.h"
#include "shell/helpcommands.h"
#include "shell/helplocation.h"
#include "shell/helpwindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QString kGreeting = QStringLiteral(
    "Welcome to Tavrel Help. You should explore all the contents to get more information "
    "about this program");

// The chapters a user of this program needs, in the order the contents show them.
const QStringList kChapters = {
    QStringLiteral("Getting started"),
    QStringLiteral("Reading aloud"),
    QStringLiteral("Speed and pitch"),
    QStringLiteral("Documents and file formats"),
    QStringLiteral("Formatting text"),
    QStringLiteral("Editing and undo"),
    QStringLiteral("Find and replace"),
    QStringLiteral("Symbols and pictures"),
    QStringLiteral("Printing"),
    QStringLiteral("The pad colour selector"),
    QStringLiteral("Keyboard shortcuts"),
    QStringLiteral("Where the settings are kept"),
    QStringLiteral("Troubleshooting"),
};

QStringList chapterTitles(QHelpEngine *engine)
{
    // The contents are read in the background once the collection is set up.
    QHelpContentModel *model = engine->contentModel();
    if (model->isCreatingContents() || model->rowCount() == 0) {
        QSignalSpy created(model, &QHelpContentModel::contentsCreated);
        created.wait(30000);
    }
    QStringList titles;
    const QModelIndex root = model->index(0, 0);
    for (int row = 0; row < model->rowCount(root); ++row)
        titles << model->data(model->index(row, 0, root), Qt::DisplayRole).toString();
    return titles;
}

// The window builds its search index in the background as soon as events run.
bool waitForSearchIndex(QHelpEngine *engine)
{
    QSignalSpy indexed(engine->searchEngine(), &QHelpSearchEngine::indexingFinished);
    return indexed.wait(60000);
}

// The pages a full-text search finds, best first.
QList<QUrl> searchHits(QHelpEngine *engine, const QString &words)
{
    QHelpSearchEngine *search = engine->searchEngine();
    QSignalSpy searched(search, &QHelpSearchEngine::searchingFinished);
    search->search(words);
    if (!searched.wait(30000))
        return {};
    QList<QUrl> urls;
    for (const QHelpSearchResult &hit : search->searchResults(0, search->searchResultCount()))
        urls << hit.url();
    return urls;
}

// The help files as the build placed them beside the program.
QString builtHelpFolder()
{
    return HelpLocation::findFolder({QCoreApplication::applicationDirPath()});
}

} // namespace

class TstHelp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void contentsHoldEveryChapter();
    void searchFindsThePageOfEachTopic();
    void everyLinkOfTheManualResolves();
    void f1AndTheToolbarOpenTheSameWindow();
    void missingHelpSaysWhereItLooked();
    void helpInAFolderTheUserCannotWriteStillSearches();
    void aboutIsModal();
    void aboutAddressesGoToTheOpener();
};

void TstHelp::initTestCase()
{
    // Caches go to a folder of the test's own.
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY2(!builtHelpFolder().isEmpty(), "the build puts the help beside the program");
}

void TstHelp::contentsHoldEveryChapter()
{
    HelpWindow window({builtHelpFolder()}, {});
    QVERIFY(window.helpEngine());
    QCOMPARE(chapterTitles(window.helpEngine()), kChapters);
    QCOMPARE(window.browser()->source(), HelpWindow::homeUrl());
    QVERIFY(window.browser()->toPlainText().startsWith(QStringLiteral("Tavrel Help")));
}

void TstHelp::searchFindsThePageOfEachTopic()
{
    HelpWindow window({builtHelpFolder()}, {});
    QVERIFY(waitForSearchIndex(window.helpEngine()));
    const QList<QUrl> pitch = searchHits(window.helpEngine(), QStringLiteral("pitch"));
    QVERIFY(!pitch.isEmpty());
    QCOMPARE(pitch.constFirst().fileName(), QStringLiteral("speed-and-pitch.html"));
    QStringList pages;
    for (const QUrl &hit : searchHits(window.helpEngine(), QStringLiteral("printer copies")))
        pages << hit.fileName();
    QVERIFY2(pages.contains(QStringLiteral("printing.html")), qPrintable(pages.join(", ")));
    QVERIFY(!pages.contains(QStringLiteral("speed-and-pitch.html")));
    // The keyword index leads to the same pages.
    const QList<QHelpLink> keyword =
        window.helpEngine()->documentsForKeyword(QStringLiteral("Settings.ini"));
    QCOMPARE(keyword.size(), 1);
    QCOMPARE(keyword.constFirst().url.fileName(), QStringLiteral("settings.html"));
}

void TstHelp::everyLinkOfTheManualResolves()
{
    HelpWindow window({builtHelpFolder()}, {});
    QHelpEngine *engine = window.helpEngine();
    const QString ns = QStringLiteral("org.tavrel.help");
    const QList<QUrl> pages = engine->files(ns, QStringList(), QStringLiteral("html"));
    QVERIFY(pages.size() > kChapters.size());
    const QRegularExpression reference(QStringLiteral("(?:href|src)=\"([^\"]+)\""));
    int checked = 0;
    QStringList linkedPages;
    for (const QUrl &page : pages) {
        const QString html = QString::fromUtf8(engine->fileData(page));
        QVERIFY2(html.contains(QStringLiteral("<title>")), qPrintable(page.toString()));
        for (const QRegularExpressionMatch &m : reference.globalMatch(html)) {
            const QUrl link(m.captured(1));
            if (!link.isRelative())
                continue;
            QUrl target = page.resolved(link);
            const QString anchor = target.fragment();
            target.setFragment(QString());
            const QByteArray data = engine->fileData(target);
            QVERIFY2(!data.isEmpty(), qPrintable(page.toString() + " -> " + m.captured(1)));
            if (!anchor.isEmpty()) {
                QVERIFY2(data.contains("id=\"" + anchor.toUtf8() + '"'),
                         qPrintable(page.toString() + " -> " + m.captured(1)));
            }
            linkedPages << target.fileName();
            ++checked;
        }
    }
    QVERIFY(checked > 50);
    // No page is out of reach: each is linked from another one.
    for (const QUrl &page : pages) {
        if (page.fileName() != QLatin1String("index.html"))
            QVERIFY2(linkedPages.contains(page.fileName()), qPrintable(page.toString()));
    }
    // And the table of contents and the keywords point at pages that exist.
    for (const QHelpLink &link : engine->documentsForKeyword(QStringLiteral("pitch")))
        QVERIFY(!engine->fileData(link.url).isEmpty());
    QHelpContentModel *contents = engine->contentModel();
    const QModelIndex root = contents->index(0, 0);
    for (int row = 0; row < contents->rowCount(root); ++row) {
        const QUrl url = contents->contentItemAt(contents->index(row, 0, root))->url();
        QVERIFY2(!engine->fileData(url).isEmpty(), qPrintable(url.toString()));
    }
}

void TstHelp::f1AndTheToolbarOpenTheSameWindow()
{
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.synth.clear();
    QTest::keyClick(f.window.get(), Qt::Key_F1);
    HelpWindow *help = f.window->helpCommands()->helpWindow();
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QCOMPARE(f.synth.spoken(), QStringList{kGreeting});
    QCOMPARE(help->tabs()->currentIndex(), 0);
    QCOMPARE(help->browser()->source(), HelpWindow::homeUrl());

    // Closing hides the window; the toolbar's Help brings the same one back.
    help->tabs()->setCurrentIndex(2);
    help->close();
    QVERIFY(!help->isVisible());
    f.window->toolbarButton(QStringLiteral("Help"))->trigger();
    QCOMPARE(f.window->helpCommands()->helpWindow(), help);
    QVERIFY(help->isVisible());
    QCOMPARE(help->tabs()->currentIndex(), 0);
    QCOMPARE(f.synth.spoken(), (QStringList{kGreeting, kGreeting}));
    QCOMPARE(f.window->findChildren<HelpWindow *>().size(), 1);
}

void TstHelp::missingHelpSaysWhereItLooked()
{
    QTemporaryDir first;
    QTemporaryDir second;
    HelpWindow window({first.path(), second.path()}, {});
    QVERIFY(window.collectionFile().isEmpty());
    QVERIFY(!window.helpEngine());
    const QString page = window.browser()->toPlainText();
    QVERIFY2(page.contains(QStringLiteral("could not be found")), qPrintable(page));
    QVERIFY(page.contains(first.path()));
    QVERIFY(page.contains(second.path()));
    QVERIFY(page.contains(HelpLocation::collectionName()));
    QVERIFY(window.tabs()->isHidden());
}

void TstHelp::helpInAFolderTheUserCannotWriteStillSearches()
{
    // An installed manual lies where the user may not write, but the search index
    // must be written somewhere.
    QTemporaryDir installed;
    const QDir built(builtHelpFolder());
    for (const QString &name : {HelpLocation::collectionName(), HelpLocation::documentationName()})
        QVERIFY(QFile::copy(built.filePath(name), installed.filePath(name)));
    UnwritableFolder locked(installed.path());
    if (!locked.ok())
        QSKIP("no way to make a folder unwritable here");
    HelpWindow window({installed.path()}, {});
    QVERIFY(!window.collectionFile().isEmpty());
    QVERIFY(!window.collectionFile().startsWith(installed.path()));
    QVERIFY(waitForSearchIndex(window.helpEngine()));
    QCOMPARE(chapterTitles(window.helpEngine()), kChapters);
    const QList<QUrl> hits = searchHits(window.helpEngine(), QStringLiteral("pitch"));
    QVERIFY(!hits.isEmpty());
    QCOMPARE(hits.constFirst().fileName(), QStringLiteral("speed-and-pitch.html"));
}

void TstHelp::aboutIsModal()
{
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QWindow *main = f.window->windowHandle();
    auto *read = f.child<QPushButton>(QStringLiteral("cmdRead"));
    const QPoint readCentre = read->mapTo(f.window.get(), read->rect().center());

    bool seen = false;
    QTimer::singleShot(0, this, [&] {
        auto *about = qobject_cast<AboutDialog *>(QApplication::activeModalWidget());
        QVERIFY(about);
        QVERIFY(QTest::qWaitForWindowActive(about));
        QCOMPARE(about->windowTitle(), QStringLiteral("About Tavrel"));
        QCOMPARE(about->findChild<QLabel *>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("TAVREL"));
        QCOMPARE(about->findChild<QLabel *>(QStringLiteral("Label3"))->text(),
                 QStringLiteral("Version 1.01"));
        QCOMPARE(about->palette().color(QPalette::Window), QColor(255, 192, 255));
        // Keys and clicks meant for the main window go nowhere.
        f.synth.clear();
        QTest::keyClick(main, Qt::Key_N, Qt::ControlModifier);
        QTest::keyClick(main, Qt::Key_F1);
        QTest::mouseClick(main, Qt::LeftButton, Qt::NoModifier, readCentre);
        QVERIFY2(f.synth.m_calls.isEmpty(), qPrintable(f.synth.m_calls.join(", ")));
        seen = true;
        QTest::mouseClick(about->okButton(), Qt::LeftButton);
    });
    f.window->menuItem(QStringLiteral("AboutMe"))->trigger();
    QVERIFY(seen);
    // OK closed the box and it is gone; the window listens again.
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(f.window->findChildren<AboutDialog *>().isEmpty());
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QTest::keyClick(main, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(f.synth.lastSpoken(), QStringLiteral("New document created."));
}

void TstHelp::aboutAddressesGoToTheOpener()
{
    QList<QUrl> opened;
    AboutDialog about([&opened](const QUrl &url) { opened << url; });
    about.show();
    QVERIFY(QTest::qWaitForWindowActive(&about));
    QCOMPARE(about.webLabel()->text(), AboutDialog::webAddress());
    QCOMPARE(about.mailLabel()->text(), AboutDialog::mailAddress());
    QCOMPARE(about.webLabel()->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(about.mailLabel()->cursor().shape(), Qt::PointingHandCursor);

    QTest::mouseClick(about.webLabel(), Qt::LeftButton);
    QTest::mouseClick(about.mailLabel(), Qt::LeftButton);
    QCOMPARE(opened.size(), 2);
    QCOMPARE(opened.at(0).toString(), AboutDialog::webAddress());
    QCOMPARE(opened.at(1).toString(), QStringLiteral("mailto:") + AboutDialog::mailAddress());
    QVERIFY(about.isVisible());

    // From the keyboard: OK has the focus first, Tab reaches the addresses.
    QVERIFY(about.okButton()->hasFocus());
    QTest::keyClick(&about, Qt::Key_Tab);
    QVERIFY(about.webLabel()->hasFocus());
    QTest::keyClick(about.webLabel(), Qt::Key_Return);
    QCOMPARE(opened.size(), 3);
    QCOMPARE(opened.at(2).toString(), AboutDialog::webAddress());
    QVERIFY(about.isVisible());

    QTest::mouseClick(about.okButton(), Qt::LeftButton);
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), int(QDialog::Accepted));
}

QTEST_MAIN(TstHelp)
#include "tst_help.moc"
