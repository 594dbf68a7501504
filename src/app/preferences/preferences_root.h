#pragma once

#include "app/preferences/preferences_section.h"

#include <QMap>
#include <QString>
#include <QWidget>

#include <functional>

class HistoryStore;
class AppActions;
class ChargeLimitController;
class DashboardPrefs;
class Defaults;
class DrainAlertMonitor;
class DrainLog;
class LoginItem;
class NotificationCenter;
class PanelActions;
class PreferencesSidebar;
class QStackedWidget;
class SystemBatteryMenuHider;
class WeatherStore;

// The preferences window's content: a header with "Customize" and the
// running version, a sidebar of sections and the selected section's pane.
// Built with the window, so every control starts from the current settings;
// every control writes its setting the moment it changes.
class PreferencesRoot : public QWidget
{
    Q_OBJECT

public:
    // Everything must outlive the root.
    struct Services
    {
        Defaults &defaults;
        NotificationCenter &notifications;
        DashboardPrefs &prefs;
        ChargeLimitController &chargeLimit;
        DrainAlertMonitor &drainAlerts;
        DrainLog &drainLog;
        SystemBatteryMenuHider &systemBattery;
        LoginItem &loginItem;
        WeatherStore &weather;
        AppActions &app; // Open Pendra Pro, Check for Updates, Website
        PanelActions &panel; // Air vs Pro, the desktop's battery settings
        QString runningVersion; // as built, e.g. "v0.1.6-Pro-Beta"
        // The AI pane (chat and API Config), built with the root. Required.
        std::function<QWidget *(QWidget *parent)> makeChatPane;
        // The battery and app history; none: its settings are left out.
        HistoryStore *history = nullptr;
    };

    explicit PreferencesRoot(Services services, QWidget *parent = nullptr);

    PreferencesSection section() const { return m_section; }
    void setSection(PreferencesSection section);
    QWidget *pane(PreferencesSection section) const { return m_panes.value(section); }
    PreferencesSidebar *sidebar() const { return m_sidebar; }

signals:
    void sectionChanged();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *buildHeader(const QString &version);
    void addPanes(Services &services);

    PreferencesSidebar *m_sidebar;
    QStackedWidget *m_stack;
    QMap<PreferencesSection, QWidget *> m_panes;
    PreferencesSection m_section = PreferencesSection::menuBar;
};
