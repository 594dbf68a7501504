#pragma once

#include "platform/system_battery_item.h"

class ToolRunner;

// XFCE's battery indicator in the tray: xfce4-power-manager's icon, switched
// by the xfconf property /xfce4-power-manager/show-tray-icon, read and written
// with `xfconf-query`. The manager follows the property live. Besides true
// (18) and false (8) the property may be unset, which the manager reads as its
// own default; that state is remembered as 1 and put back by resetting it.
class XfcePowerManagerIcon final : public SystemBatteryItem
{
public:
    static constexpr int kUnset = 1;

    // `tools` must outlive this object.
    explicit XfcePowerManagerIcon(ToolRunner &tools);

    SystemBatterySwitch kind() const override { return SystemBatterySwitch::xfcePowerManagerIcon; }
    std::optional<int> readBatteryMenuValue() override;
    void hide() override;
    void show(int displayValue) override;
    // xfconf tells an unset property from a false one, so a hidden icon is
    // already as the user left it.
    void putBackHidden() override {}
    void restartAgents() override {}

private:
    void write(bool shown);

    ToolRunner &m_tools;
};
