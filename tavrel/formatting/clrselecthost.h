#pragma once

#include <QObject>
#include <QString>

#include <optional>

class QLabel;
class QWidget;

// The pad's colour selector as the program knows it: a control found by its ProgID
// and spoken to only late-bound, through its 16-bit property SelectedColor and its
// signal Click, both reached by name. When the control cannot be created the
// program goes on without it, and a note in its place says what is missing.
class ClrSelectHost : public QObject
{
    Q_OBJECT

public:
    static QString progId() { return QStringLiteral("Chromel.ClrSelect"); }

    // Creates the control in `frame` at `geometry` with its tip text.
    ClrSelectHost(QWidget *frame, const QRect &geometry, const QString &toolTip);

    // The control, or nullptr when it could not be created.
    QWidget *control() const { return m_control; }
    // Why the control is missing; empty when it is there.
    QString errorString() const { return m_error; }

    // SelectedColor, written and read by name. Setting a value raises no click.
    bool setSelectedColor(qint16 index);
    std::optional<int> selectedColor() const;

signals:
    // The user picked an entry in the control.
    void click();

private:
    QWidget *m_control = nullptr;
    QLabel *m_missing = nullptr;
    QString m_error;
};
