#include "integration/launch_at_login_helper.h"

#include "platform/defaults.h"
#include "platform/login_items.h"

#include <cstdio>

namespace LaunchAtLoginHelper {

bool isEnabled(const LoginItem &item)
{
    return item.isEnabled();
}

void setEnabled(LoginItem &item, bool on)
{
    if (on == item.isEnabled())
        return;
    const std::optional<QString> error = on ? item.registerItem() : item.unregisterItem();
    // The app's one log line; it goes straight to standard error so that no
    // message handler or logging rule can swallow it.
    if (error)
        std::fprintf(stderr, "Pendra LaunchAtLogin: %s\n", qUtf8Printable(*error));
}

void syncSetting(const LoginItem &item, Defaults &defaults)
{
    defaults.setBool(kSettingKey, item.isEnabled());
}

void switchChanged(LoginItem &item, Defaults &defaults, bool on)
{
    defaults.setBool(kSettingKey, on);
    setEnabled(item, on);
}

} // namespace LaunchAtLoginHelper
