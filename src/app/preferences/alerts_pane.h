#pragma once

#include <QWidget>

class Defaults;
class DrainAlertMonitor;
class DrainLog;
class HistoryStore;
class NotificationCenter;
class QLabel;

// Fast-drain notifications, the critical battery threshold, and how long
// the drain history and the app history are kept (with a way to clear both).
class AlertsPane : public QWidget
{
    Q_OBJECT

public:
    static inline const QString kHistoryCleared = QStringLiteral("History cleared.");

    // Everything must outlive the pane.
    AlertsPane(Defaults &defaults, NotificationCenter &notifications, DrainAlertMonitor &drainAlerts,
               DrainLog &drainLog, HistoryStore *history, QWidget *parent = nullptr);

private:
    QLabel *m_cleared;
};

// "Keep drain history for 14 days" ("1 day" in the singular).
QString retentionCaption(int days);
