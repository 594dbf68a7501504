#pragma once

#include "platform/system_battery_item.h"

#include <QString>

// LXQt's battery indicator in the tray: lxqt-powermanagement's icon, switched
// by `showIcon` in its settings file (lxqt/lxqt-powermanagement.conf, the INI
// file LXQt's settings class keeps and watches, so the daemon follows it
// live). Besides true (18) and false (8) the key may be absent, which the
// daemon reads as shown; that state is remembered as 1 and put back by
// removing the key again.
class LxqtPowerManagementIcon final : public SystemBatteryItem
{
public:
    static constexpr int kUnset = 1;

    // `configHome`: the session's XDG_CONFIG_HOME.
    explicit LxqtPowerManagementIcon(const QString &configHome);

    SystemBatterySwitch kind() const override { return SystemBatterySwitch::lxqtPowerManagementIcon; }
    std::optional<int> readBatteryMenuValue() override;
    void hide() override;
    void show(int displayValue) override;
    // The file tells an absent key from a false one, so a hidden icon is
    // already as the user left it.
    void putBackHidden() override {}
    void restartAgents() override {}

private:
    QString m_file;
};
