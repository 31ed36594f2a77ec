// Settings.ini from the outside: what the exit writes, what the next start makes of
// it, and what the start does with files it cannot fully use.
#include "failingdisk.h"
#include "filebytes.h"
#include "windowfixture.h"

#include "platform/richtextpad.h"
#include "shell/settingsfile.h"
#include "shell/twips.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

const QString kWelcome = QStringLiteral("Welcome to Tavrel. Enjoy your reading now!");


// The window's size before any setting is applied.
QSize designSize()
{
    Frmmain window;
    return window.geometry().size();
}

} // namespace

class TstSettings : public QObject
{
    Q_OBJECT

private slots:
    void writtenAtExitAndRestoredAtStart();
    void fontNamesWithCommasAndQuotesSurvive_data();
    void fontNamesWithCommasAndQuotesSurvive();
    void lineEndsOfEveryKind_data();
    void lineEndsOfEveryKind();
    void eightFieldsApplyNothing();
    void badFourthFieldKeepsTheFirstThree();
    void otherUnusableFiles_data();
    void otherUnusableFiles();
    void settingsThatAreNoFile_data();
    void settingsThatAreNoFile();
    void wholeNumbersRoundHalfToEven();
    void singlesKeepSevenDigitsWithoutExponent();
    void maximisedWindowStoresItsNormalPlace();
    void storedPlaceFitsTheScreen_data();
    void storedPlaceFitsTheScreen();
    void failedWriteKeepsTheOldFile();
    void scrollBarsShowTheValuesInForce_data();
    void scrollBarsShowTheValuesInForce();
    void voiceChoiceKeptBesideSettings();
};

void TstSettings::writtenAtExitAndRestoredAtStart()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.ini"));
    {
        WindowFixture first(path);
        first.synth.setSpeed(210);
        first.synth.setVolume(70);
        first.synth.setPitch(120);
        first.window->setGeometry(100, 80, 700, 500);
        first.window->sayText()->setBackColor(QColor(0, 128, 128));
        first.window->sayText()->setBaseFontName(QStringLiteral("DejaVu Sans"));
        first.window->exitCommand();
        QCOMPARE(first.terminated, 1);
    }
    // Twips at 15 a pixel; the colour with red in the lowest byte.
    QCOMPARE(readBytes(path),
             QByteArray("210,70,10500,7500,1500,1200,8421376,120,\"DejaVu Sans\"\n"));

    WindowFixture second(path);
    QCOMPARE(second.synth.speed(), 210);
    QCOMPARE(second.synth.volume(), 70);
    QCOMPARE(second.synth.pitch(), 120);
    QCOMPARE(second.window->geometry(), QRect(100, 80, 700, 500));
    QCOMPARE(second.window->sayText()->backColor(), QColor(0, 128, 128));
    QCOMPARE(second.window->sayText()->baseFontName(), QStringLiteral("DejaVu Sans"));
    QVERIFY(!second.synth.spoken().contains(kWelcome));
}

void TstSettings::fontNamesWithCommasAndQuotesSurvive_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("field");
    QTest::newRow("comma") << "Foundry, Condensed" << QByteArray("\"Foundry, Condensed\"");
    QTest::newRow("quote") << "The \"Best\" Font" << QByteArray("\"The \"\"Best\"\" Font\"");
    QTest::newRow("accent") << QStringLiteral("Caf\u00e9 Sans")
                            << QByteArray("\"Caf\xc3\xa9 Sans\"");
}

void TstSettings::fontNamesWithCommasAndQuotesSurvive()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, field);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.ini"));
    {
        WindowFixture first(path);
        first.window->sayText()->setBaseFontName(name);
        first.window->exitCommand();
    }
    QVERIFY(readBytes(path).endsWith("," + field + "\n"));
    WindowFixture second(path);
    QCOMPARE(second.window->sayText()->baseFontName(), name);
    QVERIFY(!second.synth.spoken().contains(kWelcome));
}

void TstSettings::lineEndsOfEveryKind_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("\\r\\n") << QByteArray("180,50,9000,7500,300,450,255,95,\"Arial\"\r\n");
    QTest::newRow("\\r") << QByteArray("180,50,9000,7500,300,450,255,95,\"Arial\"\r");
    QTest::newRow("none") << QByteArray("180,50,9000,7500,300,450,255,95,\"Arial\"");
    QTest::newRow("spread over lines, spaced")
        << QByteArray(" 180 , 50\r\n9000,7500 ,300,450\r\n\r\n255, 95 , \"Arial\" \r\n");
}

void TstSettings::storedPlaceFitsTheScreen_data()
{
    // Width, height, left and top in pixels; the size expected, where -1 stands for
    // the whole of the screen's available area.
    QTest::addColumn<QRect>("stored");
    QTest::addColumn<QSize>("size");
    QTest::newRow("on a screen gone since") << QRect(4000, 3000, 600, 500) << QSize(600, 500);
    QTest::newRow("larger than any screen")
        << QRect(0, 0, 99999, 99999) << QSize(-1, -1);
    QTest::newRow("wider than the screen, hanging off it")
        << QRect(300, 20, 50000, 500) << QSize(-1, 500);
    QTest::newRow("smaller than the design")
        << QRect(40, 40, 1, 1) << QSize(Twips::toPixels(8175), Twips::toPixels(6840));
}

void TstSettings::storedPlaceFitsTheScreen()
{
    QFETCH(QRect, stored);
    QFETCH(QSize, size);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.ini"));
    const QByteArray fields = QByteArray::number(stored.width() * 15) + ','
        + QByteArray::number(stored.height() * 15) + ','
        + QByteArray::number(stored.x() * 15) + ',' + QByteArray::number(stored.y() * 15);
    QVERIFY(writeBytes(path, "180,50," + fields + ",255,95,\"Arial\"\n"));
    WindowFixture f(path);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect g = f.window->geometry();
    QVERIFY2(area.contains(g), qPrintable(QStringLiteral("window at %1,%2 %3x%4")
                                              .arg(g.x()).arg(g.y()).arg(g.width())
                                              .arg(g.height())));
    QCOMPARE(g.width(), size.width() < 0 ? area.width() : size.width());
    QCOMPARE(g.height(), size.height() < 0 ? area.height() : size.height());
    // The rest of the file still counts.
    QCOMPARE(f.synth.pitch(), 95);
    QVERIFY(!f.synth.spoken().contains(kWelcome));
}

void TstSettings::lineEndsOfEveryKind()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.ini"));
    QVERIFY(writeBytes(path, bytes));
    WindowFixture f(path);
    QCOMPARE(f.synth.speed(), 180);
    QCOMPARE(f.synth.volume(), 50);
    QCOMPARE(f.synth.pitch(), 95);
    QCOMPARE(f.window->geometry(), QRect(20, 30, 600, 500));
    QCOMPARE(f.window->sayText()->backColor(), QColor(255, 0, 0));
    QCOMPARE(f.window->sayText()->baseFontName(), QStringLiteral("Arial"));
    QVERIFY(!f.synth.spoken().contains(kWelcome));
}

void TstSettings::eightFieldsApplyNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.ini"));
    QVERIFY(writeBytes(path, "180,50,9000,6000,300,450,255,95\n"));
    const QSize design = designSize();
    WindowFixture f(path);
    // Only the fallback touched the synthesiser.
    QVERIFY(!f.synth.m_calls.contains(QStringLiteral("speed=180")));
    QVERIFY(!f.synth.m_calls.contains(QStringLiteral("volume=50")));
    QCOMPARE(f.synth.speed(), 150);
    QCOMPARE(f.synth.pitch(), 85);
    QCOMPARE(f.window->geometry().size(), design);
    QVERIFY(f.window->sayText()->backColor() != QColor(255, 0, 0));
    QCOMPARE(f.window->sayText()->baseFontName(), QStringLiteral("Times New Roman"));
    QCOMPARE(f.synth.lastSpoken(), kWelcome);
}

void TstSettings::badFourthFieldKeepsTheFirstThree()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.ini"));
    QVERIFY(writeBytes(path, "200,60,9000,tall,300,450,255,95,\"Arial\"\n"));
    const QSize design = designSize();
    WindowFixture f(path);
    // Speed, further value and width were applied, then the fallback ran.
    const QStringList calls = f.synth.m_calls;
    const qsizetype speed = calls.indexOf(QStringLiteral("speed=200"));
    QVERIFY(speed >= 0);
    QCOMPARE(calls.indexOf(QStringLiteral("volume=60")), speed + 1);
    QVERIFY(calls.lastIndexOf(QStringLiteral("speed=150")) > speed);
    QCOMPARE(f.synth.volume(), 60);
    QCOMPARE(f.synth.speed(), 150);
    QCOMPARE(f.synth.pitch(), 85);
    QCOMPARE(f.window->geometry().width(), 600);
    QCOMPARE(f.window->geometry().height(), design.height());
    QVERIFY(f.window->sayText()->backColor() != QColor(255, 0, 0));
    QCOMPARE(f.window->sayText()->baseFontName(), QStringLiteral("Times New Roman"));
    QCOMPARE(f.synth.lastSpoken(), kWelcome);
}

void TstSettings::otherUnusableFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("applied");
    // What the synthesiser had been given before the fallback, if anything.
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("quote not closed")
        << QByteArray("180,50,9000,6000,300,450,255,95,\"Arial\n") << QString();
    QTest::newRow("speed too large")
        << QByteArray("99999999999,50,9000,6000,300,450,255,95,\"Arial\"\n") << QString();
    QTest::newRow("zero width")
        << QByteArray("180,50,0,6000,300,450,255,95,\"Arial\"\n") << "volume=50";
    QTest::newRow("colour beyond 24 bits")
        << QByteArray("180,50,9000,6000,300,450,16777216,95,\"Arial\"\n") << "volume=50";
    QTest::newRow("empty font name")
        << QByteArray("180,50,9000,6000,300,450,255,95,\"\"\n") << "pitch=95";
}

void TstSettings::otherUnusableFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, applied);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.ini"));
    QVERIFY(writeBytes(path, bytes));
    WindowFixture f(path);
    QCOMPARE(f.synth.lastSpoken(), kWelcome);
    QCOMPARE(f.synth.speed(), 150);
    QCOMPARE(f.synth.pitch(), 85);
    if (!applied.isEmpty())
        QVERIFY(f.synth.m_calls.contains(applied));
    else
        QVERIFY(!f.synth.m_calls.contains(QStringLiteral("speed=180")));
}

void TstSettings::settingsThatAreNoFile_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("fifo") << "fifo";
    QTest::newRow("device") << "device";
    QTest::newRow("folder") << "folder";
}

void TstSettings::settingsThatAreNoFile()
{
    // The start-up neither waits for a writer nor reads on without end: it falls back.
    QFETCH(QString, what);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Settings.ini"));
    if (what == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    else if (what == QLatin1String("device"))
        path = QStringLiteral("/dev/zero");
    else
        QVERIFY(QDir().mkpath(path));
    WindowFixture f(path);
    QCOMPARE(f.synth.lastSpoken(), kWelcome);
    QCOMPARE(f.synth.speed(), 150);
    QCOMPARE(f.synth.pitch(), 85);
}

void TstSettings::wholeNumbersRoundHalfToEven()
{
    using SettingsFile::toWhole;
    QCOMPARE(toWhole(QStringLiteral("150")), std::optional<qint32>(150));
    QCOMPARE(toWhole(QStringLiteral("2.5")), std::optional<qint32>(2));
    QCOMPARE(toWhole(QStringLiteral("3.5")), std::optional<qint32>(4));
    QCOMPARE(toWhole(QStringLiteral("-2.5")), std::optional<qint32>(-2));
    QCOMPARE(toWhole(QStringLiteral("2.51")), std::optional<qint32>(3));
    QCOMPARE(toWhole(QStringLiteral(" 1e3 ")), std::optional<qint32>(1000));
    QCOMPARE(toWhole(QStringLiteral("-2147483648")), std::optional<qint32>(INT_MIN));
    QCOMPARE(toWhole(QStringLiteral("2147483648")), std::nullopt);
    QCOMPARE(toWhole(QStringLiteral("abc")), std::nullopt);
    QCOMPARE(toWhole(QStringLiteral("")), std::nullopt);
    QCOMPARE(toWhole(QStringLiteral("nan")), std::nullopt);

    // Through the start-up: a stored speed of 150.5 becomes 150, 151.5 becomes 152.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.ini"));
    QVERIFY(writeBytes(path, "151.5,50.5,9000,6000,300,450,255,94.5,\"Arial\"\n"));
    WindowFixture f(path);
    QCOMPARE(f.synth.speed(), 152);
    QCOMPARE(f.synth.volume(), 50);
    QCOMPARE(f.synth.pitch(), 94);
}

void TstSettings::singlesKeepSevenDigitsWithoutExponent()
{
    using SettingsFile::formatSingle;
    QCOMPARE(formatSingle(10500.0f), QStringLiteral("10500"));
    QCOMPARE(formatSingle(-7.5f), QStringLiteral("-7.5"));
    QCOMPARE(formatSingle(12345.67f), QStringLiteral("12345.67"));
    QCOMPARE(formatSingle(12345678.0f), QStringLiteral("12345680"));
    QCOMPARE(formatSingle(1.0e8f), QStringLiteral("100000000"));
    QCOMPARE(formatSingle(0.000123456789f), QStringLiteral("0.0001234568"));
    QCOMPARE(formatSingle(0.0f), QStringLiteral("0"));
    // What is written reads back as the same single.
    for (float value : {1234.567f, -0.25f, 98765.43f, 3.0e7f})
        QCOMPARE(SettingsFile::toSingle(formatSingle(value)), std::optional<float>(value));
}

void TstSettings::maximisedWindowStoresItsNormalPlace()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.ini"));
    {
        WindowFixture first(path);
        first.window->setGeometry(60, 40, 640, 480);
        first.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(first.window.get()));
        const QRect normal = first.window->geometry();
        first.window->showMaximized();
        QTRY_VERIFY(first.window->isMaximized());
        // The platform gives the maximised window its size a moment later.
        if (!QTest::qWaitFor([&] { return first.window->geometry() != normal; }, 1000))
            QSKIP("This platform does not resize a maximised window");
        first.window->exitCommand();
        QCOMPARE(first.terminated, 1);
        const QByteArray expected = QByteArray::number(normal.width() * 15) + ','
            + QByteArray::number(normal.height() * 15) + ','
            + QByteArray::number(normal.x() * 15) + ',' + QByteArray::number(normal.y() * 15);
        QVERIFY2(readBytes(path).contains(expected), readBytes(path).constData());
    }
    WindowFixture second(path);
    QVERIFY(!second.window->isMaximized());
    QCOMPARE(second.window->geometry().size(), QSize(640, 480));
}

void TstSettings::failedWriteKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("program"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/Settings.ini");
    const QByteArray old("180,50,9000,6000,300,450,255,95,\"Arial\"\n");
    QVERIFY(writeBytes(path, old));
    WindowFixture f(path);
    f.synth.setSpeed(300);
    {
        UnwritableFolder locked(folder);
        UnwritableFile lockedFile(path);
        if (!locked.ok() || !lockedFile.ok())
            QSKIP("No way to make a folder unwritable here");
        f.window->exitCommand();
    }
    // The program ends all the same; the previous settings stay for the next run.
    QCOMPARE(f.terminated, 1);
    QCOMPARE(readBytes(path), old);
}

void TstSettings::scrollBarsShowTheValuesInForce_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("pitch");
    QTest::newRow("stored") << QByteArray("210,50,9000,6000,300,450,255,120,\"Arial\"\n") << 210
                            << 120;
    QTest::newRow("fallback") << QByteArray() << 150 << 85;
}

void TstSettings::scrollBarsShowTheValuesInForce()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, speed);
    QFETCH(int, pitch);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.ini"));
    if (!bytes.isEmpty())
        QVERIFY(writeBytes(path, bytes));
    WindowFixture f(path);
    QCOMPARE(f.synth.speed(), speed);
    QCOMPARE(f.synth.pitch(), pitch);
    // The doubles' synthesiser starts at speed 150 and pitch 100: both steps are 1.
    auto *slider1 = f.child<QScrollBar>(QStringLiteral("Slider1"));
    auto *slider2 = f.child<QScrollBar>(QStringLiteral("Slider2"));
    QCOMPARE(slider1->value(), speed);
    QCOMPARE(f.child<QLabel>(QStringLiteral("Speedlbl"))->text(), QString::number(speed));
    QCOMPARE(slider2->value(), pitch);
    QCOMPARE(f.child<QLabel>(QStringLiteral("Pitchlbl"))->text(), QString::number(pitch));
    // The first move goes one step from the value in force, not from elsewhere.
    slider1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(f.synth.speed(), speed + 1);
    slider2->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(f.synth.pitch(), pitch - 1);
}

void TstSettings::voiceChoiceKeptBesideSettings()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.ini"));
    const QString preferences = dir.filePath(QStringLiteral("Preferences.ini"));
    const QString german = QStringLiteral("espeak-ng:gmw/de");
    const auto run = [&path](const QString &voice) {
        WindowFixture fixture(path);
        const QString before = fixture.synth.voice();
        if (!voice.isEmpty() && !fixture.synth.setVoice(voice))
            return QStringLiteral("<refused>");
        fixture.window->exitCommand();
        return before;
    };
    // A run that keeps the default voice leaves no second file.
    QCOMPARE(run(QString()), Voices::defaultId());
    QVERIFY(!QFile::exists(preferences));
    const QByteArray settings = readBytes(path);

    // The choice survives the restart; Settings.ini is not touched by it.
    QCOMPARE(run(german), Voices::defaultId());
    QCOMPARE(readBytes(path), settings);
    QCOMPARE(QSettings(preferences, QSettings::IniFormat).value(QStringLiteral("Speech/Voice")),
             german);
    QCOMPARE(run(QString()), german);
    QCOMPARE(readBytes(path), settings);

    // Back to the default, other entries kept; a voice not installed any more is
    // ignored and leaves the default in force.
    QVERIFY(writeBytes(preferences, "[Speech]\r\nHighlightSpokenWords=false\r\nOther=kept\r\n"
                                    "Voice=" + german.toUtf8() + "\r\n"));
    QCOMPARE(run(Voices::defaultId()), german);
    {
        const QSettings kept(preferences, QSettings::IniFormat);
        QCOMPARE(kept.value(QStringLiteral("Speech/Voice")).toString(), Voices::defaultId());
        QCOMPARE(kept.value(QStringLiteral("Speech/Other")).toString(), QStringLiteral("kept"));
        QCOMPARE(kept.value(QStringLiteral("Speech/HighlightSpokenWords")).toBool(), false);
    }
    QVERIFY(writeBytes(preferences, "[Speech]\nVoice=flite:nobody\n"));
    QCOMPARE(run(QString()), Voices::defaultId());
}

QTEST_MAIN(TstSettings)
#include "tst_settings.moc"
