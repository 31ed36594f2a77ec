#include "search/searchdialog.h"

#include "editing/undocommands.h"
#include "platform/messageboxes.h"
#include "platform/richtextpad.h"
#include "search/textsearch.h"
#include "shell/twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>

namespace {

constexpr int kClientWidth = 5880;
constexpr int kClientHeight = 1650;
const QColor kTeal(0, 128, 128);
const QColor kNavy(0, 0, 128);
const QString kTitle = QStringLiteral("Search Help");

QFont uiFont(double points, bool bold = false)
{
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void setColors(QWidget *widget, const QColor &background, const QColor &foreground = QColor())
{
    QPalette p = widget->palette();
    // Check boxes fill their background with the button colour.
    p.setColor(QPalette::Window, background);
    p.setColor(widget->backgroundRole(), background);
    if (foreground.isValid())
        p.setColor(QPalette::WindowText, foreground);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

// The system font may be wider than the design's: a caption is never cut short.
void fitCaption(QWidget *widget)
{
    if (widget->sizeHint().width() > widget->width())
        widget->resize(widget->sizeHint().width(), widget->height());
}

} // namespace

SearchDialog::SearchDialog(const Parts &parts)
    : m_parts(parts)
{
    setObjectName(QStringLiteral("Find"));
    setWindowTitle(QStringLiteral("Search & Replace"));
    setFixedSize(Twips::toPixels(kClientWidth), Twips::toPixels(kClientHeight));
    setColors(this, kTeal);
    createControls();
}

void SearchDialog::createControls()
{
    auto addLabel = [this](const QString &name, const QString &caption, const QRect &rect) {
        auto *label = new QLabel(caption, this);
        label->setObjectName(name);
        label->setGeometry(rect);
        label->setFont(uiFont(8.25, true));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setColors(label, kTeal);
        fitCaption(label);
        return label;
    };
    auto addText = [this](const QString &name, const QRect &rect) {
        auto *text = new QLineEdit(this);
        text->setObjectName(name);
        text->setGeometry(rect);
        text->setFont(uiFont(9.75));
        return text;
    };
    auto addCheck = [this](const QString &name, const QString &caption, const QRect &rect) {
        auto *check = new QCheckBox(caption, this);
        check->setObjectName(name);
        check->setGeometry(rect);
        check->setFont(uiFont(8.25, true));
        setColors(check, kTeal, kNavy);
        fitCaption(check);
        // The lower box reaches past the bottom of the window; it keeps what shows.
        const int bottom = Twips::toPixels(kClientHeight);
        if (check->geometry().bottom() >= bottom)
            check->resize(check->width(), bottom - check->y());
        return check;
    };
    auto addButton = [this](const QString &name, const QString &caption, const QRect &rect,
                            void (SearchDialog::*handler)()) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->setGeometry(rect);
        button->setFont(uiFont(8.25));
        connect(button, &QPushButton::clicked, this, handler);
        return button;
    };

    QLabel *label1 = addLabel(QStringLiteral("Label1"), QStringLiteral("Find what"),
                              Twips::rect(240, 360, 1170, 240));
    m_text1 = addText(QStringLiteral("Text1"), Twips::rect(1440, 240, 2895, 345));
    QLabel *label2 = addLabel(QStringLiteral("Label2"), QStringLiteral("Replace with"),
                              Twips::rect(240, 840, 1245, 255));
    m_text2 = addText(QStringLiteral("Text2"), Twips::rect(1440, 720, 2895, 345));
    // The labels name the fields for screen readers.
    label1->setBuddy(m_text1);
    label2->setBuddy(m_text2);
    m_check1 = addCheck(QStringLiteral("Check1"), QStringLiteral("Case sensitive"),
                        Twips::rect(240, 1200, 2040, 240));
    m_check2 = addCheck(QStringLiteral("Check2"), QStringLiteral("Whole word only"),
                        Twips::rect(240, 1440, 2040, 240));
    m_findButton = addButton(QStringLiteral("FindButton"), QStringLiteral("Find"),
                             Twips::rect(4560, 240, 1230, 360),
                             &SearchDialog::findButton_Click);
    m_findNextButton = addButton(QStringLiteral("FindNextButton"), QStringLiteral("Find Next"),
                                 Twips::rect(4560, 720, 1230, 360),
                                 &SearchDialog::findNextButton_Click);
    m_replaceButton = addButton(QStringLiteral("ReplaceButton"), QStringLiteral("Replace"),
                                Twips::rect(2040, 1200, 1110, 345),
                                &SearchDialog::replaceButton_Click);
    m_replaceAllButton = addButton(QStringLiteral("ReplaceAllButton"),
                                   QStringLiteral("Replace All"),
                                   Twips::rect(3240, 1200, 1110, 345),
                                   &SearchDialog::replaceAllButton_Click);
    m_cmdCancel = addButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"),
                            Twips::rect(4560, 1200, 1230, 360), &SearchDialog::cmdCancel_Click);

    // Enter anywhere but on another button runs Find.
    m_findButton->setDefault(true);
    setReplaceEnabled(false);

    // The order of the tab indexes; the labels take no focus.
    const QList<QWidget *> tabOrder = {m_check1, m_check2, m_findButton, m_replaceButton,
                                       m_findNextButton, m_replaceAllButton, m_cmdCancel,
                                       m_text1, m_text2};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));
}

int SearchDialog::options() const
{
    return (m_check2->isChecked() ? RichTextPad::FindWholeWord : 0)
           | (m_check1->isChecked() ? RichTextPad::FindMatchCase : 0);
}

bool SearchDialog::searchFrom(int start)
{
    m_findPos = m_parts.pad->find(m_text1->text(), start, options());
    return m_findPos >= 0;
}

void SearchDialog::reportNotFound()
{
    m_parts.messages->show(QStringLiteral("String not found"), kTitle,
                           MessageBoxes::Buttons::Ok, MessageBoxes::Icon::None);
    setReplaceEnabled(false);
}

void SearchDialog::setReplaceEnabled(bool on)
{
    m_replaceButton->setEnabled(on);
    m_replaceAllButton->setEnabled(on);
}

void SearchDialog::activateMainWindow()
{
    QWidget *main = m_parts.pad->window();
    main->raise();
    main->activateWindow();
}

void SearchDialog::findButton_Click()
{
    if (!searchFrom(0)) {
        reportNotFound();
        return;
    }
    setReplaceEnabled(true);
    activateMainWindow();
}

void SearchDialog::findNextButton_Click()
{
    if (!searchFrom(m_findPos + 1)) {
        reportNotFound();
        return;
    }
    activateMainWindow();
}

bool SearchDialog::selectionIsMatch() const
{
    const QString what = m_text1->text();
    const QTextCursor selection = m_parts.pad->textCursor();
    const int start = selection.selectionStart();
    const int end = selection.selectionEnd();
    if (end - start != what.size())
        return false;
    // The match with the characters on either side, which decide a whole word.
    const QTextDocument *document = m_parts.pad->document();
    QString around;
    if (start > 0)
        around += document->characterAt(start - 1);
    around += selection.selectedText();
    around += document->characterAt(end);
    return TextSearch::matchesAt(around, start > 0 ? 1 : 0, what, options());
}

void SearchDialog::replaceButton_Click()
{
    int next = m_findPos + 1;
    if (selectionIsMatch()) {
        m_parts.undo->pushUndo();
        m_parts.pad->setSelText(m_text2->text());
        // The replacement is not searched again.
        next = m_parts.pad->selStart();
    }
    if (!searchFrom(next)) {
        reportNotFound();
        return;
    }
    activateMainWindow();
}

void SearchDialog::replaceAllButton_Click()
{
    const QString what = m_text1->text();
    m_findPos = -1;
    if (what.isEmpty()) {
        reportNotFound();
        return;
    }
    const QList<qsizetype> matches =
        TextSearch::findAll(m_parts.undo->padText().toString(), what, options());
    if (!matches.isEmpty()) {
        m_parts.undo->pushUndo();
        m_parts.pad->replaceRanges(matches, int(what.size()), m_text2->text());
    }
    setReplaceEnabled(false);
    m_parts.messages->show(QStringLiteral("Done replacing"), kTitle, MessageBoxes::Buttons::Ok,
                           MessageBoxes::Icon::None);
}

void SearchDialog::cmdCancel_Click()
{
    hide();
}

void SearchDialog::reject()
{
    cmdCancel_Click();
}

void SearchDialog::focusInEvent(QFocusEvent *event)
{
    // The window itself takes the focus only when none of its controls can.
    QDialog::focusInEvent(event);
    m_text1->setFocus();
}

void SearchDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shownBefore) {
        m_shownBefore = true;
        m_check1->setFocus();
    }
}
