// CKorndOG.cpp - see CKorndOG.h.
#include "kornd/CKorndOG.h"

#include <algorithm>  // std::min, std::max

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndView.h"

// Union of rectangles in which an empty operand leaves the other unchanged.
void CKorndOG::Unite(const KRrect& r) {
  if (r.IsEmpty()) return;
  if (rect_.IsEmpty()) {
    rect_ = r;
    return;
  }
  rect_ = {std::min(rect_.left, r.left), std::min(rect_.top, r.top), std::max(rect_.right, r.right),
           std::max(rect_.bottom, r.bottom)};
}

int CKorndOG::AddTool(std::unique_ptr<CKorndTool>& slot) {
  if (!slot) return 0;
  if (slot->type() != Group_Type) {
    Unite(slot->rect());
    members_.push_back(std::move(slot));
    return 1;
  }
  auto& group = static_cast<CKorndOG&>(*slot);
  int n = MergeList(group.members_);
  if (n == 0) return 0;
  Unite(group.rect());
  group.SetFlags(group.flags() | Erased);
  return n;
}

int CKorndOG::MergeList(ToolList& list) {
  int n = static_cast<int>(list.size());
  if (n < 1) return n;
  members_.splice(members_.end(), list);
  return n;
}

ToolList CKorndOG::RemoveAll() {
  ToolList out;
  out.splice(out.end(), members_);
  rect_ = {};
  return out;
}

int CKorndOG::Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip) {
  if (view) view->EnterReplay();
  int result = 0;
  // A member's pause may serve a request that moves the members away: the walk stops then.
  const std::uint64_t changes = doc ? doc->ListChanges() : 0;
  for (auto it = members_.begin(); it != members_.end(); ++it) {
    result |= (*it)->Draw(env, doc, view, dc, skip);
    if (doc && doc->ListChanges() != changes) break;
  }
  rect_ = {};
  for (auto& m : members_) Unite(m->rect());
  if (members_.empty()) rect_ = {};
  if (view) view->LeaveReplay();
  return result;
}
