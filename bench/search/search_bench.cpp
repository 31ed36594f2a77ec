// The Search & Replace dialog on a 10 MB document in a shown pad of the window's
// size, its layout complete, each button pressed as the user presses it and the
// window painted afterwards. Printed as ratios to references measured in this run:
// - Replace All of about 100,000 matches against sed doing the same replacement on
//   the same text as a file (best of three each); goal: 10 or less. The time the
//   pad then spends laying out the changed text is shown apart;
// - Find Next with the only match at the end against QTextDocument::find alone over
//   the same document (median of five each); goal: 3 or less.
// Run: bin/search_bench [megabytes]

#include "common/benchtext.h"
#include "common/quietboxes.h"

#include "editing/undocommands.h"
#include "platform/richtextpad.h"
#include "search/searchdialog.h"
#include "shell/documentstate.h"
#include "shell/twips.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// A shown pad at the window's size with its whole layout done, and the dialog on it.
struct Rig {
    RichTextPad pad;
    DocumentState state;
    UndoCommands undo{pad, state};
    QuietBoxes boxes;
    SearchDialog dialog{SearchDialog::Parts{&pad, &boxes, &undo}};

    QElapsedTimer clock;
    // When the document had told everyone following it of the change; the layout
    // of the changed text comes after.
    qint64 changeToldNs = 0;

    explicit Rig(const QString &text)
    {
        clock.start();
        QObject::connect(pad.document(), &QTextDocument::contentsChange, &dialog,
                         [this] { changeToldNs = clock.nsecsElapsed(); });
        pad.resize(Twips::toPixels(8175), Twips::toPixels(5205));
        pad.setText(text);
        pad.show();
        pad.document()->documentLayout()->documentSize();
        QApplication::processEvents();
        dialog.show();
        QApplication::processEvents();
    }
    void set(const char *field, const QString &text)
    {
        dialog.findChild<QLineEdit *>(QString::fromLatin1(field))->setText(text);
    }
    void press(const char *button)
    {
        dialog.findChild<QPushButton *>(QString::fromLatin1(button))->click();
        QApplication::processEvents();
    }
};

double msSince(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double sedMs(const QString &input, const QString &output)
{
    QProcess sed;
    sed.setStandardOutputFile(output);
    QElapsedTimer clock;
    clock.start();
    sed.start(QStringLiteral("sed"), {QStringLiteral("s/fox/wolf/g"), input});
    if (!sed.waitForFinished(-1) || sed.exitCode() != 0) {
        std::fprintf(stderr, "sed failed\n");
        return -1;
    }
    return msSince(clock);
}

bool replaceAll(const QString &document, const QString &dir)
{
    const QString input = dir + QStringLiteral("/in.txt");
    const QString output = dir + QStringLiteral("/out.txt");
    QFile file(input);
    if (!file.open(QIODevice::WriteOnly) || file.write(document.toUtf8()) < 0)
        return false;
    file.close();

    double sedBest = 1e300;
    for (int i = 0; i < 3; ++i)
        sedBest = std::min(sedBest, sedMs(input, output));
    QFile result(output);
    if (sedBest < 0 || !result.open(QIODevice::ReadOnly))
        return false;
    const QString expected = QString::fromUtf8(result.readAll());

    double best = 1e300;
    double bestLayout = 0;
    for (int i = 0; i < 3; ++i) {
        Rig rig(document);
        rig.dialog.findChild<QCheckBox *>(QStringLiteral("Check1"))->setChecked(true);
        rig.set("Text1", QStringLiteral("fox"));
        rig.set("Text2", QStringLiteral("wolf"));
        rig.press("FindButton");
        const qint64 start = rig.clock.nsecsElapsed();
        rig.press("ReplaceAllButton");
        const qint64 end = rig.clock.nsecsElapsed();
        if (double(end - start) / 1e6 < best) {
            best = double(end - start) / 1e6;
            bestLayout = double(end - rig.changeToldNs) / 1e6;
        }
        if (rig.pad.text() != expected || rig.boxes.m_last != QLatin1String("Done replacing")) {
            std::fprintf(stderr, "Replace All gave another text than sed\n");
            return false;
        }
    }
    std::printf("Replace All of %lld matches: %.0f ms; sed: %.0f ms; ratio %.2f (goal <= 10)\n"
                "  of which the pad's layout of the changed text and painting: %.0f ms; "
                "the rest: ratio %.2f\n",
                qlonglong(document.count(QStringLiteral("fox"))), best, sedBest,
                best / sedBest, bestLayout, (best - bestLayout) / sedBest);
    return true;
}

bool findNext(const QString &document)
{
    const QString last = document + QStringLiteral(" zebra");
    Rig rig(last);
    rig.set("Text1", QStringLiteral("zebra"));
    std::vector<double> dialog;
    std::vector<double> reference;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer clock;
        clock.start();
        const QTextCursor found = rig.pad.document()->find(QStringLiteral("zebra"), 0);
        reference.push_back(msSince(clock));
        if (found.selectionStart() != last.size() - 5)
            return false;

        // From the top of the document, with nothing found before.
        rig.pad.setSelStart(0);
        QApplication::processEvents();
        clock.restart();
        rig.press("FindNextButton");
        dialog.push_back(msSince(clock));
        if (rig.pad.selStart() != last.size() - 5 || rig.dialog.findPos() != last.size() - 5) {
            std::fprintf(stderr, "Find Next did not find the match\n");
            return false;
        }
        // Past the last match: the next Find Next starts from the beginning again.
        rig.press("FindNextButton");
    }
    std::printf("Find Next to the end: %.1f ms; QTextDocument::find: %.1f ms; "
                "ratio %.2f (goal <= 3)\n",
                median(dialog), median(reference), median(dialog) / median(reference));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 10.0;
    const QString document = benchText(qsizetype(megabytes * 1024 * 1024), 12345);
    std::printf("document: %lld characters in %lld lines\n", qlonglong(document.size()),
                qlonglong(document.count(QLatin1Char('\n')) + 1));
    QTemporaryDir dir;
    if (!dir.isValid() || !replaceAll(document, dir.path()) || !findNext(document))
        return 1;
    return 0;
}
