#pragma once

#include "platform/keychain.h"

#include <QObject>

// Secrets in the desktop's Secret Service (GNOME Keyring, KWallet) through
// QtKeychain. A service that is missing, locked without a prompter, or
// refuses the collection reports `failed`.
class SecretServiceKeychain : public QObject, public Keychain
{
    Q_OBJECT

public:
    explicit SecretServiceKeychain(QObject *parent = nullptr);

    void read(const QString &service, const QString &account, Callback done) override;
    void write(const QString &service, const QString &account, const QString &value, Callback done) override;
    void remove(const QString &service, const QString &account, Callback done) override;
};
