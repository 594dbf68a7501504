#include "platform/linux/fallback_keychain.h"

#include <QPointer>

FallbackKeychain::FallbackKeychain(std::unique_ptr<Keychain> primary, std::unique_ptr<Keychain> fallback,
                                   std::function<bool()> primaryPresent, QObject *parent)
    : QObject(parent)
    , m_primary(std::move(primary))
    , m_fallback(std::move(fallback))
    , m_primaryPresent(std::move(primaryPresent))
{
}

FallbackKeychain::~FallbackKeychain() = default;

// Callbacks of the inner keychains never outlive them, and they are owned
// here, so `this` is alive in every continuation below.

void FallbackKeychain::read(const QString &service, const QString &account, Callback done)
{
    m_fallback->read(service, account, [this, service, account, done = std::move(done)](const Result &fallback) {
        if ((fallback.status == Status::ok && !fallback.value.isEmpty()) || !m_primaryPresent()) {
            done(fallback);
            return;
        }
        m_primary->read(service, account, done);
    });
}

void FallbackKeychain::write(const QString &service, const QString &account, const QString &value, Callback done)
{
    if (!m_primaryPresent()) {
        m_fallback->write(service, account, value, std::move(done));
        return;
    }
    m_primary->write(service, account, value,
                     [this, service, account, done = std::move(done)](const Result &primary) {
                         if (primary.status != Status::ok) {
                             done(refused(primary, QStringLiteral("the keyring did not store it")));
                             return;
                         }
                         // The copy in the file would otherwise be read first.
                         m_fallback->remove(service, account, [primary, done](const Result &fallback) {
                             done(fallback.status == Status::ok ? primary : fallback);
                         });
                     });
}

void FallbackKeychain::remove(const QString &service, const QString &account, Callback done)
{
    m_fallback->remove(service, account, [this, service, account, done = std::move(done)](const Result &fallback) {
        if (fallback.status != Status::ok || !m_primaryPresent()) {
            done(fallback);
            return;
        }
        m_primary->remove(service, account, [done](const Result &primary) {
            done(primary.status == Status::ok ? primary : refused(primary, QStringLiteral("the keyring kept it")));
        });
    });
}

Keychain::Result FallbackKeychain::refused(const Result &primary, const QString &what)
{
    Result result = primary;
    result.status = Status::failed;
    // Keyring errors can run over several lines; the pane shows one.
    const QString reason = primary.error.section(QLatin1Char('\n'), 0, 0).trimmed();
    result.error = reason.isEmpty() ? what : what + QStringLiteral(" (") + reason + QLatin1Char(')');
    return result;
}
