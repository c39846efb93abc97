// DrawUtil.cpp - drawing utilities (see DrawUtil.h).
#include "kornd/DrawUtil.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include <algorithm>  // std::min, std::max
#include <climits>    // INT32_MIN, INT32_MAX
#include <cmath>      // std::cos, std::sin, std::floor
#include <numbers>    // std::numbers::pi

// Truncates toward zero, holding values beyond 32 bits at the ends of the range.
static std::int32_t trunc32(double v) {
  if (!(v > -2147483648.0)) return INT32_MIN;  // also NaN
  if (v >= 2147483647.0) return INT32_MAX;
  return static_cast<std::int32_t>(v);
}

// Truncates toward zero into the coordinate range (NaN: its lower end).
static std::int32_t coordinate(double v) {
  constexpr double limit = Max_Coordinate;
  if (!(v > -limit)) return -Max_Coordinate;
  if (v >= limit) return Max_Coordinate;
  return static_cast<std::int32_t>(v);
}

void PrepareDC(QPainter& dc) {
  dc.setRenderHint(QPainter::Antialiasing, false);
  dc.setRenderHint(QPainter::SmoothPixmapTransform, false);
  dc.setRenderHint(QPainter::TextAntialiasing, false);
}

KRpoint RotatePoint(KRpoint p, KRpoint centre, int angle) {
  double r = angle * std::numbers::pi / 1800.0;
  double dx = p.x - centre.x, dy = p.y - centre.y;
  double x = dx * std::cos(r) + dy * std::sin(r) + centre.x;
  double y = centre.y - dx * std::sin(r) + dy * std::cos(r);
  return {trunc32(x + 0.5), trunc32(y + 0.5)};
}

KRpoint TransformPoint(KRpoint p, const KRxform* xf) {
  if (xf == nullptr) return p;
  double x = p.x * double(xf->eM11) + p.y * double(xf->eM21) + xf->eDx;
  double y = p.x * double(xf->eM12) + p.y * double(xf->eM22) + xf->eDy;
  return {coordinate(x), coordinate(y)};
}

void ExtendRect(KRrect& r, KRpoint p) {
  if (r.IsAllZero()) {
    r = {p.x, p.y, p.x, p.y};
    return;
  }
  r.left = std::min(r.left, p.x);
  r.top = std::min(r.top, p.y);
  r.right = std::max(r.right, p.x);
  r.bottom = std::max(r.bottom, p.y);
}

void FitSize(int& width, int& height, int box_width, int box_height, bool cover) {
  if (width <= 0 || height <= 0) return;  // nothing to scale
  double s = double(box_width) / width;
  if (!cover && height * s > box_height) s = double(box_height) / height;
  if (cover && height * s < box_height) s = double(box_height) / height;
  width = trunc32(std::floor(width * s + 0.5));
  height = trunc32(std::floor(height * s + 0.5));
}

void RotatedBounds(KRrect& r, KRpoint centre, int angle) {
  if (angle == 0) return;
  KRpoint tl = RotatePoint({r.left, r.top}, centre, angle);
  KRrect out{tl.x, tl.y, tl.x + 1, tl.y + 1};
  ExtendRect(out, RotatePoint({r.right, r.bottom}, centre, angle));
  ExtendRect(out, RotatePoint({r.right, r.top}, centre, angle));
  ExtendRect(out, RotatePoint({r.left, r.bottom}, centre, angle));
  r = out;
}

// Bit length: position of the highest set bit, 0 for 0.
static int bit_length(int n) {
  int bits = 0;
  while (n > 0) {
    ++bits;
    n >>= 1;
  }
  return bits;
}

std::uint32_t ProbeColorDepth(QImage::Format format) {
  QImage probe(1, 1, format);
  if (probe.isNull() || probe.format() == QImage::Format_Indexed8 || probe.colorCount() > 0) return 0;
  int changes[3] = {0, 0, 0};
  int previous[3] = {0, 0, 0};
  for (int i = 1; i <= 255; ++i) {
    probe.setPixel(0, 0, qRgb(i, i, i));
    QRgb got = probe.pixel(0, 0);
    int now[3] = {qRed(got), qGreen(got), qBlue(got)};
    for (int c = 0; c < 3; ++c) {
      if (now[c] != previous[c]) ++changes[c];
      previous[c] = now[c];
    }
  }
  return std::uint32_t(bit_length(changes[0])) << 16 | std::uint32_t(bit_length(changes[1])) << 8 |
         std::uint32_t(bit_length(changes[2]));
}

int SelectClipXform(QPainter& dc, QTransform* saved) {
  dc.save();
  if (saved) *saved = dc.worldTransform();
  dc.setWorldTransform(QTransform());
  dc.setClipping(false);
  return 1;
}

void RestoreClipXform(QPainter& dc, int id, const QTransform* saved) {
  if (saved) dc.setWorldTransform(*saved, true);
  if (id != 0) dc.restore();
}

void SetPrinterOrientation(QPrinter& printer, bool landscape) {
  printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

int MixToRop2(int mix) {
  // R2_NOP, R2_BLACK, R2_WHITE, R2_NOT, R2_COPYPEN, R2_MASKPEN, R2_MERGEPEN, R2_XORPEN,
  // R2_NOTCOPYPEN, R2_NOTMASKPEN, R2_NOTMERGEPEN, R2_NOTXORPEN, R2_MASKNOTPEN, R2_MASKPENNOT,
  // R2_MERGENOTPEN, R2_MERGEPENNOT
  static constexpr int table[16] = {11, 1, 16, 6, 13, 9, 15, 7, 4, 8, 2, 10, 3, 5, 12, 14};
  if (mix >= 16) return mix - 16;
  if (mix < 0) return 13;  // no such code: plain copy
  return table[mix];
}
