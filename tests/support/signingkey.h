#pragma once

#include "support/httpstub.h"

#include <QByteArray>

// A throw-away Ed25519 key pair made when the object is, and made the
// program's update key while the object lives (unless made as a stranger's
// key, for a server signing with a key the program does not know).
class TestSigningKey {
public:
    enum class Use { Program, Stranger };
    explicit TestSigningKey(Use use = Use::Program);
    ~TestSigningKey();
    TestSigningKey(const TestSigningKey &) = delete;
    TestSigningKey &operator=(const TestSigningKey &) = delete;

    QByteArray privatePem() const { return m_pem; }
    QByteArray publicKey() const;
    // The raw 64-byte signature of data, as the signing tool makes it.
    QByteArray sign(const QByteArray &data) const;
    // The answer of the server for data's ".sig".
    TestHttpServer::Answer signatureAnswer(const QByteArray &data) const;

private:
    QByteArray m_pem;
    Use m_use;
};
