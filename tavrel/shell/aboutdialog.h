#pragma once

#include <QDialog>
#include <QUrl>

#include <functional>

class QLabel;
class QPushButton;

// The About box: the program's icon, name and version, and two addresses of its
// maker, a web page and a mail address, each opened in the program the desktop has
// for it when clicked. OK closes the box; the addresses leave it open.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    AboutDialog(std::function<void(const QUrl &)> openUrl, QWidget *parent = nullptr);

    // The addresses the build was configured with.
    static QString webAddress();
    static QString mailAddress();

    QLabel *webLabel() const { return m_lblURL1; }
    QLabel *mailLabel() const { return m_label6; }
    QPushButton *okButton() const { return m_ok; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *addLabel(const QString &name, const QString &caption, const QRect &place);

    std::function<void(const QUrl &)> m_openUrl;
    QLabel *m_lblURL1 = nullptr;
    QLabel *m_label6 = nullptr;
    QPushButton *m_ok = nullptr;
};
