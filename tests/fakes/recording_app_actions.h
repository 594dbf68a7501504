#pragma once

#include "app/core/app_actions.h"

#include <QStringList>

// Records which application actions ran, by name.
class RecordingAppActions final : public AppActions
{
public:
    void openDashboard() override { calls << QStringLiteral("openDashboard"); }
    void openPreferences() override { calls << QStringLiteral("openPreferences"); }
    void closeDashboard() override { calls << QStringLiteral("closeDashboard"); }
    void forceShowPopover() override { calls << QStringLiteral("forceShowPopover"); }
    void openPendraPro() override { calls << QStringLiteral("openPendraPro"); }
    void checkUpdates() override { calls << QStringLiteral("checkUpdates"); }
    void openWebsite() override { calls << QStringLiteral("openWebsite"); }
    void quitApp() override { calls << QStringLiteral("quitApp"); }

    QStringList calls;
};
