#include "platform/qtcommondialog.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrinter>

QtCommonDialog::QtCommonDialog(QWidget *parent)
    : m_parent(parent)
{
}

QStringList QtCommonDialog::nameFilters(const QString &filter)
{
    // Items alternate description and pattern. Qt shows the description and
    // matches the patterns written in parentheses, so each pair becomes
    // "Description (pattern)" unless the description already names the patterns.
    const QStringList items = filter.split(QLatin1Char('|'));
    QStringList result;
    for (int i = 0; i + 1 < items.size(); i += 2) {
        QString patterns = items.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString description = items.at(i).trimmed();
        if (description.contains(QLatin1Char('(')))
            result << description.left(description.indexOf(QLatin1Char('('))).trimmed()
                          + QStringLiteral(" (") + patterns + QLatin1Char(')');
        else
            result << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return result;
}

bool QtCommonDialog::showFile(bool save)
{
    QFileDialog dialog(m_parent, dialogTitle());
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = nameFilters(filter());
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = filterIndex() >= 1 ? filterIndex() - 1 : 0;
        if (index < filters.size())
            dialog.selectNameFilter(filters.at(index));
    }
    if (!fileName().isEmpty()) {
        const QFileInfo last(fileName());
        dialog.setDirectory(last.absolutePath());
        dialog.selectFile(last.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const int chosen = filters.indexOf(dialog.selectedNameFilter());
    if (chosen >= 0)
        setFilterIndex(chosen + 1);
    acceptFile(dialog.selectedFiles().constFirst());
    return true;
}

bool QtCommonDialog::showOpen()
{
    return showFile(false);
}

bool QtCommonDialog::showSave()
{
    return showFile(true);
}

bool QtCommonDialog::showPrinter(QPrinter *printer)
{
    QPrintDialog dialog(printer, m_parent);
    dialog.setWindowTitle(dialogTitle());
    printer->setCopyCount(copies() > 0 ? copies() : 1);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    setCopies(printer->copyCount());
    return true;
}

bool QtCommonDialog::showFont()
{
    QFont initial(fontName());
    if (fontSize() > 0)
        initial.setPointSizeF(fontSize());
    initial.setBold(fontBold());
    initial.setItalic(fontItalic());
    initial.setStrikeOut(fontStrikethru());
    initial.setUnderline(fontUnderline());
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, m_parent, dialogTitle());
    if (!ok)
        return false;
    setFontName(chosen.family());
    setFontSize(chosen.pointSizeF());
    setFontBold(chosen.bold());
    setFontItalic(chosen.italic());
    setFontStrikethru(chosen.strikeOut());
    setFontUnderline(chosen.underline());
    return true;
}

bool QtCommonDialog::showColor()
{
    const QColor chosen = QColorDialog::getColor(color(), m_parent, dialogTitle());
    if (!chosen.isValid())
        return false;
    setColor(chosen);
    return true;
}
