#include "updates/update_files.h"

#include "platform/clock.h"
#include "platform/paths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

UpdateFiles UpdateFiles::standard()
{
    return {Paths::logsDir() + QStringLiteral("/update.log"),
            Paths::logsDir() + QStringLiteral("/update-result.txt"),
            Paths::cacheDir() + QStringLiteral("/update-staging"), Paths::cacheDir()};
}

UpdateFiles UpdateFiles::under(const QString &root)
{
    return {root + QStringLiteral("/logs/update.log"), root + QStringLiteral("/logs/update-result.txt"),
            root + QStringLiteral("/cache/update-staging"), root + QStringLiteral("/cache")};
}

QString UpdateFiles::stagedAppPath() const
{
    return stagingDir + QStringLiteral("/Pendra.app");
}

UpdateLog::UpdateLog(QString path, const Clock &clock)
    : m_path(std::move(path))
    , m_clock(clock)
{
}

void UpdateLog::append(const QString &message) const
{
    const auto millis = static_cast<qint64>(std::floor(m_clock.now() * 1000.0));
    const QString stamp = QDateTime::fromMSecsSinceEpoch(millis, Qt::UTC).toString(Qt::ISODate);
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write((QLatin1Char('[') + stamp + QStringLiteral("] ") + message + QLatin1Char('\n')).toUtf8());
}

std::optional<QString> previousResultMessage(const QString &resultFileText)
{
    const QString line = resultFileText.trimmed();
    if (line.isEmpty())
        return std::nullopt;
    const qsizetype bar = line.indexOf(QLatin1Char('|'));
    const QString status = bar < 0 ? line : line.left(bar);
    if (status == QLatin1String("ok"))
        return std::nullopt;
    const QString message = bar < 0 ? QString() : line.mid(bar + 1);
    // "fail|" with no reason would make an alert that explains nothing.
    if (message.isEmpty())
        return QStringLiteral("The update helper did not finish successfully.");
    return message;
}

std::optional<QString> takePreviousResult(const QString &resultPath)
{
    QFile file(resultPath);
    QString text;
    if (file.open(QIODevice::ReadOnly))
        text = QString::fromUtf8(file.readAll());
    file.close();
    QFile::remove(resultPath);
    return previousResultMessage(text);
}
