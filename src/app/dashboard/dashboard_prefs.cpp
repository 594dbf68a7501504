#include "app/dashboard/dashboard_prefs.h"

#include "app/core/notification_center.h"
#include "platform/defaults.h"

using Flag = DashboardPrefs::Flag;
using Density = DashboardPrefs::Density;
using CardWidth = DashboardPrefs::CardWidth;

namespace {

struct FlagInfo
{
    const char *suffix;
    bool defaultOn;
};

// In the order of the Flag enumeration.
constexpr FlagInfo kFlagInfo[DashboardPrefs::kFlagCount] = {
    {"fauxMenubar", true}, {"pill", true},      {"packageLine", true},   {"largePercent", true},
    {"powerSource", true}, {"energyMode", true}, {"appsRow", true},      {"whyRow", true},
    {"sparkline", false},  {"topApps", false},   {"whyDetail", false},   {"health", false},
    {"timeRemaining", false}, {"powerDistribution", true}, {"history", false},
};

const QString kDensityKey = DashboardPrefs::kKeyPrefix + QStringLiteral("density");
const QString kWidthKey = DashboardPrefs::kKeyPrefix + QStringLiteral("width");
const QString kCornerKey = DashboardPrefs::kKeyPrefix + QStringLiteral("corner");

QString flagKey(int index)
{
    return DashboardPrefs::kKeyPrefix + QLatin1String(kFlagInfo[index].suffix);
}

template <typename Enum, size_t N>
std::optional<Enum> fromRaw(const Enum (&all)[N], const QString &raw)
{
    for (Enum value : all) {
        if (rawValue(value) == raw)
            return value;
    }
    return std::nullopt;
}

// The presets' flags, in the order of the Flag enumeration.
//                                      faux  pill  pkg   large src   energy apps  why   spark list  whyD  health time  dist  hist
constexpr DashboardPrefs::Flags kStandard{true, true, true, true, true, true, true, true, false, false, false, false,
                                          false, true, false};
constexpr DashboardPrefs::Flags kMinimal{false, false, true, true, false, false, false, true, false, false, false,
                                         false, true, true, false};
constexpr DashboardPrefs::Flags kFull{true, true, true, true, true, true, true, true, true, true, true, true, true,
                                      true, true};

// What "Detailed" and the first-run seeding turn on and off.
constexpr Flag kChartsAndDetails[] = {Flag::sparkline, Flag::topAppsList, Flag::whyDetail, Flag::timeRemaining};
constexpr Flag kChrome[] = {Flag::fauxMenubar, Flag::pendraPill};

} // namespace

QString keySuffix(Flag flag)
{
    return QLatin1String(kFlagInfo[static_cast<int>(flag)].suffix);
}

bool defaultValue(Flag flag)
{
    return kFlagInfo[static_cast<int>(flag)].defaultOn;
}

QString rawValue(Density density)
{
    switch (density) {
    case Density::compact:
        return QStringLiteral("compact");
    case Density::comfortable:
        return QStringLiteral("comfortable");
    case Density::roomy:
        return QStringLiteral("roomy");
    }
    return {};
}

QString displayLabel(Density density)
{
    const QString raw = rawValue(density);
    return raw.left(1).toUpper() + raw.mid(1);
}

QString rawValue(CardWidth width)
{
    switch (width) {
    case CardWidth::narrow:
        return QStringLiteral("narrow");
    case CardWidth::regular:
        return QStringLiteral("regular");
    case CardWidth::wide:
        return QStringLiteral("wide");
    }
    return {};
}

QString displayLabel(CardWidth width)
{
    const QString raw = rawValue(width);
    return raw.left(1).toUpper() + raw.mid(1);
}

int windowWidth(CardWidth width)
{
    switch (width) {
    case CardWidth::narrow:
        return 360;
    case CardWidth::regular:
        return 440;
    case CardWidth::wide:
        return 520;
    }
    return 440;
}

DashboardPrefs::Preset DashboardPrefs::preset(const QString &name)
{
    if (name == QStringLiteral("minimal"))
        return {kMinimal, Density::compact, CardWidth::narrow, std::nullopt};
    if (name == QStringLiteral("full"))
        return {kFull, Density::roomy, CardWidth::wide, std::nullopt};
    return {kStandard, Density::comfortable, CardWidth::regular, kDefaultCornerRadius};
}

DashboardPrefs::DashboardPrefs(Defaults &defaults, NotificationCenter &center, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_center(center)
{
    load();
}

void DashboardPrefs::load()
{
    for (int i = 0; i < kFlagCount; ++i)
        m_flags[i] = m_defaults.boolValue(flagKey(i)).value_or(kFlagInfo[i].defaultOn);
    if (const std::optional<QString> raw = m_defaults.stringValue(kDensityKey))
        m_density = fromRaw(kAllDensities, *raw).value_or(Density::comfortable);
    if (const std::optional<QString> raw = m_defaults.stringValue(kWidthKey))
        m_width = fromRaw(kAllCardWidths, *raw).value_or(CardWidth::regular);
    const std::optional<double> corner = m_defaults.doubleValue(kCornerKey);
    m_cornerRadius = corner && *corner >= kMinCornerRadius ? *corner : kDefaultCornerRadius;
}

void DashboardPrefs::save()
{
    for (int i = 0; i < kFlagCount; ++i)
        m_defaults.setBool(flagKey(i), m_flags[i]);
    m_defaults.setString(kDensityKey, rawValue(m_density));
    m_defaults.setString(kWidthKey, rawValue(m_width));
    m_defaults.setDouble(kCornerKey, m_cornerRadius);
    emit changed();
    m_center.post(AppNotification::dashboardPrefsChanged);
}

void DashboardPrefs::setFlag(Flag flag, bool on)
{
    bool &value = m_flags[static_cast<size_t>(flag)];
    if (value == on)
        return;
    value = on;
    save();
}

void DashboardPrefs::setDensity(Density density)
{
    if (density == m_density)
        return;
    m_density = density;
    save();
}

void DashboardPrefs::setWidth(CardWidth width)
{
    if (width == m_width)
        return;
    m_width = width;
    save();
}

void DashboardPrefs::apply(const Preset &preset)
{
    m_flags = preset.flags;
    m_density = preset.density;
    m_width = preset.width;
    if (preset.cornerRadius)
        m_cornerRadius = *preset.cornerRadius;
    save();
}

void DashboardPrefs::applyPreset(const QString &name)
{
    apply(preset(name));
}

void DashboardPrefs::applyDetailed()
{
    applyPreset(QStringLiteral("standard"));
    for (Flag flag : kChartsAndDetails)
        m_flags[static_cast<size_t>(flag)] = true;
    for (Flag flag : kChrome)
        m_flags[static_cast<size_t>(flag)] = false;
    m_density = Density::comfortable;
    m_width = CardWidth::regular;
    save();
}

void DashboardPrefs::seedOnce()
{
    if (m_defaults.boolValue(kSeededKey).value_or(false))
        return;
    for (Flag flag : kChartsAndDetails)
        m_flags[static_cast<size_t>(flag)] = true;
    for (Flag flag : kChrome)
        m_flags[static_cast<size_t>(flag)] = false;
    save();
    m_defaults.setBool(kSeededKey, true);
}
