#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

// The program's command line: Tavrel [FILE], --help, --version.
//
// main() reads it twice. First before the application object exists, so that
// --help and --version need no display; there a command line that looks wrong may
// still hold the toolkit's own options (-platform, -display, -style ...). Then
// once more after the application object has taken those out, and only this
// second reading may fail.
//
// A new option is one more QCommandLineOption in the constructor, an Action where
// it replaces the window, and a field of Request for what it carries.
class CommandLine
{
public:
    enum class Action {
        Run,   // start the window, opening `file` when there is one
        Print, // print `output` to standard output and end with success (help, version)
        Fail,  // print `output` to standard error and end with kUsageError
    };

    struct Request {
        Action action = Action::Run;
        // The document to open as given, relative to the working folder or
        // absolute; empty for none.
        QString file;
        QString output;
    };

    // The exit code of a command line that cannot be used.
    static constexpr int kUsageError = 2;

    // Help and version name the program by QCoreApplication's application name and
    // version, which may be set before the application object exists.
    CommandLine();

    // `arguments` as main() receives them, the program's path first.
    Request parse(const QStringList &arguments);

    static QStringList arguments(int argc, char *argv[]);

private:
    QString helpText() const;

    QCommandLineParser m_parser;
    QCommandLineOption m_help;
    QCommandLineOption m_version;
};
