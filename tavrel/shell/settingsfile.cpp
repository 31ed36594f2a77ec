#include "shell/settingsfile.h"

#include "platform/regularfile.h"
#include "platform/textcodec.h"
#include "shell/safewrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

#include <cfenv>
#include <cmath>
#include <limits>

namespace SettingsFile {

namespace {

// The file is one short line; anything beyond this is not read.
constexpr qint64 kMaxBytes = 64 * 1024;

std::optional<double> toNumber(const QString &field)
{
    const QString text = field.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = c.toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString quoted(const QString &text)
{
    QString inner = text;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

// Splits one line into its fields at commas outside quotes. A quoted field loses its
// quotes (a doubled quote inside stands for one); other fields lose surrounding
// spaces. Returns false for a quote that does not close or text after a closing one.
bool splitLine(QStringView line, QStringList &fields, QString *error)
{
    qsizetype i = 0;
    const qsizetype n = line.size();
    auto isSpace = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (true) {
        while (i < n && isSpace(line.at(i)))
            ++i;
        QString field;
        if (i < n && line.at(i) == QLatin1Char('"')) {
            ++i;
            bool closed = false;
            while (i < n) {
                if (line.at(i) == QLatin1Char('"')) {
                    if (i + 1 < n && line.at(i + 1) == QLatin1Char('"')) {
                        field.append(QLatin1Char('"'));
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                field.append(line.at(i++));
            }
            if (!closed) {
                if (error)
                    *error = QStringLiteral("A quoted value does not close.");
                return false;
            }
            while (i < n && isSpace(line.at(i)))
                ++i;
            if (i < n && line.at(i) != QLatin1Char(',')) {
                if (error)
                    *error = QStringLiteral("Text follows a quoted value.");
                return false;
            }
        } else {
            const qsizetype start = i;
            while (i < n && line.at(i) != QLatin1Char(','))
                ++i;
            field = line.mid(start, i - start).trimmed().toString();
        }
        fields.append(field);
        if (i >= n)
            return true;
        ++i; // the comma
    }
}

} // namespace

QString defaultPath()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (!programFolder.isEmpty() && QFileInfo(programFolder).isWritable())
        return programFolder + QStringLiteral("/Settings.ini");
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Tavrel/Settings.ini");
}

QString formatSingle(float value)
{
    if (value == 0 || !std::isfinite(value))
        return QStringLiteral("0");
    // Seven significant digits as d.dddddde+X, then the point moved by hand so that
    // no exponent is written.
    const QString scientific = QString::number(double(value), 'e', 6);
    const bool negative = scientific.startsWith(QLatin1Char('-'));
    const QString body = negative ? scientific.mid(1) : scientific;
    const qsizetype e = body.indexOf(QLatin1Char('e'));
    QString digits = body.left(e);
    digits.remove(QLatin1Char('.'));
    const int exponent = body.mid(e + 1).toInt();
    QString out;
    if (exponent >= 6) {
        out = digits + QString(exponent - 6, QLatin1Char('0'));
    } else if (exponent >= 0) {
        out = digits.left(exponent + 1) + QLatin1Char('.') + digits.mid(exponent + 1);
    } else {
        out = QStringLiteral("0.") + QString(-exponent - 1, QLatin1Char('0')) + digits;
    }
    if (out.contains(QLatin1Char('.'))) {
        while (out.endsWith(QLatin1Char('0')))
            out.chop(1);
        if (out.endsWith(QLatin1Char('.')))
            out.chop(1);
    }
    return negative ? QLatin1Char('-') + out : out;
}

QByteArray format(const Values &v)
{
    const QStringList fields{
        QString::number(v.speed),
        QString::number(v.voiceValue),
        formatSingle(v.width),
        formatSingle(v.height),
        formatSingle(v.left),
        formatSingle(v.top),
        QString::number(v.backColor),
        QString::number(v.pitch),
        quoted(v.fontName),
    };
    return TextCodec::encode(fields.join(QLatin1Char(',')) + QLatin1Char('\n'));
}

bool write(const QString &path, const Values &values, QString *error)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Cannot make the folder %1.").arg(folder);
        return false;
    }
    return SafeWrite::writeFile(path, format(values), error);
}

std::optional<QStringList> parseFields(const QByteArray &bytes, QString *error)
{
    // Line ends of every kind become "\n" here.
    const QString text = TextCodec::decode(bytes);
    QStringList fields;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty())
            continue;
        if (!splitLine(line, fields, error))
            return std::nullopt;
        if (fields.size() >= kFieldCount)
            return fields.mid(0, kFieldCount);
    }
    if (error)
        *error = QStringLiteral("The file holds %1 of the %2 values.")
                     .arg(fields.size())
                     .arg(kFieldCount);
    return std::nullopt;
}

std::optional<QStringList> readFields(const QString &path, QString *error)
{
    const std::optional<QByteArray> bytes = RegularFile::read(path, kMaxBytes, error);
    if (!bytes)
        return std::nullopt;
    return parseFields(*bytes, error);
}

std::optional<qint32> toWhole(const QString &field)
{
    const std::optional<double> value = toNumber(field);
    if (!value)
        return std::nullopt;
    // Rounding to nearest with halves to even: the rounding mode in force by default,
    // set here all the same so that nothing else can change the outcome.
    const int mode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(*value);
    std::fesetround(mode);
    if (rounded < double(std::numeric_limits<qint32>::min())
        || rounded > double(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return qint32(rounded);
}

std::optional<float> toSingle(const QString &field)
{
    const std::optional<double> value = toNumber(field);
    if (!value || std::fabs(*value) > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    return float(*value);
}

} // namespace SettingsFile
