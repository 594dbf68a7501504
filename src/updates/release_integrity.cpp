#include "updates/release_integrity.h"

#include <QFile>

#include <openssl/evp.h>

#include <memory>
#include <optional>

namespace ReleaseIntegrity {

namespace {

constexpr qsizetype kEd25519KeyBytes = 32;
constexpr qsizetype kEd25519SignatureBytes = 64;
constexpr qint64 kChunkBytes = 1 << 20;

struct FreeDigest
{
    void operator()(EVP_MD_CTX *context) const { EVP_MD_CTX_free(context); }
};
struct FreeKey
{
    void operator()(EVP_PKEY *key) const { EVP_PKEY_free(key); }
};

std::optional<QByteArray> sha256Hex(const QString &path)
{
    QFile file(path);
    const std::unique_ptr<EVP_MD_CTX, FreeDigest> context(EVP_MD_CTX_new());
    if (!context || !file.open(QIODevice::ReadOnly) || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1)
        return std::nullopt;
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(kChunkBytes);
        if (chunk.isEmpty() || EVP_DigestUpdate(context.get(), chunk.constData(), static_cast<size_t>(chunk.size())) != 1)
            return std::nullopt;
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1)
        return std::nullopt;
    return QByteArray(reinterpret_cast<const char *>(digest), static_cast<qsizetype>(length)).toHex();
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
    const std::unique_ptr<EVP_PKEY, FreeKey> key(EVP_PKEY_new_raw_public_key(
        EVP_PKEY_ED25519, nullptr, reinterpret_cast<const unsigned char *>(publicKey.constData()),
        static_cast<size_t>(publicKey.size())));
    const std::unique_ptr<EVP_MD_CTX, FreeDigest> context(EVP_MD_CTX_new());
    QFile file(path);
    if (!key || !context || !file.open(QIODevice::ReadOnly))
        return false;
    // Ed25519 signs the whole message at once: the file is mapped, not read.
    const qint64 size = file.size();
    const uchar *bytes = size > 0 ? file.map(0, size) : nullptr;
    if (size > 0 && !bytes)
        return false;
    static const unsigned char empty = 0;
    if (EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1)
        return false;
    return EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char *>(signature.constData()),
                            static_cast<size_t>(signature.size()), bytes ? bytes : &empty,
                            static_cast<size_t>(size))
        == 1;
}

} // namespace ReleaseIntegrity
