#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <optional>

class Defaults;
class SerialQueue;
class SystemBatteryItem;
enum class SystemBatterySwitch;

// Hides the desktop's own battery indicator while the app runs, because the
// app's status item takes its place, and puts back what the user had when
// the feature is switched off or the app quits. A watchdog re-applies the
// hiding in case the desktop or the user brought the indicator back.
//
// Settings and the watchdog live on the main thread; every call into the
// desktop runs on `queue`, so hide and restore return at once and their
// effects follow in the order they were asked for.
class SystemBatteryMenuHider : public QObject
{
    Q_OBJECT

public:
    static inline const QString kEnabledKey = QStringLiteral("pendrapro.replaceSystemBattery");
    static inline const QString kSavedValueKey = QStringLiteral("pendrapro.savedSystemBatteryMenuValue");
    static inline const QString kDidHideKey = QStringLiteral("pendrapro.didHideSystemBattery");
    static constexpr auto kWatchdogInterval = std::chrono::seconds(45);

    // `defaults` must outlive this object, `item` every piece of work
    // queued on `queue`, where alone it is used.
    SystemBatteryMenuHider(Defaults &defaults, SystemBatteryItem &item, SerialQueue &queue, QObject *parent = nullptr);

    // The feature's setting; on when never set.
    bool isEnabled() const;
    // The desktop switch the feature acts on.
    SystemBatterySwitch acts() const;
    // Stores the setting; on hides (restarting the desktop's agents) and
    // starts the watchdog, off stops it and restores.
    void setEnabled(bool on);

    // The launch step: while the feature is on, hides with a restart and
    // starts the watchdog.
    void launch();

    // Remembers the indicator's current value and hides it. Does nothing while
    // the feature is off. The agents restart when `forceRestart` is set or
    // the indicator was not already hidden.
    void hide(bool forceRestart);
    // Puts back the remembered value, but only after this app hid the
    // indicator (in this run or one that crashed).
    void restore();
    // For quitting: restore, then wait until the desktop has been told.
    void restoreAndWait();

    void startWatchdog();
    void stopWatchdog();
    bool isWatchdogRunning() const { return m_watchdog.isActive(); }

private:
    void hideWithValue(std::optional<int> current, bool forceRestart);

    Defaults &m_defaults;
    SystemBatteryItem &m_item;
    SerialQueue &m_queue;
    QTimer m_watchdog;
};

// The value to remember before hiding, given the indicator's current value,
// the one remembered so far and whether the app has hidden the indicator (in
// this run or one that crashed). A real display value (neither 0 nor 8) is
// always the user's and kept. A hidden one is kept as 8 while the app has
// not hidden the indicator yet: the user had it hidden. After that it is the
// app's own doing and what was remembered stays; 8 when nothing was.
long long systemBatteryValueToRemember(std::optional<int> current, std::optional<long long> remembered,
                                       bool appHasHidden);
// The value that restoring writes back: the remembered one when it is a real
// display value; none, meaning the user's own hidden state, when it is hidden
// or unknown.
std::optional<int> systemBatteryValueToRestore(std::optional<long long> remembered);
