#include "platform/linux/fallback_keychain.h"

#include <QPointer>

FallbackKeychain::FallbackKeychain(std::unique_ptr<Keychain> primary, std::unique_ptr<Keychain> fallback,
                                   QObject *parent)
    : QObject(parent)
    , m_primary(std::move(primary))
    , m_fallback(std::move(fallback))
{
}

FallbackKeychain::~FallbackKeychain() = default;

// Callbacks of the inner keychains never outlive them, and they are owned
// here, so `this` is alive in every continuation below.

void FallbackKeychain::read(const QString &service, const QString &account, Callback done)
{
    m_primary->read(service, account, [this, service, account, done = std::move(done)](const Result &primary) {
        if (primary.status == Status::ok && !primary.value.isEmpty()) {
            done(primary);
            return;
        }
        m_fallback->read(service, account, [primary, done](const Result &fallback) {
            const bool primaryHadEmptyItem = fallback.status == Status::notFound && primary.status == Status::ok;
            done(primaryHadEmptyItem ? primary : fallback);
        });
    });
}

void FallbackKeychain::write(const QString &service, const QString &account, const QString &value, Callback done)
{
    m_primary->write(service, account, value,
                     [this, service, account, value, done = std::move(done)](const Result &primary) {
                         if (primary.status == Status::ok) {
                             // A stale copy would come back if the keyring item were deleted.
                             m_fallback->remove(service, account, [primary, done](const Result &) { done(primary); });
                             return;
                         }
                         m_fallback->write(service, account, value, [primary, done](const Result &fallback) {
                             if (fallback.status == Status::ok) {
                                 done(fallback);
                                 return;
                             }
                             Result failed = fallback;
                             failed.error = primary.error + QStringLiteral("; ") + fallback.error;
                             done(failed);
                         });
                     });
}

void FallbackKeychain::remove(const QString &service, const QString &account, Callback done)
{
    m_primary->remove(service, account, [this, service, account, done = std::move(done)](const Result &primary) {
        m_fallback->remove(service, account, [primary, done](const Result &fallback) {
            // Without a Secret Service the file is the only store, so its
            // answer is the one that counts.
            done(fallback.status == Status::failed ? fallback : Result{Status::ok, {}, {}, primary.store});
        });
    });
}
