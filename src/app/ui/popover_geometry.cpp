#include "app/ui/popover_geometry.h"

#include <algorithm>
#include <cstdlib>

namespace PopoverGeometry {

namespace {

// Gap between the click and the panel's edge.
constexpr int kAnchorGap = 6;

} // namespace

int panelHeight(std::optional<QRect> availableGeometry)
{
    if (!availableGeometry)
        return kMaxPanelHeight;
    return std::clamp(availableGeometry->height() - kScreenMargin, kMinPanelHeight, kMaxPanelHeight);
}

QRect panelFrame(QPoint anchor, QSize size, QRect available)
{
    QRect frame(QPoint(anchor.x() - size.width() / 2, anchor.y() + kAnchorGap), size);
    if (frame.bottom() > available.bottom() && anchor.y() - kAnchorGap - size.height() >= available.top())
        frame.moveTop(anchor.y() - kAnchorGap - size.height());
    frame.moveLeft(std::clamp(frame.left(), available.left(), std::max(available.left(), available.right() + 1 - size.width())));
    frame.moveTop(std::clamp(frame.top(), available.top(), std::max(available.top(), available.bottom() + 1 - size.height())));
    return frame;
}

bool fitsWithoutRebuild(QSize stored, QSize wanted)
{
    return std::abs(wanted.width() - stored.width()) <= kRefitTolerance
           && std::abs(wanted.height() - stored.height()) <= kRefitTolerance;
}

} // namespace PopoverGeometry
