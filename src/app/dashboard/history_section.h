#pragma once

#include "history/history_records.h"

#include <QWidget>

class HistoryStore;
class MinimalButton;
class QLabel;
class QVBoxLayout;
class SegmentedPicker;
class Sparkline;

// One app of the history: its name, energy and share of the battery's
// energy, with a bar of the share below.
class HistoryAppRow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kHeight = 30; // px

    HistoryAppRow(const AppEnergyTotal &app, double batteryWattHours, QWidget *parent = nullptr);

    QString name() const { return m_app.app; }
    QString energyText() const;
    QString shareText() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    AppEnergyTotal m_app;
    double m_batteryWattHours;
};

// The dashboard's History section: the apps that used the battery today or
// over 7 days, the battery's health over the recorded months with its trend,
// and a CSV export of both. Reads the store off the UI thread and redraws
// when it reports new rows.
class HistorySectionContent : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kSpanDays[2] = {1, 7};

    explicit HistorySectionContent(HistoryStore &store, QWidget *parent = nullptr);

    // Loads both tables again.
    void reload();
    const AppEnergyReport &apps() const { return m_apps; }
    const QList<HealthPoint> &health() const { return m_health; }
    QList<HistoryAppRow *> appRows() const;
    // The health line's one-line summary, "92% of design" or "".
    QString healthSummary() const;
    // Writes both tables to `path` atomically; false when it could not.
    bool writeCsv(const QString &path) const;

signals:
    void healthSummaryChanged();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // A closed dashboard stays alive hidden until the next one opens; it
    // catches up when shown instead of querying every few minutes unseen.
    void reloadWhenSeen();
    void showApps(const AppEnergyReport &report);
    void showHealth(const QList<HealthPoint> &points);
    void chooseExportFile();
    int spanDays() const;

    HistoryStore &m_store;
    SegmentedPicker *m_span;
    QLabel *m_appsHeading;
    QWidget *m_appList;
    QVBoxLayout *m_appLayout;
    QLabel *m_noApps;
    Sparkline *m_chart;
    QLabel *m_healthLine;
    QLabel *m_trend;
    QLabel *m_note;
    MinimalButton *m_export;
    QLabel *m_exportResult;
    bool m_stale = false;
    AppEnergyReport m_apps;
    QList<HealthPoint> m_health;
};
