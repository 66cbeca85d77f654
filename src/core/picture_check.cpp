#include "picture_check.h"

#include <QByteArray>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <zlib.h>

namespace rt {

namespace {

// Thrown when the bytes needed lie beyond what could be peeked.
struct NotSeen {};

// The picture's bytes, by their offset from where the device stood. A device that can seek is
// read where needed and put back; one that cannot is peeked, in windows twice as large each
// time, up to a bound: the header region of a picture whose metadata is within its own bound.
class PictureBytes {
public:
    explicit PictureBytes(QIODevice& device)
        : device_(device), start_(device.pos()), size_(std::max<qint64>(0, device.size() - start_)),
          sequential_(device.isSequential()) {}
    ~PictureBytes() {
        if (!sequential_) device_.seek(start_);
    }
    PictureBytes(const PictureBytes&) = delete;
    PictureBytes& operator=(const PictureBytes&) = delete;

    qint64 size() const { return size_; }

    // Up to n bytes at offset, fewer at the end of the data.
    QByteArray at(qint64 offset, qint64 n) {
        n = std::clamp<qint64>(size_ - offset, 0, n);
        if (n == 0) return {};
        if (!sequential_) {
            if (!device_.seek(start_ + offset)) throw NotSeen();
            const QByteArray bytes = device_.read(n);
            if (bytes.size() != n) throw NotSeen();
            return bytes;
        }
        if (offset + n > window_.size()) {
            constexpr qint64 kMaxPeek = kMaxPictureMetadataBytes + (qint64(1) << 20);
            const qint64 grown = std::max<qint64>(2 * window_.size(), qint64(64) << 10);
            const qint64 wanted = std::min(size_, std::max(offset + n, std::min(grown, kMaxPeek)));
            if (wanted > kMaxPeek) throw NotSeen();
            window_ = device_.peek(wanted);
            if (offset + n > window_.size()) throw NotSeen();
        }
        return window_.mid(offset, n);
    }

private:
    QIODevice& device_;
    const qint64 start_;
    const qint64 size_;
    const bool sequential_;
    QByteArray window_;
};

constexpr quint32 chunkType(const char (&name)[5]) {
    return quint32(uchar(name[0])) << 24 | quint32(uchar(name[1])) << 16 |
           quint32(uchar(name[2])) << 8 | quint32(uchar(name[3]));
}

constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";

// The bytes a deflated stream inflates to, counted up to limit: what libpng allocates for the
// text of a compressed chunk. The stream's own header is passed over as libpng does when it
// widens the window to read more files: a header that lies about its window still counts.
qint64 inflatedSize(const QByteArray& stream, qint64 limit) {
    if (stream.size() <= 2) return 0;
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return limit;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.constData() + 2));
    z.avail_in = uInt(stream.size() - 2);
    std::array<Bytef, 64 * 1024> out;
    qint64 total = 0;
    int status = Z_OK;
    while (status == Z_OK && total < limit) {
        z.next_out = out.data();
        z.avail_out = uInt(out.size());
        status = inflate(&z, Z_NO_FLUSH);
        total += qint64(out.size() - z.avail_out);
        if (status == Z_BUF_ERROR || (status == Z_OK && z.avail_in == 0 && z.avail_out != 0))
            break; // the stream ends early: libpng keeps no more than this either
    }
    inflateEnd(&z);
    return total;
}

// The deflated stream of a compressed text or colour profile chunk, empty for the others:
// after the keyword and its null come the method (zTXt, iCCP), or the flag, the method, the
// language and the translated keyword (iTXt, compressed when the flag is 1).
QByteArray deflatedPart(quint32 type, const QByteArray& data) {
    qsizetype at = data.indexOf('\0');
    if (at < 0) return {};
    if (type == chunkType("zTXt") || type == chunkType("iCCP")) return data.mid(at + 2);
    if (type != chunkType("iTXt") || at + 2 >= data.size() || data[at + 1] != 1) return {};
    for (int field = 0; field < 2 && at >= 0; ++field)
        at = data.indexOf('\0', at + (field == 0 ? 3 : 1));
    return at < 0 ? QByteArray() : data.mid(at + 1);
}

// A PNG from start to end: every chunk lies within the data (the end chunk may lack its CRC,
// which Qt reads past), and the chunks libpng holds whole, with what their streams inflate to,
// stay within the metadata bound. The image data chunks are read a piece at a time, and
// chunks libpng does not know are passed over unread: they only have to lie within the data.
// Reading the header alone stops at the first image data chunk, where libpng does.
PictureCheck checkPng(PictureBytes& bytes, qint64 start, qint64 end, bool whole) {
    static constexpr quint32 kHeld[] = {chunkType("tEXt"), chunkType("zTXt"), chunkType("iTXt"),
                                        chunkType("iCCP"), chunkType("sPLT"), chunkType("pCAL"),
                                        chunkType("sCAL"), chunkType("eXIf")};
    qint64 kept = 0;
    for (qint64 at = start + 8; at < end;) {
        if (end - at < 8) return PictureCheck::Damaged;
        const QByteArray head = bytes.at(at, 8);
        const quint32 length = qFromBigEndian<quint32>(head.constData());
        const quint32 type = qFromBigEndian<quint32>(head.constData() + 4);
        const bool last = type == chunkType("IEND");
        if (length > 0x7fffffffu || qint64(length) + (last ? 0 : 4) > end - at - 8)
            return PictureCheck::Damaged;
        if (last) break;
        if (std::find(std::begin(kHeld), std::end(kHeld), type) != std::end(kHeld)) {
            kept += length;
            if (kept > kMaxPictureMetadataBytes) return PictureCheck::Damaged;
            if (type == chunkType("zTXt") || type == chunkType("iTXt") ||
                type == chunkType("iCCP")) {
                const QByteArray stream = deflatedPart(type, bytes.at(at + 8, length));
                kept += inflatedSize(stream, kMaxPictureMetadataBytes - kept + 1);
                if (kept > kMaxPictureMetadataBytes) return PictureCheck::Damaged;
            }
        }
        if (!whole && type == chunkType("IDAT")) break;
        at += 12 + qint64(length);
    }
    return PictureCheck::Sound;
}

// A JPEG's segments up to its first scan, where its header ends, found as libjpeg finds them
// (passing over stray bytes and fill bytes): each lies within the data, and those Qt keeps
// (comments, Exif and colour profiles) stay within the metadata bound. libjpeg allocates no
// more than 64 KiB for a segment, so the declared lengths themselves take nothing more.
PictureCheck checkJpeg(PictureBytes& bytes) {
    constexpr uchar kScan = 0xda, kComment = 0xfe, kExif = 0xe1, kProfile = 0xe2, kEnd = 0xd9;
    qint64 kept = 0;
    qint64 at = 2;
    bool afterFill = false;
    while (at < bytes.size()) {
        const QByteArray block = bytes.at(at, 4096);
        qint64 next = -1;
        uchar marker = 0;
        for (qsizetype i = 0; i < block.size() && next < 0; ++i) {
            const uchar c = uchar(block[i]);
            if (!afterFill) {
                afterFill = c == 0xff;
            } else if (c != 0xff) {
                afterFill = false;
                if (c != 0) {
                    marker = c;
                    next = at + i + 1;
                }
            }
        }
        if (next < 0) {
            at += block.size();
            continue;
        }
        at = next;
        if ((marker >= 0xd0 && marker <= 0xd7) || marker == 0x01) continue; // no length
        if (marker == kEnd || marker == 0xd8) break;                        // libjpeg stops
        const QByteArray field = bytes.at(at, 2);
        if (field.size() < 2) return PictureCheck::Damaged;
        const qint64 length = qFromBigEndian<quint16>(field.constData());
        if (length < 2 || length > bytes.size() - at) return PictureCheck::Damaged;
        if (marker == kComment || marker == kExif || marker == kProfile) {
            kept += length - 2;
            if (kept > kMaxPictureMetadataBytes) return PictureCheck::Damaged;
        }
        if (marker == kScan) break;
        at += length;
    }
    return PictureCheck::Sound;
}

// An icon, as Qt's reader tells one from its directory, reads its first image: a PNG of the
// declared length, read at once, or a bitmap of the size its own header gives when the
// directory says 0 (256 and more), while the reader reports the directory's size.
PictureCheck checkIcon(PictureBytes& bytes, bool whole, qint64 maxPixels) {
    const QByteArray dir = bytes.at(0, 22);
    if (!whole || dir.size() < 22) return PictureCheck::Sound;
    const char* d = dir.constData();
    const quint16 type = qFromLittleEndian<quint16>(d + 2);
    const bool cursor = type == 2;
    if (qFromLittleEndian<quint16>(d) != 0 || (type != 1 && !cursor) ||
        qFromLittleEndian<quint16>(d + 4) == 0 || d[9] != 0 ||
        (qFromLittleEndian<quint16>(d + 10) > 1 && !cursor) ||
        (qFromLittleEndian<quint16>(d + 12) > 32 && !cursor))
        return PictureCheck::Sound;
    const qint64 length = qFromLittleEndian<quint32>(d + 14);
    const qint64 offset = qFromLittleEndian<quint32>(d + 18);
    if (length < 40) return PictureCheck::Sound;
    if (bytes.at(offset, 8).startsWith(QByteArrayView(kPngSignature, 8))) {
        if (length > bytes.size() - offset) return PictureCheck::Damaged;
        return checkPng(bytes, offset, offset + length, true);
    }
    const QByteArray header = bytes.at(offset, 40);
    if (maxPixels <= 0 || header.size() < 40) return PictureCheck::Sound;
    const auto field = [&](int at) {
        return qint32(qFromLittleEndian<quint32>(header.constData() + at));
    };
    const qint64 width = uchar(d[6]) != 0 ? uchar(d[6]) : field(4);
    const qint64 height = uchar(d[7]) != 0 ? uchar(d[7]) : field(8) / 2;
    return width > 0 && height > 0 && width * height > maxPixels ? PictureCheck::TooLarge
                                                                 : PictureCheck::Sound;
}

} // namespace

PictureCheck CheckPicture(QIODevice& device, bool whole, qint64 maxPixels) {
    PictureBytes bytes(device);
    try {
        const QByteArray magic = bytes.at(0, 8);
        if (magic.startsWith(QByteArrayView(kPngSignature, 8)))
            return checkPng(bytes, 0, bytes.size(), whole);
        if (magic.startsWith("\xff\xd8")) return checkJpeg(bytes);
        return checkIcon(bytes, whole, maxPixels);
    } catch (const NotSeen&) {
        return PictureCheck::Unseen;
    }
}

} // namespace rt
