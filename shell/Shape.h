// Window shapes from pictures: the opaque pixels of a picture as a region, and the stored form
// of a region (a byte count followed by a rectangle list in banded order).
#pragma once

#include <QImage>
#include <QRegion>

#include "platform/core/Component.h"

// The colour of a pixel as 0x00BBGGRR.
TColor PixelColor(const QImage& Image, int X, int Y);
// The pixels whose colour differs from Transparent; a system colour never matches, so it keeps
// every pixel. A null picture gives an empty region.
QRegion ShapeFromImage(const QImage& Image, TColor Transparent);
// Count N, then a 32-byte header and 16 bytes per rectangle; N is 0 for an empty region.
TBytes EncodeRegion(const QRegion& Region);
// Inverse of EncodeRegion; an empty block or N = 0 gives an empty region. Throws
// EInvalidRegionData when the block is damaged.
QRegion DecodeRegion(const TBytes& Block);

class EInvalidRegionData : public Exception {
 public:
  using Exception::Exception;
};
