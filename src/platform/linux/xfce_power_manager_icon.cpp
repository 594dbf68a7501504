#include "platform/linux/xfce_power_manager_icon.h"

#include "platform/tool_runner.h"

#include <chrono>

namespace {

using namespace std::chrono_literals;

// xfconfd answers in milliseconds; the limit only guards against a hung one.
constexpr auto kToolTimeLimit = 5s;

const QString kTool = QStringLiteral("xfconf-query");

constexpr int kShown = 18;
constexpr int kHidden = 8;

QStringList property(QStringList more)
{
    return QStringList{QStringLiteral("-c"), QStringLiteral("xfce4-power-manager"), QStringLiteral("-p"),
                       QStringLiteral("/xfce4-power-manager/show-tray-icon")}
           + more;
}

} // namespace

XfcePowerManagerIcon::XfcePowerManagerIcon(ToolRunner &tools)
    : m_tools(tools)
{
}

std::optional<int> XfcePowerManagerIcon::readBatteryMenuValue()
{
    // An unset property fails with the reason on standard error only.
    const std::optional<QString> output = m_tools.run(kTool, property({}), kToolTimeLimit);
    if (!output)
        return std::nullopt;
    const QString value = output->trimmed();
    if (value.isEmpty())
        return kUnset;
    if (value == QLatin1String("true"))
        return kShown;
    if (value == QLatin1String("false"))
        return kHidden;
    return std::nullopt;
}

void XfcePowerManagerIcon::hide()
{
    write(false);
}

void XfcePowerManagerIcon::show(int displayValue)
{
    if (displayValue == kUnset)
        m_tools.run(kTool, property({QStringLiteral("-r")}), kToolTimeLimit);
    else
        write(true);
}

void XfcePowerManagerIcon::write(bool shown)
{
    m_tools.run(kTool,
                property({QStringLiteral("-n"), QStringLiteral("-t"), QStringLiteral("bool"), QStringLiteral("-s"),
                          shown ? QStringLiteral("true") : QStringLiteral("false")}),
                kToolTimeLimit);
}
