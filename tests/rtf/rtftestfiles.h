#pragma once

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTest>

// The RTF files of real word processors the RTF tests read, and the word lists
// their texts are compared by.
namespace RtfTestFiles {

inline QString folder()
{
    return QStringLiteral(TAVREL_SHARED_TESTDATA "/rtf");
}

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// A test's data: one row a file, its name in the column "name".
inline void addEveryFile()
{
    QTest::addColumn<QString>("name");
    const QStringList names = QDir(folder()).entryList({QStringLiteral("*.rtf")}, QDir::Files,
                                                       QDir::Name);
    QVERIFY2(names.size() >= 16, qPrintable(folder()));
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << name;
}

// Words are what lies between white space; pictures and byte order marks are no
// words.
inline QStringList words(const QString &text)
{
    QStringList out;
    QString word;
    for (const QChar c : text) {
        if (c.isSpace() || c == QChar::ObjectReplacementCharacter || c == QChar(0xFEFF)) {
            if (!word.isEmpty())
                out.append(word);
            word.clear();
        } else {
            word.append(c);
        }
    }
    if (!word.isEmpty())
        out.append(word);
    return out;
}

// Where two word lists first differ, with a little context, or an empty string.
inline QString firstDifference(const QStringList &actual, const QStringList &expected)
{
    const qsizetype n = qMin(actual.size(), expected.size());
    qsizetype i = 0;
    while (i < n && actual.at(i) == expected.at(i))
        ++i;
    if (i == n && actual.size() == expected.size())
        return {};
    return QStringLiteral("word %1: got [%2] expected [%3]")
        .arg(i)
        .arg(actual.mid(i, 6).join(QLatin1Char(' ')), expected.mid(i, 6).join(QLatin1Char(' ')));
}

} // namespace RtfTestFiles
