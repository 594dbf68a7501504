#pragma once

#include "platform/keychain.h"

#include <QObject>

#include <memory>

// The Secret Service first; the per-user secrets file when it does not
// answer, so that a saved secret is never silently dropped. A secret that
// reaches the Secret Service leaves no copy in the file.
class FallbackKeychain : public QObject, public Keychain
{
    Q_OBJECT

public:
    FallbackKeychain(std::unique_ptr<Keychain> primary, std::unique_ptr<Keychain> fallback,
                     QObject *parent = nullptr);
    ~FallbackKeychain() override;

    void read(const QString &service, const QString &account, Callback done) override;
    void write(const QString &service, const QString &account, const QString &value, Callback done) override;
    void remove(const QString &service, const QString &account, Callback done) override;

private:
    std::unique_ptr<Keychain> m_primary;
    std::unique_ptr<Keychain> m_fallback;
};
