#pragma once

#include "power/bat_snap.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <utility>

// One named value of a report section, in the order it is printed.
using ProbeField = std::pair<QString, QJsonValue>;

// What the probe prints: every source's reading and the merged snapshot, as
// aligned text or as JSON. Absent values are left out of the JSON and shown
// as "—" in the text.
class ProbeReport
{
public:
    void addReadings(const QList<BatSourceReading> &readings);
    void addSnapshot(const BatSnap &snapshot);
    // A titled group of name/value lines under `key` in the JSON, e.g. the
    // power store's fields. Null values print as "—" and stay out of the JSON.
    void addSection(const QString &key, const QString &title, const QList<ProbeField> &fields);

    QString text() const;
    QByteArray json() const;

private:
    QJsonObject m_json;
    QStringList m_text;
};

QJsonObject readingJson(const BatSourceReading &reading);
QJsonObject snapshotJson(const BatSnap &snapshot);
