#include "shell/printcommands.h"

#include "platform/commondialog.h"
#include "platform/messageboxes.h"
#include "platform/richtextpad.h"
#include "platform/speechsynth.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>

namespace {

const char kNothingToPrint[] = "There is no current text to print.";

// The printer object has no font of its own here: the desktop's general font, at a
// size meant for paper.
constexpr qreal kPrintPointSize = 11;
// Space between the printable area and the text, on every side of every page.
constexpr qreal kMarginMillimetres = 15;

} // namespace

PrintCommands::PrintCommands(SpeechSynth &synth, RichTextPad &pad, CommonDialog &dialogs,
                             MessageBoxes &messages, QPrinter *printer)
    : m_synth(synth)
    , m_pad(pad)
    , m_dialogs(dialogs)
    , m_messages(messages)
    , m_printer(printer)
{
}

PrintCommands::~PrintCommands() = default;

QPrinter &PrintCommands::printer()
{
    // Asking the print system for its default printer waits on it, so it is not
    // done before the first print.
    if (!m_printer) {
        m_ownPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer = m_ownPrinter.get();
    }
    return *m_printer;
}

void PrintCommands::reportEmpty()
{
    const QString text = QString::fromLatin1(kNothingToPrint);
    m_synth.speak(text);
    m_messages.show(text, QStringLiteral("Error"), MessageBoxes::Buttons::Ok,
                    MessageBoxes::Icon::Exclamation);
}

void PrintCommands::printMe()
{
    m_synth.stop();
    const QString text = m_pad.text();
    if (text.isEmpty()) {
        reportEmpty();
        return;
    }
    // From here on a cancel or a failure ends the command without a word.
    m_dialogs.setFlags(0);
    QPrinter &target = printer();
    if (!m_dialogs.showPrinter(&target))
        return;
    target.setCopyCount(qBound(1, m_dialogs.copies(), 32767));
    const QString selection = m_pad.selText();
    printText(target, selection.isEmpty() ? text : selection);
}

void PrintCommands::toolbarPrint()
{
    // An empty pad prints nothing, not even an empty page.
    const QString text = m_pad.text();
    if (text.isEmpty()) {
        reportEmpty();
        return;
    }
    printText(printer(), text);
}

bool PrintCommands::printText(QPrinter &printer, const QString &text)
{
    // The text is laid out for the printer's own resolution, inside the printable
    // area the printer reports, less a margin.
    const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
    const qreal margin = kMarginMillimetres * printer.resolution() / 25.4;
    const QSizeF page(area.width() - 2 * margin, area.height() - 2 * margin);
    if (page.width() <= 0 || page.height() <= 0)
        return false;
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(kPrintPointSize);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);

    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.setPen(Qt::black);
    // A printer that cannot make copies itself gets the document as often as asked.
    const int passes = printer.supportsMultipleCopies() ? 1 : qMax(1, printer.copyCount());
    for (int copy = 0; copy < passes; ++copy) {
        if (copy > 0 && !printer.newPage())
            return false;
        // One paragraph at a time, each placed on its page as it is laid out: a book
        // of thousands of pages is never laid out whole, and no position grows past
        // a page (a document laid out whole at the printer's resolution stops working
        // beyond some 33 million pixels: about 25 MB of text).
        qreal y = 0;
        for (qsizetype from = 0; from <= text.size();) {
            qsizetype to = text.indexOf(QLatin1Char('\n'), from);
            if (to < 0)
                to = text.size();
            QTextLayout paragraph(text.mid(from, to - from), font, &printer);
            paragraph.setTextOption(option);
            paragraph.beginLayout();
            for (QTextLine line = paragraph.createLine(); line.isValid();
                 line = paragraph.createLine()) {
                line.setLeadingIncluded(true);
                line.setLineWidth(page.width());
                line.setPosition(QPointF(0, 0));
            }
            paragraph.endLayout();
            // Whole lines go on a page until the next one would not fit.
            for (int i = 0; i < paragraph.lineCount(); ++i) {
                const QTextLine line = paragraph.lineAt(i);
                if (y > 0 && y + line.height() > page.height()) {
                    if (!printer.newPage())
                        return false;
                    y = 0;
                }
                line.draw(&painter, QPointF(margin, margin + y));
                y += line.height();
            }
            from = to + 1;
        }
    }
    // Ending the painter ends the job: it goes to the printer now.
    return painter.end();
}
