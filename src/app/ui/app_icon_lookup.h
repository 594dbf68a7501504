#pragma once

#include <QHash>
#include <QIcon>
#include <QString>
#include <QStringList>

#include <optional>

// The icon of a running process: the icon of the application whose desktop
// entry starts that executable (matched by Exec program, desktop id or
// StartupWMClass), else a theme icon named like the process, else a generic
// tile with the name's first letter. Results are cached per process, and the
// desktop entries are read once, on the first lookup. Main thread only.
class AppIconLookup
{
public:

    explicit AppIconLookup(QStringList applicationDirs);

    // `path` may be empty (the sampler resolves it only in fast mode).
    QIcon iconFor(const QString &name, const QString &path);

    // The Icon= value of the entry that matches the process, if any.
    std::optional<QString> desktopIconName(const QString &name, const QString &path);

private:
    void indexDesktopEntries();
    void indexEntry(const QString &filePath);

    QStringList m_applicationDirs;
    bool m_indexed = false;
    QHash<QString, QString> m_iconByKey; // lower-case program, id or window class → Icon=
    QHash<QString, QIcon> m_cache;
};

// A rounded tile in a colour picked from the name, with its first letter.
QIcon genericAppIcon(const QString &name);
