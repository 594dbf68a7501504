#include "platform/linux/proc_process_table.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

namespace {

// Counted from the field after the name: state is field 3, utime 14, stime 15.
constexpr int kUtimeIndexAfterName = 11;

// "<pid>/<file>" in `buffer`, without allocating.
const char *processFile(char (&buffer)[32], int pid, const char *file)
{
    std::snprintf(buffer, sizeof buffer, "%d/%s", pid, file);
    return buffer;
}

// Reads a small procfs file whole; procfs files report size 0, so read until
// end of file. Absent when missing or unreadable.
std::optional<size_t> readSmallFile(int rootFd, const char *path, char *buffer, size_t capacity)
{
    const int fd = ::openat(rootFd, path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    size_t used = 0;
    while (used < capacity) {
        const ssize_t got = ::read(fd, buffer + used, capacity - used);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0)
            break;
        used += static_cast<size_t>(got);
    }
    ::close(fd);
    return used;
}

std::optional<int> pidFromName(const char *name)
{
    if (*name == '\0')
        return std::nullopt;
    long long value = 0;
    for (const char *c = name; *c; ++c) {
        if (*c < '0' || *c > '9')
            return std::nullopt;
        value = value * 10 + (*c - '0');
        if (value > INT_MAX)
            return std::nullopt;
    }
    return static_cast<int>(value);
}

std::optional<unsigned long long> unsignedField(std::string_view field)
{
    if (field.empty())
        return std::nullopt;
    unsigned long long value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        // A count past 64 bits is no count the kernel wrote: refuse it rather than wrap.
        if (__builtin_mul_overflow(value, 10ULL, &value)
            || __builtin_add_overflow(value, static_cast<unsigned long long>(c - '0'), &value))
            return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<unsigned long long> cpuTicksFromStat(std::string_view stat)
{
    const size_t close = stat.rfind(')');
    if (close == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = stat.substr(close + 1);
    std::optional<unsigned long long> utime;
    for (int index = 0; index <= kUtimeIndexAfterName + 1; ++index) {
        const size_t start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos)
            return std::nullopt;
        rest.remove_prefix(start);
        const size_t end = std::min(rest.find_first_of(" \n"), rest.size());
        const std::string_view field = rest.substr(0, end);
        rest.remove_prefix(end);
        if (index == kUtimeIndexAfterName) {
            utime = unsignedField(field);
            if (!utime)
                return std::nullopt;
        } else if (index == kUtimeIndexAfterName + 1) {
            const auto stime = unsignedField(field);
            unsigned long long ticks = 0;
            if (!stime || __builtin_add_overflow(*utime, *stime, &ticks))
                return std::nullopt;
            return ticks;
        }
    }
    return std::nullopt;
}

ProcProcessTable::ProcProcessTable(QByteArray root)
    : m_root(std::move(root))
    , m_rootFd(::open(m_root.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC))
    , m_ticksPerSecond(static_cast<double>(std::max(::sysconf(_SC_CLK_TCK), 1L)))
{
}

ProcProcessTable::~ProcProcessTable()
{
    if (m_rootFd >= 0)
        ::close(m_rootFd);
}

std::optional<std::vector<int>> ProcProcessTable::processIds() const
{
    DIR *folder = ::opendir(m_root.constData());
    if (!folder)
        return std::nullopt;
    std::vector<int> ids;
    while (const dirent *entry = ::readdir(folder)) {
        if (const auto pid = pidFromName(entry->d_name))
            ids.push_back(*pid);
    }
    ::closedir(folder);
    return ids;
}

std::optional<double> ProcProcessTable::cpuSeconds(int pid) const
{
    // A stat line is about 300 bytes; the name inside is at most 64.
    char buffer[1024];
    char path[32];
    const auto size = readSmallFile(m_rootFd, processFile(path, pid, "stat"), buffer, sizeof buffer);
    if (!size)
        return std::nullopt;
    const auto ticks = cpuTicksFromStat(std::string_view(buffer, *size));
    if (!ticks)
        return std::nullopt;
    return static_cast<double>(*ticks) / m_ticksPerSecond;
}

std::optional<QString> ProcProcessTable::shortName(int pid) const
{
    char buffer[256];
    char path[32];
    const auto size = readSmallFile(m_rootFd, processFile(path, pid, "comm"), buffer, sizeof buffer);
    if (!size)
        return std::nullopt;
    std::string_view name(buffer, *size);
    if (!name.empty() && name.back() == '\n')
        name.remove_suffix(1);
    if (name.empty())
        return std::nullopt;
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

std::optional<QString> ProcProcessTable::executablePath(int pid) const
{
    char buffer[PATH_MAX];
    char path[32];
    const ssize_t size = ::readlinkat(m_rootFd, processFile(path, pid, "exe"), buffer, sizeof buffer);
    // A full buffer may be a truncated path: report none rather than a wrong one.
    if (size <= 0 || static_cast<size_t>(size) >= sizeof buffer)
        return std::nullopt;
    return QString::fromUtf8(buffer, size);
}

int ProcProcessTable::logicalCpuCount() const
{
    return static_cast<int>(std::max(::sysconf(_SC_NPROCESSORS_ONLN), 1L));
}

