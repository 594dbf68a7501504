#pragma once

#include "platform/system_battery_item.h"

#include <QDBusConnection>
#include <QString>

// Plasma's battery indicator: the Battery and Brightness applet in the
// system tray, hidden by listing it in the tray's hiddenItems. Read and
// changed through plasmashell's scripting call (org.kde.PlasmaShell
// evaluateScript), which writes the tray's own configuration and reloads it,
// so the panel follows at once without a restart; editing the file would
// need the shell restarted and race its own writes. Only the applet's own
// entry changes: the user's other hidden and shown entries stay. Its three
// states are 18 (the tray's default: shown when it has something to say),
// 19 (always shown, in shownItems) and 8 (hidden, in hiddenItems).
class PlasmaBatteryApplet final : public SystemBatteryItem
{
public:
    static constexpr int kAlwaysShown = 19;

    explicit PlasmaBatteryApplet(const QDBusConnection &bus);

    SystemBatterySwitch kind() const override { return SystemBatterySwitch::plasmaBatteryApplet; }
    std::optional<int> readBatteryMenuValue() override;
    void hide() override;
    void show(int displayValue) override;
    // A hidden applet is already as the user left it.
    void putBackHidden() override {}
    void restartAgents() override {}

    // The scripts sent to the shell, for a look at what they do.
    static QString readScript();
    // `placement`: "hidden", "shown" or "auto".
    static QString placeScript(const QString &placement);

private:
    std::optional<QString> evaluate(const QString &script);

    QDBusConnection m_bus;
};
