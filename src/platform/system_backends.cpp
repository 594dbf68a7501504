#include "platform/system_backends.h"

#include "platform/linux/sysfs_battery_registry.h"
#include "platform/linux/upower_power_sources.h"

PowerSourceList &systemPowerSources()
{
    static UPowerPowerSources sources;
    return sources;
}

SmartBatteryRegistry &systemSmartBatteryRegistry()
{
    static SysfsSmartBatteryRegistry registry(QStringLiteral("/sys"));
    return registry;
}

std::unique_ptr<SmartBatteryRegistry> makeSmartBatteryRegistry(const QString &sysRoot)
{
    return std::make_unique<SysfsSmartBatteryRegistry>(sysRoot);
}

#include "platform/linux/fallback_keychain.h"
#include "platform/linux/secret_service_keychain.h"
#include "platform/linux/secrets_file_keychain.h"

std::unique_ptr<Keychain> makeSystemKeychain(const QString &secretsFolder)
{
    return std::make_unique<FallbackKeychain>(std::make_unique<SecretServiceKeychain>(),
                                              std::make_unique<SecretsFileKeychain>(secretsFolder));
}
