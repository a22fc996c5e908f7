// mkdb OUTPUT SOURCE.sql...
// Builds a shipped database from SQL text written in UTF-8. The text reaches
// SQLite in code page 1250, as every statement of the program does, so the
// stored texts are the program's own bytes.
#include "storage/cppsqlite3.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: mkdb OUTPUT SOURCE.sql...\n");
        return 2;
    }
    const QString output = args.at(1);
    const QString partial = output + QStringLiteral(".part");
    QFile::remove(partial);
    try {
        CppSQLite3DB db;
        db.Open(partial);
        db.Execute(QStringLiteral("begin transaction;"));
        for (int i = 2; i < args.size(); ++i) {
            QFile source(args.at(i));
            if (!source.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "mkdb: cannot read %s\n", qPrintable(args.at(i)));
                return 1;
            }
            db.Execute(QString::fromUtf8(source.readAll()));
        }
        db.Execute(QStringLiteral("commit transaction;"));
        db.Close();
    } catch (const CppSQLite3Exception &e) {
        std::fprintf(stderr, "mkdb: %s\n", e.ErrorMessage());
        return 1;
    }
    QFile::remove(output);
    if (!QFile::rename(partial, output)) {
        std::fprintf(stderr, "mkdb: cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
