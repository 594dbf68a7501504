#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <optional>

class SysfsFiles;

// Raw texts of one power_supply device's attributes, by attribute name
// ("status", "voltage_now", …). Units are the kernel's: µV, µA, µW, µAh,
// µWh, seconds.
using PowerSupplyAttributes = QHash<QString, QByteArray>;

// The attribute's value as the kernel prints it, from an int; anything else
// (an empty file, trailing garbage, a number beyond int) is no value.
std::optional<qint64> integerAttribute(const PowerSupplyAttributes &attributes, const QString &name);
// `preferred`, or `fallback` when that has no value.
std::optional<qint64> firstIntegerAttribute(const PowerSupplyAttributes &attributes, const QString &preferred,
                                            const QString &fallback);

// `<sysRoot>/class/power_supply/`, where `sysRoot` stands for /sys.
QString powerSupplyDirectory(const QString &sysRoot);

// The supplies that power this machine, by supply name. The battery reading
// and the charge control both take these batteries, so they always describe
// the same packs.
struct PowerSupplies
{
    QStringList batteries; // every system battery, sorted by name; empty when there is none
    QStringList externalSupplies; // Mains and USB supplies that are not device-scoped
    // Moves on whenever a supply was bound or unbound since the last call:
    // what a reader keeps about a supply (its attribute files) holds until then.
    quint64 listingGeneration = 0;
};

// Finds the supplies under `supplyDirectory` (as powerSupplyDirectory() gives
// it) afresh at every call, for a pack may come or go at any time. Asked
// every few seconds on battery, it reads a supply's type and scope only when
// the supply first shows up: they never change while it stays bound, and
// any change to the listing (a supply bound or unbound) reads them all again.
// Presence, which an empty bay changes in place, is read every time.
// Callable from any thread.
class PowerSupplyDiscovery
{
public:
    PowerSupplyDiscovery(SysfsFiles &files, QString supplyDirectory);

    PowerSupplies discover();

private:
    struct Kind
    {
        QByteArray type;
        QByteArray scope;
    };
    Kind kindOf(const QString &name);

    SysfsFiles &m_files;
    const QString m_supplyDirectory;
    QMutex m_mutex;
    QStringList m_listed;
    quint64 m_listingGeneration = 0;
    QHash<QString, Kind> m_kinds;
};
