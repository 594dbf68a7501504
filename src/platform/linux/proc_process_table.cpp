#include "platform/linux/proc_process_table.h"

#include "platform/linux/directory_entries.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

// Counted from the field after the name: state is field 3, utime 14, stime 15.
constexpr int kUtimeIndexAfterName = 11;
constexpr int kStimeIndexAfterName = 12;
// The kernel keeps this many bytes of a process name in comm.
constexpr size_t kCommBytes = 15;
// A pass lists /proc in a few large reads rather than one per 32 KB.
constexpr size_t kListingBuffer = 64 * 1024;
// Well below the usual limit of 1024 descriptors, which the rest of the app
// shares; processes past it have their file opened on every read.
constexpr size_t kMostStatFilesOpen = 384;

// "<pid>/<file>" in `buffer`, without allocating.
class ProcessFile
{
public:
    ProcessFile(int pid, std::string_view file)
    {
        char digits[16];
        const auto [end, error] = std::to_chars(std::begin(digits), std::end(digits), pid);
        const size_t length = error == std::errc() ? static_cast<size_t>(end - digits) : 0;
        std::memcpy(m_path, digits, length);
        m_path[length] = '/';
        const size_t room = std::min(file.size(), sizeof m_path - length - 2);
        std::memcpy(m_path + length + 1, file.data(), room);
        m_path[length + 1 + room] = '\0';
    }
    const char *path() const { return m_path; }

private:
    char m_path[40];
};

// Reads the start of a small procfs file in one read: procfs fills the whole
// buffer in one go, and every caller needs only the first `capacity` bytes.
// Absent when missing or unreadable.
std::optional<std::string_view> readStartOf(int fd, char *buffer, size_t capacity)
{
    ssize_t got;
    do
        got = ::pread(fd, buffer, capacity, 0);
    while (got < 0 && errno == EINTR);
    if (got < 0)
        return std::nullopt;
    return std::string_view(buffer, static_cast<size_t>(got));
}

std::optional<std::string_view> readStart(int rootFd, const ProcessFile &file, char *buffer, size_t capacity)
{
    const int fd = ::openat(rootFd, file.path(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    const auto text = readStartOf(fd, buffer, capacity);
    ::close(fd);
    return text;
}

bool isProcfs(int fd)
{
    struct statfs filesystem;
    return fd >= 0 && ::fstatfs(fd, &filesystem) == 0 && filesystem.f_type == PROC_SUPER_MAGIC;
}

std::optional<int> pidFromName(const char *name)
{
    if (*name < '1' || *name > '9')
        return std::nullopt;
    int pid = 0;
    const char *end = name + std::strlen(name);
    const auto [stop, error] = std::from_chars(name, end, pid);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return pid;
}

// Decimal digits only; a value beyond 64 bits is refused, not wrapped.
std::optional<unsigned long long> unsignedField(std::string_view field)
{
    unsigned long long value = 0;
    const char *end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, value);
    if (field.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

std::string_view baseName(std::string_view path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

std::optional<unsigned long long> cpuTicksFromStat(std::string_view stat)
{
    const size_t close = stat.rfind(')');
    if (close == std::string_view::npos)
        return std::nullopt;
    const char *at = stat.data() + close + 1;
    const char *const end = stat.data() + stat.size();
    unsigned long long ticks[2] = {};
    for (int index = 0; index <= kStimeIndexAfterName; ++index) {
        while (at < end && *at == ' ')
            ++at;
        const char *start = at;
        while (at < end && *at != ' ' && *at != '\n')
            ++at;
        if (at == start)
            return std::nullopt;
        if (index >= kUtimeIndexAfterName) {
            const auto value = unsignedField(std::string_view(start, static_cast<size_t>(at - start)));
            if (!value)
                return std::nullopt;
            ticks[index - kUtimeIndexAfterName] = *value;
        }
    }
    if (ticks[0] > ULLONG_MAX - ticks[1])
        return std::nullopt;
    return ticks[0] + ticks[1];
}

ProcProcessTable::ProcProcessTable(QByteArray root)
    : m_root(std::move(root))
    , m_rootFd(::open(m_root.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC))
    , m_ticksPerSecond(static_cast<double>(std::max(::sysconf(_SC_CLK_TCK), 1L)))
    , m_keepsStatFilesOpen(isProcfs(m_rootFd))
{
}

ProcProcessTable::~ProcProcessTable()
{
    closeStatFilesExcept({});
    if (m_rootFd >= 0)
        ::close(m_rootFd);
}

std::optional<std::vector<int>> ProcProcessTable::processIds() const
{
    // A fresh descriptor per listing keeps concurrent listings apart.
    const int fd = m_rootFd < 0 ? -1 : ::openat(m_rootFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::vector<char> buffer(kListingBuffer);
    std::vector<int> ids;
    const bool listed = forEachDirectoryEntry(fd, buffer, [&ids](const char *name) {
        if (const auto pid = pidFromName(name))
            ids.push_back(*pid);
    });
    if (!listed) {
        ::close(fd);
        return std::nullopt;
    }
    ::close(fd);
    closeStatFilesExcept(ids);
    return ids;
}

void ProcProcessTable::closeStatFilesExcept(const std::vector<int> &listed) const
{
    const std::lock_guard lock(m_statFilesMutex);
    if (m_statFiles.empty())
        return;
    std::vector<int> sorted = listed;
    std::sort(sorted.begin(), sorted.end());
    for (auto kept = m_statFiles.begin(); kept != m_statFiles.end();) {
        if (std::binary_search(sorted.begin(), sorted.end(), kept->first)) {
            ++kept;
            continue;
        }
        ::close(kept->second);
        kept = m_statFiles.erase(kept);
    }
}

std::optional<std::string_view> ProcProcessTable::readStat(int pid, char *buffer, size_t capacity) const
{
    const ProcessFile file(pid, "stat");
    if (!m_keepsStatFilesOpen)
        return readStart(m_rootFd, file, buffer, capacity);

    const std::lock_guard lock(m_statFilesMutex);
    if (const auto kept = m_statFiles.find(pid); kept != m_statFiles.end()) {
        if (const auto text = readStartOf(kept->second, buffer, capacity))
            return text;
        // The process ended; a new one with its id has a file of its own.
        ::close(kept->second);
        m_statFiles.erase(kept);
    }
    const int fd = m_rootFd < 0 ? -1 : ::openat(m_rootFd, file.path(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    const auto text = readStartOf(fd, buffer, capacity);
    if (text && m_statFiles.size() < kMostStatFilesOpen)
        m_statFiles.emplace(pid, fd);
    else
        ::close(fd);
    return text;
}

std::optional<double> ProcProcessTable::cpuSeconds(int pid) const
{
    // A stat line is about 300 bytes and the tick fields come early.
    char buffer[512];
    const auto stat = readStat(pid, buffer, sizeof buffer);
    if (!stat)
        return std::nullopt;
    const auto ticks = cpuTicksFromStat(*stat);
    if (!ticks)
        return std::nullopt;
    return static_cast<double>(*ticks) / m_ticksPerSecond;
}

std::optional<QString> ProcProcessTable::shortName(int pid) const
{
    char buffer[64];
    auto name = readStart(m_rootFd, ProcessFile(pid, "comm"), buffer, sizeof buffer);
    if (!name)
        return std::nullopt;
    if (!name->empty() && name->back() == '\n')
        name->remove_suffix(1);
    if (name->empty())
        return std::nullopt;
    if (name->size() == kCommBytes) {
        if (auto whole = untruncatedName(pid, *name))
            return whole;
    }
    return fromUtf8(*name);
}

// The kernel cut the name: the executable's file name says it whole, unless
// the process runs through a link (a multi-call binary) whose own name is in
// argv[0]. A candidate that continues the cut name is surely the same name.
std::optional<QString> ProcProcessTable::untruncatedName(int pid, std::string_view comm) const
{
    char target[PATH_MAX];
    const ssize_t size = ::readlinkat(m_rootFd, ProcessFile(pid, "exe").path(), target, sizeof target);
    std::string_view exe;
    if (size > 0 && static_cast<size_t>(size) < sizeof target) {
        exe = baseName(std::string_view(target, static_cast<size_t>(size)));
        // An executable replaced while it runs (a package upgrade).
        constexpr std::string_view kDeleted = " (deleted)";
        if (exe.size() > kDeleted.size() && exe.ends_with(kDeleted))
            exe.remove_suffix(kDeleted.size());
        if (exe.starts_with(comm))
            return fromUtf8(exe);
    }

    char buffer[512];
    if (const auto cmdline = readStart(m_rootFd, ProcessFile(pid, "cmdline"), buffer, sizeof buffer)) {
        const std::string_view argv0 = baseName(cmdline->substr(0, cmdline->find('\0')));
        if (argv0.size() > comm.size() && argv0.starts_with(comm))
            return fromUtf8(argv0);
    }
    if (!exe.empty())
        return fromUtf8(exe);
    return std::nullopt;
}

std::optional<QString> ProcProcessTable::executablePath(int pid) const
{
    char buffer[PATH_MAX];
    const ssize_t size = ::readlinkat(m_rootFd, ProcessFile(pid, "exe").path(), buffer, sizeof buffer);
    // A full buffer may be a truncated path: report none rather than a wrong one.
    if (size <= 0 || static_cast<size_t>(size) >= sizeof buffer)
        return std::nullopt;
    return QString::fromUtf8(buffer, size);
}

int ProcProcessTable::logicalCpuCount() const
{
    return static_cast<int>(std::max(::sysconf(_SC_NPROCESSORS_ONLN), 1L));
}
