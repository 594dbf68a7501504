#pragma once

#include <QWidget>

class Defaults;
class LoginItem;
class NotificationCenter;
class PanelSwitch;
class QLabel;
class SegmentedPicker;
class SystemBatteryMenuHider;

// How the status item looks and behaves: what its title shows, whether it
// replaces the desktop's battery indicator, starting at login and its
// position among the other status icons.
class MenuBarPane : public QWidget
{
    Q_OBJECT

public:
    static inline const QString kLoginItemRefused = QStringLiteral("The desktop did not accept the change.");

    // Everything must outlive the pane.
    MenuBarPane(Defaults &defaults, NotificationCenter &notifications, SystemBatteryMenuHider &systemBattery,
                LoginItem &loginItem, QWidget *parent = nullptr);

private:
    void launchAtLoginChanged(bool on);

    Defaults &m_defaults;
    LoginItem &m_loginItem;
    PanelSwitch *m_launchAtLogin;
    QLabel *m_loginItemProblem;
};
