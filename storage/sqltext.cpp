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

QString strFunSqlShown(const QString &sql, const QStringList &values) {
    QString out;
    QChar quote; // the quote of the name or literal being read, or none
    qsizetype next = 0;
    for (const QChar ch : sql) {
        if (!quote.isNull()) {
            if (ch == quote)
                quote = QChar();
        } else if (ch == QLatin1Char('`') || ch == QLatin1Char('\'')) {
            quote = ch;
        } else if (ch == QLatin1Char('?') && next < values.size()) {
            out += QLatin1Char('\'') + strFunSqlEscape(values[next++]) + QLatin1Char('\'');
            continue;
        }
        out += ch;
    }
    return out;
}
