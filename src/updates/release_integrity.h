#pragma once

#include <QByteArray>
#include <QString>

// Checks that a downloaded release is the one its publisher announced:
// the SHA-256 from the manifest and the publisher's Ed25519 signature.
// libcrypto does the signature arithmetic, loaded when first needed.
namespace ReleaseIntegrity {

// True when the file's SHA-256 equals `expectedHex` (case ignored, white
// space around it trimmed). A malformed or unreadable value never matches.
bool matchesSha256(const QString &path, const QString &expectedHex);

// True when `signature` (64 raw bytes) is the Ed25519 signature of the
// file's bytes under `publicKey` (32 raw bytes).
bool hasValidSignature(const QString &path, const QByteArray &signature, const QByteArray &publicKey);

} // namespace ReleaseIntegrity
