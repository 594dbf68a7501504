#include "platform/linux/secrets_file_keychain.h"

#include "platform/main_thread.h"

SecretsFileKeychain::SecretsFileKeychain(QString folder, QObject *parent)
    : QObject(parent)
    , m_file(std::move(folder))
{
}

void SecretsFileKeychain::run(std::function<Result(SecretsFile &)> work, Callback done)
{
    QPointer<SecretsFileKeychain> self(this);
    m_queue.post([this, self, work = std::move(work), done = std::move(done)]() mutable {
        Result result = work(m_file);
        postToMain(self, [done = std::move(done), result = std::move(result)](SecretsFileKeychain *) {
            done(result);
        });
    });
}

void SecretsFileKeychain::read(const QString &service, const QString &account, Callback done)
{
    run([service, account](SecretsFile &file) { return file.read(service, account); }, std::move(done));
}

void SecretsFileKeychain::write(const QString &service, const QString &account, const QString &value, Callback done)
{
    run([service, account, value](SecretsFile &file) { return file.write(service, account, value); },
        std::move(done));
}

void SecretsFileKeychain::remove(const QString &service, const QString &account, Callback done)
{
    run([service, account](SecretsFile &file) { return file.remove(service, account); }, std::move(done));
}
