#include "formatting/fontcommands.h"

#include "formatting/picklist.h"
#include "formatting/screenfonts.h"
#include "platform/commondialog.h"
#include "platform/richtextpad.h"
#include "platform/speechsynth.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>

#include <algorithm>

// Once the size box has put "12" back in the middle of the user's typing, the rest
// of that typing is dropped instead of being added to the "12" ("1.5" leaves
// "12", not "125"). The typing ends at a key that types nothing (Backspace, an
// arrow, Ctrl+A), a click or a change of focus.
class FontCommands::TypingHold : public QObject
{
public:
    bool holding = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const auto *key = static_cast<QKeyEvent *>(event);
            const QString text = key->text();
            const bool types = !text.isEmpty() && text.at(0).isPrint()
                               && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
            if (types)
                return holding;
            holding = false;
            break;
        }
        case QEvent::MouseButtonPress:
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            holding = false;
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
};

FontCommands::FontCommands(SpeechSynth &synth, RichTextPad &pad, CommonDialog &dialogs,
                           QComboBox &combo1, QComboBox &fntSize)
    : m_synth(synth)
    , m_pad(pad)
    , m_dialogs(dialogs)
    , m_combo1(combo1)
    , m_fntSize(fntSize)
    , m_typingHold(std::make_unique<TypingHold>())
{
    // Only a choice from the list applies a name or size.
    PickList::ignoreTyping(m_combo1);
    PickList::ignoreTyping(m_fntSize);
    // Keys reach the box or, sent to it directly, its text field.
    m_fntSize.installEventFilter(m_typingHold.get());
    if (QLineEdit *edit = m_fntSize.lineEdit())
        edit->installEventFilter(m_typingHold.get());
    m_connections << QObject::connect(&m_combo1, &QComboBox::activated, &m_combo1,
                                      [this] { combo1_Click(); });
    m_connections << QObject::connect(&m_fntSize, &QComboBox::editTextChanged, &m_fntSize,
                                      [this] { fntSize_Change(); });
    m_connections << QObject::connect(&m_fntSize, &QComboBox::activated, &m_fntSize,
                                      [this] { fntSize_Click(); });
}

FontCommands::~FontCommands()
{
    for (const QMetaObject::Connection &connection : std::as_const(m_connections))
        QObject::disconnect(connection);
}

void FontCommands::fillFontNames()
{
    // Every installed family once, in alphabetical order without regard to case.
    m_combo1.addItems(ScreenFonts::families());
    // The box keeps its size; its list is as wide as the longest name needs.
    QAbstractItemView *list = m_combo1.view();
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth()
                          + list->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

void FontCommands::fillFontSizes(double windowFontPoints)
{
    QStringList sizes;
    for (int i = 1; i <= 100; ++i)
        sizes << QString::number(i);
    m_fntSize.addItems(sizes);
    m_combo1.setEditText(m_pad.baseFontName());
    m_fntSize.setEditText(QString::number(windowFontPoints));
}

QString FontCommands::checkedSizeText(const QString &text)
{
    const bool digitsOnly = std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    if (!digitsOnly || text.startsWith(QLatin1Char('0')))
        return QStringLiteral("12");
    return text;
}

void FontCommands::combo1_Click()
{
    m_synth.speak(QStringLiteral("You have changed your text font"));
    // The pad's own font, not the selection's.
    m_pad.setBaseFontName(m_combo1.currentText());
}

void FontCommands::fntSize_Change()
{
    const QString text = m_fntSize.currentText();
    const QString kept = checkedSizeText(text);
    if (kept != text) {
        const QWidget *focus = QApplication::focusWidget();
        if (focus && (focus == &m_fntSize || m_fntSize.isAncestorOf(focus)))
            m_typingHold->holding = true;
        // Setting the text runs this check once more; "12" passes it.
        m_fntSize.setEditText(kept);
        return;
    }
    // The list opens on the size the box shows. The text is already the item's, so
    // choosing the row leaves the text field and its cursor alone.
    const int row = m_fntSize.findText(text, Qt::MatchExactly);
    if (row >= 0)
        m_fntSize.setCurrentIndex(row);
}

void FontCommands::fntSize_Click()
{
    m_synth.speak(QStringLiteral("You have changed the text font size"));
    bool ok = false;
    const double points = m_fntSize.currentText().toDouble(&ok);
    if (ok)
        m_pad.setSelFontSize(points);
}

void FontCommands::fontMe()
{
    // Every step that cannot be done is skipped and the next one runs: a property
    // that is mixed across the selection keeps the dialog's previous value, and a
    // cancelled dialog still applies what it holds, the selection's own formatting.
    m_dialogs.setFlags(FontDialogFlags);
    if (const auto name = m_pad.selFontName())
        m_dialogs.setFontName(*name);
    if (const auto size = m_pad.selFontSize())
        m_dialogs.setFontSize(*size);
    if (const auto strikeThru = m_pad.selStrikeThru())
        m_dialogs.setFontStrikethru(*strikeThru);
    if (const auto underline = m_pad.selUnderline())
        m_dialogs.setFontUnderline(*underline);
    if (const auto color = m_pad.selColor())
        m_dialogs.setColor(*color);
    if (const auto bold = m_pad.selBold())
        m_dialogs.setFontBold(*bold);
    if (const auto italic = m_pad.selItalic())
        m_dialogs.setFontItalic(*italic);

    m_dialogs.showFont();

    if (!m_dialogs.fontName().isEmpty())
        m_pad.setSelFontName(m_dialogs.fontName());
    m_pad.setSelFontSize(m_dialogs.fontSize());
    m_pad.setSelStrikeThru(m_dialogs.fontStrikethru());
    m_pad.setSelUnderline(m_dialogs.fontUnderline());
    m_pad.setSelBold(m_dialogs.fontBold());
    m_pad.setSelItalic(m_dialogs.fontItalic());
    if (m_dialogs.color().isValid())
        m_pad.setSelColor(m_dialogs.color());
}
