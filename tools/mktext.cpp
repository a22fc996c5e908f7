// mktext OUTPUT SOURCE
// Turns a text written in UTF-8 with LF line ends into the program's text
// file format: code page 1250, every line ended by CR LF.
#include "storage/codec.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: mktext OUTPUT SOURCE\n");
        return 2;
    }
    QFile source(args.at(2));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "mktext: cannot read %s\n", qPrintable(args.at(2)));
        return 1;
    }
    QString text = QString::fromUtf8(source.readAll());
    text.remove(QLatin1Char('\r'));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    QByteArray out;
    for (const QString &line : text.split(QLatin1Char('\n')))
        out += cp1250::encode(line) + "\r\n";
    QFile target(args.at(1));
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        target.write(out) != out.size()) {
        std::fprintf(stderr, "mktext: cannot write %s\n", qPrintable(args.at(1)));
        return 1;
    }
    return 0;
}
