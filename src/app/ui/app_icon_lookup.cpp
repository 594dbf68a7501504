#include "app/ui/app_icon_lookup.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QStandardPaths>

namespace {

// Processes are matched by the executable's file name; the kernel shortens
// process names to 15 characters, so names are also compared that way.
constexpr qsizetype kKernelCommLength = 15;

QString programOf(const QString &execLine)
{
    // Exec= may start with env assignments ("env FOO=1 prog %U").
    const QStringList words = execLine.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &word : words) {
        if (word == QLatin1String("env") || word.contains(QLatin1Char('=')))
            continue;
        QString program = word;
        program.remove(QLatin1Char('"'));
        return QFileInfo(program).fileName().toLower();
    }
    return {};
}

QStringList keysFor(const QString &name, const QString &path)
{
    QStringList keys;
    if (!path.isEmpty())
        keys.append(QFileInfo(path).fileName().toLower());
    if (!name.isEmpty())
        keys.append(name.toLower());
    return keys;
}

QIcon iconFromValue(const QString &value)
{
    if (QDir::isAbsolutePath(value))
        return QFileInfo::exists(value) ? QIcon(value) : QIcon();
    return QIcon::fromTheme(value);
}

} // namespace


AppIconLookup::AppIconLookup(QStringList applicationDirs)
    : m_applicationDirs(std::move(applicationDirs))
{
}

QIcon AppIconLookup::iconFor(const QString &name, const QString &path)
{
    const QString cacheKey = path.isEmpty() ? name : path;
    if (const auto cached = m_cache.constFind(cacheKey); cached != m_cache.constEnd())
        return *cached;

    QIcon icon;
    if (const auto iconName = desktopIconName(name, path))
        icon = iconFromValue(*iconName);
    if (icon.isNull()) {
        for (const QString &key : keysFor(name, path)) {
            icon = QIcon::fromTheme(key);
            if (!icon.isNull())
                break;
        }
    }
    if (icon.isNull())
        icon = genericAppIcon(name);
    m_cache.insert(cacheKey, icon);
    return icon;
}

std::optional<QString> AppIconLookup::desktopIconName(const QString &name, const QString &path)
{
    indexDesktopEntries();
    for (const QString &key : keysFor(name, path)) {
        if (const auto found = m_iconByKey.constFind(key); found != m_iconByKey.constEnd())
            return *found;
    }
    // A shortened process name matches the start of a longer program name.
    if (name.size() == kKernelCommLength) {
        const QString prefix = name.toLower();
        for (auto it = m_iconByKey.constBegin(); it != m_iconByKey.constEnd(); ++it) {
            if (it.key().startsWith(prefix))
                return it.value();
        }
    }
    return std::nullopt;
}

void AppIconLookup::indexDesktopEntries()
{
    if (m_indexed)
        return;
    m_indexed = true;
    // Earlier folders take precedence, as in the XDG lookup order.
    for (const QString &dir : m_applicationDirs) {
        QDirIterator entries(dir, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (entries.hasNext())
            indexEntry(entries.next());
    }
}

void AppIconLookup::indexEntry(const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QString icon, program, windowClass;
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            // Only [Desktop Entry]; actions have Exec lines of their own.
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMainGroup)
            continue;
        if (line.startsWith(QLatin1String("Icon=")))
            icon = line.mid(5).trimmed();
        else if (line.startsWith(QLatin1String("Exec=")))
            program = programOf(line.mid(5));
        else if (line.startsWith(QLatin1String("StartupWMClass=")))
            windowClass = line.mid(15).trimmed().toLower();
    }
    if (icon.isEmpty())
        return;
    const QString desktopId = QFileInfo(filePath).completeBaseName().toLower();
    for (const QString &key : {program, desktopId, windowClass}) {
        if (!key.isEmpty() && !m_iconByKey.contains(key))
            m_iconByKey.insert(key, icon);
    }
}

QIcon genericAppIcon(const QString &name)
{
    constexpr int kSide = 64; // px; scaled down to the row's 24 × 24
    QPixmap tile(kSide, kSide);
    tile.fill(Qt::transparent);
    QPainter painter(&tile);
    painter.setRenderHint(QPainter::Antialiasing);
    // A stable hash, so an app keeps its colour from run to run.
    unsigned hash = 0;
    for (const QChar c : name)
        hash = hash * 31 + c.unicode();
    const int hue = static_cast<int>(hash % 360);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(2, 2, kSide - 4, kSide - 4), 14, 14);
    painter.fillPath(shape, QColor::fromHsl(hue, 90, 88));
    QFont font;
    font.setPixelSize(34);
    font.setWeight(QFont::DemiBold);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const QString letter = name.isEmpty() ? QStringLiteral("?") : name.left(1).toUpper();
    painter.drawText(QRect(0, 0, kSide, kSide), Qt::AlignCenter, letter);
    painter.end();
    return QIcon(tile);
}
