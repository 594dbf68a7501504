#include "platform/platform_texts.h"

#include <QFile>

namespace PlatformTexts {

namespace {

QByteArray readSmall(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(4096);
}

} // namespace

bool detectMac(const QString &sysRoot, const QString &procRoot)
{
    if (readSmall(sysRoot + QStringLiteral("/class/dmi/id/sys_vendor")).trimmed() == "Apple Inc.")
        return true;
    // NUL-separated list, most specific first.
    return readSmall(procRoot + QStringLiteral("/device-tree/compatible")).startsWith("apple,");
}

bool runningOnMac()
{
    static const bool isMac = detectMac(QStringLiteral("/sys"), QStringLiteral("/proc"));
    return isMac;
}

QString onMachine(const QString &productText, bool isMac)
{
    for (const Mapping &mapping : kMappings) {
        if (productText == QStringView(mapping.productText))
            return mapping.keptOnMac && isMac ? productText : QString::fromUtf16(mapping.linuxText);
    }
    return productText;
}

} // namespace PlatformTexts
