// The shared dialog's filter strings become Qt's name filters pair by pair.
#include "platform/qtcommondialog.h"

#include <QTest>

class TstQtCommonDialog : public QObject
{
    Q_OBJECT

private slots:
    void nameFilters();
    void designStateCarriesOver();
};

void TstQtCommonDialog::nameFilters()
{
    QCOMPARE(QtCommonDialog::nameFilters(CommonDialog::designFilter()),
             (QStringList{"Text files (*.txt)", "Rich Text Document (*.rtf)",
                          "All files (*.*)"}));
    QCOMPARE(QtCommonDialog::nameFilters(QStringLiteral("Pictures|*.bmp;*.jpg|Odd")),
             (QStringList{"Pictures (*.bmp *.jpg)"}));
    QVERIFY(QtCommonDialog::nameFilters(QString()).isEmpty());
}

void TstQtCommonDialog::designStateCarriesOver()
{
    QtCommonDialog dialog(nullptr);
    QCOMPARE(dialog.dialogTitle(), QStringLiteral("Tavrel"));
    QCOMPARE(dialog.filter(), CommonDialog::designFilter());
    dialog.setFilter(QStringLiteral("All Files (*.*)|*.*"));
    dialog.setFilterIndex(2);
    dialog.setFileName(QStringLiteral("/somewhere/a.txt"));
    QCOMPARE(dialog.filter(), QStringLiteral("All Files (*.*)|*.*"));
    QCOMPARE(dialog.filterIndex(), 2);
    QCOMPARE(dialog.fileName(), QStringLiteral("/somewhere/a.txt"));
}

QTEST_MAIN(TstQtCommonDialog)
#include "tst_qtcommondialog.moc"
