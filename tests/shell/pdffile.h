#pragma once

// Printed output read back with poppler's command-line tools, as a reader of the
// paper would see it.
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

inline QString popplerOutput(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed>").arg(tool);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of every page; pages are separated by form feeds.
inline QString pdfText(const QString &path)
{
    return popplerOutput(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
}

inline int pdfPageCount(const QString &path)
{
    const QString info = popplerOutput(QStringLiteral("pdfinfo"), {path});
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"),
                           QRegularExpression::MultilineOption)
            .match(info);
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

// The names of the fonts the file uses, as pdffonts lists them.
inline QString pdfFonts(const QString &path)
{
    return popplerOutput(QStringLiteral("pdffonts"), {path});
}
