#pragma once

#include <optional>

// Which desktop switch stands for the system's battery indicator.
enum class SystemBatterySwitch {
    gnomePercentage,     // GNOME Shell's battery percentage text
    plasmaBatteryApplet, // Plasma's Battery and Brightness entry in the system tray
    xfcePowerManagerIcon, // xfce4-power-manager's tray icon
    lxqtPowerManagementIcon, // lxqt-powermanagement's tray icon
    none,                // the desktop offers none the app can reach
};

// The desktop's own battery indicator in the panel, which duplicates the
// app's status item. Its state is spoken in the display values the app
// remembers: 8 = hidden, 0 = hidden as well, any other value = a state to put
// back exactly (18 is the plain "shown"; each desktop names its others).
// Every call but `kind` may start a child process or a bus call and wait for
// it: call from a worker queue, never from the main thread.
class SystemBatteryItem
{
public:
    virtual ~SystemBatteryItem() = default;

    // Which switch this is; fixed for the object's life, so any thread may ask.
    virtual SystemBatterySwitch kind() const = 0;

    // The current display value; absent when it cannot be read.
    virtual std::optional<int> readBatteryMenuValue() = 0;
    // Switches the indicator off. Failures are ignored.
    virtual void hide() = 0;
    // Switches the indicator back to `displayValue` (never 0 or 8).
    virtual void show(int displayValue) = 0;
    // Puts back an indicator the user had hidden before the app hid it, as
    // the user left it: where the desktop tells a hidden setting from an
    // unset one, hiding wrote what was there and nothing is left to do;
    // elsewhere the key goes back to its default, which hides. Failures are
    // ignored.
    virtual void putBackHidden() = 0;
    // Makes the desktop pick up a change; nothing where it applies settings
    // live. Never ends a process the app did not start.
    virtual void restartAgents() = 0;
};

// A desktop whose battery indicator the app cannot reach: nothing to read,
// nothing to act on.
class UnreachableSystemBatteryItem final : public SystemBatteryItem
{
public:
    SystemBatterySwitch kind() const override { return SystemBatterySwitch::none; }
    std::optional<int> readBatteryMenuValue() override { return std::nullopt; }
    void hide() override {}
    void show(int) override {}
    void putBackHidden() override {}
    void restartAgents() override {}
};
