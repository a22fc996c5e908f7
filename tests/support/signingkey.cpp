#include "support/signingkey.h"

#include "maintenance/updatesign.h"

#include <openssl/evp.h>
#include <openssl/pem.h>

TestSigningKey::TestSigningKey(Use use) : m_use(use) {
    EVP_PKEY *key = EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519");
    BIO *bio = BIO_new(BIO_s_mem());
    if (key && bio && PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr)) {
        char *data = nullptr;
        const long size = BIO_get_mem_data(bio, &data);
        m_pem = QByteArray(data, int(size));
    }
    BIO_free(bio);
    EVP_PKEY_free(key);
    if (m_use == Use::Program)
        vFunSetUpdateKeyForTests(publicKey());
}

TestSigningKey::~TestSigningKey() {
    if (m_use == Use::Program)
        vFunSetUpdateKeyForTests(QByteArray());
}

QByteArray TestSigningKey::publicKey() const {
    return updatePublicKeyOfPem(m_pem);
}

QByteArray TestSigningKey::sign(const QByteArray &data) const {
    return signUpdateData(m_pem, data);
}

TestHttpServer::Answer TestSigningKey::signatureAnswer(const QByteArray &data) const {
    return httpAnswer(200, sign(data));
}
