#pragma once

#include "platform/commondialog.h"

#include <QStringList>

class QWidget;

// The shared common dialog shown with Qt's own file, font, colour and print dialogs.
class QtCommonDialog : public CommonDialog
{
public:
    explicit QtCommonDialog(QWidget *parent);

    bool showOpen() override;
    bool showSave() override;
    bool showPrinter(QPrinter *printer) override;
    bool showFont() override;
    bool showColor() override;

    // "Text files (*.txt)|*.txt|..." as Qt name filters ("Text files (*.txt)", ...).
    static QStringList nameFilters(const QString &filter);

private:
    bool showFile(bool save);

    QWidget *m_parent;
};
