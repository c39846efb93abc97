// CKorndSolidRect.cpp - see CKorndSolidRect.h.
#include "kornd/CKorndSolidRect.h"

#include <algorithm>  // std::min, std::max

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/CKorndView.h"
#include "kornd/KRdc.h"

int CKorndSolidRect::Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  std::int32_t c = colour;
  if (c == -1 && view) {  // on the screen what lies beneath is the picture at the selected anchor
    view->RestoreBackground(dc, rect_);
    return 1;
  }
  if (c == -1) c = doc ? doc->BackgroundColour() : 0xFFFFFF;  // the picture's background, also in exports
  else if (c < -1) c = env.Role(-c - 1);
  if (c < 0) return 1;  // a role without a colour fills nothing
  dc.FillSolidRect(rect_, static_cast<std::uint32_t>(c));
  return 1;
}
