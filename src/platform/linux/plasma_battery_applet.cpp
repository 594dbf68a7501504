#include "platform/linux/plasma_battery_applet.h"

#include <QDBusMessage>

namespace {

// The shell answers in milliseconds; the limit only guards against a hung one.
constexpr int kCallTimeLimitMs = 5000;

constexpr int kShown = 18;
constexpr int kHidden = 8;

// Every tray, in panels and on desktops, keeps its entries in an inner
// containment of its own. Lists come back as comma-separated text from the
// shell's configuration, as arrays where it knows their type.
const char *const kPrelude = R"JS(
const battery = "org.kde.plasma.battery";
function listOf(value) {
    if (Array.isArray(value)) return value.map(String);
    return value ? String(value).split(",").filter(entry => entry.length > 0) : [];
}
function trays() {
    const found = [];
    for (const holder of panels().concat(desktops())) {
        for (const tray of holder.widgets("org.kde.plasma.systemtray")) {
            const inner = desktopById(Number(tray.readConfig("SystrayContainmentId")));
            if (inner) {
                inner.currentConfigGroup = ["General"];
                found.push(inner);
            }
        }
    }
    return found;
}
)JS";

const char *const kRead = R"JS(
const first = trays()[0];
if (first) {
    if (listOf(first.readConfig("hiddenItems")).includes(battery)) print("hidden");
    else if (listOf(first.readConfig("shownItems")).includes(battery)) print("shown");
    else print("auto");
}
)JS";

// The watchdog asks again and again; a tray already as asked is not written
// (the shell would save its configuration file each time).
const char *const kPlace = R"JS(
for (const tray of trays()) {
    const hiddenBefore = listOf(tray.readConfig("hiddenItems"));
    const shownBefore = listOf(tray.readConfig("shownItems"));
    const hidden = hiddenBefore.filter(entry => entry !== battery);
    const shown = shownBefore.filter(entry => entry !== battery);
    if (placement === "hidden") hidden.push(battery);
    if (placement === "shown") shown.push(battery);
    if (hidden.join(",") === hiddenBefore.join(",") && shown.join(",") === shownBefore.join(",")) continue;
    tray.writeConfig("hiddenItems", hidden);
    tray.writeConfig("shownItems", shown);
    tray.reloadConfig();
}
)JS";

} // namespace

PlasmaBatteryApplet::PlasmaBatteryApplet(const QDBusConnection &bus)
    : m_bus(bus)
{
}

QString PlasmaBatteryApplet::readScript()
{
    return QString::fromUtf8(kPrelude) + QString::fromUtf8(kRead);
}

QString PlasmaBatteryApplet::placeScript(const QString &placement)
{
    return QStringLiteral("const placement = \"%1\";\n").arg(placement) + QString::fromUtf8(kPrelude)
           + QString::fromUtf8(kPlace);
}

std::optional<int> PlasmaBatteryApplet::readBatteryMenuValue()
{
    const std::optional<QString> answer = evaluate(readScript());
    if (!answer)
        return std::nullopt;
    const QString placement = answer->trimmed();
    if (placement == QLatin1String("hidden"))
        return kHidden;
    if (placement == QLatin1String("shown"))
        return kAlwaysShown;
    if (placement == QLatin1String("auto"))
        return kShown;
    return std::nullopt;
}

void PlasmaBatteryApplet::hide()
{
    evaluate(placeScript(QStringLiteral("hidden")));
}

void PlasmaBatteryApplet::show(int displayValue)
{
    evaluate(placeScript(displayValue == kAlwaysShown ? QStringLiteral("shown") : QStringLiteral("auto")));
}

std::optional<QString> PlasmaBatteryApplet::evaluate(const QString &script)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.kde.plasmashell"),
                                                       QStringLiteral("/PlasmaShell"),
                                                       QStringLiteral("org.kde.PlasmaShell"),
                                                       QStringLiteral("evaluateScript"));
    call.setArguments({script});
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, kCallTimeLimitMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return reply.arguments().constFirst().toString();
}
