#pragma once

#include <QFile>
#include <QString>

#include <cstdio>

#include <iterator>

// A document of plain English-like words in lines of about 70 characters, the same
// for the same seed, so that runs compare like with like.
inline QString benchText(qsizetype chars, quint32 seed = 12345)
{
    static const char *const words[] = {
        "the", "quick", "brown", "fox", "jumps", "over", "lazy", "dog", "reading",
        "aloud", "document", "paragraph", "speech", "voice", "pitch", "speed", "window",
    };
    QString text;
    text.reserve(chars + 100);
    qsizetype lineStart = 0;
    while (text.size() < chars) {
        seed = seed * 1103515245u + 12345u;
        text += QLatin1String(words[(seed >> 16) % std::size(words)]);
        if (text.size() - lineStart > 70) {
            text += QLatin1Char('\n');
            lineStart = text.size();
        } else {
            text += QLatin1Char(' ');
        }
    }
    text.truncate(chars);
    return text;
}

// English prose with sentence and clause punctuation, as a reader meets it, cut to
// `size` characters.
inline QString proseOfSize(qsizetype size)
{
    static const QString paragraph = QStringLiteral(
        "It was a bright cold day in April, and the clocks were striking thirteen. "
        "Reading a letter aloud before it is sent is a good way to find its mistakes; "
        "the ear hears what the eye passes over. Would you like another cup of tea? "
        "Mr. Brown said he would call at 9.30, but he never came.\n");
    QString text;
    while (text.size() < size)
        text += paragraph;
    text.truncate(size);
    return text;
}

// Writes a bench text to a file as UTF-8; says so and returns false when it cannot.
inline bool writeBenchFile(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}
