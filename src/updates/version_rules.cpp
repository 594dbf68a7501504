#include "updates/version_rules.h"

#include "updates/version_manifest.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <limits>

namespace VersionRules {

QList<int> numericComponents(const QString &version)
{
    QString text = version.trimmed();
    if (text.toLower().startsWith(QLatin1Char('v')))
        text.remove(0, 1);

    QList<int> components;
    QString run;
    const auto flush = [&] {
        if (run.isEmpty())
            return;
        bool ok = false;
        const int value = run.toInt(&ok);
        if (ok)
            components.append(value);
        run.clear();
    };
    for (const QChar c : text) {
        // Only ASCII digits count: toInt would refuse other scripts' digits.
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            run.append(c);
        else
            flush();
    }
    flush();
    return components;
}

int channelRank(const QString &version)
{
    const QString lower = version.toLower();
    if (lower.contains(QLatin1String("experimental")))
        return 3;
    if (lower.contains(QLatin1String("beta")))
        return 2;
    if (lower.contains(QLatin1String("final")) || lower.contains(QLatin1String("stable")))
        return 1;
    return 0;
}

QString displayForm(const QString &version)
{
    QString text = version;
    text.replace(QLatin1String("-Experimental"), QLatin1String(" Experimental"));
    text.replace(QLatin1String("-Beta"), QLatin1String(" Beta"));
    text.replace(QLatin1String("-Final"), QLatin1String(" Final"));
    return text;
}

bool isNewer(const QString &candidate, const QString &current)
{
    if (candidate == current)
        return false;

    const QList<int> a = numericComponents(candidate);
    const QList<int> b = numericComponents(current);
    const qsizetype count = std::max(a.size(), b.size());
    for (qsizetype i = 0; i < count; ++i) {
        const int x = i < a.size() ? a[i] : 0;
        const int y = i < b.size() ? b[i] : 0;
        if (x != y)
            return x > y;
    }

    const int rankA = channelRank(candidate);
    const int rankB = channelRank(current);
    if (rankA != rankB)
        return rankA > rankB;

    // The last tie-break orders the texts themselves; a fixed locale keeps the
    // answer the same on every machine.
    QCollator collator{QLocale::c()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator.compare(candidate, current) > 0;
}

QString candidateVersion(const VersionInfo &info)
{
    return info.beta.value_or(info.latest);
}

} // namespace VersionRules
