// The shared text must behave exactly like a plain string under any sequence of
// changes, while copies share everything a change does not touch.
#include "editing/sharedtext.h"

#include <QRandomGenerator>
#include <QTest>

class TstSharedText : public QObject
{
    Q_OBJECT

private slots:
    void behavesLikeAString_data();
    void behavesLikeAString();
    void copiesShareAllButTheChangedPiece();
    void equalityIgnoresHowTheTextIsCut();
    void rangesAreClamped();
};

void TstSharedText::behavesLikeAString_data()
{
    QTest::addColumn<int>("startSize");
    QTest::addColumn<int>("maxChange");
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<bool>("adopt");
    // Small edits in a text of several pages, large edits that cross pages, and a
    // text grown from nothing.
    QTest::newRow("keys in a large text") << 400000 << 3 << 1u << false;
    QTest::newRow("blocks across pages") << 400000 << 150000 << 2u << false;
    QTest::newRow("grown from empty") << 0 << 5000 << 3u << false;
    QTest::newRow("mixed") << 50000 << 20000 << 4u << false;
    // A text adopted from a string: the string is never written to.
    QTest::newRow("adopted, keys") << 400000 << 3 << 5u << true;
    QTest::newRow("adopted, blocks") << 400000 << 150000 << 6u << true;
}

void TstSharedText::behavesLikeAString()
{
    QFETCH(int, startSize);
    QFETCH(int, maxChange);
    QFETCH(quint32, seed);
    QFETCH(bool, adopt);
    QRandomGenerator random(seed);
    auto randomText = [&random](int length) {
        QString text(length, Qt::Uninitialized);
        for (int i = 0; i < length; ++i)
            text[i] = QChar(char16_t(u'a' + random.bounded(26)));
        return text;
    };

    QString expected = randomText(startSize);
    const QString original = expected;
    const QString untouched(original.constData(), original.size());
    SharedText text = adopt ? SharedText::adopting(original) : SharedText(expected);
    QList<SharedText> versions;
    QList<QString> expectedVersions;
    for (int step = 0; step < 600; ++step) {
        const int size = int(expected.size());
        const int position = random.bounded(size + 1);
        const int removed = random.bounded(qMin(maxChange, size - position) + 1);
        const QString added = randomText(random.bounded(maxChange + 1));
        expected.replace(position, removed, added);
        text.replace(position, removed, added);
        QCOMPARE(text.size(), expected.size());
        if (step % 50 == 0) {
            // Older versions must not move when the newest one changes.
            versions << text;
            expectedVersions << expected;
        }
        const int from = random.bounded(int(expected.size()) + 1);
        const int length = random.bounded(300);
        QCOMPARE(text.mid(from, length), expected.mid(from, length));
    }
    QCOMPARE(text.toString(), expected);
    // The common ends of two versions, found through the pieces they share.
    auto checkCommonEnds = [](const SharedText &a, const QString &sa, const SharedText &b,
                              const QString &sb) {
        const qsizetype shorter = qMin(sa.size(), sb.size());
        qsizetype prefix = 0;
        while (prefix < shorter && sa.at(prefix) == sb.at(prefix))
            ++prefix;
        qsizetype suffix = 0;
        while (suffix < shorter - prefix
               && sa.at(sa.size() - 1 - suffix) == sb.at(sb.size() - 1 - suffix))
            ++suffix;
        const SharedText::CommonEnds ends = SharedText::commonEnds(a, b);
        return ends.prefix == prefix && ends.suffix == suffix;
    };
    for (qsizetype i = 0; i < versions.size(); ++i) {
        const QString &older = expectedVersions.at(i);
        QCOMPARE(versions.at(i).toString(), older);
        QVERIFY(checkCommonEnds(versions.at(i), older, text, expected));
        SharedText key = versions.at(i);
        key.replace(older.size() / 2, 0, u"#");
        QVERIFY(checkCommonEnds(key, QString(older).insert(older.size() / 2, u'#'),
                                versions.at(i), older));
    }
    QCOMPARE(original, untouched);
}

void TstSharedText::copiesShareAllButTheChangedPiece()
{
    const QString document(2'000'000, QLatin1Char('x'));
    const SharedText original(document);
    SharedText changed = original;
    QVERIFY(changed.isSharedWith(original));
    changed.replace(1'000'000, 0, u"y");
    QVERIFY(!changed.isSharedWith(original));
    QCOMPARE(original.toString(), document);
    QCOMPARE(changed.at(1'000'000), QLatin1Char('y'));

    const qsizetype one = SharedText::heldBytes({original});
    const qsizetype both = SharedText::heldBytes({original, changed});
    // One copy of the text is two bytes a character.
    QVERIFY(one >= 2 * qsizetype(document.size()));
    QVERIFY2(both - one < 64 * 1024,
             qPrintable(QStringLiteral("a one-key change costs %1 bytes").arg(both - one)));
}

void TstSharedText::equalityIgnoresHowTheTextIsCut()
{
    const QString body(10'000, QLatin1Char('q'));
    SharedText built;
    for (qsizetype at = 0; at < body.size(); at += 7)
        built.replace(built.size(), 0, QStringView(body).mid(at, 7));
    const SharedText whole(body);
    QVERIFY(built == whole);
    SharedText different = whole;
    different.replace(9'999, 1, u"r");
    QVERIFY(different != whole);
    QVERIFY(SharedText() == SharedText(QString()));
}

void TstSharedText::rangesAreClamped()
{
    SharedText text(QStringLiteral("hello"));
    text.replace(3, 100, u"p!");
    QCOMPARE(text.toString(), QStringLiteral("help!"));
    text.replace(-4, 1, u"w");
    QCOMPARE(text.toString(), QStringLiteral("welp!"));
    text.replace(99, 0, u"?");
    QCOMPARE(text.toString(), QStringLiteral("welp!?"));
    QCOMPARE(text.mid(4, 99), QStringLiteral("!?"));
}

QTEST_APPLESS_MAIN(TstSharedText)
#include "tst_sharedtext.moc"
