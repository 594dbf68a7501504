#pragma once

#include "app/ui/app_icon_lookup.h"
#include "app/battery_menu/main_root.h"
#include "app/battery_menu/menu_panel_model.h"
#include "app/core/notification_center.h"
#include "app/core/panel_actions.h"
#include "app/ui/panel_rows.h"
#include "charge/charge_limit_controller.h"
#include "fakes/fake_smc_user_client.h"
#include "fakes/power_store_harness.h"
#include "platform/defaults.h"

#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <memory>

// Records which panel actions ran, by name.
class RecordingPanelActions final : public PanelActions
{
public:
    void openPendraPro() override { calls << QStringLiteral("openPendraPro"); }
    void quitApp() override { calls << QStringLiteral("quitApp"); }
    void openComparisonPage() override { calls << QStringLiteral("openComparisonPage"); }
    void openBatterySettings() override { calls << QStringLiteral("openBatterySettings"); }

    QStringList calls;
};

// The battery menu over a power store on fakes, a charge controller on a fake
// SMC, settings in a temporary folder and a private notification centre.
class PanelFixture
{
public:
    struct Options
    {
        bool manageCharging = false;
        bool onboardingSeen = true;
        QSize size{MainRoot::kPanelWidth, 520};
    };

    PanelFixture()
        : PanelFixture(Options{})
    {
    }

    explicit PanelFixture(Options options)
    {
        defaults = std::make_unique<Defaults>(dir.filePath(QStringLiteral("settings.json")));
        defaults->setBool(QStringLiteral("pendrapro.chargeLimit.enabled"), options.manageCharging);
        defaults->setBool(MainRoot::kOnboardingSeenKey, options.onboardingSeen);
        smc = std::make_unique<ChargeSMC>(smcClient);
        charge = std::make_unique<ChargeLimitController>(power.store, *smc, *defaults);
        model = std::make_unique<MenuPanelModel>(
            power.store, [this] { return top; }, [this] { return lowPower; });
        icons = std::make_unique<AppIconLookup>(QStringList{dir.filePath(QStringLiteral("applications"))});
        root = std::make_unique<MainRoot>(
            MainRoot::Services{*model, *charge, *defaults, center, actions, *icons,
                               [this] {
                                   analysisThreads.fetch_add(QThread::currentThread() == mainThread ? 1000 : 1);
                                   return why;
                               }},
            options.size);
    }

    // An analysis may still be running on the pool; it reads `why`.
    ~PanelFixture() { QThreadPool::globalInstance()->waitForDone(); }

    // Publishes a battery state, ticks the controller and refreshes the model,
    // as the running app does within one refresh period.
    void show(const BatSnap &snap, double packageWatts = 7.4)
    {
        power.publish(snap, packageWatts);
        charge->tick();
        model->refresh();
    }

    template <typename Widget = QWidget>
    Widget *child(const char *objectName) const
    {
        return root->findChild<Widget *>(QString::fromLatin1(objectName));
    }

    QTemporaryDir dir;
    PowerStoreHarness power;
    QList<ProcEnergy> top;
    bool lowPower = false;
    WhyDrain why;
    QThread *mainThread = QThread::currentThread();
    // 1 per analysis on another thread, 1000 per analysis on the main thread.
    std::atomic<int> analysisThreads{0};
    FakeSmcUserClient smcClient;
    NotificationCenter center;
    RecordingPanelActions actions;
    std::unique_ptr<Defaults> defaults;
    std::unique_ptr<ChargeSMC> smc;
    std::unique_ptr<ChargeLimitController> charge;
    std::unique_ptr<MenuPanelModel> model;
    std::unique_ptr<AppIconLookup> icons;
    std::unique_ptr<MainRoot> root;
};
