#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Settings.ini: one line of nine fields that keeps the voice, window and pad settings
// from one run to the next. Fields are separated by commas; numbers are plain
// decimals with "." as the decimal point; the font name is in double quotes, a quote
// inside it doubled. Written as UTF-8 with a "\n" line end; read as UTF-8 or, for
// bytes that are not, Windows-1252, with "\r\n", "\n" or "\r" line ends.
namespace SettingsFile {

constexpr int kFieldCount = 9;

// The nine values in file order.
struct Values {
    qint32 speed = 0;
    // The synthesiser's volume, kept and restored without other use.
    qint32 voiceValue = 0;
    // The main window in twips.
    float width = 0;
    float height = 0;
    float left = 0;
    float top = 0;
    // Red in the lowest byte, green in the second, blue in the third.
    qint32 backColor = 0;
    qint32 pitch = 0;
    QString fontName;
};

// Beside the executable when that folder is writable (a portable copy), otherwise
// Tavrel/Settings.ini under the user's configuration folder.
QString defaultPath();

QByteArray format(const Values &values);
bool write(const QString &path, const Values &values, QString *error = nullptr);

// The first nine fields of the file, without quotes and surrounding spaces. Fails
// (nullopt, with the reason in *error) when the file cannot be read, or holds fewer
// than nine fields or a quoted field that does not close.
std::optional<QStringList> parseFields(const QByteArray &bytes, QString *error = nullptr);
std::optional<QStringList> readFields(const QString &path, QString *error = nullptr);

// A field as a 32-bit whole number: a fraction goes to the nearest whole number, an
// exact half to the even one. Nothing for text that is not a number or out of range.
std::optional<qint32> toWhole(const QString &field);
// A field as a single-precision number.
std::optional<float> toSingle(const QString &field);
// At most seven significant digits, plain decimal, no exponent.
QString formatSingle(float value);

} // namespace SettingsFile
