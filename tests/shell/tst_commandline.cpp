// The command line as main() reads it: before the application object, where the
// toolkit's options are still in it, and after.
#include "shell/commandline.h"

#include <QCoreApplication>
#include <QTest>

class TstCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void parse_data();
    void parse();
};

void TstCommandLine::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tavrel"));
    QCoreApplication::setApplicationVersion(QStringLiteral("9.8.7"));
}

void TstCommandLine::parse_data()
{
    using Action = CommandLine::Action;
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("file");
    // Lines the output must hold.
    QTest::addColumn<QStringList>("output");

    const QString program = QStringLiteral("/opt/x/bin/Tavrel");
    QTest::newRow("nothing") << QStringList{program} << Action::Run << QString() << QStringList();
    QTest::newRow("file") << QStringList{program, "notes.rtf"} << Action::Run << "notes.rtf"
                          << QStringList();
    QTest::newRow("file after --") << QStringList{program, "--", "-odd name.txt"} << Action::Run
                                   << "-odd name.txt" << QStringList();
    const QStringList help{"Usage: Tavrel [options] [FILE]", "  -h, --help ",
                           "  -v, --version ", "  FILE ", "  --speak-to <OUT> ",
                           "  --voice <NAME> ", "  --speed <WPM> ", "  --pitch <HZ> ",
                           "  --list-voices "};
    QTest::newRow("--help") << QStringList{program, "--help"} << Action::Print << QString()
                            << help;
    QTest::newRow("-h with a file") << QStringList{program, "a.txt", "-h"} << Action::Print
                                    << QString() << help;
    QTest::newRow("--version") << QStringList{program, "--version"} << Action::Print
                               << QString() << QStringList{"Tavrel 9.8.7\n"};
    QTest::newRow("-v") << QStringList{program, "-v"} << Action::Print << QString()
                        << QStringList{"Tavrel 9.8.7\n"};
    // Before the toolkit took its options out, they do not hide a request for help;
    // a word of one dash is one option, not letters among which an h would count.
    QTest::newRow("toolkit options and --help")
        << QStringList{program, "-platform", "offscreen", "-stylesheet", "x.qss", "--help"}
        << Action::Print << QString() << help;
    QTest::newRow("toolkit option alone")
        << QStringList{program, "-stylesheet", "x.qss"} << Action::Fail << QString()
        << QStringList{"Tavrel: Unknown option 'stylesheet'.",
                       "Try 'Tavrel --help' for more information."};
    QTest::newRow("two files") << QStringList{program, "a.txt", "b.txt"} << Action::Fail
                               << QString()
                               << QStringList{"Tavrel: Only one file can be opened; given: "
                                              "a.txt, b.txt\n"};
    QTest::newRow("empty file name") << QStringList{program, ""} << Action::Fail << QString()
                                     << QStringList{"Tavrel: The file name is empty.\n"};
}

void TstCommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(CommandLine::Action, action);
    QFETCH(QString, file);
    QFETCH(QStringList, output);
    CommandLine commandLine;
    // One object reads twice in main(): the second reading owes nothing to the first.
    commandLine.parse({arguments.first(), "--bogus", "x.txt", "y.txt"});
    const CommandLine::Request request = commandLine.parse(arguments);
    QCOMPARE(request.action, action);
    QCOMPARE(request.file, file);
    for (const QString &line : output)
        QVERIFY2(request.output.contains(line), qPrintable(request.output));
    QCOMPARE(request.output.isEmpty(), output.isEmpty());
}

QTEST_GUILESS_MAIN(TstCommandLine)
#include "tst_commandline.moc"
