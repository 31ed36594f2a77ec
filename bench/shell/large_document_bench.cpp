// What the user waits for with very large documents, in a pad shown at the window's
// designed size (600 x 347 pixels), measured in one run against
// QTextDocument::setPlainText of the same text:
// - open-to-first-paint: from the Open command until the first screen of text is
//   painted; open-to-responsive: until a key pressed right after is handled;
//   goal for both: at most 1.5x setPlainText;
// - the longest the event loop is held up in the seconds after (work left over);
// - scrolling to the end, to points picked by the scroll bar and Ctrl+End, each up
//   to its repaint; goal: under 50 ms;
// - keys typed, deleted and formatted in the middle of the document, each up to its
//   repaint, with the undo history attached; goal: p99 under 16 ms;
// - the process's peak memory, against the document's size in UTF-16; goal: under 4x.
//
// Each case runs in a process of its own, so that peak memory is the case's own.
// Run: bin/large_document_bench [case ...]; with no case, the cases of the goals.
// A case is open:<kind>:<megabytes> or keys:<kind>:<megabytes>, where kind is
// plain (lines of about 70 characters), line (one paragraph) or rtf (a book).

#include "common/benchrtf.h"
#include "common/benchtext.h"
#include "common/shownpad.h"
#include "platform/largepages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

using namespace ShownPad;

// A case that runs longer than this is stopped and reported as not done.
constexpr int kCaseTimeoutMs = 600000;

double ms(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values.at(std::min(values.size() - 1, size_t(p * double(values.size()))));
}

qint64 statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

struct Case
{
    QString mode; // open, keys or ref
    QString kind; // plain, line or rtf
    double megabytes = 0;

    static Case parse(const QString &text)
    {
        const QStringList parts = text.split(QLatin1Char(':'));
        Case c;
        c.mode = parts.value(0);
        c.kind = parts.value(1);
        c.megabytes = parts.value(2).toDouble();
        return c;
    }
    QString name() const { return QStringLiteral("%1:%2:%3").arg(mode, kind).arg(megabytes); }
};

// The case's document as a file, and its plain text.
QString writeDocument(const Case &c, const QTemporaryDir &dir, QString *plain)
{
    const qsizetype size = qsizetype(c.megabytes * 1024 * 1024);
    QByteArray bytes;
    QString path;
    if (c.kind == QLatin1String("rtf")) {
        bytes = benchRtf(size, plain);
        path = dir.filePath(QStringLiteral("book.rtf"));
    } else {
        *plain = benchText(size, 4242);
        if (c.kind == QLatin1String("line"))
            plain->replace(QLatin1Char('\n'), QLatin1Char(' '));
        bytes = plain->toUtf8();
        path = dir.filePath(QStringLiteral("text.txt"));
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

void report(const char *key, double value)
{
    std::printf("%s=%.3f\n", key, value);
    std::fflush(stdout);
}

// The reference: QTextDocument::setPlainText of the document's plain text.
int runReference(const Case &c)
{
    QTemporaryDir dir;
    QString plain;
    if (writeDocument(c, dir, &plain).isEmpty())
        return 1;
    const qint64 before = statusKb("VmRSS:");
    QTextDocument document;
    QElapsedTimer clock;
    clock.start();
    document.setPlainText(plain);
    report("set_plain_text_ms", ms(clock));
    report("utf16_mb", double(plain.size()) * 2 / 1e6);
    report("document_mb", double(statusKb("VmRSS:") - before) / 1e3);
    return 0;
}

int runOpen(const Case &c)
{
    QTemporaryDir dir;
    QString plain;
    const QString path = writeDocument(c, dir, &plain);
    if (path.isEmpty())
        return 1;
    const qsizetype expected = plain.size();
    plain = QString();
    report("utf16_mb", double(expected) * 2 / 1e6);
    const qint64 baseline = statusKb("VmRSS:");
    // The peak counts from here: writing the file took memory of its own.
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (!clearRefs.open(QIODevice::WriteOnly) || clearRefs.write("5") != 1)
        std::printf("warning: the peak includes writing the file\n");
    clearRefs.close();

    Window w(path);
    QElapsedTimer clock;
    clock.start();
    w.commands->openDocument();
    report("open_command_ms", ms(clock));
    w.paintOnce();
    report("first_paint_ms", ms(clock));
    const int caret = w.pad.textCursor().position();
    // A key pressed now, handled when the event loop gets to it.
    w.key(Qt::Key_Right);
    if (w.pad.textCursor().position() == caret)
        std::printf("warning: the key was not handled\n");
    report("responsive_ms", ms(clock));
    // A character typed at once: the undo history's copy of the text must be complete
    // for its snapshot.
    report("first_character_ms", w.key(Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));
    w.key(Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));

    // Work left over: the longest single pass of the event loop in the next seconds.
    double stall = 0;
    QElapsedTimer window;
    window.start();
    while (window.elapsed() < 2000) {
        QElapsedTimer pass;
        pass.start();
        QCoreApplication::processEvents();
        stall = std::max(stall, ms(pass));
    }
    report("stall_after_ms", stall);

    QScrollBar *bar = w.pad.verticalScrollBar();
    report("height_px", bar->maximum() + bar->pageStep());
    clock.restart();
    bar->setValue(bar->maximum());
    w.paintOnce();
    report("scroll_to_end_ms", ms(clock));
    double worst = 0;
    for (int i = 1; i <= 9; ++i) {
        clock.restart();
        bar->triggerAction(QAbstractSlider::SliderMove);
        bar->setSliderPosition(int(qint64(bar->maximum()) * ((i * 37) % 10) / 10));
        w.paintOnce();
        worst = std::max(worst, ms(clock));
    }
    report("scroll_to_points_max_ms", worst);
    w.key(Qt::Key_Home, Qt::ControlModifier);
    report("ctrl_end_ms", w.key(Qt::Key_End, Qt::ControlModifier));

    report("rss_shown_mb", double(statusKb("VmRSS:") - baseline) / 1e3);
    report("peak_rss_mb", double(statusKb("VmHWM:") - baseline) / 1e3);
    // Checked last: the pad's plain text is a copy of its own.
    if (w.pad.text().size() != expected)
        std::printf("warning: the pad holds %lld characters, the document %lld\n",
                    qlonglong(w.pad.text().size()), qlonglong(expected));
    return 0;
}

int runKeys(const Case &c)
{
    QTemporaryDir dir;
    QString plain;
    const QString path = writeDocument(c, dir, &plain);
    if (path.isEmpty())
        return 1;
    plain = QString();
    Window w(path);
    w.commands->openDocument();
    w.paintOnce();

    QTextCursor middle(w.pad.document());
    middle.setPosition(w.pad.document()->characterCount() / 2);
    w.pad.setTextCursor(middle);
    w.pad.ensureCursorVisible();
    w.paintOnce();

    // Typing with now and then a correction, a new paragraph, a deletion forward and
    // a word selected with Ctrl+Shift+Left and made bold, as the toolbar's Bold does it.
    std::vector<double> typing, editing, formatting;
    quint32 seed = 99;
    // 400 keys, or as many as fit in two minutes.
    QElapsedTimer budget;
    budget.start();
    for (int i = 0; i < 400 && budget.elapsed() < 120000; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int roll = int((seed >> 16) % 100);
        if (roll < 70) {
            const QChar letter(char16_t(u'a' + (seed >> 8) % 26));
            typing.push_back(w.key(Qt::Key_A + letter.unicode() - u'a', Qt::NoModifier,
                                   QString(letter)));
        } else if (roll < 80) {
            editing.push_back(w.key(Qt::Key_Backspace));
        } else if (roll < 85) {
            editing.push_back(w.key(Qt::Key_Delete));
        } else if (roll < 90) {
            editing.push_back(w.key(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r")));
        } else {
            // The word before the caret selected by keyboard, as the user does it.
            editing.push_back(w.key(Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier));
            QElapsedTimer clock;
            clock.start();
            w.pad.setSelBold(!w.pad.selBold().value_or(false));
            QTextCursor word = w.pad.textCursor();
            word.clearSelection();
            w.pad.setTextCursor(word);
            w.paintOnce();
            formatting.push_back(ms(clock));
        }
    }
    std::vector<double> all = typing;
    all.insert(all.end(), editing.begin(), editing.end());
    all.insert(all.end(), formatting.begin(), formatting.end());
    report("keys", double(all.size()));
    report("key_p50_ms", percentile(all, 0.5));
    report("key_p99_ms", percentile(all, 0.99));
    report("key_max_ms", percentile(all, 1.0));
    report("typing_p99_ms", percentile(typing, 0.99));
    report("editing_p99_ms", percentile(editing, 0.99));
    report("formatting_p99_ms", percentile(formatting, 0.99));
    report("peak_rss_mb", double(statusKb("VmHWM:")) / 1e3);
    return 0;
}

using Results = std::map<QString, double>;

Results runChild(const QString &program, const Case &c)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, {QStringLiteral("--child"), c.name()});
    Results results;
    if (!child.waitForFinished(kCaseTimeoutMs)) {
        child.kill();
        child.waitForFinished();
        results[QStringLiteral("timed_out")] = 1;
    }
    const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
    for (const QByteArray &line : lines) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            results[QString::fromUtf8(line.left(eq))] = line.mid(eq + 1).toDouble();
        else if (!line.isEmpty())
            std::printf("  %s\n", line.constData());
    }
    return results;
}

QString value(const Results &r, const char *key, const char *unit = "ms")
{
    const auto it = r.find(QString::fromLatin1(key));
    if (it == r.end())
        return r.count(QStringLiteral("timed_out")) ? QStringLiteral("not done in %1 s")
                                                          .arg(kCaseTimeoutMs / 1000)
                                                    : QStringLiteral("-");
    return QStringLiteral("%1 %2").arg(it->second, 0, 'f', 1).arg(QLatin1String(unit));
}

QString ratio(const Results &r, const char *key, double reference)
{
    const auto it = r.find(QString::fromLatin1(key));
    if (it == r.end() || reference <= 0)
        return QStringLiteral("-");
    return QStringLiteral("%1x").arg(it->second / reference, 0, 'f', 2);
}

void printOpen(const Case &c, const Results &open, const Results &ref)
{
    const double setPlainText = ref.count(QStringLiteral("set_plain_text_ms"))
        ? ref.at(QStringLiteral("set_plain_text_ms")) : 0;
    const double utf16 = open.count(QStringLiteral("utf16_mb"))
        ? open.at(QStringLiteral("utf16_mb")) : 0;
    std::printf("%s: %.0f MB in UTF-16\n", qPrintable(c.name()), utf16);
    std::printf("  QTextDocument::setPlainText        %s\n",
                qPrintable(value(ref, "set_plain_text_ms")));
    std::printf("  Open command returns               %s\n",
                qPrintable(value(open, "open_command_ms")));
    std::printf("  open to first paint                %s = %s setPlainText (goal <= 1.5x)\n",
                qPrintable(value(open, "first_paint_ms")),
                qPrintable(ratio(open, "first_paint_ms", setPlainText)));
    std::printf("  open to responsive                 %s = %s setPlainText (goal <= 1.5x)\n",
                qPrintable(value(open, "responsive_ms")),
                qPrintable(ratio(open, "responsive_ms", setPlainText)));
    std::printf("  a character typed right after      %s (the undo copy completes)\n",
                qPrintable(value(open, "first_character_ms")));
    std::printf("  longest stall in the 2 s after     %s\n",
                qPrintable(value(open, "stall_after_ms")));
    std::printf("  scroll bar to the end              %s (goal < 50 ms)\n",
                qPrintable(value(open, "scroll_to_end_ms")));
    std::printf("  scroll bar to 9 points, slowest    %s (goal < 50 ms)\n",
                qPrintable(value(open, "scroll_to_points_max_ms")));
    std::printf("  Ctrl+End                           %s (goal < 50 ms)\n",
                qPrintable(value(open, "ctrl_end_ms")));
    std::printf("  memory held by the shown document  %s = %s its UTF-16 size\n",
                qPrintable(value(open, "rss_shown_mb", "MB")),
                qPrintable(ratio(open, "rss_shown_mb", utf16)));
    std::printf("  peak memory opening and showing it %s = %s its UTF-16 size (goal < 4x)\n",
                qPrintable(value(open, "peak_rss_mb", "MB")),
                qPrintable(ratio(open, "peak_rss_mb", utf16)));
}

void printKeys(const Case &c, const Results &keys)
{
    std::printf("%s: %s keys in the middle, each up to its repaint\n", qPrintable(c.name()),
                qPrintable(value(keys, "keys", "")));
    std::printf("  all keys     p50 %s, p99 %s (goal < 16 ms), slowest %s\n",
                qPrintable(value(keys, "key_p50_ms")), qPrintable(value(keys, "key_p99_ms")),
                qPrintable(value(keys, "key_max_ms")));
    std::printf("  typing p99 %s, deleting and Enter p99 %s, Bold p99 %s\n",
                qPrintable(value(keys, "typing_p99_ms")),
                qPrintable(value(keys, "editing_p99_ms")),
                qPrintable(value(keys, "formatting_p99_ms")));
    std::printf("  peak memory of the process %s\n", qPrintable(value(keys, "peak_rss_mb", "MB")));
}

} // namespace

int main(int argc, char *argv[])
{
    // Every child, the reference included, runs with the memory the program has.
    LargePages::startWithHugePages(argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.value(0) == QLatin1String("--child")) {
        const Case c = Case::parse(args.value(1));
        if (c.mode == QLatin1String("ref"))
            return runReference(c);
        if (c.mode == QLatin1String("open"))
            return runOpen(c);
        if (c.mode == QLatin1String("keys"))
            return runKeys(c);
        return 2;
    }
    QStringList cases = args;
    if (cases.isEmpty()) {
        cases = {QStringLiteral("open:plain:20"), QStringLiteral("open:plain:200"),
                 QStringLiteral("open:line:15"), QStringLiteral("open:rtf:50"),
                 QStringLiteral("keys:plain:10"), QStringLiteral("keys:plain:100"),
                 QStringLiteral("keys:line:15")};
    }
    std::printf("pad %d x %d pixels, platform %s\n", kPadWidth, kPadHeight,
                qPrintable(QGuiApplication::platformName()));
    for (const QString &name : std::as_const(cases)) {
        const Case c = Case::parse(name);
        if (c.mode == QLatin1String("open")) {
            Case reference = c;
            reference.mode = QStringLiteral("ref");
            const Results ref = runChild(QCoreApplication::applicationFilePath(), reference);
            const Results open = runChild(QCoreApplication::applicationFilePath(), c);
            printOpen(c, open, ref);
        } else if (c.mode == QLatin1String("keys")) {
            printKeys(c, runChild(QCoreApplication::applicationFilePath(), c));
        }
        std::fflush(stdout);
    }
    return 0;
}
