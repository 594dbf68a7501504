#pragma once

#include "power/snapshot_source.h"

#include <mutex>
#include <vector>

// Hands out a settable snapshot. readSnapshot runs on the power store's queue,
// hence the lock.
class FakeSnapshotSource final : public SnapshotSource
{
public:
    BatSnap readSnapshot(bool crossCheck) override
    {
        std::lock_guard lock(m_mutex);
        m_crossChecks.push_back(crossCheck);
        return m_snapshot;
    }

    void setSnapshot(const BatSnap &snapshot)
    {
        std::lock_guard lock(m_mutex);
        m_snapshot = snapshot;
    }

    // The `crossCheck` argument of every read so far.
    std::vector<bool> crossChecks() const
    {
        std::lock_guard lock(m_mutex);
        return m_crossChecks;
    }

private:
    mutable std::mutex m_mutex;
    BatSnap m_snapshot;
    std::vector<bool> m_crossChecks;
};
