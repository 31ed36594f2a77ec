// Reading text files: UTF-8 where valid, Windows-1252 byte by byte where not, and
// every kind of line end as "\n".
#include "platform/textcodec.h"

#include <QTest>

class TstTextCodec : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void encodeWritesUtf8WithLineFeeds();
    void everyByteDecodes();
};

void TstTextCodec::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("plain") << QStringLiteral("plain");
    QTest::newRow("utf-8") << QByteArray("caf\xC3\xA9 \xE2\x82\xAC") << QStringLiteral("café €");
    QTest::newRow("bom dropped") << QByteArray("\xEF\xBB\xBFhi") << QStringLiteral("hi");
    QTest::newRow("astral") << QByteArray("\xF0\x9F\x98\x80") << QString::fromUtf8("\U0001F600");
    QTest::newRow("windows-1252") << QByteArray("caf\xE9 \x80 \x93quoted\x94")
                                  << QStringLiteral("café € “quoted”");
    QTest::newRow("mixed") << QByteArray("\xC3\xA9 and \xE9") << QStringLiteral("é and é");
    QTest::newRow("truncated sequence") << QByteArray("a\xE2\x82") << QStringLiteral("aâ‚");
    QTest::newRow("overlong is not utf-8") << QByteArray("\xC0\xAF")
                                           << QStringLiteral("À¯");
    QTest::newRow("surrogate is not utf-8") << QByteArray("\xED\xA0\x80")
                                            << QStringLiteral("í\u00A0€");
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringLiteral("a\nb\n");
    QTest::newRow("cr") << QByteArray("a\rb\r\rc") << QStringLiteral("a\nb\n\nc");
    QTest::newRow("lf") << QByteArray("a\nb") << QStringLiteral("a\nb");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("mark inside the text is kept")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF" "a\xEF\xBB\xBF") << QStringLiteral("\uFEFFa\uFEFF");
    QTest::newRow("all kinds together")
        << QByteArray("\xEF\xBB\xBFx\r\n\xC3\xA9\xE9\r\r\n\xF0\x9F\x98\x80\xE2\x82\xAC\r")
        << QStringLiteral("x\néé\n\n\U0001F600€\n");
}

void TstTextCodec::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(TextCodec::decode(bytes), text);
    // Read in pieces, cut anywhere (inside a sequence, between "\r" and "\n", inside
    // the byte order mark), the text is the same.
    for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
        TextCodec::Decoder twoPieces(bytes.size());
        twoPieces.add(QByteArrayView(bytes).first(cut));
        twoPieces.add(QByteArrayView(bytes).sliced(cut));
        QCOMPARE(twoPieces.finish(), text);
    }
    TextCodec::Decoder bytewise;
    for (const char byte : bytes)
        bytewise.add(QByteArrayView(&byte, 1));
    QCOMPARE(bytewise.finish(), text);
}

void TstTextCodec::encodeWritesUtf8WithLineFeeds()
{
    QCOMPARE(TextCodec::encode(QStringLiteral("é\r\nx\ry\n")), QByteArray("\xC3\xA9\nx\ny\n"));
    // What is written reads back the same.
    const QString text = QStringLiteral("Grüße – “quoted” \U0001F600\nline");
    QCOMPARE(TextCodec::decode(TextCodec::encode(text)), text);
}

void TstTextCodec::everyByteDecodes()
{
    // No byte is lost or turned into a replacement character.
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r')
            all.append(char(b));
    }
    const QString text = TextCodec::decode(all);
    QCOMPARE(text.size(), all.size());
    QVERIFY(!text.contains(QChar::ReplacementCharacter));
    QCOMPARE(text.at(0x80 - 1), QChar(0x20AC)); // '\r' is missing before it
    QCOMPARE(text.at(0x9F - 1), QChar(0x0178));
}

QTEST_APPLESS_MAIN(TstTextCodec)
#include "tst_textcodec.moc"
