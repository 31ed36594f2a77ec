#include "formatting/clrselecthost.h"

#include "platform/controlhost.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMetaMethod>
#include <QVariant>
#include <QWidget>

namespace {

constexpr char SelectedColor[] = "SelectedColor";

} // namespace

ClrSelectHost::ClrSelectHost(QWidget *frame, const QRect &geometry, const QString &toolTip)
    : QObject(frame)
{
    m_control = ControlHost::create(progId(), frame, &m_error);
    if (m_control) {
        m_control->setObjectName(QStringLiteral("ClrSelect1"));
        m_control->setGeometry(geometry);
        m_control->setToolTip(toolTip);
        const QMetaObject *meta = m_control->metaObject();
        const int clickIndex = meta->indexOfSignal("Click()");
        const int selectedIndex = meta->indexOfProperty(SelectedColor);
        if (clickIndex < 0 || selectedIndex < 0) {
            m_error = tr("%1 has no Click signal or no SelectedColor property")
                          .arg(progId());
            delete m_control;
            m_control = nullptr;
        } else {
            const QMetaMethod relay = metaObject()->method(metaObject()->indexOfSignal("click()"));
            connect(m_control, meta->method(clickIndex), this, relay);
        }
    }
    if (!m_control) {
        // The rest of the window works without the selector; only the pad's
        // background cannot be picked. Say so where the selector would be.
        QString reason = m_error;
        // The host's reasons already start with the ProgID.
        if (reason.startsWith(progId() + QLatin1String(": ")))
            reason.remove(0, progId().size() + 2);
        const QString message = tr("%1 not found: %2").arg(progId(), reason);
        qWarning("%s", qPrintable(message));
        m_missing = new QLabel(tr("Chromel missing"), frame);
        m_missing->setObjectName(QStringLiteral("ClrSelect1Missing"));
        m_missing->setGeometry(geometry);
        m_missing->setToolTip(message);
        m_missing->setFrameShape(QFrame::Box);
        m_missing->setAlignment(Qt::AlignCenter);
        m_missing->setAccessibleName(message);
        // Small enough to fit the selector's place.
        QFont font = m_missing->font();
        font.setPointSizeF(7);
        while (font.pointSizeF() > 5
               && QFontMetrics(font).horizontalAdvance(m_missing->text())
                      > geometry.width() - 2 * m_missing->frameWidth() - 2)
            font.setPointSizeF(font.pointSizeF() - 0.5);
        m_missing->setFont(font);
    }
}

bool ClrSelectHost::setSelectedColor(qint16 index)
{
    if (!m_control)
        return false;
    return m_control->setProperty(SelectedColor, QVariant::fromValue(index));
}

std::optional<int> ClrSelectHost::selectedColor() const
{
    if (!m_control)
        return std::nullopt;
    bool ok = false;
    const int index = m_control->property(SelectedColor).toInt(&ok);
    if (!ok)
        return std::nullopt;
    return index;
}
