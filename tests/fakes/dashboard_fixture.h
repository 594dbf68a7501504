#pragma once

#include "app/ui/app_icon_lookup.h"
#include "app/battery_menu/main_root.h"
#include "app/dashboard/dashboard_prefs.h"
#include "app/dashboard/dashboard_root.h"
#include "app/dashboard/sibling_app.h"
#include "app/core/notification_center.h"
#include "energy/process_energy_store.h"
#include "fakes/fake_process_table.h"
#include "fakes/panel_fixture.h"
#include "fakes/power_store_harness.h"
#include "history/history_store.h"
#include "platform/defaults.h"

#include <QTemporaryDir>
#include <QThreadPool>

#include <memory>

// The dashboard over a power store on fakes, a process energy store on a fake
// process table, settings in a temporary folder and a private notification
// centre. The why-drain answer is whatever the test puts in `why`.
class DashboardFixture
{
public:
    struct Options
    {
        bool onboardingSeen = true;
        // Marks the one-time layout seeding as done, so the stored layout holds.
        bool seeded = true;
    };

    DashboardFixture()
        : DashboardFixture(Options{})
    {
    }

    explicit DashboardFixture(Options options)
    {
        defaults = std::make_unique<Defaults>(dir.filePath(QStringLiteral("settings.json")));
        defaults->setBool(MainRoot::kOnboardingSeenKey, options.onboardingSeen);
        defaults->setBool(DashboardPrefs::kSeededKey, options.seeded);
        prefs = std::make_unique<DashboardPrefs>(*defaults, center);
        energy = std::make_unique<ProcessEnergyStore>(
            processes, power.clock, [] { return PowerFigures{}; }, nullptr);
        icons = std::make_unique<AppIconLookup>(QStringList{dir.filePath(QStringLiteral("applications"))});
        history = std::make_unique<HistoryStore>(dir.filePath(QStringLiteral("history.sqlite")), *defaults,
                                                 power.clock);
    }

    // An analysis may still be running on the pool; it reads `why`.
    ~DashboardFixture()
    {
        root.reset();
        QThreadPool::globalInstance()->waitForDone();
    }

    DashboardRoot &build(QSize size = {440, 560})
    {
        root = std::make_unique<DashboardRoot>(DashboardRoot::Services{
            power.store, *energy, power.powerMode, *prefs, *defaults, center, actions, *icons,
            SiblingApp::locate({dir.filePath(QStringLiteral("applications"))}, {}),
            QStringLiteral("v0.1.0"), [this] { return why; }, history.get()});
        root->resize(size);
        return *root;
    }

    template <typename Widget = QWidget>
    Widget *child(const char *objectName) const
    {
        return root->findChild<Widget *>(QString::fromLatin1(objectName));
    }

    QTemporaryDir dir;
    PowerStoreHarness power;
    FakeProcessTable processes;
    WhyDrain why;
    NotificationCenter center;
    RecordingPanelActions actions;
    std::unique_ptr<Defaults> defaults;
    std::unique_ptr<DashboardPrefs> prefs;
    std::unique_ptr<ProcessEnergyStore> energy;
    std::unique_ptr<AppIconLookup> icons;
    std::unique_ptr<HistoryStore> history;
    std::unique_ptr<DashboardRoot> root;
};
