#include "maintenance/updatesign.h"

#include <openssl/evp.h>
#include <openssl/pem.h>

#include <memory>

namespace {

// The public half of the release key. To replace it: make a new pair
// (README, "Signing a release"), run `swsign --public KEYFILE` and paste the
// 32 bytes it prints here. The private half is never in the repository.
constexpr unsigned char kBuiltInKey[kUpdatePublicKeyBytes] = {
    0x4d, 0xf1, 0x36, 0x9f, 0xb9, 0xc3, 0x36, 0x1b, 0x3f, 0xa7, 0x3e, 0x58, 0xeb, 0x9a, 0x5a, 0x58,
    0x39, 0x34, 0xe4, 0x31, 0xf7, 0xc7, 0xb4, 0x61, 0x53, 0x6f, 0x5d, 0xb9, 0xd5, 0x49, 0x4c, 0x2b};

QByteArray &testKey() {
    static QByteArray key;
    return key;
}

struct PkeyFree {
    void operator()(EVP_PKEY *key) const { EVP_PKEY_free(key); }
};
struct MdCtxFree {
    void operator()(EVP_MD_CTX *ctx) const { EVP_MD_CTX_free(ctx); }
};
using Pkey = std::unique_ptr<EVP_PKEY, PkeyFree>;
using MdCtx = std::unique_ptr<EVP_MD_CTX, MdCtxFree>;

Pkey privateKeyOfPem(const QByteArray &pem) {
    BIO *bio = BIO_new_mem_buf(pem.constData(), int(pem.size()));
    if (!bio)
        return nullptr;
    Pkey key(PEM_read_bio_PrivateKey(bio, nullptr, nullptr, nullptr));
    BIO_free(bio);
    if (key && EVP_PKEY_get_id(key.get()) != EVP_PKEY_ED25519)
        return nullptr;
    return key;
}

const unsigned char *bytes(QByteArrayView data) {
    // Ed25519 of an empty message is valid; OpenSSL wants a pointer all the same.
    static const unsigned char empty = 0;
    return data.isEmpty() ? &empty : reinterpret_cast<const unsigned char *>(data.data());
}

} // namespace

void vFunSetUpdateKeyForTests(const QByteArray &publicKey) {
    testKey() = publicKey;
}

bool bFunUpdateSignatureValid(QByteArrayView data, QByteArrayView signature) {
    if (signature.size() != kUpdateSignatureBytes)
        return false;
    const QByteArray own =
        testKey().isEmpty()
            ? QByteArray(reinterpret_cast<const char *>(kBuiltInKey), kUpdatePublicKeyBytes)
            : testKey();
    if (own.size() != kUpdatePublicKeyBytes)
        return false;
    const Pkey key(EVP_PKEY_new_raw_public_key(
        EVP_PKEY_ED25519, nullptr, reinterpret_cast<const unsigned char *>(own.constData()),
        size_t(own.size())));
    const MdCtx ctx(EVP_MD_CTX_new());
    if (!key || !ctx || EVP_DigestVerifyInit(ctx.get(), nullptr, nullptr, nullptr, key.get()) != 1)
        return false;
    return EVP_DigestVerify(ctx.get(), bytes(signature), size_t(signature.size()), bytes(data),
                            size_t(data.size())) == 1;
}

QByteArray signUpdateData(const QByteArray &privateKeyPem, QByteArrayView data) {
    const Pkey key = privateKeyOfPem(privateKeyPem);
    const MdCtx ctx(EVP_MD_CTX_new());
    if (!key || !ctx || EVP_DigestSignInit(ctx.get(), nullptr, nullptr, nullptr, key.get()) != 1)
        return QByteArray();
    QByteArray signature(kUpdateSignatureBytes, '\0');
    size_t length = size_t(signature.size());
    if (EVP_DigestSign(ctx.get(), reinterpret_cast<unsigned char *>(signature.data()), &length,
                       bytes(data), size_t(data.size())) != 1 ||
        length != size_t(kUpdateSignatureBytes))
        return QByteArray();
    return signature;
}

QByteArray updatePublicKeyOfPem(const QByteArray &privateKeyPem) {
    const Pkey key = privateKeyOfPem(privateKeyPem);
    QByteArray raw(kUpdatePublicKeyBytes, '\0');
    size_t length = size_t(raw.size());
    if (!key ||
        EVP_PKEY_get_raw_public_key(key.get(), reinterpret_cast<unsigned char *>(raw.data()),
                                    &length) != 1 ||
        length != size_t(kUpdatePublicKeyBytes))
        return QByteArray();
    return raw;
}
