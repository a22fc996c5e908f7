#include "storage/sqltext.h"

QString strFunSqlEscape(const QString &text) {
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

QString strFunSqlName(const QString &name) {
    QString out = name;
    out.replace(QLatin1Char('`'), QLatin1String("``"));
    return QLatin1Char('`') + out + QLatin1Char('`');
}
