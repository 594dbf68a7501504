#pragma once

// What the battery menu's actions ask of the rest of the application.
class PanelActions
{
public:
    virtual ~PanelActions() = default;

    virtual void closePopover() = 0;
    virtual void openPreferences() = 0;
    // Opening the dashboard also closes the popover.
    virtual void openDashboard() = 0;
    // Starts the installed Pendra Pro application.
    virtual void openPendraPro() = 0;
    virtual void quitApp() = 0;
    // The "Air vs Pro" comparison page in the default browser.
    virtual void openComparisonPage() = 0;
    // The desktop's battery or power settings.
    virtual void openBatterySettings() = 0;
};
