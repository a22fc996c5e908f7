#include "document/dictionarycodec.h"

#include <array>

namespace {

// Unicode code points of the ISO-8859-2 bytes 0xA0..0xFF (below them the
// bytes are the code points).
constexpr std::array<char16_t, 96> kLatin2High = {
    0x00A0, 0x0104, 0x02D8, 0x0141, 0x00A4, 0x013D, 0x015A, 0x00A7, // A0
    0x00A8, 0x0160, 0x015E, 0x0164, 0x0179, 0x00AD, 0x017D, 0x017B, // A8
    0x00B0, 0x0105, 0x02DB, 0x0142, 0x00B4, 0x013E, 0x015B, 0x02C7, // B0
    0x00B8, 0x0161, 0x015F, 0x0165, 0x017A, 0x02DD, 0x017E, 0x017C, // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, // F8
};

int latin2Byte(char16_t u) {
    if (u < 0xA0)
        return u;
    for (int i = 0; i < int(kLatin2High.size()); ++i) {
        if (kLatin2High[i] == u)
            return 0xA0 + i;
    }
    return -1;
}

} // namespace

DictionaryCodec::DictionaryCodec(const QByteArray &setName) {
    const QByteArray name = setName.trimmed().toUpper();
    if (name == "ISO8859-2" || name == "ISO-8859-2") {
        m_latin2 = true;
        return;
    }
    QByteArray qtName = name.isEmpty() ? QByteArray("ISO-8859-1") : name;
    if (qtName.startsWith("ISO8859"))
        qtName.insert(3, '-'); // the name Qt knows
    m_encoder = QStringEncoder(qtName.constData());
    m_decoder = QStringDecoder(qtName.constData());
}

bool DictionaryCodec::isValid() const {
    return m_latin2 || (m_encoder.isValid() && m_decoder.isValid());
}

QByteArray DictionaryCodec::encode(const QString &text, bool *ok) const {
    if (!m_latin2) {
        m_encoder.resetState();
        const QByteArray bytes = m_encoder.encode(text);
        *ok = !m_encoder.hasError();
        return bytes;
    }
    QByteArray out;
    out.reserve(text.size());
    *ok = true;
    for (QChar ch : text) {
        const int b = latin2Byte(ch.unicode());
        if (b < 0) {
            *ok = false;
            return QByteArray();
        }
        out.append(char(b));
    }
    return out;
}

QString DictionaryCodec::decode(const QByteArray &bytes, bool *ok) const {
    if (!m_latin2) {
        m_decoder.resetState();
        const QString text = m_decoder.decode(bytes);
        *ok = !m_decoder.hasError();
        return text;
    }
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out.append(QChar(b < 0xA0 ? char16_t(b) : kLatin2High[b - 0xA0]));
    }
    *ok = true;
    return out;
}
