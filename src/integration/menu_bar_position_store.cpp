#include "integration/menu_bar_position_store.h"

#include "platform/defaults.h"
#include "platform/status_item.h"

#include <algorithm>
#include <cmath>

namespace MenuBarPositionStore {

namespace {

constexpr double kPixelSpan = 420;
constexpr double kPixelStart = 80;

double clampedFraction(double fraction)
{
    // NaN would survive std::clamp and reach the pixel position.
    if (std::isnan(fraction))
        return kDefaultPosition;
    return std::clamp(fraction, 0.0, 1.0);
}

} // namespace

double position(const Defaults &defaults)
{
    return clampedFraction(defaults.doubleValue(kPositionKey).value_or(kDefaultPosition));
}

double pixelPosition(const Defaults &defaults)
{
    return position(defaults) * kPixelSpan + kPixelStart;
}

void setPosition(Defaults &defaults, double fraction, const std::function<void()> &rebuildStatusItem)
{
    defaults.setDouble(kPositionKey, clampedFraction(fraction));
    applyPosition(defaults);
    rebuildStatusItem();
}

void applyPosition(Defaults &defaults)
{
    const double px = pixelPosition(defaults);
    defaults.setDouble(kPreferredPositionKey, px);
    defaults.setDouble(kItemPreferredPositionKey, px);
}

void configure(StatusItem &item, Defaults &defaults)
{
    item.setAutosaveName(kAutosaveName);
    applyPosition(defaults);
}

} // namespace MenuBarPositionStore
