#include "platform/linux/xdg_autostart_login_item.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

const QString kGroup = QStringLiteral("[Desktop Entry]");

// The value of `key` in the entry's main group; absent when not there.
std::optional<QString> entryValue(const QByteArray &contents, QLatin1String key)
{
    bool inMainGroup = false;
    for (const QByteArray &rawLine : contents.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == kGroup;
            continue;
        }
        if (!inMainGroup || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && QStringView(line).left(equals).trimmed() == key)
            return line.mid(equals + 1).trimmed();
    }
    return std::nullopt;
}

} // namespace

XdgAutostartLoginItem::XdgAutostartLoginItem(QString autostartDir, QString desktopId, QString executablePath)
    : m_autostartDir(std::move(autostartDir))
    , m_entryPath(m_autostartDir + QLatin1Char('/') + desktopId + QStringLiteral(".desktop"))
    , m_executablePath(std::move(executablePath))
{
}

bool XdgAutostartLoginItem::isEnabled() const
{
    QFile file(m_entryPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray contents = file.readAll();
    return entryValue(contents, QLatin1String("Hidden")) != QLatin1String("true")
        && entryValue(contents, QLatin1String("X-GNOME-Autostart-enabled")) != QLatin1String("false");
}

std::optional<QString> XdgAutostartLoginItem::registerItem()
{
    return writeEntry(true);
}

std::optional<QString> XdgAutostartLoginItem::unregisterItem()
{
    return writeEntry(false);
}

std::optional<QString> XdgAutostartLoginItem::writeEntry(bool enabled)
{
    const std::optional<QString> exec = desktopExecArgument(m_executablePath);
    if (!exec)
        return QStringLiteral("the program path %1 cannot be written into a desktop entry").arg(m_executablePath);
    if (!QDir().mkpath(m_autostartDir))
        return QStringLiteral("cannot create the folder %1").arg(m_autostartDir);

    const QString flag = enabled ? QStringLiteral("true") : QStringLiteral("false");
    const QString hidden = enabled ? QStringLiteral("false") : QStringLiteral("true");
    const QString entry = kGroup + QStringLiteral("\n"
                                                  "Type=Application\n"
                                                  "Name=Pendra Pro\n"
                                                  "Comment=Battery level, time left and power draw in the status area\n"
                                                  "Exec=%1\n"
                                                  "Icon=com.marblewickhq.pendrapro\n"
                                                  "Terminal=false\n"
                                                  "Hidden=%2\n"
                                                  "X-GNOME-Autostart-enabled=%3\n")
                                                  .arg(*exec, hidden, flag);

    QSaveFile file(m_entryPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(entry.toUtf8()) < 0 || !file.commit())
        return file.errorString();
    return std::nullopt;
}

std::optional<QString> desktopExecArgument(const QString &path)
{
    if (path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r')))
        return std::nullopt;

    static const QString reserved = QStringLiteral(" \t\"'\\><~|&;$*?#()`");
    bool needsQuotes = path.isEmpty();
    QString quoted;
    for (const QChar c : path) {
        if (reserved.contains(c))
            needsQuotes = true;
        // Inside quotes these four are escaped with a backslash.
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        // A lone % would start a field code.
        if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    QString argument = needsQuotes ? QLatin1Char('"') + quoted + QLatin1Char('"') : quoted;
    // The whole value is a string value as well, whose own escape for a
    // backslash is a second backslash.
    argument.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return argument;
}
