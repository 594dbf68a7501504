#include "app/ui/popover_controller.h"
#include "app/ui/popover_panel.h"
#include "fakes/panel_fixture.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

// A popover whose content is the battery menu over the fixture's services.
struct HostedPanel
{
    HostedPanel()
    {
        popover.setScreenArea([](QPoint) { return std::optional<QRect>(QRect(0, 0, 1280, 800)); });
        trackWhileShown(popover, *f.model);
    }

    MainRoot *root() const { return qobject_cast<MainRoot *>(popover.panel()->content()); }

    PanelFixture f;
    PopoverController popover{f.power.clock, [this](QSize size) -> QWidget * {
                                  return new MainRoot(
                                      MainRoot::Services{*f.model, *f.charge, *f.defaults, f.center, f.actions,
                                                         *f.icons, [] { return WhyDrain{}; }},
                                      size);
                              }};
};

} // namespace

TEST(PanelPopoverHosting, TheMenuIsBuiltAtWarmUpAndTheModelTracksOnlyWhileItIsOpen)
{
    HostedPanel hosted;
    hosted.f.power.publish(onBatterySnap(63, 9.0));
    hosted.popover.warmUp();
    ASSERT_NE(hosted.root(), nullptr);
    EXPECT_EQ(hosted.root()->size(), QSize(300, 520));
    EXPECT_FALSE(hosted.f.model->tracking());
    const qsizetype widgets = hosted.root()->findChildren<QWidget *>().size();

    hosted.popover.show({640, 10});
    EXPECT_EQ(hosted.root()->findChildren<QWidget *>().size(), widgets) << "not built again";
    EXPECT_TRUE(hosted.f.model->tracking());
    EXPECT_EQ(hosted.root()->findChild<PanelMainRow *>(QStringLiteral("batteryRow"))->value(), QStringLiteral("63%"));

    hosted.popover.close();
    EXPECT_FALSE(hosted.f.model->tracking());
}
