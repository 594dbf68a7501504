#include "probe/probe_report.h"

#include "platform/format.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>

namespace {

template <typename T>
void put(QJsonObject &object, const char *key, const std::optional<T> &value)
{
    if (value)
        object.insert(QLatin1String(key), *value);
}

QString valueText(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("yes") : QStringLiteral("no");
    case QJsonValue::Double: {
        const double number = value.toDouble();
        if (number == std::floor(number) && std::abs(number) < 1e15)
            return QString::number(static_cast<qint64>(number));
        return formatPrintf("%.3f", number);
    }
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Array: {
        QStringList items;
        for (const QJsonValue &item : value.toArray())
            items.append(valueText(item));
        return QLatin1Char('[') + items.join(QStringLiteral(", ")) + QLatin1Char(']');
    }
    case QJsonValue::Object: {
        const QJsonObject object = value.toObject();
        QStringList items;
        for (auto it = object.constBegin(); it != object.constEnd(); ++it)
            items.append(it.key() + QLatin1Char(' ') + valueText(it.value()));
        return QLatin1Char('{') + items.join(QStringLiteral(", ")) + QLatin1Char('}');
    }
    default:
        return QStringLiteral("—");
    }
}

// "key  value" lines in the given key order; keys without a value show "—".
QStringList fieldLines(const QJsonObject &fields, const QStringList &order)
{
    QStringList lines;
    for (const QString &key : order)
        lines.append(QStringLiteral("  %1 %2").arg(key, -22).arg(valueText(fields.value(key))));
    return lines;
}

const QStringList kReadingFields = {
    QStringLiteral("present"), QStringLiteral("level"), QStringLiteral("charging"), QStringLiteral("onAC"),
    QStringLiteral("chargeW"), QStringLiteral("adapterW"), QStringLiteral("minutes"), QStringLiteral("cycles"),
    QStringLiteral("health"), QStringLiteral("rawMax"), QStringLiteral("design"), QStringLiteral("rawCurrent"),
    QStringLiteral("amperageMA"), QStringLiteral("voltageMV"),
};

} // namespace

QJsonObject readingJson(const BatSourceReading &reading)
{
    QJsonObject object;
    object.insert(QStringLiteral("name"), reading.name);
    put(object, "present", reading.present);
    put(object, "level", reading.level);
    put(object, "charging", reading.charging);
    put(object, "onAC", reading.onAC);
    put(object, "chargeW", reading.chargeW);
    put(object, "adapterW", reading.adapterW);
    put(object, "minutes", reading.minutes);
    put(object, "cycles", reading.cycles);
    put(object, "health", reading.health);
    put(object, "rawMax", reading.rawMax);
    put(object, "design", reading.design);
    put(object, "rawCurrent", reading.rawCurrent);
    put(object, "amperageMA", reading.amperageMA);
    put(object, "voltageMV", reading.voltageMV);
    return object;
}

QJsonObject snapshotJson(const BatSnap &snapshot)
{
    QJsonObject object;
    object.insert(QStringLiteral("present"), snapshot.present);
    object.insert(QStringLiteral("level"), snapshot.level);
    object.insert(QStringLiteral("charging"), snapshot.charging);
    object.insert(QStringLiteral("onAC"), snapshot.onAC);
    object.insert(QStringLiteral("chargeW"), snapshot.chargeW);
    object.insert(QStringLiteral("adapterW"), snapshot.adapterW);
    put(object, "minutes", snapshot.minutes);
    object.insert(QStringLiteral("minutesIsLiveEstimate"), snapshot.minutesIsLiveEstimate);
    put(object, "cycles", snapshot.cycles);
    put(object, "health", snapshot.health);
    put(object, "rawMax", snapshot.rawMax);
    put(object, "design", snapshot.design);
    put(object, "rawCurrent", snapshot.rawCurrent);
    put(object, "amperageMA", snapshot.amperageMA);
    put(object, "voltageMV", snapshot.voltageMV);
    if (!snapshot.packs.isEmpty()) {
        QJsonArray packs;
        for (const BatteryPack &pack : snapshot.packs) {
            QJsonObject packObject;
            packObject.insert(QStringLiteral("name"), pack.name);
            put(packObject, "level", pack.level);
            put(packObject, "health", pack.health);
            put(packObject, "cycles", pack.cycles);
            packs.append(packObject);
        }
        object.insert(QStringLiteral("packs"), packs);
    }
    object.insert(QStringLiteral("sourcesLabel"), snapshot.sourcesLabel);
    object.insert(QStringLiteral("sourceNames"), QJsonArray::fromStringList(snapshot.sourceNames));
    return object;
}

void ProbeReport::addReadings(const QList<BatSourceReading> &readings)
{
    QJsonArray array;
    m_text.append(QStringLiteral("Battery sources"));
    for (const BatSourceReading &reading : readings) {
        const QJsonObject object = readingJson(reading);
        array.append(object);
        if (object.size() == 1) {
            m_text.append(QStringLiteral("  %1 nothing known").arg(reading.name, -22));
            continue;
        }
        m_text.append(QStringLiteral("  %1").arg(reading.name));
        QStringList known;
        for (const QString &key : kReadingFields) {
            if (object.contains(key))
                known.append(key);
        }
        for (const QString &line : fieldLines(object, known))
            m_text.append(QStringLiteral("  ") + line);
    }
    m_text.append(QString());
    m_json.insert(QStringLiteral("readings"), array);
}

void ProbeReport::addSnapshot(const BatSnap &snapshot)
{
    const QJsonObject object = snapshotJson(snapshot);
    m_json.insert(QStringLiteral("snapshot"), object);
    m_text.append(QStringLiteral("Merged snapshot"));
    m_text.append(fieldLines(object, {QStringLiteral("present"), QStringLiteral("level"), QStringLiteral("charging"),
                                      QStringLiteral("onAC"), QStringLiteral("chargeW"), QStringLiteral("adapterW"),
                                      QStringLiteral("minutes"), QStringLiteral("cycles"), QStringLiteral("health"),
                                      QStringLiteral("rawMax"), QStringLiteral("design"), QStringLiteral("rawCurrent"),
                                      QStringLiteral("amperageMA"), QStringLiteral("voltageMV"),
                                      QStringLiteral("packs"), QStringLiteral("sourcesLabel")}));
    m_text.append(QString());
}

void ProbeReport::addSection(const QString &key, const QString &title, const QList<ProbeField> &fields)
{
    QJsonObject object;
    QStringList order;
    for (const auto &[name, value] : fields) {
        order.append(name);
        if (!value.isNull())
            object.insert(name, value);
    }
    m_json.insert(key, object);
    m_text.append(title);
    m_text.append(fieldLines(object, order));
    m_text.append(QString());
}

QString ProbeReport::text() const
{
    return m_text.join(QLatin1Char('\n'));
}

QByteArray ProbeReport::json() const
{
    return QJsonDocument(m_json).toJson(QJsonDocument::Indented);
}
