#pragma once

#include "power/bat_snap.h"

// Produces the merged battery snapshot. Called on the power store's work queue
// only; may block on child processes.
class SnapshotSource
{
public:
    virtual ~SnapshotSource() = default;

    // `crossCheck`: consult the command-line tools this time as well.
    virtual BatSnap readSnapshot(bool crossCheck) = 0;
};
