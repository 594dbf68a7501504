#include "platform/linux/sysfs_files.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

class PosixSysfsFiles final : public SysfsFiles
{
public:
    std::optional<QByteArray> read(const QString &path) override
    {
        const QByteArray native = QFile::encodeName(path);
        const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return std::nullopt;
        char buffer[4096];
        ssize_t count;
        do {
            count = ::read(fd, buffer, sizeof buffer);
        } while (count < 0 && errno == EINTR);
        ::close(fd);
        // Drivers answer EIO or ENODATA for values the hardware cannot give now.
        if (count < 0)
            return std::nullopt;
        return QByteArray(buffer, static_cast<qsizetype>(count));
    }

    QStringList list(const QString &directory) override
    {
        QStringList names;
        DIR *dir = ::opendir(QFile::encodeName(directory).constData());
        if (!dir)
            return names;
        while (const dirent *entry = ::readdir(dir)) {
            const QString name = QFile::decodeName(entry->d_name);
            if (name != QLatin1String(".") && name != QLatin1String(".."))
                names.append(name);
        }
        ::closedir(dir);
        names.sort();
        return names;
    }

    int write(const QString &path, const QByteArray &value) override
    {
        const QByteArray native = QFile::encodeName(path);
        const int fd = ::open(native.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd < 0)
            return errno;
        ssize_t written;
        do {
            written = ::write(fd, value.constData(), size_t(value.size()));
        } while (written < 0 && errno == EINTR);
        // A driver that rejects the value answers the write itself.
        const int writeError = written < 0 ? errno : (written == value.size() ? 0 : EIO);
        const int closeError = ::close(fd) == 0 ? 0 : errno;
        return writeError != 0 ? writeError : closeError;
    }
};

} // namespace

SysfsFiles &SysfsFiles::real()
{
    static PosixSysfsFiles files;
    return files;
}
