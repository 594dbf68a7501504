#pragma once

#include <QObject>
#include <QProcessEnvironment>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>
#include <memory>
#include <optional>

class Clock;
class PopoverPanel;
class QWidget;

// The battery-menu popover: when it opens and closes, the guard against the
// click that just closed it, and building its content ahead of the first
// click. Whoever owns the stores follows `shown` and `closed` to switch fast
// mode and tracking.
class PopoverController : public QObject
{
    Q_OBJECT

public:
    // Builds the panel's content at the given size.
    using ContentFactory = std::function<QWidget *(QSize)>;
    // The usable area of the screen that shows `anchor`; absent without screens.
    using ScreenArea = std::function<std::optional<QRect>(QPoint anchor)>;
    // The panel holding the item clicked at `anchor`, where the display
    // server tells (global pixels).
    using PanelLocator = std::function<std::optional<QRect>(QPoint anchor)>;

    // A click this soon after the popover closed is the click that closed it.
    static constexpr double kReopenGuard = 0.35; // s

    // `session` tells how the display server treats the popover's window.
    PopoverController(Clock &clock, ContentFactory makeContent, QObject *parent = nullptr,
                      const QProcessEnvironment &session = QProcessEnvironment::systemEnvironment());
    ~PopoverController() override;

    // Defaults to the screen under the anchor, then under the pointer, then
    // the primary screen.
    void setScreenArea(ScreenArea screenArea) { m_screenArea = std::move(screenArea); }
    // Without one the popover keeps clear of the item's reach only.
    void setPanelLocator(PanelLocator panelAt) { m_panelAt = std::move(panelAt); }

    // Sizes the popover for the current screen and builds and lays out its
    // content once, so the first click opens at once.
    void warmUp();

    bool isShown() const;
    // A single left click on the status item at `anchor`.
    void handleClick(QPoint anchor);
    // Shows the popover under `anchor`; `shown` follows at once.
    void show(QPoint anchor);
    // Shows it from a menu: `shown` follows on the next turn of the event loop.
    void forceShow(QPoint anchor);
    void close();

    // On a Wayland client the compositor ignores where a popup is placed, so
    // the popover is a normal small window centred on the primary screen.
    bool opensAsWindow() const { return m_opensAsWindow; }
    bool isWarm() const { return m_popoverWarm; }
    double popoverClosedAt() const { return m_popoverClosedAt; }
    QSize lastPopoverSize() const { return m_lastPopoverSize; }
    PopoverPanel *panel() const { return m_panel.get(); }

signals:
    // The popover opened and was fitted: start tracking and fast mode.
    void shown();
    // The popover closed, by any path: leave fast mode and stop tracking.
    void closed();
    // New content was built (refresh what it shows once).
    void contentBuilt();
    // A press outside the popover closed it (global pixels).
    void pressedOutside(QPoint global);

private:
    void prepareContent();
    int panelHeightFor(QPoint anchor) const;
    void placeAndShow(QPoint anchor);
    void fit(QPoint anchor);
    void rebuildContent(QSize size);
    void didClose();

    Clock &m_clock;
    ContentFactory m_makeContent;
    ScreenArea m_screenArea;
    PanelLocator m_panelAt;
    std::unique_ptr<PopoverPanel> m_panel;

    bool m_opensAsWindow = false;
    bool m_popoverWarm = false;
    double m_popoverClosedAt = 0; // absolute time, s
    QSize m_lastPopoverSize{300, 480};
};
