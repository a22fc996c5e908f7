#include "storage/codec.h"

#include <QStringList>

#include <array>
#include <cstring>

namespace {

// Unicode code points of the bytes 0x80..0xFF.
constexpr std::array<char16_t, 128> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, // F8
};

// Byte for a character, 0 when it has none (0 itself maps to 0 below).
int byteFor(char16_t u) {
    if (u < 0x80)
        return u;
    for (int i = 0; i < 128; ++i) {
        if (kHigh[i] == u)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

namespace cp1250 {

QByteArray encode(QStringView text) {
    // Every statement the program runs passes through here: one byte per
    // character, written straight into the result.
    QByteArray out(text.size(), Qt::Uninitialized);
    char *dst = out.data();
    for (QChar ch : text) {
        const int b = byteFor(ch.unicode());
        *dst++ = b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

QByteArray encode(const QString &text) {
    return encode(QStringView(text));
}

QString decode(const char *bytes, qsizetype length) {
    if (!bytes)
        return QString();
    if (length < 0)
        length = static_cast<qsizetype>(std::strlen(bytes));
    QString out(length, Qt::Uninitialized);
    QChar *dst = out.data();
    for (qsizetype i = 0; i < length; ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        dst[i] = QChar(b < 0x80 ? char16_t(b) : kHigh[b - 0x80]);
    }
    return out;
}

QString decode(const QByteArray &bytes) {
    return decode(bytes.constData(), bytes.size());
}

bool canEncode(QChar ch) {
    return byteFor(ch.unicode()) >= 0;
}

bool canEncode(QStringView text) {
    for (QChar ch : text) {
        if (!canEncode(ch))
            return false;
    }
    return true;
}

} // namespace cp1250

namespace {

struct Stand {
    char16_t ch;
    const char *to; // UTF-8
};

// Lower-case letters and signs with a stand-in of their own; tried before the
// decomposition, so that й is "j", not "i".
constexpr Stand kStandIns[] = {
    {0x00DF, "ss"},
    {0x0153, "oe"},
    {0x00E6, "ae"},
    {0x00F8, "o"},
    {0x00F0, "d"},
    {0x00FE, "th"},
    {0x0127, "h"},
    {0x0131, "i"},
    {0x0140, "l"},
    {0x014B, "ng"},
    {0x0167, "t"},
    {0x0133, "ij"},
    {0x017F, "s"},
    {0x0138, "k"},
    // Cyrillic, written as a Polish reader says it.
    {0x0430, "a"},
    {0x0431, "b"},
    {0x0432, "w"},
    {0x0433, "g"},
    {0x0434, "d"},
    {0x0435, "e"},
    {0x0451, "jo"},
    {0x0436, "ż"},
    {0x0437, "z"},
    {0x0438, "i"},
    {0x0439, "j"},
    {0x043A, "k"},
    {0x043B, "l"},
    {0x043C, "m"},
    {0x043D, "n"},
    {0x043E, "o"},
    {0x043F, "p"},
    {0x0440, "r"},
    {0x0441, "s"},
    {0x0442, "t"},
    {0x0443, "u"},
    {0x0444, "f"},
    {0x0445, "ch"},
    {0x0446, "c"},
    {0x0447, "cz"},
    {0x0448, "sz"},
    {0x0449, "szcz"},
    {0x044A, "\""},
    {0x044B, "y"},
    {0x044C, "'"},
    {0x044D, "e"},
    {0x044E, "ju"},
    {0x044F, "ja"},
    {0x0456, "i"},
    {0x0457, "ji"},
    {0x0454, "je"},
    {0x0491, "g"},
    {0x045E, "u"},
    {0x0452, "đ"},
    {0x0458, "j"},
    {0x0459, "lj"},
    {0x045A, "nj"},
    {0x045B, "ć"},
    {0x045F, "dž"},
    {0x0453, "g"},
    {0x045C, "k"},
    {0x0455, "dz"},
    // Greek.
    {0x03B1, "a"},
    {0x03B2, "b"},
    {0x03B3, "g"},
    {0x03B4, "d"},
    {0x03B5, "e"},
    {0x03B6, "z"},
    {0x03B7, "i"},
    {0x03B8, "th"},
    {0x03B9, "i"},
    {0x03BA, "k"},
    {0x03BB, "l"},
    {0x03BC, "m"},
    {0x03BD, "n"},
    {0x03BE, "ks"},
    {0x03BF, "o"},
    {0x03C0, "p"},
    {0x03C1, "r"},
    {0x03C3, "s"},
    {0x03C2, "s"},
    {0x03C4, "t"},
    {0x03C5, "y"},
    {0x03C6, "f"},
    {0x03C7, "ch"},
    {0x03C8, "ps"},
    {0x03C9, "o"},
    // Typographic signs.
    {0x2010, "-"},
    {0x2011, "-"},
    {0x2012, "-"},
    {0x2015, "—"},
    {0x2212, "-"},
    {0x2032, "'"},
    {0x2033, "\""},
    {0x201B, "'"},
    {0x201F, "\""},
    {0x2044, "/"},
    {0x2116, "Nr"},
};

QString standIn(QChar ch) {
    for (const Stand &s : kStandIns) {
        if (s.ch == ch.unicode())
            return QString::fromUtf8(s.to);
    }
    return QString();
}

// The stand-in of one character in its own case; empty when there is none.
QString replaceOne(const QString &ch, bool upperAround) {
    const QChar first = ch.at(0);
    const bool upper = ch.size() == 1 && first.isUpper();
    QString to = ch.size() == 1 ? standIn(upper ? first.toLower() : first) : QString();
    if (to.isEmpty()) {
        // Accents and compatibility forms go: ñ → n, ﬁ → fi, ½ → 1/2.
        for (QChar c : ch.normalized(QString::NormalizationForm_KD)) {
            if (c.category() == QChar::Mark_NonSpacing || c.category() == QChar::Mark_Enclosing ||
                c.category() == QChar::Mark_SpacingCombining)
                continue;
            if (cp1250::canEncode(c)) {
                to += c;
                continue;
            }
            const QString s = standIn(c.isUpper() ? c.toLower() : c);
            if (s.isEmpty())
                return QString();
            to += c.isUpper() ? s.toUpper() : s;
        }
        return to;
    }
    if (!upper)
        return to;
    return upperAround ? to.toUpper() : to.left(1).toUpper() + to.mid(1);
}

} // namespace

namespace cp1250 {

QString storable(const QString &raw, QList<Replacement> *replaced) {
    if (canEncode(QStringView(raw)))
        return raw;
    const QString text = raw.normalized(QString::NormalizationForm_C);
    QString out;
    out.reserve(text.size());
    auto note = [&](const QString &from, const QString &to) {
        if (!replaced)
            return;
        for (const Replacement &r : *replaced) {
            if (r.from == from)
                return;
        }
        replaced->append({from, to});
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (canEncode(c)) {
            out += c;
            continue;
        }
        QString ch(c);
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ch += text[++i];
        const uint code = ch.size() == 2 ? QChar::surrogateToUcs4(ch[0], ch[1]) : c.unicode();
        // Invisible marks of text direction and joining: nothing is lost.
        if (QChar::category(code) == QChar::Other_Format)
            continue;
        if (QChar::category(code) == QChar::Separator_Space) {
            out += QLatin1Char(' ');
            continue;
        }
        const bool upperAround = (i + 1 < text.size() && text[i + 1].isUpper()) ||
                                 (i - ch.size() >= 0 && text[i - ch.size()].isUpper());
        const QString to = replaceOne(ch, upperAround);
        out += to;
        note(ch, to);
    }
    return out;
}

QString replacementNotice(const QList<Replacement> &replaced) {
    QStringList changed, dropped;
    for (const Replacement &r : replaced) {
        if (r.to.isEmpty())
            dropped << r.from;
        else
            changed << r.from + QString::fromUtf8("→") + r.to;
    }
    QStringList parts;
    if (!changed.isEmpty())
        parts << QString::fromUtf8("Zamieniono litery, których plik nie może zapisać: ") +
                     changed.join(QStringLiteral(", ")) + QLatin1Char('.');
    if (!dropped.isEmpty())
        parts << QString::fromUtf8("Pominięto znaki, których plik nie może zapisać: ") +
                     dropped.join(QStringLiteral(" ")) + QLatin1Char('.');
    return parts.join(QLatin1Char(' '));
}

} // namespace cp1250
