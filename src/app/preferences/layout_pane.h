#pragma once

#include "app/dashboard/dashboard_prefs.h"

#include <QList>
#include <QWidget>

class NotificationCenter;
class PanelSwitch;
class SegmentedPicker;

// The full window's layout: a way to open it, the presets, what it shows
// and its density and width. Every change saves the dashboard preferences.
class LayoutPane : public QWidget
{
    Q_OBJECT

public:
    // Everything must outlive the pane.
    LayoutPane(DashboardPrefs &prefs, NotificationCenter &notifications, QWidget *parent = nullptr);

private:
    void syncFromPrefs();

    DashboardPrefs &m_prefs;
    QList<PanelSwitch *> m_toggles; // in the order of kDashboardToggles
    SegmentedPicker *m_density;
    SegmentedPicker *m_width;
};
