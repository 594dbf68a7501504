#include "platform/linux/sysfs_files.h"

#include "platform/linux/directory_entries.h"

#include <QFile>
#include <QHash>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <string_view>
#include <type_traits>

namespace {

struct KeptFile
{
    int fd = -1;
    // On sysfs and procfs a file removed with its device or process fails
    // every read from then on.
    bool failsOnceRemoved = false;
};

// Attribute files and directories stay open between reads: a poll reads the
// same few dozen every few seconds, and reading one again from offset 0
// makes the kernel answer afresh without walking its path. One deleted or
// replaced since (a test tree, an unbound device) is opened by its path again:
// a sysfs or procfs file that is gone fails its read, any other file and
// every directory is asked whether it still has a name.
class PosixSysfsFiles final : public SysfsFiles
{
public:
    PosixSysfsFiles() = default;
    PosixSysfsFiles(const PosixSysfsFiles &) = delete;
    PosixSysfsFiles &operator=(const PosixSysfsFiles &) = delete;
    ~PosixSysfsFiles() override { closeAll(); }

    std::optional<QByteArray> read(const QString &path) override
    {
        return throughKept(path, O_RDONLY, readCurrent);
    }

    QStringList list(const QString &directory) override
    {
        return throughKept(directory, O_RDONLY | O_DIRECTORY,
                           [](const KeptFile &kept) { return listCurrent(kept.fd); })
            .value_or(QStringList());
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

    // `current` of the descriptor kept for `path`, or of one opened now and
    // kept when it answers; absent when neither answers. Kept by the caller's
    // path, so that only an open pays for the file name's encoding.
    template<typename Current>
    std::invoke_result_t<Current, const KeptFile &> throughKept(const QString &path, int openFlags, Current current)
    {
        const std::lock_guard lock(m_mutex);
        if (const auto kept = m_open.find(path); kept != m_open.end()) {
            if (auto answer = current(kept.value()))
                return answer;
            ::close(kept->fd);
            m_open.erase(kept);
        }
        const int fd = ::open(QFile::encodeName(path).constData(), openFlags | O_CLOEXEC);
        if (fd < 0)
            return std::nullopt;
        const KeptFile opened{fd, isKernelFileSystem(fd)};
        auto answer = current(opened);
        if (!answer) {
            ::close(fd);
            return answer;
        }
        keep(path, opened);
        return answer;
    }

    static bool isKernelFileSystem(int fd)
    {
        struct statfs fileSystem;
        return ::fstatfs(fd, &fileSystem) == 0
            && (fileSystem.f_type == SYSFS_MAGIC || fileSystem.f_type == PROC_SUPER_MAGIC);
    }

    // The file's contents from its start, or absent when it cannot be read
    // or no longer has a name.
    static std::optional<QByteArray> readCurrent(const KeptFile &kept)
    {
        const int fd = kept.fd;
        struct stat status;
        if (!kept.failsOnceRemoved && (::fstat(fd, &status) != 0 || status.st_nlink == 0))
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
        const bool listed = forEachDirectoryEntry(fd, buffer, [&names](const char *name) {
            const std::string_view entry(name);
            if (entry != "." && entry != "..")
                names.append(QFile::decodeName(name));
        });
        if (!listed)
            return std::nullopt;
        names.sort();
        return names;
    }

    void keep(const QString &path, const KeptFile &file)
    {
        // Paths of devices gone for good are never read again; starting over
        // now and then closes them.
        if (m_open.size() >= kMostKeptOpen)
            closeAll();
        m_open.insert(path, file);
    }

    void closeAll()
    {
        for (const KeptFile &kept : std::as_const(m_open))
            ::close(kept.fd);
        m_open.clear();
    }

    std::mutex m_mutex;
    QHash<QString, KeptFile> m_open;
};

} // namespace

SysfsFiles &SysfsFiles::real()
{
    static PosixSysfsFiles files;
    return files;
}
