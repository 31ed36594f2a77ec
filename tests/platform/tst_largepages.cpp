// The program starts itself again once so that its large blocks are held in huge
// pages, and leaves its children the environment it was given.
#include <QFile>
#include <QProcess>
#include <QTest>

class TstLargePages : public QObject
{
    Q_OBJECT

private slots:
    void largeBlocksInHugePagesWithTheEnvironmentKept();
};

namespace {

QMap<QString, QString> probe(const QString &tunables)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("GLIBC_TUNABLES"));
    if (!tunables.isNull())
        env.insert(QStringLiteral("GLIBC_TUNABLES"), tunables);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(LARGEPAGES_PROBE), {});
    QMap<QString, QString> result;
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return result;
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            result[QString::fromUtf8(line.left(eq))] = QString::fromUtf8(line.mid(eq + 1));
    }
    return result;
}

} // namespace

void TstLargePages::largeBlocksInHugePagesWithTheEnvironmentKept()
{
    QFile mode(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
    const bool onRequest = mode.open(QIODevice::ReadOnly) && mode.readAll().contains("[madvise]");

    const auto plain = probe(QString());
    QCOMPARE(plain.value(QStringLiteral("tunables")), QStringLiteral("(unset)"));
    QCOMPARE(plain.value(QStringLiteral("marker")), QStringLiteral("(unset)"));
    if (onRequest)
        QVERIFY(plain.value(QStringLiteral("huge_kb")).toLong() >= 2048);

    // Other tunables the user gave are kept, for the program and its children.
    const auto other = probe(QStringLiteral("glibc.malloc.arena_max=4"));
    QCOMPARE(other.value(QStringLiteral("tunables")), QStringLiteral("glibc.malloc.arena_max=4"));
    if (onRequest)
        QVERIFY(other.value(QStringLiteral("huge_kb")).toLong() >= 2048);

    // A user who turned huge pages off is not overruled.
    const auto off = probe(QStringLiteral("glibc.malloc.hugetlb=0"));
    QCOMPARE(off.value(QStringLiteral("tunables")), QStringLiteral("glibc.malloc.hugetlb=0"));
    QCOMPARE(off.value(QStringLiteral("marker")), QStringLiteral("(unset)"));
}

QTEST_GUILESS_MAIN(TstLargePages)
#include "tst_largepages.moc"
