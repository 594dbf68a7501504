#include "platform/linux/proc_system_info.h"

#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cmath>

std::optional<int> countCpuList(const QString &text)
{
    const QString list = text.trimmed();
    if (list.isEmpty())
        return std::nullopt;
    int count = 0;
    for (const QString &part : list.split(u',')) {
        const QStringList bounds = part.split(u'-');
        bool okFirst = false;
        bool okLast = true;
        const int first = bounds.value(0).toInt(&okFirst);
        const int last = bounds.size() == 2 ? bounds[1].toInt(&okLast) : first;
        if (bounds.size() > 2 || !okFirst || !okLast || first < 0 || last < first)
            return std::nullopt;
        count += last - first + 1;
    }
    return count;
}

// Read at every estimated poll, so parsed in place: from_chars is also the
// same in every locale, as /proc's decimal point is.
std::optional<double> parseLoadAverage1(QByteArrayView text)
{
    const char *begin = text.data();
    const char *const end = begin + text.size();
    begin = std::find_if_not(begin, end, [](char c) { return c == ' '; });
    const char *const fieldEnd = std::find_if(begin, end, [](char c) { return c == ' ' || c == '\n'; });
    double load = 0;
    const auto [parsedTo, error] = std::from_chars(begin, fieldEnd, load);
    if (error != std::errc() || parsedTo != fieldEnd || !std::isfinite(load) || load < 0)
        return std::nullopt;
    return load;
}

ProcSystemInfo::ProcSystemInfo(QString procRoot, QString sysDevicesRoot, SysfsFiles &files)
    : m_procRoot(std::move(procRoot))
    , m_sysDevicesRoot(std::move(sysDevicesRoot))
    , m_files(files)
{
}

std::optional<double> ProcSystemInfo::loadAverage1() const
{
    const std::optional<QByteArray> text = m_files.read(m_procRoot + QStringLiteral("/loadavg"));
    return text ? parseLoadAverage1(*text) : std::nullopt;
}

int ProcSystemInfo::logicalCpuCount() const
{
    return countListedCpus(QStringLiteral("system/cpu/online"));
}

int ProcSystemInfo::performanceCpuCount() const
{
    return countListedCpus(QStringLiteral("cpu_core/cpus"));
}

int ProcSystemInfo::efficiencyCpuCount() const
{
    return countListedCpus(QStringLiteral("cpu_atom/cpus"));
}

int ProcSystemInfo::countListedCpus(const QString &relativePath) const
{
    const std::optional<QByteArray> text = m_files.read(m_sysDevicesRoot + u'/' + relativePath);
    return text ? countCpuList(QString::fromLatin1(*text)).value_or(0) : 0;
}
