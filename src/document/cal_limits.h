#pragma once
// The limits of a ".cal" document, in one place. The writer refuses a document beyond them
// before it writes anything, and the reader refuses a file beyond them; so every file the
// program saves opens again, and no file, however it was made, can make the reader take more
// than its share of the machine. The pictures are the choosers' and the editor's business too:
// a picture beyond the per-picture limit is refused where it is chosen.
//
// The figures leave room for real use and keep reading the largest document they allow well
// under 1.5 GiB of memory: some 200 MiB for the records of a million items with their texts,
// then 1 GiB of decoded pictures (the text of "caldata.cal" is released before the pictures
// are read). Such a document, written and read back, peaked at 1.23 GiB.

#include "core/picture.h"

#include <QtGlobal>
#include <cstdint>

// Pixels of one picture: a 50-megapixel photo, more than an 8000 x 6000 camera picture
// (48 megapixels). Decoded, it takes 200 MB.
inline constexpr qint64 kMaxPicturePixels = 50'000'000;

// Bytes of all the pictures of a document once decoded, counted at 4 bytes a pixel whatever
// their format (rt::DecodedBytes). 1 GiB holds the twelve month backgrounds and the default
// background at 4K (3840 x 2160, 33 MB each, 431 MB together) beside some 130 item photos of
// 1280 x 960, or some 200 such photos alone, or five photos at the per-picture limit.
inline constexpr qint64 kMaxPictureBytes = qint64(1) << 30;

// Day items of a document: five times the largest year the benchmarks generate (200,000
// items). Each item takes at least some 110 bytes of memory once read, however few bytes its
// lines take in the file, so the data text alone would not bound the records.
inline constexpr qint64 kMaxDayItems = 1'000'000;

// Bytes of "caldata.cal". A year of 200,000 ordinary items takes about 13 MB.
inline constexpr qint64 kMaxDataBytes = qint64(64) << 20;

// Entries of the archive: "caldata.cal" and one entry a picture. Far more pictures than the
// picture budget holds at any ordinary size.
inline constexpr int kMaxEntries = 65'536;

// A picture is stored as a bitmap file: at most 4 bytes a pixel, plus its header and palette
// (54 + 1024 bytes at most), rounded up.
inline constexpr qint64 kPictureFileOverhead = 2048;

// Bytes extracted from one archive: what the largest document the other limits allow writes,
// so the writer's checks keep every file it makes within this one.
inline constexpr qint64 kMaxExtractedBytes =
    kMaxDataBytes + kMaxPictureBytes + qint64(kMaxEntries) * kPictureFileOverhead;

static_assert(kMaxPicturePixels * rt::kDecodedBytesPerPixel <= kMaxPictureBytes);
static_assert(kMaxExtractedBytes >= qint64(1) << 30);
