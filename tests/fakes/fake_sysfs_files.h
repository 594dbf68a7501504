#pragma once

#include "platform/linux/sysfs_files.h"

#include <functional>

// The real files, except where a test steps in: reads of paths ending in
// `unreadable` fail (as EACCES or EIO would), `beforeRead` and `beforeList`
// run before every read and listing, and `answerWrite`, when set, answers
// writes in place of the kernel.
class FakeSysfsFiles final : public SysfsFiles
{
public:
    std::optional<QByteArray> read(const QString &path) override
    {
        if (beforeRead)
            beforeRead(path);
        if (!unreadable.isEmpty() && path.endsWith(unreadable))
            return std::nullopt;
        return SysfsFiles::real().read(path);
    }
    QStringList list(const QString &directory) override
    {
        if (beforeList)
            beforeList(directory);
        return SysfsFiles::real().list(directory);
    }
    int write(const QString &path, const QByteArray &value) override
    {
        ++writes;
        return answerWrite ? answerWrite(path, value) : SysfsFiles::real().write(path, value);
    }

    QString unreadable;
    std::function<void(const QString &path)> beforeRead;
    std::function<void(const QString &directory)> beforeList;
    std::function<int(const QString &path, const QByteArray &value)> answerWrite;
    int writes = 0;
};
