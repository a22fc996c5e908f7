#pragma once

#include <QString>

// Hands one message to the mail program of the system: subject, body, the
// attachment when that file exists and the recipient. The mail program shows
// the message for the user to send or discard; the call returns when it has
// taken the message (the user discarding it is no failure). False when there
// is no mail program or it reports a failure; the buffer then says why
// (nothing is logged). One implementation per platform: xdg-email on Linux,
// Simple MAPI on Windows.
bool bFunSendLogMail(QString &msg, const QString &subject, const QString &address,
                     const QString &text, const QString &attachPath);
