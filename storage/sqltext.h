#pragma once

#include <QString>
#include <QStringList>

// Doubles every single quote, so the text can stand between single quotes.
QString strFunSqlEscape(const QString &text);

// The name between backticks with every backtick doubled: any text, a PESEL
// typed by the user included, stays one identifier.
QString strFunSqlName(const QString &name);

// The statement as a message shows it: each "?" parameter (outside names
// and literals) replaced by its value between single quotes. Only for
// showing: the statement itself runs with the values bound.
QString strFunSqlShown(const QString &sql, const QStringList &values);
