// The settings file, which the user (or another program) may have edited.

#include "fuzz_checks.h"
#include "platform/defaults.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QTemporaryDir folder;
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString path = folder.filePath(QStringLiteral("defaults.json"));
    QFile file(path);
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
            "the fuzz input is written");
    file.close();

    const QJsonObject object = QJsonDocument::fromJson(bytes).object();
    {
        Defaults defaults(path);
        for (const QString &key : object.keys()) {
            require(defaults.contains(key), "every key of a readable file is kept");
            defaults.boolValue(key);
            defaults.intValue(key);
            defaults.doubleValue(key);
            defaults.stringValue(key);
            defaults.dateValue(key);
        }
        defaults.setInt(QStringLiteral("pendrapro.fuzz.written"), 1);
    }
    const Defaults reread(path);
    for (const QString &key : object.keys())
        require(reread.contains(key), "a write keeps every other key");

    // A corrupt file was moved aside; start the next input from an empty folder.
    QDir(folder.path()).removeRecursively();
    QDir().mkpath(folder.path());
    return 0;
}
