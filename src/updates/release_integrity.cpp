#include "updates/release_integrity.h"

#include <QCryptographicHash>
#include <QFile>
#include <QLibrary>

#include <openssl/evp.h>

#include <memory>
#include <optional>

namespace ReleaseIntegrity {

namespace {

constexpr qsizetype kEd25519KeyBytes = 32;
constexpr qsizetype kEd25519SignatureBytes = 64;

// libcrypto is loaded on the first signature check, not at launch: linked
// in, it stays resident in every tray process that never installs an update.
class Ed25519Verifier
{
public:
    static const Ed25519Verifier &instance()
    {
        static const Ed25519Verifier verifier;
        return verifier;
    }

    bool isLoaded() const { return m_loaded; }

    bool verify(const QByteArray &signature, const QByteArray &publicKey, const unsigned char *message,
                size_t size) const
    {
        const std::unique_ptr<EVP_PKEY, decltype(m_freeKey)> key(
            m_newRawPublicKey(EVP_PKEY_ED25519, nullptr, reinterpret_cast<const unsigned char *>(publicKey.constData()),
                              static_cast<size_t>(publicKey.size())),
            m_freeKey);
        const std::unique_ptr<EVP_MD_CTX, decltype(m_freeContext)> context(m_newContext(), m_freeContext);
        if (!key || !context || m_verifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1)
            return false;
        return m_verify(context.get(), reinterpret_cast<const unsigned char *>(signature.constData()),
                        static_cast<size_t>(signature.size()), message, size)
            == 1;
    }

private:
    Ed25519Verifier()
        : m_library(QStringLiteral("crypto"), 3)
    {
        m_loaded = resolve(m_newRawPublicKey, "EVP_PKEY_new_raw_public_key") && resolve(m_freeKey, "EVP_PKEY_free")
            && resolve(m_newContext, "EVP_MD_CTX_new") && resolve(m_freeContext, "EVP_MD_CTX_free")
            && resolve(m_verifyInit, "EVP_DigestVerifyInit") && resolve(m_verify, "EVP_DigestVerify");
    }

    template<typename Function>
    bool resolve(Function &function, const char *symbol)
    {
        function = reinterpret_cast<Function>(m_library.resolve(symbol));
        return function != nullptr;
    }

    QLibrary m_library;
    bool m_loaded = false;
    decltype(&EVP_PKEY_new_raw_public_key) m_newRawPublicKey = nullptr;
    decltype(&EVP_PKEY_free) m_freeKey = nullptr;
    decltype(&EVP_MD_CTX_new) m_newContext = nullptr;
    decltype(&EVP_MD_CTX_free) m_freeContext = nullptr;
    decltype(&EVP_DigestVerifyInit) m_verifyInit = nullptr;
    decltype(&EVP_DigestVerify) m_verify = nullptr;
};

std::optional<QByteArray> sha256Hex(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return std::nullopt;
    return hash.result().toHex();
}

} // namespace

bool matchesSha256(const QString &path, const QString &expectedHex)
{
    const std::optional<QByteArray> actual = sha256Hex(path);
    return actual && *actual == expectedHex.trimmed().toLower().toLatin1();
}

bool hasValidSignature(const QString &path, const QByteArray &signature, const QByteArray &publicKey)
{
    if (signature.size() != kEd25519SignatureBytes || publicKey.size() != kEd25519KeyBytes)
        return false;
    // Without libcrypto nothing can be verified, so nothing is accepted.
    const Ed25519Verifier &verifier = Ed25519Verifier::instance();
    QFile file(path);
    if (!verifier.isLoaded() || !file.open(QIODevice::ReadOnly))
        return false;
    // Ed25519 signs the whole message at once: the file is mapped, not read.
    const qint64 size = file.size();
    const uchar *bytes = size > 0 ? file.map(0, size) : nullptr;
    if (size > 0 && !bytes)
        return false;
    static const unsigned char empty = 0;
    return verifier.verify(signature, publicKey, bytes ? bytes : &empty, static_cast<size_t>(size));
}

} // namespace ReleaseIntegrity
