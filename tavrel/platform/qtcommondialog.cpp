#include "platform/qtcommondialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
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

namespace {

// The flag asking the font dialog for its effects, colour among them.
constexpr int FontEffects = 0x100;

void showColorOn(QPushButton *button, const QColor &color)
{
    QPixmap pixmap(32, 12);
    pixmap.fill(color);
    button->setIcon(QIcon(pixmap));
    button->setIconSize(pixmap.size());
    button->setProperty("color", color);
}

} // namespace

bool QtCommonDialog::showFont()
{
    QFont initial(fontName());
    if (fontSize() > 0)
        initial.setPointSizeF(fontSize());
    initial.setBold(fontBold());
    initial.setItalic(fontItalic());
    initial.setStrikeOut(fontStrikethru());
    initial.setUnderline(fontUnderline());

    // Qt's font dialog has no colour: it is shown inside a dialog of our own that
    // adds a colour button below it.
    QDialog dialog(m_parent);
    dialog.setWindowTitle(dialogTitle());
    auto *fonts = new QFontDialog(initial, &dialog);
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts->setWindowFlags(Qt::Widget);
    auto *colorButton = new QPushButton(QObject::tr("&Color..."), &dialog);
    colorButton->setObjectName(QStringLiteral("fontColor"));
    showColorOn(colorButton, color());
    QObject::connect(colorButton, &QPushButton::clicked, &dialog, [&dialog, colorButton] {
        const QColor chosen = QColorDialog::getColor(
            colorButton->property("color").value<QColor>(), &dialog);
        if (chosen.isValid())
            showColorOn(colorButton, chosen);
    });
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel,
                                         &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *colorLabel = new QLabel(QObject::tr("Color:"), &dialog);
    auto *colorRow = new QHBoxLayout;
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(colorButton);
    colorRow->addStretch();
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(fonts);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);
    colorLabel->setVisible(flags() & FontEffects);
    colorButton->setVisible(flags() & FontEffects);

    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QFont chosen = fonts->currentFont();
    if (flags() & FontEffects)
        setColor(colorButton->property("color").value<QColor>());
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
