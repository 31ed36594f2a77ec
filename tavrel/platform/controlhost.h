#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Creates controls that live in plugin modules, found by the ProgID in their
// metadata. The host knows a control only late-bound: its properties and signals
// are reached by name through the meta-object system, and no header of the
// control is included.
//
// A control module is a Qt plugin whose root object has the interface id
// "org.tavrel.ActiveControlFactory/1.0", carries {"ProgID": ...} in its metadata
// and offers Q_INVOKABLE QWidget *createControl(QWidget *parent).
class ControlHost
{
public:
    // A new control of `progId` (matched without regard to case) as a child of
    // `parent`, or nullptr with the reason in `error`. A module, once loaded,
    // stays loaded for the rest of the run.
    static QWidget *create(const QString &progId, QWidget *parent, QString *error = nullptr);

    // Where modules are looked for, in this order: the program's own folder, then
    // the folder an installation puts them in.
    static QStringList searchPaths();
};
