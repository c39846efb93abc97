// CKorndImage.cpp - see CKorndImage.h.
#include "kornd/CKorndImage.h"

#include <algorithm>  // std::max, std::min

#include "kornd/CKRDIB.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndView.h"
#include "kornd/KRdc.h"

int CKorndImage::Draw(CKorndGC&, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip) || doc == nullptr) return 0;
  CKRDIB* b = doc->Bitmap(bitmap);
  QImage* surface = dc.Surface();
  const bool window = view != nullptr && view->IsWindowDC(dc) && surface != nullptr;
  if (b && window && put_mode > 0) {
    if ((put_mode & 0x4) && !b->saved_background.isNull()) {  // restore what the last put covered
      const KRrect& r = b->saved_rect;
      for (int y = std::max(r.top, 0); y < std::min(r.bottom, surface->height()); ++y)
        for (int x = std::max(r.left, 0); x < std::min(r.right, surface->width()); ++x)
          surface->setPixel(x, y, b->saved_background.pixel(x - r.left, y - r.top));
      b->saved_background = QImage();
      b->saved_rect = {};
    }
    if (put_mode & 0x2) {  // save what this put covers
      b->saved_rect = rect_;
      b->saved_background = surface->copy(rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top);
    }
  }
  if (put_mode > 0 && !(put_mode & 0x1)) return 1;
  if (b == nullptr) return 1;
  int w = rect_.right - rect_.left, h = rect_.bottom - rect_.top;
  b->DrawTransparent(dc, rect_.left, rect_.top, mirror_x ? -w : w, mirror_y ? -h : h, rop, b->transparent,
                     b->transparent_colour);
  return 1;
}
