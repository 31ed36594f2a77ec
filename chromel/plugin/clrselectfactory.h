#pragma once

#include <QObject>

class QWidget;

// The root object of the control's plugin module. Hosts find the module by the
// ProgID in its metadata and call createControl late-bound, by name, so that they
// need no header of the control.
class ClrSelectFactory : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.tavrel.ActiveControlFactory/1.0" FILE "chromel.json")

public:
    using QObject::QObject;

    // A new ClrSelect, a child of `parent`; the parent (or the caller) owns it.
    Q_INVOKABLE QWidget *createControl(QWidget *parent);
};
