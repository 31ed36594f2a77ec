#include "formatting/fontcommands.h"

#include "formatting/picklist.h"
#include "formatting/screenfonts.h"

#include "platform/commondialog.h"
#include "platform/richtextpad.h"
#include "platform/speechsynth.h"

#include <QComboBox>

#include <algorithm>

FontCommands::FontCommands(SpeechSynth &synth, RichTextPad &pad, CommonDialog &dialogs,
                           QComboBox &combo1, QComboBox &fntSize)
    : m_synth(synth)
    , m_pad(pad)
    , m_dialogs(dialogs)
    , m_combo1(combo1)
    , m_fntSize(fntSize)
{
    // Only a choice from the list applies a name or size.
    PickList::ignoreTyping(m_combo1);
    PickList::ignoreTyping(m_fntSize);
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
    // Setting the text runs this check once more; "12" passes it.
    if (kept != text)
        m_fntSize.setEditText(kept);
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
