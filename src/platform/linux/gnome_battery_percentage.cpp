#include "platform/linux/gnome_battery_percentage.h"

#include "platform/tool_runner.h"

#include <chrono>

namespace {

using namespace std::chrono_literals;

// gsettings answers in milliseconds; the limit only guards against a hung
// settings daemon.
constexpr auto kToolTimeLimit = 5s;

const QString kTool = QStringLiteral("gsettings");
const QString kSchema = QStringLiteral("org.gnome.desktop.interface");
const QString kKey = QStringLiteral("show-battery-percentage");

constexpr int kShown = 18;
constexpr int kHidden = 8;

} // namespace

GnomeBatteryPercentage::GnomeBatteryPercentage(ToolRunner &tools)
    : m_tools(tools)
{
}

std::optional<int> GnomeBatteryPercentage::readBatteryMenuValue()
{
    // A missing schema prints nothing on standard output and fails.
    const std::optional<QString> output = m_tools.run(kTool, {QStringLiteral("get"), kSchema, kKey}, kToolTimeLimit);
    if (!output)
        return std::nullopt;
    const QString value = output->trimmed();
    if (value == QLatin1String("true"))
        return kShown;
    if (value == QLatin1String("false"))
        return kHidden;
    return std::nullopt;
}

void GnomeBatteryPercentage::hide()
{
    write(false);
}

void GnomeBatteryPercentage::show(int)
{
    // The percentage has a single shown style.
    write(true);
}

void GnomeBatteryPercentage::putBackHidden()
{
    m_tools.run(kTool, {QStringLiteral("reset"), kSchema, kKey}, kToolTimeLimit);
}

void GnomeBatteryPercentage::write(bool shown)
{
    m_tools.run(kTool, {QStringLiteral("set"), kSchema, kKey, shown ? QStringLiteral("true") : QStringLiteral("false")},
                kToolTimeLimit);
}
