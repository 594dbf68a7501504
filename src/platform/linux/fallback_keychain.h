#pragma once

#include "platform/keychain.h"

#include <QObject>

#include <functional>
#include <memory>

// The Secret Service, and the per-user secrets file only where the desktop
// has no Secret Service at all:
// - a write goes to the keyring when one is there; when it refuses (locked,
//   prompt cancelled) the write fails and nothing is kept in plain text;
// - a write that reaches the keyring removes any copy in the file, so a copy
//   in the file is always the last key saved, and a read takes it first;
// - a removal succeeds only when the key is gone from both.
class FallbackKeychain : public QObject, public Keychain
{
    Q_OBJECT

public:
    // `primaryPresent` tells, at each call, whether the primary store exists.
    FallbackKeychain(std::unique_ptr<Keychain> primary, std::unique_ptr<Keychain> fallback,
                     std::function<bool()> primaryPresent, QObject *parent = nullptr);
    ~FallbackKeychain() override;

    void read(const QString &service, const QString &account, Callback done) override;
    void write(const QString &service, const QString &account, const QString &value, Callback done) override;
    void remove(const QString &service, const QString &account, Callback done) override;

private:
    // A primary failure as the user reads it, in one line.
    static Result refused(const Result &primary, const QString &what);

    std::unique_ptr<Keychain> m_primary;
    std::unique_ptr<Keychain> m_fallback;
    std::function<bool()> m_primaryPresent;
};
