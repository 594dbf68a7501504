#pragma once

#include "platform/registry.h"

// A smart-battery registry holding one fixed entry (or none), counting lookups.
class FakeSmartBatteryRegistry final : public SmartBatteryRegistry
{
public:
    FakeSmartBatteryRegistry() = default;
    explicit FakeSmartBatteryRegistry(RegistryEntry entry) : m_entry(std::move(entry)) {}

    std::optional<RegistryEntry> copySmartBatteryEntry() override
    {
        ++m_lookups;
        return m_entry;
    }

    int lookups() const { return m_lookups; }

private:
    std::optional<RegistryEntry> m_entry;
    int m_lookups = 0;
};
