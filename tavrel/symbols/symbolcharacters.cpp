#include "symbols/symbolcharacters.h"

#include "formatting/screenfonts.h"
#include "platform/textcodec.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QRawFont>

namespace SymbolCharacters {

namespace {

bool isOneOf(const QString &family, std::initializer_list<QLatin1StringView> names)
{
    for (QLatin1StringView name : names) {
        if (family.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

std::optional<SymbolFonts::Layout> layoutOf(const QString &family)
{
    // The font actually drawn decides: a "Symbol" that resolves to an ordinary
    // font follows the code page like any other.
    const QString drawn = ScreenFonts::plainName(QFontInfo(QFont(family)).family());
    if (isOneOf(drawn, {QLatin1StringView("Symbol"), QLatin1StringView("Standard Symbols PS"),
                        QLatin1StringView("Standard Symbols L")}))
        return SymbolFonts::Layout::Symbol;
    if (isOneOf(drawn, {QLatin1StringView("D050000L"), QLatin1StringView("Dingbats"),
                        QLatin1StringView("Zapf Dingbats"), QLatin1StringView("ZapfDingbats"),
                        QLatin1StringView("ITC Zapf Dingbats")}))
        return SymbolFonts::Layout::Dingbats;
    return std::nullopt;
}

Cell cell(std::optional<SymbolFonts::Layout> layout, int code)
{
    if (code < kFirstCode || code >= kFirstCode + kCount)
        return {};
    const auto byte = std::uint8_t(code);
    if (layout) {
        const char16_t unicode = SymbolFonts::character(*layout, byte);
        if (!unicode)
            return {};
        // Symbol fonts put their glyphs at the Latin-1 values of their codes.
        return {QString(QChar(char16_t(byte))), QString(QChar(unicode))};
    }
    const QChar c = TextCodec::fromWindows1252(byte);
    // The code page's unassigned codes and DEL are no character to insert.
    if (c.category() == QChar::Other_Control)
        return {};
    return {QString(c), QString(c)};
}

QList<Cell> cells(const QString &family)
{
    const auto layout = layoutOf(family);
    const QRawFont font = layout ? QRawFont::fromFont(QFont(family)) : QRawFont();
    QList<Cell> all;
    all.reserve(kCount);
    for (int code = kFirstCode; code < kFirstCode + kCount; ++code) {
        Cell c = cell(layout, code);
        if (layout && !c.shown.isEmpty() && !font.supportsCharacter(c.shown.at(0)))
            c = {};
        all << c;
    }
    return all;
}

QStringList familiesFor(const QString &family, const QString &character,
                        const QString &fallback)
{
    if (character.isEmpty())
        return {family};
    const char32_t unicode = character.toUcs4().value(0);
    auto draws = [unicode](const QString &name) {
        return QFontMetricsF(QFont(name)).inFontUcs4(unicode);
    };
    if (draws(family))
        return {family};
    // A fallback counts by the family it resolves to: the text layout passes over
    // aliases ("Times New Roman") that name no installed family.
    for (const QString &candidate : {fallback, QGuiApplication::font().family()}) {
        const QString installed = ScreenFonts::plainName(QFontInfo(QFont(candidate)).family());
        if (!candidate.isEmpty() && draws(installed))
            return {family, installed};
    }
    return {family};
}

} // namespace SymbolCharacters
