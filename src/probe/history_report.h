#pragma once

#include <QString>

// The history tables read from the file at `path` without changing it: the
// apps of the last `days` local days and every recorded day of the battery's
// health. Text for a terminal or JSON; false with a message in `output` when
// the file cannot be read.
bool historyReport(const QString &path, int days, bool json, QString &output);
