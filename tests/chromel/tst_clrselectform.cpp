// A form that uses the colour selector, built at run time by QUiLoader through
// the Designer plugin, and the plugin as Designer sees it.
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <QFile>
#include <QPluginLoader>
#include <QSignalSpy>
#include <QTest>
#include <QUiLoader>

class TestClrSelectForm : public QObject
{
    Q_OBJECT

private slots:
    void designerPlugin();
    void formWithTheControl();
};

void TestClrSelectForm::designerPlugin()
{
    QPluginLoader loader(QStringLiteral(CHROMEL_DESIGNER_PLUGIN));
    QObject *root = loader.instance();
    QVERIFY2(root, qPrintable(loader.errorString()));
    auto *plugin = qobject_cast<QDesignerCustomWidgetInterface *>(root);
    QVERIFY(plugin);
    QCOMPARE(plugin->name(), QStringLiteral("ClrSelect"));
    QCOMPARE(plugin->includeFile(), QStringLiteral("chromel/clrselect.h"));
    QVERIFY(!plugin->isContainer());
    QVERIFY(plugin->domXml().contains(QLatin1String("class=\"ClrSelect\"")));

    // The widget box shows a picture of 16 x 15 pixels.
    const QIcon icon = plugin->icon();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.availableSizes(), QList<QSize>{QSize(16, 15)});

    QWidget parent;
    QWidget *control = plugin->createWidget(&parent);
    QVERIFY(control);
    QCOMPARE(control->metaObject()->className(), "ClrSelect");
    QCOMPARE(control->parentWidget(), &parent);
}

void TestClrSelectForm::formWithTheControl()
{
    QUiLoader loader;
    loader.addPluginPath(QStringLiteral(CHROMEL_DESIGNER_DIR));
    QVERIFY(loader.availableWidgets().contains(QStringLiteral("ClrSelect")));

    QFile file(QStringLiteral(TAVREL_TEST_DATA "/clrselectform.ui"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    std::unique_ptr<QWidget> form(loader.load(&file));
    QVERIFY2(form, qPrintable(loader.errorString()));

    auto *control = form->findChild<QWidget *>(QStringLiteral("ClrSelect1"));
    QVERIFY(control);
    QCOMPARE(control->metaObject()->className(), "ClrSelect");
    QCOMPARE(control->geometry(), QRect(112, 8, 73, 17));
    QCOMPARE(control->property("SelectedColor").toInt(), 0);
    QCOMPARE(control->findChild<QWidget *>(QStringLiteral("picPopup"))->width(), 73);

    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    // The tip set on the control in the form shows on its swatch.
    QCOMPARE(control->findChild<QWidget *>(QStringLiteral("picSelection"))->toolTip(),
             QStringLiteral("Background pad color."));

    QSignalSpy clicks(control, SIGNAL(Click()));
    control->setProperty("SelectedColor", QVariant::fromValue<qint16>(15));
    QTest::keyClick(control, Qt::Key_Up);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(control->property("SelectedColor").toInt(), 14);
}

QTEST_MAIN(TestClrSelectForm)
#include "tst_clrselectform.moc"
