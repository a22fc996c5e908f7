#pragma once

#include <QString>

// Plain Polish for a failure code, so a message says what happened and what
// to do before the number that support asks for.

// The reason for a system error (errno); empty when there is nothing to add.
QString strFunErrnoReason(int err);
// "<reason>\nKod błędu: <n>", or just "Kod błędu: <n>" without a reason.
QString strFunErrnoCode(int err);

// The reason for an SQLite result code; empty when there is nothing to add.
QString strFunSqliteReason(int code);
// "<reason>\n<code name>", the code name last for support.
QString strFunSqliteError(int code);
