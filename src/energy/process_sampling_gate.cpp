#include "energy/process_sampling_gate.h"

#include "energy/process_energy_store.h"
#include "power/power_store.h"

#include <algorithm>

ProcessSamplingGate::ProcessSamplingGate(ProcessEnergyStore &sampler, const PowerStore &power, QObject *parent)
    : QObject(parent)
    , m_sampler(sampler)
    , m_power(power)
{
    connect(&power, &PowerStore::batteryPresentChanged, this, &ProcessSamplingGate::scheduleApply);
    connect(&power, &PowerStore::isOnACChanged, this, &ProcessSamplingGate::scheduleApply);
    apply();
}

void ProcessSamplingGate::setWindowShown(Window window, bool shown)
{
    m_shown[static_cast<size_t>(window)] = shown;
    scheduleApply();
}

ProcessSampleConsumers ProcessSamplingGate::consumers() const
{
    return {m_power.batteryPresent() && !m_power.isOnAC(),
            std::any_of(m_shown.begin(), m_shown.end(), [](bool shown) { return shown; })};
}

// Decided once the current event is handled: one publish may change both
// power fields, and the menu closes just before the dashboard opens; the
// sampler must not stop or start on the state in between.
void ProcessSamplingGate::scheduleApply()
{
    if (m_applyPending)
        return;
    m_applyPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_applyPending = false;
            apply();
        },
        Qt::QueuedConnection);
}

void ProcessSamplingGate::apply()
{
    m_sampler.setPaused(!consumers().any());
}
