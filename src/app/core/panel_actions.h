#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class AppActions;
class DesktopLauncher;

// What the battery menu's actions ask of the rest of the application beyond
// the in-process notifications.
class PanelActions
{
public:
    virtual ~PanelActions() = default;

    // Starts the installed Pendra Pro application.
    virtual void openPendraPro() = 0;
    virtual void quitApp() = 0;
    // The "Air vs Pro" comparison page in the default browser.
    virtual void openComparisonPage() = 0;
    // The desktop's battery or power settings.
    virtual void openBatterySettings() = 0;
};

// The real actions: the application delegate's for opening the app and
// quitting, the default browser, and the desktop's power settings.
class DesktopPanelActions final : public PanelActions
{
public:
    static inline const QString kComparisonPage = QStringLiteral("https://marblewickhq.com/pendrapro/air-vs-pro");

    // `app` and `launcher` must outlive this object.
    DesktopPanelActions(AppActions &app, DesktopLauncher &launcher);

    void openPendraPro() override;
    void quitApp() override;
    void openComparisonPage() override;
    void openBatterySettings() override;

private:
    AppActions &m_app;
    DesktopLauncher &m_launcher;
};
