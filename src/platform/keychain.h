#pragma once

#include <QString>

#include <functional>

// The user's secret store: one text secret per (service, account). Every
// operation is asynchronous; its callback runs exactly once on the main
// thread, always after the call has returned, and never after the Keychain
// is destroyed.
class Keychain
{
public:
    enum class Status {
        ok,
        notFound, // a read found no item; a delete of a missing item is ok
        failed, // the secret could not be read or stored; `error` says why
    };
    // Where the item lives. The per-user secrets file only stands in when no
    // Secret Service is on the bus at all.
    enum class Store { secretService, secretsFile };

    struct Result
    {
        Status status = Status::failed;
        QString value{}; // the secret, for a successful read
        QString error{}; // for the user, never containing the secret
        Store store = Store::secretService;
        QString location{}; // the file that holds a secret written to the secrets file
    };
    using Callback = std::function<void(const Result &)>;

    virtual ~Keychain() = default;

    virtual void read(const QString &service, const QString &account, Callback done) = 0;
    // Replaces any item of the same service and account.
    virtual void write(const QString &service, const QString &account, const QString &value, Callback done) = 0;
    virtual void remove(const QString &service, const QString &account, Callback done) = 0;
};
