#include "app/shell/command_line.h"

namespace CommandLine {

namespace {

const QByteArray kHelp =
    "Usage: pendrapro [OPTION]\n"
    "Shows the battery level, the time left and the power draw in the system tray.\n"
    "A second start brings the running copy's dashboard forward.\n"
    "\n"
    "  -h, --help     display this help and exit\n"
    "      --version  output version information and exit\n"
    "\n"
    "Settings are kept in ~/.config/Pendra/defaults.json, the drain log in\n"
    "~/.local/share/Pendra/drain.jsonl. pendrapro-probe prints what the app reads\n"
    "from this machine; attach its --json output when reporting a wrong reading.\n";

} // namespace

std::optional<QByteArray> informationFor(const QStringList &arguments, const QString &version)
{
    for (const QString &argument : arguments.mid(1)) {
        // Whatever follows "--" is an operand, not an option.
        if (argument == QLatin1String("--"))
            break;
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return kHelp;
        if (argument == QLatin1String("--version"))
            return "pendrapro " + version.toUtf8() + '\n';
    }
    return std::nullopt;
}

} // namespace CommandLine
