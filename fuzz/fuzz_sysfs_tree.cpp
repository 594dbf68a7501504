// A power_supply tree as drivers (or a recorded file) present it, through the
// registry, its three readers and the merge. The input is one attribute per
// line, "SUPPLY/attribute=value"; each value becomes a file that ends in a
// line feed, as the kernel writes them.

#include "fuzz_checks.h"
#include "platform/linux/sysfs_battery_registry.h"
#include "power/battery_merge.h"
#include "power/battery_registry_readers.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdint>

namespace {

constexpr int kMaxFiles = 64;

bool isPlainName(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_:.-]{1,64}$"));
    return name != QLatin1String(".") && name != QLatin1String("..") && plain.match(name).hasMatch();
}

void writeTree(const QString &supplies, const QByteArray &input)
{
    int files = 0;
    for (const QByteArray &line : input.split('\n')) {
        const qsizetype slash = line.indexOf('/');
        const qsizetype equals = line.indexOf('=', slash + 1);
        if (slash < 0 || equals < 0 || ++files > kMaxFiles)
            continue;
        const QString supply = QString::fromLatin1(line.left(slash));
        const QString attribute = QString::fromLatin1(line.mid(slash + 1, equals - slash - 1));
        if (!isPlainName(supply) || !isPlainName(attribute))
            continue;
        QDir(supplies).mkpath(supply);
        QFile file(supplies + QLatin1Char('/') + supply + QLatin1Char('/') + attribute);
        if (file.open(QIODevice::WriteOnly))
            file.write(line.mid(equals + 1) + '\n');
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QTemporaryDir root;
    const QString supplies = root.filePath(QStringLiteral("class/power_supply"));
    QDir(supplies).removeRecursively();
    QDir().mkpath(supplies);
    writeTree(supplies, QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));

    SysfsSmartBatteryRegistry registry(root.path());
    const std::optional<RegistryEntry> entry = registry.copySmartBatteryEntry();
    const QList<BatSourceReading> readings = {decodeSmartBattery(entry), decodeGauge(entry), decodeTelemetry(entry)};
    for (const BatSourceReading &reading : readings)
        requireSaneReading(reading);
    requireSaneSnapshot(mergeBatteryReadings(readings));
    return 0;
}
