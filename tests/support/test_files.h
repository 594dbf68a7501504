#pragma once

#include <QByteArray>
#include <QString>

// Writes `bytes` to `path`, making its folders and replacing what was there;
// a file that cannot be written fails the running test. `executable` adds the
// owner's execute bit.
void writeFile(const QString &path, const QByteArray &bytes, bool executable = false);

// The file's bytes, or "<missing>" when it cannot be read, so that a missing
// file never passes for an empty one.
QByteArray readFile(const QString &path);
