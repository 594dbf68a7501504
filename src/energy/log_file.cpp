#include "energy/log_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The drain log names the processes the user runs; keep it to the user.
constexpr mode_t kFileMode = 0600;
constexpr auto kTemporaryInfix = ".replace-";
constexpr qint64 kStaleTemporaryAgeSeconds = 3600;

bool writeFully(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Readable too, to look at the last byte.
int openForAppend(const QByteArray &path)
{
    return ::open(path.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, kFileMode);
}

bool endsWithLineFeed(int fd)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_size == 0)
        return true;
    char last = '\n';
    return ::pread(fd, &last, 1, info.st_size - 1) != 1 || last == '\n';
}

void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

namespace LogFile {

bool appendLine(const QString &path, const QByteArray &line)
{
    const QByteArray nativePath = QFile::encodeName(path);
    int fd = openForAppend(nativePath);
    if (fd < 0 && errno == ENOENT) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        fd = openForAppend(nativePath);
    }
    if (fd < 0)
        return false;
    const QByteArray bytes = endsWithLineFeed(fd) ? line : '\n' + line;
    const bool written = writeFully(fd, bytes.constData(), static_cast<size_t>(bytes.size()));
    return ::close(fd) == 0 && written;
}

std::optional<QByteArray> readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray contents = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return contents;
}

bool replaceAtomically(const QString &path, const QByteArray &contents)
{
    const QByteArray nativePath = QFile::encodeName(path);
    QByteArray temporary = nativePath + kTemporaryInfix + "XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = ::fchmod(fd, kFileMode) == 0
        && writeFully(fd, contents.constData(), static_cast<size_t>(contents.size()))
        && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.constData(), nativePath.constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    syncFolder(QFile::encodeName(QFileInfo(path).absolutePath()));
    return true;
}

void removeStaleTemporaries(const QString &path)
{
    const QFileInfo target(path);
    const QDir folder = target.absoluteDir();
    const QString pattern = target.fileName() + QLatin1String(kTemporaryInfix) + QStringLiteral("??????");
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QFileInfoList leftovers = folder.entryInfoList({pattern}, QDir::Files | QDir::Hidden);
    for (const QFileInfo &leftover : leftovers) {
        if (leftover.lastModified().secsTo(now) > kStaleTemporaryAgeSeconds)
            QFile::remove(leftover.absoluteFilePath());
    }
}

} // namespace LogFile
