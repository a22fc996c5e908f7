#pragma once

#include <QString>

// Doubles every single quote, so the text can stand between single quotes.
QString strFunSqlEscape(const QString &text);

// The name between backticks with every backtick doubled: any text, a PESEL
// typed by the user included, stays one identifier.
QString strFunSqlName(const QString &name);
