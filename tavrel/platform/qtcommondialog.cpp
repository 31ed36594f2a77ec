#include "platform/qtcommondialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
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

// The font as Qt's font dialog should show it: the family and face the text is
// drawn with. The dialog looks a face up by its name, and names differ between
// families: a regular font asks for "Normal", which finds "Regular" but not the
// "Book" of DejaVu Sans, and the dialog then falls back to the family's first
// face, which may be "Oblique". The face the font matcher picks for the weight and
// slant is the right one by definition.
QFont faceShown(const QFont &font)
{
    const QFontInfo drawn(font);
    QFont shown = font;
    // A family that is not installed is shown as the one standing in for it.
    if (!QFontDatabase::families().contains(font.family()))
        shown.setFamily(drawn.family());
    if (QFontDatabase::styles(shown.family()).contains(drawn.styleName()))
        shown.setStyleName(drawn.styleName());
    return shown;
}

bool sameFace(const QFont &a, const QFont &b)
{
    return a.weight() == b.weight() && a.style() == b.style();
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
    QFont last;
    QDialog dialog(m_parent);
    dialog.setWindowTitle(dialogTitle());
    auto *fonts = new QFontDialog(faceShown(initial), &dialog);
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts->setWindowFlags(Qt::Widget);
    // The font part is a dialog of its own: Escape closes it, and so it closes the
    // whole dialog as Cancel does, instead of leaving the colour and buttons behind.
    QObject::connect(fonts, &QDialog::finished, &dialog, &QDialog::done);
    // Another family keeps the weight and slant the user sees, which the dialog's
    // own search by face name loses as it does on opening.
    const QFont opened = fonts->currentFont();
    last = opened;
    QObject::connect(fonts, &QFontDialog::currentFontChanged, &dialog,
                     [fonts, &last](const QFont &now) {
        const QFont before = last;
        last = now;
        if (now.family() == before.family())
            return;
        QFont wanted = now;
        wanted.setStyleName(QString());
        wanted.setWeight(before.weight());
        wanted.setStyle(before.style());
        wanted = faceShown(wanted);
        if (!wanted.styleName().isEmpty() && !sameFace(wanted, now)) {
            last = wanted;
            fonts->setCurrentFont(wanted);
        }
    });
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
    // What the user left as it was shown keeps the value it came with: a family
    // shown by the one standing in for it, a size between whole points, a face.
    if (chosen.family() != opened.family())
        setFontName(chosen.family());
    if (chosen.pointSize() != opened.pointSize())
        setFontSize(chosen.pointSizeF());
    if (!sameFace(chosen, opened)) {
        setFontBold(chosen.bold());
        setFontItalic(chosen.italic());
    }
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
