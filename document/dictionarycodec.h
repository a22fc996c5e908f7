#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

// The text encoding of a Hunspell dictionary ("SET" of its .aff). Without
// ICU (the Windows build has none) Qt converts only Unicode and Latin-1, so
// ISO-8859-2, the encoding of the Polish dictionary, is converted here by its
// table; any other goes through Qt.
class DictionaryCodec {
public:
    explicit DictionaryCodec(const QByteArray &setName = QByteArray());
    bool isValid() const;
    // ok is false when a character has no byte in the dictionary's encoding.
    QByteArray encode(const QString &text, bool *ok) const;
    // ok is false for bytes that are no text in it.
    QString decode(const QByteArray &bytes, bool *ok) const;

private:
    bool m_latin2 = false;
    mutable QStringEncoder m_encoder;
    mutable QStringDecoder m_decoder;
};
