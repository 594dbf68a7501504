#pragma once

#include "platform/status_item.h"

#include <memory>

class QSystemTrayIcon;

// The status item in an XEmbed tray (no StatusNotifierWatcher on the bus):
// a square icon and a tooltip; the tray has no room for the label. A right
// click opens the menu given to it, else it is passed on as a right click.
class TrayIconStatusItem final : public StatusItem
{
    Q_OBJECT

public:
    explicit TrayIconStatusItem(Clock &clock, QObject *parent = nullptr);
    ~TrayIconStatusItem() override;

    void setIcon(const QList<StatusIconPixmap> &sizes) override;
    void setLabel(const QString &label) override;
    void setToolTip(const QString &title, const QString &body) override;
    void setAccessibleName(const QString &name) override;
    // The tray opens it itself on a right click.
    void setMenu(QMenu *menu) override;

    // Where the tray placed the icon, in global pixels; empty when unknown.
    QRect iconGeometry() const;
    // Where the popover opens from: the icon's centre (the pointer when the
    // tray does not say where the icon is).
    QPoint popoverAnchor() const;

private:
    std::unique_ptr<QSystemTrayIcon> m_tray;
    QString m_label;
    QString m_accessibleName;
};
