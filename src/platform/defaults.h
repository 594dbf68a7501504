#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <optional>

// The user's settings: typed values under dotted keys, kept in one JSON file
// that is rewritten atomically on every change. A getter returns absent both
// when the key is missing and when it holds another type; `contains` tells the
// two apart. Main thread only.
class Defaults
{
public:
    // Settings file under the user's config folder, shared for the process.
    static Defaults &standard();

    // Reads `filePath` now. A file that cannot be parsed is moved aside to
    // "<file>.corrupt-<UTC time>" so that nothing is lost, and the store
    // starts empty.
    explicit Defaults(QString filePath);

    const QString &filePath() const { return m_filePath; }

    bool contains(const QString &key) const;

    std::optional<bool> boolValue(const QString &key) const;
    // Integers stored as whole doubles are integers; 3.5 is not.
    std::optional<long long> intValue(const QString &key) const;
    std::optional<double> doubleValue(const QString &key) const;
    std::optional<QString> stringValue(const QString &key) const;
    std::optional<QDateTime> dateValue(const QString &key) const;

    void setBool(const QString &key, bool value);
    void setInt(const QString &key, long long value);
    void setDouble(const QString &key, double value);
    void setString(const QString &key, const QString &value);
    void setDate(const QString &key, const QDateTime &value);
    void remove(const QString &key);

    // False when the last write failed (disk full, read-only folder); the
    // values stay in memory either way.
    bool lastWriteSucceeded() const { return m_lastWriteSucceeded; }

private:
    void load();
    void store(const QString &key, const QJsonValue &value);
    void save();

    QString m_filePath;
    QJsonObject m_values;
    bool m_lastWriteSucceeded = true;
};
