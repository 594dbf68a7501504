#include "platform/linux/proc_system_info.h"

#include <QStringList>

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

std::optional<double> parseLoadAverage1(const QString &text)
{
    bool ok = false;
    const double load = text.section(u' ', 0, 0, QString::SectionSkipEmpty).toDouble(&ok);
    if (!ok || !std::isfinite(load) || load < 0)
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
    return text ? parseLoadAverage1(QString::fromLatin1(*text)) : std::nullopt;
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
