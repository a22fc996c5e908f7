#pragma once

// A picture stored as its bare pixels: "SWPX", the width and the height as
// little-endian 32-bit numbers, then the rows of premultiplied 32-bit ARGB
// pixels (0xAARRGGBB, little-endian). The build writes the program's icons
// so; reading them needs no image decoder, whose first use costs a start
// about a millisecond (Qt looks through its image plug-ins then).
#include <QByteArray>
#include <QImage>
#include <QtEndian>

#include <cstring>

namespace pixelfile {

inline constexpr char kMagic[4] = {'S', 'W', 'P', 'X'};
inline constexpr int kHeader = 12;
inline constexpr int kMaxSide = 4096;

inline QByteArray encode(const QImage &picture) {
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QByteArray out(kHeader + qsizetype(argb.width()) * argb.height() * 4, Qt::Uninitialized);
    char *p = out.data();
    std::memcpy(p, kMagic, 4);
    qToLittleEndian<quint32>(quint32(argb.width()), p + 4);
    qToLittleEndian<quint32>(quint32(argb.height()), p + 8);
    p += kHeader;
    for (int y = 0; y < argb.height(); ++y) {
        const auto *row = reinterpret_cast<const quint32 *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x, p += 4)
            qToLittleEndian<quint32>(row[x], p);
    }
    return out;
}

// A null image for anything that is not a whole pixel file.
inline QImage decode(const QByteArray &bytes) {
    if (bytes.size() < kHeader || std::memcmp(bytes.constData(), kMagic, 4) != 0)
        return QImage();
    const quint32 width = qFromLittleEndian<quint32>(bytes.constData() + 4);
    const quint32 height = qFromLittleEndian<quint32>(bytes.constData() + 8);
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
        bytes.size() != kHeader + qsizetype(width) * height * 4)
        return QImage();
    QImage picture(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull())
        return QImage();
    const char *p = bytes.constData() + kHeader;
    for (int y = 0; y < picture.height(); ++y) {
        auto *row = reinterpret_cast<quint32 *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x, p += 4)
            row[x] = qFromLittleEndian<quint32>(p);
    }
    return picture;
}

} // namespace pixelfile
