#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Ed25519 signatures (RFC 8032, the message itself, no prehash) of the files
// the update server publishes. Each signed file has its signature beside it,
// under the same name plus ".sig": the raw 64 bytes of the signature, nothing
// else (what `openssl pkeyutl -sign -rawin` or tools/swsign writes).
inline const char *const kUpdateSignatureSuffix = ".sig";
constexpr int kUpdateSignatureBytes = 64;
constexpr int kUpdatePublicKeyBytes = 32;

// True when signature is a valid signature of data under the program's
// public key (the built-in one, or the one a test set).
bool bFunUpdateSignatureValid(QByteArrayView data, QByteArrayView signature);

// Tests only: checks against this raw 32-byte public key instead of the
// built-in one; an empty key restores the built-in one. Code, not a setting:
// nothing a user can set outside the program changes the key.
void vFunSetUpdateKeyForTests(const QByteArray &publicKey);

// The maintainer's side (tools/swsign, tests): the private key is a PEM file
// of `openssl genpkey -algorithm ed25519`. Empty results on any failure.
QByteArray signUpdateData(const QByteArray &privateKeyPem, QByteArrayView data);
QByteArray updatePublicKeyOfPem(const QByteArray &privateKeyPem);
