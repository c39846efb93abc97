// CKorndDoc_Segments.cpp - segments and object groups of a window: the group table (one group
// in the making per segment), putting a group into the drawing, collecting a segment's objects
// into its group, erasing a segment, and the requests B 23 and B 26.
// Changes: the document's object list, counts and objects by segment, its group table, the
// head's current segment (B 23 with a = 0).
#include <algorithm>
#include <cstdlib>
#include <limits>

#include "kornd/CKorndAnchor.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndHintTool.h"
#include "kornd/CKorndOG.h"

namespace {

// Highest segment number; larger ones are refused (segments are 16-bit in the objects).
constexpr int Max_Segment = 65535;

void unite(KRrect& into, const KRrect& r) {
  if (r.IsAllZero()) return;
  if (into.IsAllZero()) {
    into = r;
    return;
  }
  into = {std::min(into.left, r.left), std::min(into.top, r.top), std::max(into.right, r.right),
          std::max(into.bottom, r.bottom)};
}

}  // namespace

bool CKorndDoc::GrowSegments(int s) {
  if (s < 0 || s > Max_Segment) return false;
  if (s >= int(group_index_.size())) group_index_.resize(std::size_t(s) + 1, -1);
  if (s >= int(by_segment_.size())) by_segment_.resize(std::size_t(s) + 1, 0);
  return true;
}

CKorndOG* CKorndDoc::GetGroup(int s) {
  if (!GrowSegments(s)) return nullptr;
  int& index = group_index_[std::size_t(s)];
  if (index < 0) {
    groups_.push_back(std::make_unique<CKorndOG>());
    groups_.back()->SetSegment(s);
    index = static_cast<int>(groups_.size()) - 1;
  }
  return groups_[std::size_t(index)].get();
}

CKorndOG* CKorndDoc::CommitGroup(int s) {
  if (GetGroup(s) == nullptr) return nullptr;
  std::unique_ptr<CKorndOG>& entry = groups_[std::size_t(group_index_[std::size_t(s)])];
  std::unique_ptr<CKorndOG> g = std::move(entry);
  entry = std::make_unique<CKorndOG>();  // a fresh group takes the committed one's place
  entry->SetSegment(s);
  CKorndOG* committed = g.get();
  object_count_ += g->Weight();
  by_segment_[std::size_t(std::clamp(g->segment(), 0, Max_Segment))] += 1;
  tools_.push_back(std::move(g));
  return committed;
}

// The live objects of segment s from the newest back to the base picture (segment 0), while
// the segment still counts any; the visitor may erase the node (leaving `it` on the next one).
template <class Visit>
void CKorndDoc::WalkSegment(int s, Visit visit) {
  for (auto it = tools_.end(); it != tools_.begin() && by_segment_[std::size_t(s)] > 0;) {
    --it;
    const CKorndTool& t = **it;
    if (t.flags() & (CKorndTool::Erased | CKorndTool::Hidden)) continue;
    if (t.segment() == 0) break;
    if (t.segment() != s) continue;
    visit(it);
  }
}

int CKorndDoc::CollectSegment(int s, KRrect& area) {
  CKorndOG* g = GetGroup(s);
  if (g == nullptr) return 0;
  ToolList collected;
  int moved = 0;
  WalkSegment(s, [&](ToolList::iterator& it) {
    CKorndTool& t = **it;
    if (t.flags() & CKorndTool::Has_Rect) unite(area, t.rect());
    std::unique_ptr<CKorndTool> taken = std::move(*it);
    it = UnlinkTool(it);
    by_segment_[std::size_t(s)] -= 1;
    const int weight = taken->Weight();
    object_count_ -= weight;
    moved += weight;
    if (taken->type() == CKorndTool::Group_Type) {
      g->AddTool(taken);  // its members move over, the emptied group goes
      DiscardTool(std::move(taken));
    } else {
      collected.push_front(std::move(taken));
    }
  });
  g->MergeList(collected);
  return moved;
}

int CKorndDoc::EraseSegment(int s, KRrect& area) {
  if (!GrowSegments(s)) return 0;
  const int wanted = by_segment_[std::size_t(s)];
  int taken = 0, weight = 0;
  for (auto it = tools_.end(); it != tools_.begin() && taken < wanted;) {
    --it;
    CKorndTool& t = **it;
    if (t.flags() & (CKorndTool::Erased | CKorndTool::Hidden)) continue;
    if (t.segment() == 0) break;
    if (t.segment() != s) continue;
    if (t.flags() & CKorndTool::Has_Rect) unite(area, t.rect());
    weight += t.Weight();
    MarkErased(t);
    ++taken;
  }
  return weight;
}

void CKorndDoc::SendArea(const KRrect& area) {
  CKorndHintTool hint;
  hint.SetRect(area);
  // The area as the document's environment places it; an empty area has no bounds.
  if (const std::optional<KRrect> b = hint.GetBounds(env_, 1)) GrowBounds(*b);
  SendHint(Hint_Erase, &hint, &area);
}

int CKorndDoc::ShowGroup(int n, const KRrect* area) {
  KRrect hint = area ? *area : KRrect{};
  int count = 0;
  if (n == 0) {
    for (int s = 0; s < int(group_index_.size()); ++s) {
      const int index = group_index_[std::size_t(s)];
      if (index < 0 || groups_[std::size_t(index)]->Weight() == 0) continue;
      CKorndOG* g = CommitGroup(s);
      count += g->Weight();
      unite(hint, g->rect());
    }
  } else {
    if (n == std::numeric_limits<int>::min() || std::abs(n) > Max_Segment) return 0;
    if (n < 0) {
      n = -n;
      EraseSegment(n, hint);
    }
    if (CKorndOG* g = CommitGroup(n)) {
      count = g->Weight();
      unite(hint, g->rect());
    }
  }
  SendArea(hint);
  return count;
}

int CKorndDoc::SegmentOp(int a, int b) {
  if (a == std::numeric_limits<int>::min() || b == std::numeric_limits<int>::min() || std::abs(a) > Max_Segment ||
      std::abs(b) > Max_Segment)
    return 0;  // segment numbers are 16-bit
  GetGroup(std::abs(a));
  GetGroup(std::abs(b));
  KRrect area;
  if (a == b) {
    if (a > 0) return by_segment_[std::size_t(a)];
    if (a < 0) return GetGroup(-a)->Weight();
    return block_->segment;
  }
  if (a == 0) {
    block_->segment = b;
    return object_count_;
  }
  if (a > 0 && b < 0) {
    if (a != -b) unite(area, CommitGroup(-b)->rect());
    const int n = CollectSegment(a, area);
    SendArea(area);
    return n;
  }
  if (a < 0 && b < 0) {
    std::unique_ptr<CKorndTool> from = std::move(groups_[std::size_t(group_index_[std::size_t(-a)])]);
    auto fresh = std::make_unique<CKorndOG>();
    fresh->SetSegment(-a);
    groups_[std::size_t(group_index_[std::size_t(-a)])] = std::move(fresh);
    return GetGroup(-b)->AddTool(from);
  }
  if (a > 0) {  // b >= 0: the objects of segment a move to segment b
    int result = 0;
    WalkSegment(a, [&](ToolList::iterator& it) {
      CKorndTool& t = **it;
      t.SetSegment(b);
      by_segment_[std::size_t(a)] -= 1;
      by_segment_[std::size_t(b)] += 1;
      result += t.type() == CKorndTool::Group_Type ? t.Weight() + 1 : 2;
    });
    return result;
  }
  if (b > 0) {  // a < 0: the group of -a replaces segment b
    EraseSegment(b, area);
    return ShowGroup(-a, &area);
  }
  GetGroup(-a)->SetSegment(0);  // a < 0, b = 0: the group becomes part of the base
  return ShowGroup(-a, &area);
}

void CKorndDoc::RemoveLastAnchor() {
  if (CKorndAnchor* last = anchors_[std::size_t(anchor_count_)]) MarkErased(*last);
  anchors_[std::size_t(anchor_count_)] = nullptr;
  anchors_.resize(std::size_t(anchor_count_));
  --anchor_count_;
}

int CKorndDoc::PushAnchor(int n) {
  if (n >= 1) {
    if (n == anchor_count_) {
      RemoveLastAnchor();
      current_anchor_ = 0;
    }
    if (storing_) {
      PurgeTools(0);
      auto anchor = std::make_unique<CKorndAnchor>();
      anchor->SetSegment(0);
      anchor->Capture(env_);
      CKorndAnchor* added = anchor.get();
      tools_.push_back(std::move(anchor));
      added->SetReplayPosition(std::prev(tools_.end()));
      object_count_ += 1;
      by_segment_[0] += 1;
      ++anchor_count_;
      anchors_.push_back(added);
    }
    return SelectAnchor(anchor_count_);
  }
  const long long k = n < 0 ? -static_cast<long long>(n) : anchor_count_;
  long long removed = 0;
  while (removed < k && anchor_count_ > 0) {
    RemoveLastAnchor();
    ++removed;
  }
  current_anchor_ = 0;
  if (anchor_count_ > 0) SelectAnchor(anchor_count_);
  return static_cast<int>(removed - k);
}

int CKorndDoc::SelectAnchor(int n) {
  if (n == 0) {
    current_anchor_ = 0;
    SendHint(6, nullptr, nullptr);
    return 0;
  }
  if (n == -1) return current_anchor_;
  if (n < 0) return anchor_count_;
  if (n <= anchor_count_ && anchors_[std::size_t(n)] != nullptr) {
    const int hint = n < current_anchor_ ? (4 | 1 << 8) : 4;
    current_anchor_ = n;
    SendHint(hint, nullptr, nullptr);
  }
  return current_anchor_;
}

int CKorndDoc::SelectedAnchorId() const {
  if (current_anchor_ <= 0 || current_anchor_ > anchor_count_) return 0;
  const CKorndAnchor* a = anchors_[std::size_t(current_anchor_)];
  return a != nullptr ? a->id() : 0;
}

const CKorndGC* CKorndDoc::TopAnchorEnv() const {
  if (anchor_count_ <= 0) return nullptr;
  const CKorndAnchor* a = anchors_[std::size_t(anchor_count_)];
  return a != nullptr ? a->Saved() : nullptr;
}

void CKorndDoc::RenderAtAnchor(KRdc* dc, CKorndGC& env) {
  const int stop = SelectedAnchorId();
  const bool stopped = Render(dc, env, stop) != tools_.end() || (stop > 0 && env.replay_position &&
                                                                 (**env.replay_position)->id() >= stop);
  if (stop <= 0 || !stopped || dc == nullptr || !StartAtTopAnchor(*dc, env)) return;
  Render(dc, env, 0);
}

bool CKorndDoc::StartAtTopAnchor(KRdc& dc, CKorndGC& env) const {
  const CKorndGC* top = TopAnchorEnv();
  if (top == nullptr) return false;
  env.CopyFrom(*top);
  env.Apply(dc);
  return true;
}
