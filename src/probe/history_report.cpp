#include "probe/history_report.h"

#include "history/history_database.h"
#include "history/history_span.h"
#include "history/history_tables.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonDocument>

bool historyReport(const QString &path, int days, bool json, QString &output)
{
    if (!QFileInfo(path).isFile()) {
        output = QStringLiteral("no history at %1\n").arg(path);
        return false;
    }
    const double now = QDateTime::currentMSecsSinceEpoch() / 1000.0;
    HistoryDatabase database(path, HistoryDatabase::Access::readOnly, [now] { return now; });
    if (!database.isOpen()) {
        output = QStringLiteral("cannot read the history at %1\n").arg(path);
        return false;
    }
    const HistorySpan span = HistorySpan::lastDays(now, days);
    const AppEnergyReport apps = database.apps(span.sinceHour, span.sinceDay);
    const QList<HealthPoint> health = database.health();
    if (json) {
        QJsonObject object = HistoryTables::json(apps, health);
        object.insert(QStringLiteral("days"), days);
        output = QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
    } else {
        output = QStringLiteral("History of the last %1 day(s), %2\n\n").arg(days).arg(path)
            + HistoryTables::text(apps, health);
    }
    return true;
}
