#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// File access for every reader of /sys and /proc attributes. Tests replace it
// to simulate files that fail, vanish or answer writes as a driver does; root
// reads and writes every file regardless of permission bits.
class SysfsFiles
{
public:
    virtual ~SysfsFiles() = default;

    // The file's contents (attributes are a few bytes; at most 4 KiB are
    // read), or absent when it cannot be opened or read.
    virtual std::optional<QByteArray> read(const QString &path) = 0;
    // Names of the directory's entries, sorted; empty when it cannot be read.
    virtual QStringList list(const QString &directory) = 0;
    // Replaces the file's contents with `value` in one write(2), as sysfs
    // attributes expect; 0 on success, else the errno of the failing call.
    virtual int write(const QString &path, const QByteArray &value) = 0;

    // POSIX calls, usable from any thread. A file or directory read is kept
    // open for its next read, which the kernel answers afresh.
    static SysfsFiles &real();
};
