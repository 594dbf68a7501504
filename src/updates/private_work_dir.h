#pragma once

#include <QString>

#include <optional>

// A folder only this user can enter, made under a fixed parent with a name no
// one can guess or claim in advance (mkdtemp: created fresh, mode 0700). The
// update's download, extraction and helper script live in one, so nothing
// another local user planted under a well-known name is ever opened or
// followed. Removed with its contents when dropped, unless handed over.
class PrivateWorkDir
{
public:
    // Absent when `parent` cannot be created or holds no room for the folder.
    static std::optional<PrivateWorkDir> create(const QString &parent);

    PrivateWorkDir(PrivateWorkDir &&other) noexcept;
    PrivateWorkDir &operator=(PrivateWorkDir &&) = delete;
    PrivateWorkDir(const PrivateWorkDir &) = delete;
    PrivateWorkDir &operator=(const PrivateWorkDir &) = delete;
    ~PrivateWorkDir();

    const QString &path() const { return m_path; }
    QString filePath(const QString &name) const { return m_path + QLatin1Char('/') + name; }

    // Leaves the folder in place for a process that outlives this one and
    // removes it when done.
    void handOver() { m_path.clear(); }

private:
    explicit PrivateWorkDir(QString path);

    QString m_path;
};
