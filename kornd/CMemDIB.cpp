// CMemDIB.cpp - the back buffer of a view (see CMemDIB.h).
#include "kornd/CMemDIB.h"

#include <algorithm>  // std::min, std::max

#include "kornd/GdiCache.h"  // ColorOf

bool CMemDIB::Create(int w, int h, std::int32_t fill) {
  Reset();
  if (w <= 0 || h <= 0) return false;
  surface_ = QImage(w, h, QImage::Format_RGB32);
  if (surface_.isNull()) return false;
  surface_.fill(fill < 0 ? QColor(Qt::black) : ColorOf(static_cast<std::uint32_t>(fill)));
  dc_ = std::make_unique<KRdc>(&surface_);
  state_ = Filled;
  blank_ = fill < 0 ? Not_Blank : fill;
  return true;
}

void CMemDIB::Reset() {
  dc_.reset();
  surface_ = QImage();
  state_ = No_Surface;
  blank_ = Not_Blank;
  dirty_ = {};
}

void CMemDIB::Invalidate(unsigned bits, const KRrect* rect, const std::int32_t* fill) {
  state_ |= bits;
  if (rect && !rect->IsEmpty()) {
    dirty_ = dirty_.IsEmpty() ? *rect
                              : KRrect{std::min(dirty_.left, rect->left), std::min(dirty_.top, rect->top),
                                       std::max(dirty_.right, rect->right), std::max(dirty_.bottom, rect->bottom)};
    state_ |= Dirty_Rect;
    return;
  }
  if (rect) return;
  if (fill && !surface_.isNull() && blank_ != *fill) {
    surface_.fill(ColorOf(static_cast<std::uint32_t>(*fill)));
    blank_ = *fill;
  }
  state_ |= Filled;
}

void CMemDIB::ClearDirty() {
  dirty_ = {};
  state_ = 0;
}

void CMemDIB::ResetDc() {
  if (!surface_.isNull()) dc_ = std::make_unique<KRdc>(&surface_);
}
