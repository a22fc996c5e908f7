#pragma once

#include <QByteArray>
#include <QString>

// The one conversion between the program's Unicode text and code page 1250,
// the encoding of every text the program shares with files and databases.
namespace cp1250 {

// Characters that code page 1250 cannot hold become '?'.
QByteArray encode(const QString &text);
QByteArray encode(QStringView text);

// Every byte decodes to exactly one character. The five bytes that code page
// 1250 leaves unassigned (0x81, 0x83, 0x88, 0x90, 0x98) decode to the C1
// control of the same number, so any stored byte string survives a round trip.
QString decode(const QByteArray &bytes);
QString decode(const char *bytes, qsizetype length = -1);

// True when every character of the text has a code page 1250 byte.
bool canEncode(QChar ch);
bool canEncode(QStringView text);

} // namespace cp1250
