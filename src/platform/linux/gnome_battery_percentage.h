#pragma once

#include "platform/system_battery_item.h"

class ToolRunner;

// GNOME Shell's battery indicator cannot be removed, only its percentage
// text, which is what duplicates the app's title. The text follows
// org.gnome.desktop.interface show-battery-percentage, read and written with
// the `gsettings` tool: true reads as 18 (shown), false as 8 (hidden). The
// key's default is false and gsettings cannot tell it from a false the user
// set, so a hidden percentage is put back by resetting the key. The shell applies the key live, so there are no agents to restart.
class GnomeBatteryPercentage final : public SystemBatteryItem
{
public:
    // `tools` must outlive this object.
    explicit GnomeBatteryPercentage(ToolRunner &tools);

    SystemBatterySwitch kind() const override { return SystemBatterySwitch::gnomePercentage; }
    std::optional<int> readBatteryMenuValue() override;
    void hide() override;
    void show(int displayValue) override;
    void putBackHidden() override;
    void restartAgents() override {}

private:
    void write(bool shown);

    ToolRunner &m_tools;
};
