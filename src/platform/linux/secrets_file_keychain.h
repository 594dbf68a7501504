#pragma once

#include "platform/keychain.h"
#include "platform/linux/secrets_file.h"
#include "platform/serial_queue.h"

#include <QObject>

// A SecretsFile behind the asynchronous Keychain interface: file work runs
// on its own queue, results come back on the main thread.
class SecretsFileKeychain : public QObject, public Keychain
{
    Q_OBJECT

public:
    explicit SecretsFileKeychain(QString folder, QObject *parent = nullptr);

    QString filePath() const { return m_file.filePath(); }

    void read(const QString &service, const QString &account, Callback done) override;
    void write(const QString &service, const QString &account, const QString &value, Callback done) override;
    void remove(const QString &service, const QString &account, Callback done) override;

private:
    void run(std::function<Result(SecretsFile &)> work, Callback done);

    SecretsFile m_file;
    // Declared last: destroyed first, so queued work never outlives the file.
    SerialQueue m_queue{"pendrapro.secrets"};
};
