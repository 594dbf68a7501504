#include "platform/linux/sysfs_files.h"

#include <QFile>
#include <QHash>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <string_view>

namespace {

// Attribute files and directories stay open between reads: a poll reads the
// same few dozen every few seconds, and reading one again from offset 0
// makes the kernel answer afresh without walking its path. One deleted or
// replaced since (a test tree, an unbound device) is opened by its path again.
class PosixSysfsFiles final : public SysfsFiles
{
public:
    PosixSysfsFiles() = default;
    PosixSysfsFiles(const PosixSysfsFiles &) = delete;
    PosixSysfsFiles &operator=(const PosixSysfsFiles &) = delete;
    ~PosixSysfsFiles() override { closeAll(); }

    std::optional<QByteArray> read(const QString &path) override
    {
        const QByteArray native = QFile::encodeName(path);
        const std::lock_guard lock(m_mutex);
        if (const auto kept = m_open.find(native); kept != m_open.end()) {
            if (auto text = readCurrent(kept.value()))
                return text;
            ::close(kept.value());
            m_open.erase(kept);
        }
        const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return std::nullopt;
        std::optional<QByteArray> text = readCurrent(fd);
        if (!text) {
            ::close(fd);
            return text;
        }
        keep(native, fd);
        return text;
    }

    QStringList list(const QString &directory) override
    {
        const QByteArray native = QFile::encodeName(directory);
        const std::lock_guard lock(m_mutex);
        if (const auto kept = m_open.find(native); kept != m_open.end()) {
            if (auto names = listCurrent(kept.value()))
                return *names;
            ::close(kept.value());
            m_open.erase(kept);
        }
        const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return {};
        std::optional<QStringList> names = listCurrent(fd);
        if (!names) {
            ::close(fd);
            return {};
        }
        keep(native, fd);
        return *names;
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

private:
    static constexpr qsizetype kMostKeptOpen = 64;

    // The file's contents from its start, or absent when it cannot be read
    // or no longer has a name.
    static std::optional<QByteArray> readCurrent(int fd)
    {
        struct stat status;
        if (::fstat(fd, &status) != 0 || status.st_nlink == 0)
            return std::nullopt;
        char buffer[4096];
        ssize_t count;
        do {
            count = ::pread(fd, buffer, sizeof buffer, 0);
        } while (count < 0 && errno == EINTR);
        // Drivers answer EIO or ENODATA for values the hardware cannot give now.
        if (count < 0)
            return std::nullopt;
        return QByteArray(buffer, static_cast<qsizetype>(count));
    }

    // The directory's entries from its start, sorted, or absent when it
    // cannot be read or no longer has a name.
    static std::optional<QStringList> listCurrent(int fd)
    {
        struct stat status;
        if (::fstat(fd, &status) != 0 || status.st_nlink == 0 || ::lseek(fd, 0, SEEK_SET) != 0)
            return std::nullopt;
        QStringList names;
        alignas(dirent64) char buffer[8192];
        for (;;) {
            const ssize_t got = ::getdents64(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return std::nullopt;
            if (got == 0)
                break;
            for (ssize_t offset = 0; offset < got;) {
                const auto *entry = reinterpret_cast<const dirent64 *>(buffer + offset);
                const std::string_view name(entry->d_name);
                if (name != "." && name != "..")
                    names.append(QFile::decodeName(entry->d_name));
                offset += entry->d_reclen;
            }
        }
        names.sort();
        return names;
    }

    void keep(const QByteArray &path, int fd)
    {
        // Paths of devices gone for good are never read again; starting over
        // now and then closes them.
        if (m_open.size() >= kMostKeptOpen)
            closeAll();
        m_open.insert(path, fd);
    }

    void closeAll()
    {
        for (const int fd : std::as_const(m_open))
            ::close(fd);
        m_open.clear();
    }

    std::mutex m_mutex;
    QHash<QByteArray, int> m_open;
};

} // namespace

SysfsFiles &SysfsFiles::real()
{
    static PosixSysfsFiles files;
    return files;
}
