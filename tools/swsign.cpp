// Signs a file of the update server with the release key:
//   swsign KEYFILE FILE      writes FILE.sig, the raw 64-byte Ed25519 signature
//   swsign --public KEYFILE  prints the public key as the program's constant
// KEYFILE is the PEM private key of `openssl genpkey -algorithm ed25519`.
#include "maintenance/updatesign.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace {

int usage() {
    std::fputs("usage: swsign KEYFILE FILE\n       swsign --public KEYFILE\n", stderr);
    return 2;
}

bool readKey(const QString &path, QByteArray &pem) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "swsign: cannot read %s\n", qPrintable(path));
        return false;
    }
    pem = file.readAll();
    return true;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 2)
        return usage();
    QByteArray pem;
    if (args[0] == QLatin1String("--public")) {
        if (!readKey(args[1], pem))
            return 1;
        const QByteArray key = updatePublicKeyOfPem(pem);
        if (key.isEmpty()) {
            std::fprintf(stderr, "swsign: %s is not an Ed25519 private key\n", qPrintable(args[1]));
            return 1;
        }
        for (int i = 0; i < key.size(); ++i)
            std::printf("0x%02x,%s", uchar(key[i]), i % 16 == 15 ? "\n" : " ");
        return 0;
    }
    if (!readKey(args[0], pem))
        return 1;
    QFile input(args[1]);
    if (!input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "swsign: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    const qint64 size = input.size();
    const uchar *data = size > 0 ? input.map(0, size) : nullptr;
    if (size > 0 && !data) {
        std::fprintf(stderr, "swsign: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    const QByteArray signature =
        signUpdateData(pem, QByteArrayView(reinterpret_cast<const char *>(data), size));
    if (signature.isEmpty()) {
        std::fprintf(stderr, "swsign: %s is not an Ed25519 private key\n", qPrintable(args[0]));
        return 1;
    }
    QSaveFile output(args[1] + QLatin1String(kUpdateSignatureSuffix));
    if (!output.open(QIODevice::WriteOnly) || output.write(signature) != signature.size() ||
        !output.commit()) {
        std::fprintf(stderr, "swsign: cannot write %s%s\n", qPrintable(args[1]),
                     kUpdateSignatureSuffix);
        return 1;
    }
    return 0;
}
