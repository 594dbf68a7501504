#include "app/ui/popover_geometry.h"

#include <algorithm>
#include <cstdlib>

namespace PopoverGeometry {

namespace {

constexpr int kItemReach = 16;

int clampedStart(int centre, int length, int first, int last)
{
    return std::clamp(centre - length / 2, first, std::max(first, last + 1 - length));
}

// A click beside the usable area is on a panel the window manager keeps out
// of it; otherwise the shape of what must stay clear tells.
bool opensBesideASidePanel(QPoint click, QRect available, QRect keepClear)
{
    if (click.x() < available.left() || click.x() > available.right())
        return true;
    if (click.y() < available.top() || click.y() > available.bottom())
        return false;
    return keepClear.height() > keepClear.width();
}

} // namespace

int panelHeight(std::optional<QRect> availableGeometry)
{
    if (!availableGeometry)
        return kMaxPanelHeight;
    return std::clamp(availableGeometry->height() - kScreenMargin, kMinPanelHeight, kMaxPanelHeight);
}

QRect itemReach(QPoint click)
{
    return QRect(click - QPoint(kItemReach, kItemReach), QSize(2 * kItemReach + 1, 2 * kItemReach + 1));
}

QPoint panelSideOf(QPoint pointer, QRect available)
{
    const int toTop = pointer.y() - available.top();
    const int toBottom = available.bottom() - pointer.y();
    const int toLeft = pointer.x() - available.left();
    const int toRight = available.right() - pointer.x();
    const int nearest = std::min({toTop, toBottom, toLeft, toRight});
    if (nearest == toTop)
        return QPoint(pointer.x(), available.top() - 1);
    if (nearest == toBottom)
        return QPoint(pointer.x(), available.bottom() + 1);
    if (nearest == toLeft)
        return QPoint(available.left() - 1, pointer.y());
    return QPoint(available.right() + 1, pointer.y());
}

QRect panelFrame(QPoint click, QSize size, QRect available, QRect keepClear)
{
    QRect frame(QPoint(), size);
    if (!opensBesideASidePanel(click, available, keepClear)) {
        frame.moveLeft(clampedStart(click.x(), size.width(), available.left(), available.right()));
        if (keepClear.center().y() < available.center().y())
            frame.moveTop(std::max(keepClear.bottom() + 1, available.top()));
        else
            frame.moveBottom(std::min(keepClear.top() - 1, available.bottom()));
    } else {
        frame.moveTop(clampedStart(click.y(), size.height(), available.top(), available.bottom()));
        if (keepClear.center().x() < available.center().x())
            frame.moveLeft(std::max(keepClear.right() + 1, available.left()));
        else
            frame.moveRight(std::min(keepClear.left() - 1, available.right()));
    }
    return frame;
}

bool fitsWithoutRebuild(QSize stored, QSize wanted)
{
    return std::abs(wanted.width() - stored.width()) <= kRefitTolerance
           && std::abs(wanted.height() - stored.height()) <= kRefitTolerance;
}

} // namespace PopoverGeometry
