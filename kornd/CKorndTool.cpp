// CKorndTool.cpp - base of the drawing objects (see CKorndTool.h).
#include "kornd/CKorndTool.h"

#include <algorithm>  // std::min, std::max

#include "kornd/CKorndGC.h"

static int next_id = 1;

CKorndTool::CKorndTool(int type, std::uint32_t flags) : type_(type), id_(next_id++), flags_(flags) {}

CKorndTool::CKorndTool(int type, std::uint32_t flags, No_Id) : type_(type), id_(0), flags_(flags) {}

int CKorndTool::Draw(CKorndGC&, CKorndDoc*, CKorndView*, KRdc&, std::uint32_t) { return 0; }

bool CKorndTool::EndPoint(KRpoint&) const { return false; }

std::optional<KRrect> CKorndTool::GetBounds(CKorndGC& env, int recompute) {
  if (!(flags_ & Has_Rect)) return std::nullopt;
  if ((!bounds_ || recompute) && !rect_.IsAllZero()) {
    KRrect b;
    if (env.xform_active) {
      const KRpoint corners[4] = {{rect_.left, rect_.top}, {rect_.right, rect_.bottom}, {rect_.left, rect_.bottom},
                                  {rect_.right, rect_.top}};
      for (KRpoint c : corners) ExtendRect(b, TransformPoint(c, &env.xform));
    } else {
      b = {std::min(rect_.left, rect_.right), std::min(rect_.top, rect_.bottom), std::max(rect_.left, rect_.right),
           std::max(rect_.top, rect_.bottom)};
    }
    if (!b.IsAllZero()) {
      if (b.right == b.left) b.right += 1;
      if (b.bottom == b.top) b.bottom += 1;
    }
    if (!env.clip.IsEmpty())
      b = {std::max(b.left, env.clip.left), std::max(b.top, env.clip.top), std::min(b.right, env.clip.right),
           std::min(b.bottom, env.clip.bottom)};
    bounds_ = b;
  }
  return bounds_;
}

int CKorndTool::NextId() { return next_id; }
