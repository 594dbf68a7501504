#include "app/tray/tray_icon_status_item.h"

#include "app/tray/status_icon_pixmaps.h"

#include <QCursor>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

TrayIconStatusItem::TrayIconStatusItem(Clock &clock, QObject *parent)
    : StatusItem(clock, parent)
    , m_tray(std::make_unique<QSystemTrayIcon>())
{
    connect(m_tray.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        switch (reason) {
        case QSystemTrayIcon::Trigger:
            handleActivation(popoverAnchor());
            break;
        case QSystemTrayIcon::Context:
            // Qt pops up the tray's own menu; a second one would cover it.
            if (!m_tray->contextMenu())
                handleContextMenuRequest(QCursor::pos());
            break;
        default:
            // The tray also reports DoubleClick after the second Trigger;
            // the base class already counted it.
            break;
        }
    });
}

TrayIconStatusItem::~TrayIconStatusItem() = default;

void TrayIconStatusItem::setIcon(const QList<StatusIconPixmap> &sizes)
{
    QIcon icon;
    for (const StatusIconPixmap &pixmap : sizes)
        icon.addPixmap(QPixmap::fromImage(fromStatusIconPixmap(pixmap)));
    m_tray->setIcon(icon);
    // Shown once it has something to show; an empty icon makes an empty slot.
    if (!m_tray->isVisible())
        m_tray->show();
}

void TrayIconStatusItem::setLabel(const QString &label)
{
    m_label = label;
}

void TrayIconStatusItem::setToolTip(const QString &title, const QString &body)
{
    m_tray->setToolTip(title + QLatin1Char('\n') + body);
}

void TrayIconStatusItem::setAccessibleName(const QString &name)
{
    m_accessibleName = name;
}

void TrayIconStatusItem::setMenu(QMenu *menu)
{
    m_tray->setContextMenu(menu);
}

QRect TrayIconStatusItem::iconGeometry() const
{
    return m_tray->geometry();
}

QPoint TrayIconStatusItem::popoverAnchor() const
{
    const QRect geometry = m_tray->geometry();
    if (!geometry.isValid())
        return QCursor::pos();
    return geometry.center();
}
