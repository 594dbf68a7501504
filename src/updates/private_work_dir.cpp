#include "updates/private_work_dir.h"

#include <QDir>
#include <QFile>

#include <cstdlib>

std::optional<PrivateWorkDir> PrivateWorkDir::create(const QString &parent)
{
    QDir().mkpath(parent);
    QByteArray pattern = QFile::encodeName(parent + QStringLiteral("/pendra-update-XXXXXX"));
    if (!::mkdtemp(pattern.data()))
        return std::nullopt;
    return PrivateWorkDir(QFile::decodeName(pattern));
}

PrivateWorkDir::PrivateWorkDir(QString path)
    : m_path(std::move(path))
{
}

PrivateWorkDir::PrivateWorkDir(PrivateWorkDir &&other) noexcept
    : m_path(std::move(other.m_path))
{
    other.m_path.clear();
}

PrivateWorkDir::~PrivateWorkDir()
{
    // Removes links themselves, never what they point to.
    if (!m_path.isEmpty())
        QDir(m_path).removeRecursively();
}
