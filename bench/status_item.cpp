// The status item's redraw path: the change key, then only what the host
// shows that changed (goal: 20 µs when watts alone moved), the key alone when
// it did not (goal: 5 µs), and the icon bitmaps drawn once per glyph and tint.
#include "app/tray/glyph_icon_cache.h"
#include "app/tray/menu_bar_battery_icon.h"
#include "app/tray/status_item_redrawer.h"
#include "platform/clock.h"
#include "platform/status_item.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

namespace {

class DiscardingStatusItem final : public StatusItem
{
public:
    using StatusItem::StatusItem;
    void setIcon(const QList<StatusIconPixmap> &sizes) override { benchmark::DoNotOptimize(sizes.size()); }
    void setLabel(const QString &label) override { benchmark::DoNotOptimize(label.size()); }
    void setToolTip(const QString &title, const QString &) override { benchmark::DoNotOptimize(title.size()); }
    void setAccessibleName(const QString &name) override { benchmark::DoNotOptimize(name.size()); }
    void setMenu(QMenu *) override {}
};

MenuBarBatteryIcon::Inputs onBattery()
{
    MenuBarBatteryIcon::Inputs in;
    in.present = true;
    in.level = 83;
    in.minutes = 125;
    in.watts = 7.4;
    in.powerTimeText = QStringLiteral("2h 5m left");
    return in;
}

void BM_RedrawWithChangedKey(benchmark::State &state)
{
    MenuBarBatteryIcon::Inputs inputs = onBattery();
    DiscardingStatusItem item(Clock::system());
    StatusItemRedrawer redrawer(Clock::system(), [&inputs] { return inputs; });
    redrawer.setStatusItem(&item);
    int step = 0;
    for (auto _ : state) {
        // Watts move by a tenth each time: a new key, the same icon, label and tooltip.
        inputs.watts = 7.4 + 0.1 * (++step % 50);
        redrawer.redraw();
    }
}
BENCHMARK(BM_RedrawWithChangedKey)->Unit(benchmark::kMicrosecond);

void BM_RedrawWithUnchangedKey(benchmark::State &state)
{
    const MenuBarBatteryIcon::Inputs inputs = onBattery();
    DiscardingStatusItem item(Clock::system());
    StatusItemRedrawer redrawer(Clock::system(), [&inputs] { return inputs; });
    redrawer.setStatusItem(&item);
    for (auto _ : state)
        redrawer.redraw();
}
BENCHMARK(BM_RedrawWithUnchangedKey)->Unit(benchmark::kMicrosecond);

void BM_GlyphIconAllSizes(benchmark::State &state)
{
    const MenuBarBatteryIcon::Inputs inputs = onBattery();
    for (auto _ : state) {
        GlyphIconCache uncached;
        benchmark::DoNotOptimize(uncached.icon(inputs));
    }
}
BENCHMARK(BM_GlyphIconAllSizes)->Unit(benchmark::kMicrosecond);

void BM_StatusKey(benchmark::State &state)
{
    const MenuBarBatteryIcon::Inputs inputs = onBattery();
    for (auto _ : state)
        benchmark::DoNotOptimize(MenuBarBatteryIcon::statusKey(inputs));
}
BENCHMARK(BM_StatusKey)->Unit(benchmark::kNanosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
