#include "shell/aboutdialog.h"

#include "shell/twips.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#ifndef TAVREL_WEB_ADDRESS
#define TAVREL_WEB_ADDRESS "https://tavrel.org"
#endif
#ifndef TAVREL_MAIL_ADDRESS
#define TAVREL_MAIL_ADDRESS "support@tavrel.org"
#endif

namespace {

const QColor kBackground(255, 192, 255);

QFont designFont(qreal points, bool bold)
{
    // The design's "MS Sans Serif" and "Tahoma" are the desktop's own UI font here.
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace

QString AboutDialog::webAddress()
{
    return QStringLiteral(TAVREL_WEB_ADDRESS);
}

QString AboutDialog::mailAddress()
{
    return QStringLiteral(TAVREL_MAIL_ADDRESS);
}

AboutDialog::AboutDialog(std::function<void(const QUrl &)> openUrl, QWidget *parent)
    : QDialog(parent)
    , m_openUrl(std::move(openUrl))
{
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About Tavrel"));
    setFont(designFont(8.25, false));
    QPalette p = palette();
    p.setColor(QPalette::Window, kBackground);
    setPalette(p);
    setAutoFillBackground(true);

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(Twips::rect(120, 120, 840, 840));
    image->setPixmap(QPixmap(QStringLiteral(":/icons/tavrel64.png")));
    image->setScaledContents(true);
    image->setAccessibleName(QStringLiteral("Tavrel"));

    QLabel *name = addLabel(QStringLiteral("Label1"), QStringLiteral("TAVREL"),
                            Twips::rect(1200, 120, 3255, 495));
    name->setFont(designFont(18, true));
    QPalette maroon = name->palette();
    maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
    name->setPalette(maroon);
    QLabel *version = addLabel(QStringLiteral("Label3"), QStringLiteral("Version 1.01"),
                               Twips::rect(1200, 720, 2175, 375));
    version->setFont(designFont(14.25, true));
    addLabel(QStringLiteral("Label2"), QStringLiteral("Web page:"),
             Twips::rect(840, 2040, 1215, 255));
    m_lblURL1 = addLabel(QStringLiteral("lblURL1"), webAddress(),
                         Twips::rect(840, 2280, 2295, 255));
    addLabel(QStringLiteral("Label7"), QStringLiteral("Email:"),
             Twips::rect(840, 2520, 495, 255));
    m_label6 = addLabel(QStringLiteral("Label6"), mailAddress(),
                        Twips::rect(840, 2760, 1455, 255));
    for (QLabel *link : {m_lblURL1, m_label6}) {
        QPalette blue = link->palette();
        blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
        link->setPalette(blue);
        link->setCursor(Qt::PointingHandCursor);
        // Reachable from the keyboard too: Tab to the address, Enter or Space opens it.
        link->setFocusPolicy(Qt::TabFocus);
        link->installEventFilter(this);
        link->setAccessibleDescription(tr("Opens this address"));
    }

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("OK"));
    m_ok->setGeometry(Twips::rect(3600, 2520, 1185, 345));
    QPalette violet = m_ok->palette();
    violet.setColor(QPalette::Button, QColor(128, 128, 255));
    m_ok->setPalette(violet);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    setTabOrder(m_ok, m_lblURL1);
    setTabOrder(m_lblURL1, m_label6);
    m_ok->setFocus();

    // A wider font than the design's, or a longer address, widens the box rather
    // than cutting a caption short.
    int width = Twips::toPixels(4920);
    for (const QLabel *label : findChildren<QLabel *>())
        width = qMax(width, label->geometry().right() + Twips::toPixels(120));
    setFixedSize(width, Twips::toPixels(3090));
}

QLabel *AboutDialog::addLabel(const QString &name, const QString &caption, const QRect &place)
{
    auto *label = new QLabel(caption, this);
    label->setObjectName(name);
    label->setGeometry(place);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    if (label->sizeHint().width() > label->width())
        label->resize(label->sizeHint().width(), label->height());
    return label;
}

bool AboutDialog::eventFilter(QObject *watched, QEvent *event)
{
    auto *label = qobject_cast<QLabel *>(watched);
    if (label && (label == m_lblURL1 || label == m_label6)) {
        bool activate = false;
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            activate = mouse->button() == Qt::LeftButton
                && label->rect().contains(mouse->position().toPoint());
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            activate = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
        } else if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            // A focused address is underlined, as nothing else marks it.
            QFont font = label->font();
            font.setUnderline(event->type() == QEvent::FocusIn);
            label->setFont(font);
        }
        if (activate) {
            // The web page as written; the mail address as a mail link. The box
            // stays open.
            const QString caption = label->text();
            const QUrl url = label == m_label6 ? QUrl(QStringLiteral("mailto:") + caption)
                                               : QUrl::fromUserInput(caption);
            if (m_openUrl)
                m_openUrl(url);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
