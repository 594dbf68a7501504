#pragma once

#include <optional>

// The desktop's own battery indicator in the top bar, which duplicates the
// app's status item. Its state is spoken in the display values the app
// remembers: 8 = hidden, 0 = hidden as well, any other value = shown in that
// style (18 is the plain "shown"). Every call may start a child process and
// wait for it: call from a worker queue, never from the main thread.
class SystemBatteryItem
{
public:
    virtual ~SystemBatteryItem() = default;

    // The current display value; absent when it cannot be read.
    virtual std::optional<int> readBatteryMenuValue() = 0;
    // Switches the indicator off. Failures are ignored.
    virtual void hide() = 0;
    // Switches the indicator back to `displayValue` (never 0 or 8).
    virtual void show(int displayValue) = 0;
    // Hands the indicator back to the desktop's own default, for one that was
    // hidden before the app hid it: the user's choice then stays the
    // desktop's, not a value the app wrote. Failures are ignored.
    virtual void resetToDefault() = 0;
    // Makes the desktop pick up a change; nothing where it applies settings
    // live. Never ends a process the app did not start.
    virtual void restartAgents() = 0;
};

// A desktop whose battery indicator the app cannot reach: nothing to read,
// nothing to act on.
class UnreachableSystemBatteryItem final : public SystemBatteryItem
{
public:
    std::optional<int> readBatteryMenuValue() override { return std::nullopt; }
    void hide() override {}
    void show(int) override {}
    void resetToDefault() override {}
    void restartAgents() override {}
};
