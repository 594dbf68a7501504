#include "platform/linux/secret_service_keychain.h"

#include <qt6keychain/keychain.h>

namespace {

Keychain::Result resultOf(const QKeychain::Job &job)
{
    Keychain::Result result;
    switch (job.error()) {
    case QKeychain::NoError:
        result.status = Keychain::Status::ok;
        break;
    case QKeychain::EntryNotFound:
        result.status = Keychain::Status::notFound;
        break;
    default:
        result.status = Keychain::Status::failed;
        result.error = job.errorString();
        break;
    }
    return result;
}

// Jobs are children of the keychain, so a keychain that goes away takes
// its running jobs and their callbacks with it. QtKeychain deletes each job
// after `finished`.
template <typename Job>
Job *startJob(QObject *owner, const QString &service, const QString &account)
{
    auto *job = new Job(service, owner);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(account);
    return job;
}

// QtKeychain may finish a job inside start(); callers are promised a later call.
void deliverLater(QObject *owner, Keychain::Callback done, Keychain::Result result)
{
    QMetaObject::invokeMethod(
        owner, [done = std::move(done), result = std::move(result)] { done(result); }, Qt::QueuedConnection);
}

} // namespace

SecretServiceKeychain::SecretServiceKeychain(QObject *parent)
    : QObject(parent)
{
}

void SecretServiceKeychain::read(const QString &service, const QString &account, Callback done)
{
    auto *job = startJob<QKeychain::ReadPasswordJob>(this, service, account);
    connect(job, &QKeychain::Job::finished, this, [this, done = std::move(done)](QKeychain::Job *finished) {
        Result result = resultOf(*finished);
        if (result.status == Status::ok)
            result.value = static_cast<QKeychain::ReadPasswordJob *>(finished)->textData();
        deliverLater(this, done, result);
    });
    job->start();
}

void SecretServiceKeychain::write(const QString &service, const QString &account, const QString &value,
                                  Callback done)
{
    auto *job = startJob<QKeychain::WritePasswordJob>(this, service, account);
    job->setTextData(value);
    connect(job, &QKeychain::Job::finished, this, [this, done = std::move(done)](QKeychain::Job *finished) {
        deliverLater(this, done, resultOf(*finished));
    });
    job->start();
}

void SecretServiceKeychain::remove(const QString &service, const QString &account, Callback done)
{
    auto *job = startJob<QKeychain::DeletePasswordJob>(this, service, account);
    connect(job, &QKeychain::Job::finished, this, [this, done = std::move(done)](QKeychain::Job *finished) {
        Result result = resultOf(*finished);
        if (result.status == Status::notFound)
            result.status = Status::ok;
        deliverLater(this, done, result);
    });
    job->start();
}
