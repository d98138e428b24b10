#pragma once
// Drawing operations of the raster layer. Each takes the destination bitmap
// first and draws nothing when it (or a source bitmap) is absent, holds no
// pixels, or the clipped area is empty. Opacity is limited to 0..1; mode is a
// combine (low byte) plus the flags of raster_types.h.
#include "raster/raster_bitmap.h"

namespace selvarin {

// Copies the source rectangle (srcX, srcY, srcW, srcH) to (destX, destY).
void RasterBlit(RasterBitmap* dest, RasterBitmap* src, int destX, int destY, int srcX, int srcY, int srcW,
                int srcH, float opacity, int mode);

// Maps every pixel of the destination rectangle back into the source,
// rotating by -angle (radians, clockwise positive) about the destination
// centre plus the centre offset. Negative sizes mirror.
void RasterRotatedBlit(RasterBitmap* dest, RasterBitmap* src, int destX, int destY, int destW, int destH,
                       float srcX, float srcY, float srcW, float srcH, float angle, bool clipToSourceRect,
                       float opacity, int mode, float centreOffsetX = 0.0f, float centreOffsetY = 0.0f);

void RasterFillRect(RasterBitmap* dest, int x, int y, int w, int h, RasterPixel colour, float opacity, int mode);

// Lines include both end points. Only the combine of the mode is used: the
// caller passes the colour's alpha as opacity.
void RasterLine(RasterBitmap* dest, int x1, int y1, int x2, int y2, RasterPixel colour, float opacity, int mode,
                bool antialias);
void RasterLineF(RasterBitmap* dest, float x1, float y1, float x2, float y2, RasterPixel colour, float opacity,
                 int mode, bool antialias);

// Angles in radians, 0 pointing up (toward smaller y), growing clockwise.
// A span of 2*pi or more draws the full circle or disc.
void RasterArc(RasterBitmap* dest, float centreX, float centreY, float radius, float minAngle, float maxAngle,
               RasterPixel colour, float opacity, int mode, bool antialias);
void RasterFilledSector(RasterBitmap* dest, float centreX, float centreY, float radius, float minAngle,
                        float maxAngle, RasterPixel colour, float opacity, int mode, bool antialias);

}  // namespace selvarin
