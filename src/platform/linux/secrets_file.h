#pragma once

#include "platform/keychain.h"

#include <QJsonObject>
#include <QString>

#include <optional>

// The per-user stand-in for a Secret Service: one JSON file
// {"<service>": {"<account>": "<secret>"}} that only its owner may read.
// The folder is created 0700 and the file 0600; a folder or file that others
// may open is refused rather than used. Blocking: call from a worker queue.
class SecretsFile
{
public:
    // `folder` holds the file; it is created when the first secret is written.
    explicit SecretsFile(QString folder);

    QString filePath() const;

    Keychain::Result read(const QString &service, const QString &account) const;
    Keychain::Result write(const QString &service, const QString &account, const QString &value);
    Keychain::Result remove(const QString &service, const QString &account);

private:
    // The stored secrets, or an error text. A file that is not a JSON object
    // is moved aside so that a write cannot destroy what it held.
    std::optional<QJsonObject> load(QString *error, bool moveCorruptAside) const;
    bool save(const QJsonObject &secrets, QString *error);
    bool ensureFolder(QString *error);

    QString m_folder;
};
