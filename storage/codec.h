#pragma once

#include <QByteArray>
#include <QList>
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

// A character the text lost or changed on its way to storable text.
struct Replacement {
    QString from;
    QString to; // empty: nothing could stand for it, it was left out
};

// The text with every character code page 1250 lacks replaced by its nearest
// storable form: a letter without its accent (ñ → n), a spelled-out letter
// (ß → ss, œ → oe), a transliteration of other scripts (Cyrillic, Greek),
// plain punctuation for typographic signs. Letters of composed and
// decomposed form alike are kept where the code page has them (n + U+0301
// → ń). Invisible format characters go; what has no stand-in is left out.
// Each changed character is listed once, in order.
QString storable(const QString &text, QList<Replacement> *replaced = nullptr);

// What the teacher is told about the replacements (empty when none).
QString replacementNotice(const QList<Replacement> &replaced);

} // namespace cp1250
