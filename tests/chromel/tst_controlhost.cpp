// A host loads the colour selector the way the main window does: by its ProgID,
// through the plugin module, reaching its property and its signal by name only.
// Nothing of Chromel is linked or included here.
#include "platform/controlhost.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonObject>
#include <QLibrary>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QTest>
#include <QWidget>

class ClickHandler : public QObject
{
    Q_OBJECT

public:
    explicit ClickHandler(QObject *control) : m_control(control) {}
    QList<int> seen;

public slots:
    void onClick() { seen << m_control->property("SelectedColor").toInt(); }

private:
    QObject *m_control;
};

class TestControlHost : public QObject
{
    Q_OBJECT

private slots:
    void searchPathsStartWithTheProgramFolder();
    void metadataWithoutLoading();
    void createByProgId();
    void progIdIgnoresCase();
    void unknownProgId();

private:
    QString pluginFile() const;
};

QString TestControlHost::pluginFile() const
{
    // The build puts the module beside the program, as in a portable copy.
    const QDir dir(QCoreApplication::applicationDirPath());
    for (const QFileInfo &file : dir.entryInfoList(QDir::Files)) {
        if (!QLibrary::isLibrary(file.fileName()))
            continue;
        const QJsonObject meta = QPluginLoader(file.absoluteFilePath()).metaData();
        if (meta.value(QLatin1String("IID")).toString()
            == QLatin1String("org.tavrel.ActiveControlFactory/1.0"))
            return file.absoluteFilePath();
    }
    return QString();
}

void TestControlHost::searchPathsStartWithTheProgramFolder()
{
    QStringList paths = ControlHost::searchPaths();
    QVERIFY(paths.size() >= 2);
    QCOMPARE(paths.first(), QCoreApplication::applicationDirPath());
    QVERIFY(paths.at(1).endsWith(QLatin1String("/tavrel/controls")));
    QCOMPARE(paths.removeDuplicates(), 0);
}

void TestControlHost::metadataWithoutLoading()
{
    const QString file = pluginFile();
    QVERIFY2(!file.isEmpty(), "no control module beside the test");
    QPluginLoader loader(file);
    const QJsonObject meta = loader.metaData().value(QLatin1String("MetaData")).toObject();
    QCOMPARE(meta.value(QLatin1String("ProgID")).toString(), QStringLiteral("Chromel.ClrSelect"));
    QCOMPARE(meta.value(QLatin1String("Version")).toString(), QStringLiteral("1.0.0"));
    QCOMPARE(meta.value(QLatin1String("Comments")).toString(),
             QStringLiteral("change  background color"));
    QCOMPARE(meta.value(QLatin1String("ProductName")).toString(),
             QStringLiteral("Chromel ActiveX Control"));
    QVERIFY(!meta.value(QLatin1String("Description")).toString().isEmpty());
    QVERIFY(!loader.isLoaded());
}

void TestControlHost::createByProgId()
{
    QWidget form;
    QString error;
    QWidget *control = ControlHost::create(QStringLiteral("Chromel.ClrSelect"), &form, &error);
    QVERIFY2(control, qPrintable(error));
    QCOMPARE(control->parentWidget(), &form);
    QCOMPARE(control->metaObject()->className(), "ClrSelect");

    // The property is a 16-bit integer, starting at 0.
    const QMetaObject *meta = control->metaObject();
    const int propertyIndex = meta->indexOfProperty("SelectedColor");
    QVERIFY(propertyIndex >= 0);
    QCOMPARE(meta->property(propertyIndex).metaType().id(), int(QMetaType::Short));
    QCOMPARE(control->property("SelectedColor").toInt(), 0);

    // The start-up value, set late-bound.
    QVERIFY(control->setProperty("SelectedColor", QVariant::fromValue<qint16>(15)));
    QCOMPARE(control->property("SelectedColor").toInt(), 15);
    control->setProperty("SelectedColor", QVariant::fromValue<qint16>(16));
    QCOMPARE(control->property("SelectedColor").toInt(), 15);

    // The signal, connected by its name to the host's handler, which reads the
    // new index as the main window does.
    QVERIFY(meta->indexOfSignal("Click()") >= 0);
    ClickHandler handler(control);
    QVERIFY(QObject::connect(control, SIGNAL(Click()), &handler, SLOT(onClick())));

    QTest::keyClick(control, Qt::Key_Up);
    QTest::keyClick(control, Qt::Key_Up);
    QCOMPARE(handler.seen, (QList<int>{14, 13}));
    // Setting the property raises nothing.
    control->setProperty("SelectedColor", QVariant::fromValue<qint16>(3));
    QCOMPARE(handler.seen.size(), 2);
}

void TestControlHost::progIdIgnoresCase()
{
    QWidget form;
    QString error;
    QWidget *control = ControlHost::create(QStringLiteral("chromel.clrselect"), &form, &error);
    QVERIFY2(control, qPrintable(error));
    QCOMPARE(control->metaObject()->className(), "ClrSelect");
}

void TestControlHost::unknownProgId()
{
    QWidget form;
    QString error;
    QVERIFY(!ControlHost::create(QStringLiteral("Chromel.NoSuchControl"), &form, &error));
    QVERIFY(error.startsWith(
        QStringLiteral("Chromel.NoSuchControl: no control with this ProgID found in ")));
    QVERIFY(error.contains(QCoreApplication::applicationDirPath()));
    QVERIFY(form.findChildren<QWidget *>().isEmpty());
    // No error text wanted: still a clean failure.
    QVERIFY(!ControlHost::create(QString(), &form));
}

QTEST_MAIN(TestControlHost)
#include "tst_controlhost.moc"
