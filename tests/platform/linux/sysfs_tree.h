#pragma once

#include "support/test_files.h"

#include <QTemporaryDir>

#include <map>

// A /sys tree in a temporary folder, its power supplies under
// class/power_supply.
class SysfsTree
{
public:
    QString root() const { return m_dir.path(); }
    // The supply's folder, with a trailing slash.
    QString supply(const QString &name) const
    {
        return m_dir.path() + QStringLiteral("/class/power_supply/") + name + QLatin1Char('/');
    }

    // Writes each attribute file as given; returns the supply's folder.
    QString addSupply(const QString &name, const std::map<QString, QByteArray> &attributes)
    {
        for (const auto &[attribute, content] : attributes)
            writeFile(supply(name) + attribute, content);
        return supply(name);
    }

private:
    QTemporaryDir m_dir;
};
