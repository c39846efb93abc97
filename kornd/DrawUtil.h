// DrawUtil.h - drawing utilities shared by the server's drawing objects, bitmaps, views and
// documents: device set-up, point and rectangle geometry, the colour-depth probe, drawing
// outside the world transform and clip, and the printer-orientation switch.
// All geometry works in whole device pixels; rectangles have exclusive right and bottom edges.
// Changes no global state.
#pragma once

#include <QImage>
#include <QTransform>

#include <cstdint>

class QPainter;
class QPrinter;

// Coordinates, device ones included, stay within 27 bits (the range the platform's drawing
// takes), so that no later sum, difference or pen margin leaves 32 bits.
constexpr std::int32_t Max_Coordinate = (1 << 27) - 1;

struct KRpoint {
  std::int32_t x = 0, y = 0;
  bool operator==(const KRpoint&) const = default;
};

struct KRrect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const KRrect&) const = default;
  bool IsAllZero() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
};

// Six floats of a world transform: x' = x*eM11 + y*eM21 + eDx, y' = x*eM12 + y*eM22 + eDy.
struct KRxform {
  float eM11 = 1, eM12 = 0, eM21 = 0, eM22 = 1, eDx = 0, eDy = 0;
};

// Standard set-up of every painter the server draws with (no smoothing, no antialiasing).
void PrepareDC(QPainter& dc);
// Rotates a point about a centre by tenths of a degree, counter-clockwise on the screen.
KRpoint RotatePoint(KRpoint p, KRpoint centre, int angle);
// Applies a transform (none: unchanged), truncating toward zero and holding the result to the
// coordinate range.
KRpoint TransformPoint(KRpoint p, const KRxform* xf);
// Grows a rectangle to hold the point; an all-zero rectangle becomes the point.
void ExtendRect(KRrect& r, KRpoint p);
// Scales width x height to fit inside (cover = false) or to cover (true) the box.
void FitSize(int& width, int& height, int box_width, int box_height, bool cover);
// Replaces the rectangle by the bounds of its corners rotated about the centre.
void RotatedBounds(KRrect& r, KRpoint centre, int angle);
// A colour value 0x00bbggrr as the pixel value 0x00rrggbb, and back.
constexpr std::uint32_t SWAP_RED_BLUE(std::uint32_t v) { return (v >> 16 & 0xFF) | (v & 0xFF00) | (v & 0xFF) << 16; }
// Bit counts of red, green and blue that an image of this format keeps: r << 16 | g << 8 | b;
// 0 for an indexed (palette) format.
std::uint32_t ProbeColorDepth(QImage::Format format);
// Saves the painter's state and draws from then on without world transform and clip; the old
// transform goes to *saved when given. Returns the saved-state identifier (1).
int SelectClipXform(QPainter& dc, QTransform* saved);
// Multiplies *saved back onto the transform (when given) and restores the state when id != 0.
void RestoreClipXform(QPainter& dc, int id, const QTransform* saved);
// Sets the printer's orientation: landscape or portrait.
void SetPrinterOrientation(QPrinter& printer, bool landscape);
// Binary raster operation (1-16) of a mix code: 0-15 through the mix table, 16 and above
// the code minus 16.
int MixToRop2(int mix);
