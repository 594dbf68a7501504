#pragma once

#include <QObject>

#include <array>

class PowerStore;
class ProcessEnergyStore;

// The places that read process passes: on battery the drain alerts and the
// drain log's process records; the app's windows while shown (their process
// lists and the chat's power snapshot).
struct ProcessSampleConsumers
{
    bool onBattery = false; // a battery is present and no AC adapter
    bool windowShown = false;

    bool any() const { return onBattery || windowShown; }
};

// Pauses the process sampler while nobody consumes its passes and resumes it
// as soon as somebody does: an unplugged adapter or a window being shown.
// Changes take effect once the event that caused them is handled. Main
// thread.
class ProcessSamplingGate : public QObject
{
    Q_OBJECT

public:
    enum class Window { batteryMenu, dashboard, preferences };

    ProcessSamplingGate(ProcessEnergyStore &sampler, const PowerStore &power, QObject *parent = nullptr);

    void setWindowShown(Window window, bool shown);
    ProcessSampleConsumers consumers() const;

private:
    void scheduleApply();
    void apply();

    ProcessEnergyStore &m_sampler;
    const PowerStore &m_power;
    std::array<bool, 3> m_shown{};
    bool m_applyPending = false;
};
