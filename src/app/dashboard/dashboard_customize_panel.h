#pragma once

#include "app/dashboard/dashboard_prefs.h"

#include <QAbstractButton>
#include <QList>
#include <QStringList>
#include <QWidget>

class PanelSwitch;
class QButtonGroup;

// The twelve "Show" toggles of the layout panel, in order; the preferences
// window's Layout pane lists the same.
struct DashboardToggle
{
    const char *label;
    DashboardPrefs::Flag flag;
};
extern const DashboardToggle kDashboardToggles[13];

// A row of mutually exclusive choices ("Narrow", "Regular", "Wide").
class SegmentedPicker : public QWidget
{
    Q_OBJECT

public:
    SegmentedPicker(const QStringList &options, QWidget *parent = nullptr);

    int currentIndex() const;
    void setCurrentIndex(int index);
    QAbstractButton *button(int index) const;

signals:
    // The user chose another option.
    void picked(int index);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QButtonGroup *m_group;
};

// The layout panel over the dashboard: presets, what to show and the size.
// Every change saves the preferences at once.
class DashboardCustomizePanel : public QWidget
{
    Q_OBJECT

public:
    explicit DashboardCustomizePanel(DashboardPrefs &prefs, QWidget *parent = nullptr);

    // The switch bound to `flag`.
    PanelSwitch *toggle(DashboardPrefs::Flag flag) const;
    SegmentedPicker *widthPicker() const { return m_width; }
    SegmentedPicker *densityPicker() const { return m_density; }

signals:
    // "Done".
    void done();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *buildContent();
    void syncFromPrefs();

    DashboardPrefs &m_prefs;
    QList<PanelSwitch *> m_toggles; // in the order of kDashboardToggles
    SegmentedPicker *m_width = nullptr;
    SegmentedPicker *m_density = nullptr;
};
