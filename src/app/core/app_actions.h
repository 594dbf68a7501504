#pragma once

// The actions that menus and the status item invoke on the application
// delegate.
class AppActions
{
public:
    virtual ~AppActions() = default;

    virtual void openDashboard() = 0;
    virtual void openPreferences() = 0;
    virtual void closeDashboard() = 0;
    // Shows the popover from the context menu.
    virtual void forceShowPopover() = 0;
    virtual void openPendraPro() = 0;
    virtual void checkUpdates() = 0;
    virtual void openWebsite() = 0;
    virtual void quitApp() = 0;
};
