#pragma once
// What a decoder would take to read a picture, beyond the pixels its header tells, looked at
// before any decoder is given the picture's bytes. Qt's decoders allocate what a file declares
// before they find whether the file holds it: libpng a chunk's whole declared length (and the
// text a compressed chunk inflates to), Qt's icon reader the declared length of the PNG it
// holds. They keep a picture's metadata several times over (the library's copy, Qt's UTF-16
// text, the description joined from it). And the icon reader makes its bitmap at the size the
// bitmap's own header gives, not the one it reports, and past Qt's allocation limit, which
// bounds what the other decoders make (picture.cpp). So a picture whose lengths run past the
// end of its data, or whose metadata passes kMaxPictureMetadataBytes, is refused, and one whose
// decoder would make more pixels than allowed is told apart. Every other picture is left to its
// decoder as before.

#include <QIODevice>
#include <QtGlobal>

namespace rt {

// The bytes of a picture's metadata its decoder may keep: a PNG's text, colour profile, Exif
// and other chunks libpng holds whole, with the text its compressed chunks inflate to; a JPEG's
// comment, Exif and colour profile segments. Cameras and editors write some hundreds of KiB.
// Held some five times over while the picture is decoded, 16 MiB stays under 100 MB, well
// within the room of one picture.
inline constexpr qint64 kMaxPictureMetadataBytes = qint64(16) << 20;

enum class PictureCheck {
    Sound,    // the decoder may be given the picture
    Damaged,  // a length runs past the end of the data, or the metadata past its bound
    TooLarge, // the decoder would make a picture of more pixels than allowed
    Unseen,   // what must be looked at lies beyond what a device that cannot seek lets peek
};

// Looks at the picture whose bytes the device holds from where it stands, and leaves the
// device there (a device that cannot seek keeps what was peeked for its next reader). Whole:
// the picture is to be decoded; otherwise only its header is to be read, for its size, and
// only what that reads is looked at. With maxPixels above 0, a picture its decoder would make
// of more pixels than that is TooLarge.
PictureCheck CheckPicture(QIODevice& device, bool whole, qint64 maxPixels);

} // namespace rt
