#pragma once

#include <QWidget>

class ChargeLimitController;
class PanelSwitch;
class QLabel;
class QPushButton;
class SettingSliderRow;

// Charge management: the switch, the limit, the two overrides, what the
// controller is doing and through which backend, and turning it all off.
// Follows the controller's change signals, so a change made elsewhere (the
// battery menu) shows here at once.
class ChargingPane : public QWidget
{
    Q_OBJECT

public:
    // `controller` must outlive the pane.
    explicit ChargingPane(ChargeLimitController &controller, QWidget *parent = nullptr);

private:
    void syncSettings();
    void syncStatus();

    ChargeLimitController &m_controller;
    PanelSwitch *m_enabled;
    SettingSliderRow *m_limit;
    QPushButton *m_stopOverride;
    QLabel *m_mode;
    QLabel *m_detail;
    QLabel *m_error;
    QLabel *m_backend;
};
