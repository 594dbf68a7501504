#pragma once

#include <QString>

class Defaults;
class LoginItem;

// Starting the app at login. The login item owns the truth; the setting
// "pendrapro.launchAtLogin" only mirrors it for the preferences window.
namespace LaunchAtLoginHelper {

inline const QString kSettingKey = QStringLiteral("pendrapro.launchAtLogin");

bool isEnabled(const LoginItem &item);
// Registers or unregisters the item when it is not already in the wanted
// state. A failure is written to standard error as one line,
// "Pendra LaunchAtLogin: <reason>", and otherwise ignored.
void setEnabled(LoginItem &item, bool on);
// Mirrors the item's state into the setting; run at launch.
void syncSetting(const LoginItem &item, Defaults &defaults);
// The preferences switch: stores the wanted value, then applies it. Whoever
// shows the switch reads `isEnabled` again, so a refused change shows as off.
void switchChanged(LoginItem &item, Defaults &defaults, bool on);

} // namespace LaunchAtLoginHelper
