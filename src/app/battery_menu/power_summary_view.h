#pragma once

#include <QWidget>

class PowerModeMonitor;
class PowerStore;
class QLabel;

// The popover's content: the power store's fields as label–value lines,
// updated as they change.
class PowerSummaryView : public QWidget
{
    Q_OBJECT

public:
    PowerSummaryView(const PowerStore &store, const PowerModeMonitor &powerMode, QSize size,
                     QWidget *parent = nullptr);

    void refresh();

private:
    QLabel *addRow(const QString &label, const QString &objectName);

    const PowerStore &m_store;
    const PowerModeMonitor &m_powerMode;
    QLabel *m_battery;
    QLabel *m_status;
    QLabel *m_time;
    QLabel *m_package;
    QLabel *m_source;
    QLabel *m_charge;
    QLabel *m_lowPower;
};
