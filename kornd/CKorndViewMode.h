// CKorndViewMode.h - which part of the picture a view shows and how: the view mode (1 bitmap
// 1:1 with scrolling, 2 isotropic viewport union, 3 drawing bounds stretched, 4 whole picture
// stretched, 5 zoomed rectangle), the zoom stack that "Back" pops, the shown (view) rectangle
// with its integer scale factors, the device extent the view's surfaces have, the page mapping
// of those surfaces, and conversions between client pixels and picture units.
// A zero client size (a minimised window) never divides: it counts as one pixel.
// Reads the document's picture geometry; changes nothing beyond itself.
#pragma once

#include <vector>

#include "kornd/DrawUtil.h"
#include "kornd/KRmapping.h"

class CKorndDoc;

class CKorndViewMode {
 public:
  // Buffer marks a mode change asks for: the size may change, or the whole picture is dirty.
  static constexpr unsigned Mark_Size = 0x4, Mark_Dirty = 0x8;

  // Mode 0 pops the zoom stack, 5 pushes the shown rectangle and shows r, 1-4 set that mode
  // (and empty the stack). Returns the buffer mark.
  unsigned SetViewMode(int m, const KRrect* r, const CKorndDoc& doc);
  // The shown rectangle, scale factors and device extent for the mode and client size.
  void RecalcViewRect(const CKorndDoc& doc);
  // Mode 1: keeps the scroll position inside the picture.
  void ClampScroll(const CKorndDoc& doc);
  // The client area got a new size.
  void OnSize(int cx, int cy, const CKorndDoc& doc);
  // The mapping of a surface of the device extent for the mode (divisor: the surface's picture
  // units per pixel). For the window's own surface (window_dc) the shown rectangle and scale
  // factors follow, and the mapping is kept for the conversions below.
  KRmapping SetupMapping(const CKorndDoc& doc, bool window_dc, int divisor);
  // Normalised r (null or all zero: all zero), grown by a on the left and top and by b on the
  // right and bottom, scaled outside mode 1; while printing grown only in mode 1.
  KRrect MapRect(const KRrect* r, int a, int b, bool printing) const;
  // Client pixel to picture units, and back.
  KRpoint ToLogical(KRpoint p) const;
  KRpoint ToClient(KRpoint p) const;
  bool PointInClient(KRpoint p) const;
  // Within about two client pixels of each other.
  bool NearPoint(KRpoint p, KRpoint q) const;

  int mode = 2, previous = 2;
  std::vector<KRrect> stack;  // zoom stack, top at the back
  KRrect view_rect;
  int client_width = 640, client_height = 480;
  int device_width = 640, device_height = 480;  // client size, in mode 1 the picture size
  KRpoint scroll;
  int scale_x = 1, scale_y = 1;
  int arrow_size = 2;
  // The server's resolution when the view was made and now (dots per inch): a view keeps its
  // pixel size when the server's resolution changes.
  int creation_resolution_x = 300, creation_resolution_y = 300;
  int resolution_x = 300, resolution_y = 300;
  KRmapping window_mapping;  // the mapping of the window's own surface

 private:
  void ScaleFactors();
};
