#include "platform/linux/lxqt_power_management_icon.h"

#include <QSettings>

namespace {

const QString kKey = QStringLiteral("showIcon");

constexpr int kShown = 18;
constexpr int kHidden = 8;

} // namespace

LxqtPowerManagementIcon::LxqtPowerManagementIcon(const QString &configHome)
    : m_file(configHome + QStringLiteral("/lxqt/lxqt-powermanagement.conf"))
{
}

std::optional<int> LxqtPowerManagementIcon::readBatteryMenuValue()
{
    const QSettings settings(m_file, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return std::nullopt;
    if (!settings.contains(kKey))
        return kUnset;
    const QString value = settings.value(kKey).toString();
    if (value == QLatin1String("true"))
        return kShown;
    if (value == QLatin1String("false"))
        return kHidden;
    return std::nullopt;
}

void LxqtPowerManagementIcon::hide()
{
    QSettings settings(m_file, QSettings::IniFormat);
    settings.setValue(kKey, false);
}

void LxqtPowerManagementIcon::show(int displayValue)
{
    QSettings settings(m_file, QSettings::IniFormat);
    if (displayValue == kUnset)
        settings.remove(kKey);
    else
        settings.setValue(kKey, true);
}
