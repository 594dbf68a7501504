#include "app/ui/popover_controller.h"
#include "app/ui/popover_panel.h"
#include "app/tray/status_click_router.h"
#include "app/tray/status_icon_pixmaps.h"
#include "app/tray/status_item_redrawer.h"
#include "platform/linux/dbusmenu_exporter.h"
#include "platform/linux/status_notifier_item.h"

#include "fakes/fake_clock.h"
#include "fakes/fake_sni_host.h"
#include "fakes/fake_watcher.h"
#include "fakes/recording_app_actions.h"
#include "support/bus_peer.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>

namespace {

template <typename T>
T demarshall(const QVariant &value)
{
    T result;
    value.value<QDBusArgument>() >> result;
    return result;
}

// The app's status-item path end to end: a StatusNotifierItem on the session
// bus, drawn by the redrawer and clicked through the router.
struct SniFixture : ::testing::Test
{
    SniFixture()
    {
        inputs.present = true;
        inputs.level = 64;
        inputs.onAC = true;
        inputs.watts = 5.5;
        inputs.powerTimeText = QStringLiteral("On AC power");
        popover.setScreenArea([](QPoint) { return QRect(0, 0, 1280, 800); });
    }
    ~SniFixture() override { popover.close(); }

    std::unique_ptr<StatusNotifierItem> makeItem()
    {
        auto item = std::make_unique<StatusNotifierItem>(QDBusConnection::sessionBus(), clock, nullptr, watcherName);
        router.attach(item.get());
        redrawer.setStatusItem(item.get());
        return item;
    }

    const QString watcherName = perProcessBusName(StatusNotifierItem::kWatcherService);
    FakeClock clock;
    MenuBarBatteryIcon::Inputs inputs;
    StatusItemRedrawer redrawer{clock, [this] { return inputs; }};
    PopoverController popover{clock, [](QSize) { return new QLabel(QStringLiteral("menu")); }};
    RecordingAppActions actions;
    StatusClickRouter router{popover, actions, clock};
    FakeSniHost host;
};

// An item registered with a watcher, as on a desktop with a tray.
struct RegisteredSniFixture : SniFixture
{
    FakeWatcher watcher{watcherName};
    std::unique_ptr<StatusNotifierItem> item = makeItem();
};

} // namespace

TEST_F(SniFixture, WatcherPresenceDecidesTheBackend)
{
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
    EXPECT_FALSE(StatusNotifierItem::watcherAvailable(QDBusConnection::sessionBus(), watcherName));
    FakeWatcher watcher(watcherName);
    ASSERT_TRUE(watcher.isServing());
    EXPECT_TRUE(StatusNotifierItem::watcherAvailable(QDBusConnection::sessionBus(), watcherName));
}

TEST_F(SniFixture, RegistersWithAWatcherThereAtStartOrAppearingLater)
{
    for (const bool watcherFirst : {true, false}) {
        std::optional<FakeWatcher> watcher;
        if (watcherFirst)
            watcher.emplace(watcherName);
        auto item = makeItem();
        if (!watcherFirst)
            watcher.emplace(watcherName);
        ASSERT_TRUE(watcher->isServing());
        EXPECT_TRUE(spinUntil([&] { return item->isRegistered(); })) << watcherFirst;
        EXPECT_EQ(watcher->registeredItems(), QStringList{item->serviceName()});
        EXPECT_TRUE(item->serviceName().startsWith(QStringLiteral("org.kde.StatusNotifierItem-")));
    }
}

TEST_F(RegisteredSniFixture, HostReadsLabelTooltipTitleAndIcon)
{
    const QString service = item->serviceName();

    EXPECT_EQ(host.property(service, QStringLiteral("XAyatanaLabel")), QVariant(QStringLiteral("64% AC")));
    EXPECT_EQ(host.property(service, QStringLiteral("Title")),
              QVariant(QStringLiteral("Pendra Pro battery 64 percent, On AC power")));
    EXPECT_EQ(host.property(service, QStringLiteral("Status")), QVariant(QStringLiteral("Active")));
    EXPECT_EQ(host.property(service, QStringLiteral("ItemIsMenu")), QVariant(false));

    const std::optional<QVariant> toolTip = host.property(service, QStringLiteral("ToolTip"));
    ASSERT_TRUE(toolTip);
    const SniToolTip tip = demarshall<SniToolTip>(*toolTip);
    EXPECT_EQ(tip.title, QStringLiteral("Pendra Pro · 64% · On AC power · 5.5 W"));
    EXPECT_EQ(tip.description, QStringLiteral("Click: menu · Double-click: full window"));

    const std::optional<QVariant> icon = host.property(service, QStringLiteral("IconPixmap"));
    ASSERT_TRUE(icon);
    const SniImageList pixmaps = demarshall<SniImageList>(*icon);
    ASSERT_EQ(pixmaps.size(), static_cast<qsizetype>(std::size(GlyphIconCache::kIconSizes)));
    EXPECT_EQ(pixmaps.at(1).width, 22);
    EXPECT_EQ(pixmaps.at(1).height, 22);
    const QImage image = fromStatusIconPixmap({pixmaps.at(1).width, pixmaps.at(1).height, pixmaps.at(1).data});
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) > 200;
    }
    EXPECT_GT(opaque, 40) << "the glyph is drawn";
}

TEST_F(RegisteredSniFixture, LabelChangeIsAnnounced)
{
    inputs.level = 65;
    redrawer.redraw();
    EXPECT_EQ(host.property(item->serviceName(), QStringLiteral("XAyatanaLabel")), QVariant(QStringLiteral("65% AC")));
}

TEST_F(RegisteredSniFixture, ActivateOpensThePopoverAtTheClick)
{
    clock.advance(5);
    ASSERT_TRUE(host.click(item->serviceName(), QStringLiteral("Activate"), 640, 12));
    EXPECT_TRUE(popover.isShown());
    // Clear of the item's reach below the click.
    EXPECT_EQ(popover.panel()->geometry().top(), 29);
    EXPECT_EQ(popover.panel()->geometry().center().x(), 639);
}

TEST_F(RegisteredSniFixture, ContextMenuAndSecondaryActivateOpenTheMenu)
{
    for (const QString &method : {QStringLiteral("ContextMenu"), QStringLiteral("SecondaryActivate")}) {
        ASSERT_TRUE(host.click(item->serviceName(), method, 300, 15));
        QMenu *menu = router.openContextMenu();
        ASSERT_NE(menu, nullptr) << method.toStdString();
        EXPECT_TRUE(menu->isVisible());
        menu->close();
    }
}

TEST_F(RegisteredSniFixture, RemovedItemLeavesTheBus)
{
    const QString service = item->serviceName();
    item.reset();
    EXPECT_FALSE(host.property(service, QStringLiteral("XAyatanaLabel")).has_value());
}

TEST_F(RegisteredSniFixture, MenuIsExportedForHostsThatDrawIt)
{
    const std::optional<QVariant> menuPath = host.property(item->serviceName(), QStringLiteral("Menu"));
    ASSERT_TRUE(menuPath);
    EXPECT_EQ(menuPath->value<QDBusObjectPath>().path(), QStringLiteral("/MenuBar"));

    // As a host asks: from another connection, while the item's thread serves.
    BusPeer hostBus(QStringLiteral("sni-menu"));
    QDBusMessage getLayout = QDBusMessage::createMethodCall(item->serviceName(), QStringLiteral("/MenuBar"),
                                                            QStringLiteral("com.canonical.dbusmenu"),
                                                            QStringLiteral("GetLayout"));
    getLayout.setArguments({0, 10, QStringList()});
    QDBusPendingCall pending = hostBus.bus().asyncCall(getLayout);
    ASSERT_TRUE(spinUntil([&] { return pending.isFinished(); }));
    const QDBusMessage reply = pending.reply();
    ASSERT_EQ(reply.arguments().size(), 2) << reply.errorMessage().toStdString();
    DbusMenuLayout root;
    reply.arguments().at(1).value<QDBusArgument>() >> root;
    ASSERT_FALSE(root.children.isEmpty());
    EXPECT_EQ(root.children.last().properties.value(QStringLiteral("label")).toString(),
              QStringLiteral("Quit Pendra Pro"));
}
