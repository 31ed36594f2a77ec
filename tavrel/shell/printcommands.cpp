#include "shell/printcommands.h"

#include "platform/commondialog.h"
#include "platform/messageboxes.h"
#include "platform/richtextpad.h"
#include "platform/speechsynth.h"

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
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
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&printer);
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(kPrintPointSize);
    document.setDefaultFont(font);
    document.setDocumentMargin(0);
    document.setPlainText(text);
    document.setTextWidth(page.width());

    // Whole lines go on a page until the next one would not fit. Only the lines of
    // a page are drawn on it, so the file holds each line once, also for a reader
    // that takes the text out of it.
    struct PlacedLine {
        QTextLine line;
        // Where the line's paragraph is drawn from on its page.
        QPointF origin;
    };
    QList<QList<PlacedLine>> pages(1);
    qreal pageTop = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QRectF blockRect = document.documentLayout()->blockBoundingRect(block);
        QTextLayout *layout = block.layout();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const qreal top = blockRect.top() + line.y();
            if (top + line.height() - pageTop > page.height() && !pages.constLast().isEmpty()) {
                pages.append(QList<PlacedLine>());
                pageTop = top;
            }
            pages.last().append({line, QPointF(margin + blockRect.left(),
                                               margin + blockRect.top() - pageTop)});
        }
    }

    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.setPen(Qt::black);
    // A printer that cannot make copies itself gets the document as often as asked.
    const int passes = printer.supportsMultipleCopies() ? 1 : qMax(1, printer.copyCount());
    bool first = true;
    for (int copy = 0; copy < passes; ++copy) {
        for (const QList<PlacedLine> &lines : std::as_const(pages)) {
            if (!first && !printer.newPage())
                return false;
            first = false;
            for (const PlacedLine &placed : lines)
                placed.line.draw(&painter, placed.origin);
        }
    }
    // Ending the painter ends the job: it goes to the printer now.
    return painter.end();
}
