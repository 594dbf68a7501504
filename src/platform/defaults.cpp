#include "platform/defaults.h"

#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

#include <cmath>

namespace {

// Dates are tagged objects so that a date never reads back as a string.
constexpr auto kDateTag = "$date";

} // namespace

Defaults &Defaults::standard()
{
    static Defaults defaults(Paths::configDir() + QStringLiteral("/defaults.json"));
    return defaults;
}

Defaults::Defaults(QString filePath)
    : m_filePath(std::move(filePath))
{
    load();
}

void Defaults::load()
{
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    file.close();

    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error == QJsonParseError::NoError && document.isObject()) {
        m_values = document.object();
        return;
    }
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QFile::rename(m_filePath, m_filePath + QStringLiteral(".corrupt-") + stamp);
}

bool Defaults::contains(const QString &key) const
{
    return m_values.contains(key);
}

std::optional<bool> Defaults::boolValue(const QString &key) const
{
    const QJsonValue value = m_values.value(key);
    if (!value.isBool())
        return std::nullopt;
    return value.toBool();
}

std::optional<long long> Defaults::intValue(const QString &key) const
{
    const QJsonValue value = m_values.value(key);
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number != std::trunc(number) || std::fabs(number) > 9.0e15)
        return std::nullopt;
    return static_cast<long long>(number);
}

std::optional<double> Defaults::doubleValue(const QString &key) const
{
    const QJsonValue value = m_values.value(key);
    if (!value.isDouble())
        return std::nullopt;
    return value.toDouble();
}

std::optional<QString> Defaults::stringValue(const QString &key) const
{
    const QJsonValue value = m_values.value(key);
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<QDateTime> Defaults::dateValue(const QString &key) const
{
    const QJsonValue value = m_values.value(key);
    if (!value.isObject())
        return std::nullopt;
    const QJsonValue tagged = value.toObject().value(QLatin1String(kDateTag));
    if (!tagged.isString())
        return std::nullopt;
    const QDateTime date = QDateTime::fromString(tagged.toString(), Qt::ISODateWithMs);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

void Defaults::setBool(const QString &key, bool value) { store(key, value); }
void Defaults::setInt(const QString &key, long long value) { store(key, static_cast<double>(value)); }
void Defaults::setString(const QString &key, const QString &value) { store(key, value); }

void Defaults::setDouble(const QString &key, double value)
{
    // JSON has no NaN or infinity; such a value would not survive a reload.
    if (!std::isfinite(value))
        return;
    store(key, value);
}

void Defaults::setDate(const QString &key, const QDateTime &value)
{
    if (!value.isValid())
        return;
    QJsonObject tagged;
    tagged.insert(QLatin1String(kDateTag), value.toUTC().toString(Qt::ISODateWithMs));
    store(key, tagged);
}

void Defaults::remove(const QString &key)
{
    if (!m_values.contains(key))
        return;
    m_values.remove(key);
    save();
}

void Defaults::store(const QString &key, const QJsonValue &value)
{
    if (m_values.value(key) == value && m_values.contains(key))
        return;
    m_values.insert(key, value);
    save();
}

void Defaults::save()
{
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    QSaveFile file(m_filePath);
    m_lastWriteSucceeded = file.open(QIODevice::WriteOnly)
        && file.write(QJsonDocument(m_values).toJson(QJsonDocument::Indented)) >= 0
        && file.commit();
}
