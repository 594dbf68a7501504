#pragma once

#include "platform/login_items.h"

#include <QByteArray>

// The login item as an XDG autostart entry, `<autostart folder>/<desktop
// id>.desktop`, that runs the installed app by its absolute path. Missing,
// `Hidden=true` or `X-GNOME-Autostart-enabled=false` all mean disabled.
// Disabling rewrites the entry with `Hidden=true` rather than deleting it, so
// that it also masks a system-wide entry of the same name. Every write
// replaces the file atomically.
class XdgAutostartLoginItem final : public LoginItem
{
public:
    XdgAutostartLoginItem(QString autostartDir, QString desktopId, QString executablePath);

    const QString &entryPath() const { return m_entryPath; }

    bool isEnabled() const override;
    std::optional<QString> registerItem() override;
    std::optional<QString> unregisterItem() override;

private:
    std::optional<QString> writeEntry(bool enabled);

    QString m_autostartDir;
    QString m_entryPath;
    QString m_executablePath;
};

// `path` as one argument of a desktop entry's Exec value, quoted and escaped
// as desktop entries require; absent when it cannot be
// expressed (a line break).
std::optional<QString> desktopExecArgument(const QString &path);
