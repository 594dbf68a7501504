#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

class AppActions;
class Clock;
class PopoverController;
#include <QMenu>
class StatusItem;

// What a click on the status item does: a single click toggles the popover,
// a double click opens the dashboard, a right click opens the context menu
// at the click.
class StatusClickRouter : public QObject
{
    Q_OBJECT

public:
    StatusClickRouter(PopoverController &popover, AppActions &actions, Clock &clock, QObject *parent = nullptr);
    ~StatusClickRouter() override;

    // Follows `item`'s clicks (replacing the previous item's).
    void attach(StatusItem *item);

    // Uptime of the last single click; 0 after a double click.
    double lastLeftClickAt() const { return m_lastLeftClickAt; }
    // Where the last click of either button happened (null when the host
    // did not say).
    QPoint lastClickPosition() const { return m_lastClickPosition; }
    // The context menu while it is open (null otherwise).
    QMenu *openContextMenu() const { return m_menu; }

private:
    void leftClick(QPoint position, int clickCount);
    void rightClick(QPoint position);

    PopoverController &m_popover;
    AppActions &m_actions;
    Clock &m_clock;
    QPointer<StatusItem> m_item;
    QPointer<QMenu> m_menu;
    double m_lastLeftClickAt = 0;
    QPoint m_lastClickPosition;
};
