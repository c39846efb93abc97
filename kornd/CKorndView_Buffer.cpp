// CKorndView_Buffer.cpp - how a view puts the document's objects on the screen: new objects
// drawn at once, repaints that copy the back buffer or replay the list (clipped, from a
// replay position up to a stop id), the buffer's stale-state bits, the update hints and the
// view's Replay, Redraw, Buffering and Storing commands (see CKorndView.h).
// Reads: the document's list, storing flag, environment and background. Changes: the view's
// surfaces and flags, the document's storing flag (Storing command), the document's background
// and the block's background field (a SetColor object of the background role), the
// application's closing flag (a wait that ended inside a drawing).
#include <QCursor>
#include <QPainter>

#include <algorithm>  // std::min, std::max
#include <cstdlib>    // std::abs, std::llabs
#include <cstring>    // std::memcpy

#include "kornd/CKorndApp.h"
#include "kornd/CKorndChild.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/CKorndMain.h"
#include "kornd/CKorndOG.h"
#include "kornd/CKorndPlot.h"
#include "kornd/CKorndSetColor.h"
#include "kornd/CKorndTool.h"
#include "kornd/CKorndView.h"

namespace {

// Largest surface made (16 M pixels, 64 MB); a larger picture draws nothing instead of taking
// the machine's memory.
constexpr std::int64_t Max_Surface_Pixels = std::int64_t(1) << 24;
constexpr KRrect Whole_Window{0, 0, 1 << 30, 1 << 30};

KRrect normalised(const KRrect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
          std::max(r.top, r.bottom)};
}

KRrect intersect(const KRrect& a, const KRrect& b) {
  KRrect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  return r.IsEmpty() ? KRrect{} : r;
}

KRrect unite(const KRrect& a, const KRrect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// True when an object's reach (none: not known) meets the clip.
bool touches(const std::optional<KRrect>& reach, const KRrect& clip) {
  return !reach || !intersect(*reach, clip).IsEmpty();
}

// What an object can reach on the surface: its bounds grown by half the pen's width, and for a
// plot by its bars' thickness, which its bounds (the plotted points) leave out. None when the
// object has no bounds.
std::optional<KRrect> reach(CKorndTool& t, CKorndGC& env) {
  const std::optional<KRrect> b = t.GetBounds(env, 0);
  if (!b) return b;
  std::int64_t m = std::max(env.pen_desc.width_x, 1) / 2 + 1;
  if (t.type() == 32) m += std::llabs(static_cast<const CKorndPlot&>(t).size) / 2 + 1;
  auto grown = [m](std::int32_t v, int side) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v + side * m, -Max_Coordinate, Max_Coordinate));
  };
  return KRrect{grown(b->left, -1), grown(b->top, -1), grown(b->right, 1), grown(b->bottom, 1)};
}

// Rows of a surface written in place, as the painting layer writes them: the layer's pixel
// pointer must stay valid, so the image is never detached.
QRgb* row_of(QImage* image, int y) { return reinterpret_cast<QRgb*>(const_cast<uchar*>(image->constScanLine(y))); }

// Fills a rectangle of a surface with a colour value, past any clip or transform.
void fill_surface(QImage* image, const KRrect& r, std::int32_t colour) {
  if (image == nullptr || image->isNull()) return;
  KRrect a = intersect(r, {0, 0, image->width(), image->height()});
  if (a.IsEmpty()) return;
  const QRgb c = ColorOf(static_cast<std::uint32_t>(colour)).rgb();
  for (int y = a.top; y < a.bottom; ++y) {
    QRgb* row = row_of(image, y);
    std::fill(row + a.left, row + a.right, c);
  }
}

// Copies the pixels of an area (none: the whole) from a buffer into dc, inside dc's clip.
void copy_buffer(const CMemDIB& from, KRdc& to, const KRrect* area) {
  QImage* target = to.Surface();
  if (target == nullptr || from.IsEmpty()) return;
  KRrect a = area && !area->IsEmpty() ? *area : KRrect{0, 0, target->width(), target->height()};
  a = intersect(a, {0, 0, std::min(target->width(), from.Width()), std::min(target->height(), from.Height())});
  if (const KRrect* clip = to.Clip()) a = intersect(a, *clip);
  if (a.IsEmpty()) return;
  const QImage& source = const_cast<CMemDIB&>(from).Surface();
  const std::size_t bytes = static_cast<std::size_t>(a.right - a.left) * sizeof(QRgb);
  for (int y = a.top; y < a.bottom; ++y)
    std::memcpy(row_of(target, y) + a.left,
                reinterpret_cast<const QRgb*>(source.constScanLine(y)) + a.left, bytes);
}

// Windows system cursor ids and their Qt shapes.
Qt::CursorShape cursor_shape(int id) {
  switch (id) {
    case 32513: return Qt::IBeamCursor;
    case 32514: return Qt::WaitCursor;
    case 32515: return Qt::CrossCursor;
    case 32516: return Qt::UpArrowCursor;
    case 32642: return Qt::SizeFDiagCursor;
    case 32643: return Qt::SizeBDiagCursor;
    case 32644: return Qt::SizeHorCursor;
    case 32645: return Qt::SizeVerCursor;
    case 32640: case 32646: return Qt::SizeAllCursor;
    case 32648: return Qt::ForbiddenCursor;
    case 32649: return Qt::PointingHandCursor;
    case 32650: return Qt::BusyCursor;
    case 32651: return Qt::WhatsThisCursor;
    default: return Qt::ArrowCursor;
  }
}

}  // namespace

std::int32_t CKorndView::Background() const { return doc_ ? doc_->BackgroundColour() : 0xFFFFFF; }

// Keeps the window's surface at the device extent (the client size, in the bitmap mode the
// picture size); a new size draws the picture anew. The first surface also starts buffering as
// the frame's default asks.
bool CKorndView::EnsureSurface() {
  if (doc_ == nullptr) return false;
  if (!view_rect_set_) RecalcViewRect();
  const int w = std::max(1, view_mode.device_width), h = std::max(1, view_mode.device_height);
  if (window_.Width() == w && window_.Height() == h && window_.Dc()) return true;
  // A replay (or an object) still draws into the surface: it takes its new size afterwards.
  if (window_.Dc() && (replay_depth_ > 0 || drawing_)) return true;
  if (std::int64_t(w) * h > Max_Surface_Pixels) {
    window_.Reset();
    buffer_.reset();
    snapshot_.reset();
    return false;
  }
  if (!window_.Create(w, h, Background())) return false;
  doc_->Environment().Apply(*window_.Dc());
  SetupMapping(*window_.Dc());
  if (!buffering_started_) {
    buffering_started_ = true;
    CKorndApp* app = KorndApp();
    if (app && app->main_frame) {
      buffering_ = app->main_frame->default_buffering;
      inquiring_ = app->main_frame->default_inquiring;
    }
    SetBuffering(buffering_);
  }
  InvalidateWindow(nullptr, true);
  return true;
}

const QImage& CKorndView::Surface() {
  EnsureSurface();
  PaintPending();
  return window_.Surface();
}

void CKorndView::InvalidateWindow(const KRrect* area, bool erase) {
  invalid_ = unite(invalid_, area && !area->IsAllZero() ? normalised(*area) : Whole_Window);
  invalid_erase_ = invalid_erase_ || erase;
  if (!paint_posted_) {
    paint_posted_ = true;
    QMetaObject::invokeMethod(this, [this] { PaintPending(); }, Qt::QueuedConnection);
  }
  update();
}

void CKorndView::PaintPending() {
  paint_posted_ = false;
  if (invalid_.IsEmpty() || !EnsureSurface()) return;
  const KRrect box = intersect(invalid_, DeviceRect());
  const bool erase = invalid_erase_;
  invalid_ = {};
  invalid_erase_ = false;
  if (box.IsEmpty()) return;
  if (erase) OnEraseBkgnd(*window_.Dc(), box);
  OnDraw(*window_.Dc(), box);
  update();
}

void CKorndView::OnEraseBkgnd(KRdc& dc, const KRrect& box) {
  // In the bitmap mode a new client size may move the scroll position.
  if (IsWindowDC(dc) && view_mode.mode == 1 && (size_changed_ || in_scroll_)) {
    ClampScroll(in_scroll_);
    size_changed_ = false;
  }
  if (IsWindowDC(dc) && buffer_) return;  // the copy of the buffer covers it
  fill_surface(dc.Surface(), box, Background());
}

std::uint32_t CKorndView::DrawTool(CKorndTool* tool, CKorndGC& env, KRdc& dc, std::uint32_t mask) {
  const bool was_drawing = drawing_;
  drawing_ = true;
  std::uint32_t result = 0;
  try {
    drew_ = tool->Draw(env, doc_, this, dc, mask) != 0;
  } catch (const CKorndWaitEnded&) {
    if (CKorndApp* app = KorndApp(); app && !app->client_gone) app->closing = true;
    result = channel::Reply_Refused;
  }
  drawing_ = was_drawing;
  DeleteHeldFrame();
  return result;
}

void CKorndView::DeleteHeldFrame() {
  if (!frame_delete_pending_ || Busy()) return;
  frame_delete_pending_ = false;
  // Called on the way out of the drawing: the frame goes once control is back in the loop.
  if (CKorndChild* f = Frame()) f->deleteLater();
}

std::optional<ToolList::iterator> CKorndView::ReplayList(KRdc& dc, CKorndGC& env, int stop_id, const KRrect* clip) {
  ToolList& list = doc_->Tools();
  const CKorndDoc::Drawing_Scope scope(*doc_);
  if (!env.replay_position) {
    env.SetDefaults(*doc_);
    env.Apply(dc);
  }
  if (replay_depth_++ == 0) list_reset_ = false;
  const bool clipped = clip != nullptr && !clip->IsEmpty();
  const std::uint32_t mask = replay_all_ ? 0 : CKorndTool::Not_Repainted;
  std::optional<ToolList::iterator> stopped;
  for (auto it = *env.replay_position; it != list.end(); ++it) {
    env.replay_position = it;
    CKorndTool& t = **it;
    if (t.flags() & (CKorndTool::Erased | CKorndTool::Hidden)) continue;
    if (stop_id > 0 && t.id() >= stop_id) {
      stopped = std::next(it);
      break;
    }
    // A text's bounds are known only once drawn: it is always drawn.
    if (!(t.flags() & CKorndTool::Has_Rect) || !clipped || t.type() == 15 || touches(reach(t, env), *clip)) {
      // A list changed while a pause inside this drawing served requests ends the walk.
      const std::uint64_t changes = doc_->ListChanges();
      if (DrawTool(&t, env, dc, mask) != 0 || list_reset_ || doc_->ListChanges() != changes) break;
      continue;
    }
    // Outside the clip: not drawn, but the pen goes where the object leaves it.
    if (t.flags() & CKorndTool::Moves_Pen) {
      KRpoint p;
      if (t.EndPoint(p)) env.current_point = p;
      dc.MoveTo(env.current_point.x, env.current_point.y);
    }
  }
  if (replay_depth_ > 0) --replay_depth_;
  DeleteHeldFrame();
  return stopped;
}

KRrect CKorndView::ClipToRect(KRdc& dc, const KRrect& r) {
  dc.SetClip(&r);
  return r;
}

bool CKorndView::AnchorGap() const {
  return doc_ != nullptr && doc_->CurrentAnchor() > 0 && doc_->CurrentAnchor() < doc_->AnchorCount();
}

CMemDIB* CKorndView::Snapshot() const {
  if (!snapshot_ || snapshot_->IsEmpty() || doc_ == nullptr || doc_->SelectedAnchorId() <= 0) return nullptr;
  return snapshot_.get();
}

// The snapshot is the background of the window and of the back buffer only: other surfaces
// (print pages, copies) have other sizes, and the snapshot cannot be its own background.
KRrect CKorndView::EraseArea(KRdc& dc, const KRrect* area) {
  KRrect a = view_mode.MapRect(area, 0, 0, false);
  QImage* image = dc.Surface();
  KRrect d = a.IsAllZero() ? Whole_Window : DeviceOf(dc, a);  // surface pixels
  if (image) d = intersect(d, {0, 0, image->width(), image->height()});
  if (a.IsAllZero()) a = view_mode.mode == 1 ? DeviceRect() : view_mode.view_rect;
  CMemDIB* snap = Snapshot();
  if (snap && (IsWindowDC(dc) || (buffer_ && &dc == buffer_->Dc()))) {
    KRdc::State s = dc.Save();
    dc.SetClip(&d);
    if (!d.IsEmpty()) copy_buffer(*snap, dc, &d);
    dc.Restore(s);
  } else {
    fill_surface(image, d, Background());
  }
  return a;
}

void CKorndView::RestoreBackground(KRdc& dc, const KRrect& r) {
  const KRpoint corners[4] = {dc.Map(r.left, r.top), dc.Map(r.right, r.top), dc.Map(r.left, r.bottom),
                              dc.Map(r.right, r.bottom)};
  KRrect a{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
  for (const KRpoint& c : corners)
    a = {std::min(a.left, c.x), std::min(a.top, c.y), std::max(a.right, c.x), std::max(a.bottom, c.y)};
  if (const KRrect* clip = dc.Clip()) a = intersect(a, *clip);
  if (a.IsEmpty()) return;
  CMemDIB* snap = Snapshot();
  if (snap && (IsWindowDC(dc) || (buffer_ && &dc == buffer_->Dc()))) copy_buffer(*snap, dc, &a);
  else fill_surface(dc.Surface(), a, Background());
}

void CKorndView::MarkBuffers(unsigned bits, const KRrect* area, bool both) {
  if (doc_ == nullptr || !doc_->Storing()) return;
  const std::int32_t bg = Background();
  // A replay running into a buffer (paused, serving this) draws on through the layer it took.
  if (updating_back_ && buffer_) buffer_->Drawn();
  if (updating_snapshot_ && snapshot_) snapshot_->Drawn();
  if (buffer_) buffer_->Invalidate(bits, area, area ? nullptr : &bg);
  if (both && snapshot_) snapshot_->Invalidate(bits, area, area ? nullptr : &bg);
}

bool CKorndView::MakeBuffer(std::unique_ptr<CMemDIB>& slot) {
  const int w = window_.Width(), h = window_.Height();
  if (slot && !slot->IsEmpty() && !(slot->State() & 0x4) && slot->Width() == w && slot->Height() == h) return true;
  // Without storing the list cannot make the picture again: the old one is stretched over.
  std::unique_ptr<CMemDIB> old;
  if (doc_->Storing()) slot.reset();
  else old = std::move(slot);
  auto fresh = std::make_unique<CMemDIB>();
  if (w <= 0 || h <= 0 || std::int64_t(w) * h > Max_Surface_Pixels || !fresh->Create(w, h, Background())) {
    if (CKorndApp* app = KorndApp()) app->ShowError("Kornd Error: could not make buffer", true);
    return false;
  }
  if (old && !old->IsEmpty()) {
    QPainter p(&fresh->Surface());
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QRect(0, 0, w, h), old->Surface());
    p.end();
    fresh->Environment().replay_position = old->Environment().replay_position;
    fresh->ClearDirty();  // the stretched picture is all there is
  }
  fresh->ResetDc();
  slot = std::move(fresh);
  SetupMapping(*slot->Dc());
  return true;
}

bool CKorndView::UpdateBackBuffer() {
  // A paint that comes while the buffer is replayed into shows it as it stands.
  if (updating_back_) return buffer_ != nullptr;
  if (!EnsureSurface() || !MakeBuffer(buffer_)) return false;
  const bool at_anchor = UpdateAnchorSnapshot();
  CMemDIB& b = *buffer_;
  if (b.State() == 0) return true;
  KRdc& dc = *b.Dc();
  KRdc::State saved = dc.Save();
  dc.SetClip(nullptr);
  dc.SetTransform(nullptr);
  // The stale area starts from the picture at the anchor (or the background).
  const KRrect area = (b.State() & 0x8) ? KRrect{} : b.Dirty();
  EraseArea(dc, area.IsEmpty() ? nullptr : &area);
  dc.Restore(saved);
  if (doc_->ObjectCount() > 0) {
    CKorndGC& env = b.Environment();
    saved = dc.Save();
    if (!area.IsEmpty()) ClipToRect(dc, ToDevice(view_mode.MapRect(&area, 1, 2, false)));
    const KRrect* clip = area.IsEmpty() ? nullptr : &area;
    updating_back_ = true;
    if (at_anchor) {
      ReplayFromTopAnchor(dc, env, clip);
    } else {
      env.SetDefaults(*doc_);
      env.Apply(dc);
      ReplayList(dc, env, 0, clip);
    }
    updating_back_ = false;
    dc.Restore(saved);
  }
  // The buffer may have gone while a pause inside the replay served commands.
  if (buffer_.get() == &b) b.ClearDirty();
  return true;
}

bool CKorndView::UpdateAnchorSnapshot() {
  const int stop = doc_ ? doc_->SelectedAnchorId() : 0;
  if (updating_snapshot_) return stop > 0 && snapshot_ && snapshot_at_anchor_;
  if (stop <= 0) {  // a picture of an anchor that is no longer selected is of no use
    snapshot_.reset();
    return false;
  }
  if (!EnsureSurface() || !MakeBuffer(snapshot_)) {
    snapshot_.reset();
    return false;
  }
  CMemDIB& s = *snapshot_;
  if (snapshot_anchor_ != stop) {  // made for another anchor
    const std::int32_t bg = Background();
    s.Invalidate(0x8, nullptr, &bg);
  }
  if (s.State() == 0) return snapshot_at_anchor_;
  const bool whole = (s.State() & 0xC) != 0;
  const KRrect area = whole ? KRrect{} : s.Dirty();
  const KRrect pixels = whole ? Whole_Window : ToDevice(view_mode.MapRect(&area, 1, 2, false));
  fill_surface(&s.Surface(), pixels, Background());
  bool at_anchor = false;
  if (doc_->ObjectCount() > 0) {
    KRdc& dc = *s.Dc();
    KRdc::State saved = dc.Save();
    dc.SetTransform(nullptr);
    dc.SetClip(nullptr);
    if (!whole) ClipToRect(dc, pixels);
    CKorndGC& env = s.Environment();
    env.SetDefaults(*doc_);
    env.Apply(dc);
    updating_snapshot_ = true;
    at_anchor = ReplayList(dc, env, stop, whole ? nullptr : &area).has_value();
    updating_snapshot_ = false;
    if (snapshot_.get() == &s) dc.Restore(saved);
  }
  if (snapshot_.get() != &s) return false;  // dropped while a pause inside served requests
  s.ClearDirty();
  snapshot_at_anchor_ = at_anchor;
  snapshot_anchor_ = stop;
  // Another anchor chosen while a pause inside served requests: the next update starts anew.
  return at_anchor && doc_->SelectedAnchorId() == stop;
}

void CKorndView::ReplayFromTopAnchor(KRdc& dc, CKorndGC& env, const KRrect* clip) {
  if (doc_->StartAtTopAnchor(dc, env)) ReplayList(dc, env, 0, clip);
}

bool CKorndView::SetBuffering(bool on) {
  const bool ready = buffer_ && !buffer_->IsEmpty() && buffer_->State() == 0;
  if (on && !ready && !UpdateBackBuffer()) on = false;
  if (!on && buffer_) {
    if (drawing_ || replay_depth_ > 0) pending_toggle_ = true;  // never delete the buffer while it is drawn into
    else buffer_.reset();
  }
  buffering_ = buffer_ != nullptr;
  // The frame always shows the state, also when nothing changed (a window that starts unbuffered).
  if (CKorndChild* child = Frame()) child->setWindowIcon(CKorndChild::BufferingIcon(buffering_));
  return buffering_;
}

void CKorndView::Redraw(KRdc& dc, const KRrect* area) {
  const KRrect a = view_mode.MapRect(area, 1, 2, false);  // picture units
  KRrect d;                                               // the same on the surface
  if (!a.IsEmpty()) {
    d = ToDevice(a);
    if (dc.Surface()) d = intersect(d, {0, 0, dc.Surface()->width(), dc.Surface()->height()});
    if (d.IsEmpty()) d = {-1, -1, -1, -1};  // nothing of it is on the surface
  }
  if (replay_depth_ > 0) {
    // Never a replay inside a replay: the area waits for the end of the running one.
    pending_invalid_ = unite(pending_invalid_, d.IsEmpty() ? DeviceRect() : d);
    if (IsWindowDC(dc) && buffer_) copy_buffer(*buffer_, dc, d.IsEmpty() ? nullptr : &d);
    return;
  }
  KRdc::State saved = dc.Save();
  if (!d.IsEmpty()) ClipToRect(dc, d);
  const KRrect* clip = a.IsEmpty() ? nullptr : &a;
  const KRrect* device_clip = d.IsEmpty() ? nullptr : &d;
  if (IsWindowDC(dc) && !replay_all_ && buffer_) {
    if (UpdateBackBuffer() && buffer_) copy_buffer(*buffer_, dc, device_clip);
  } else if (IsWindowDC(dc) && !replay_all_ && doc_->SelectedAnchorId() > 0) {
    // The picture at the anchor comes from the snapshot; only the objects after the anchors
    // are replayed.
    CKorndGC env;
    if (UpdateAnchorSnapshot() && snapshot_) {
      copy_buffer(*snapshot_, dc, device_clip);
    } else {
      EraseArea(dc, clip);
      ReplayList(dc, env, doc_->SelectedAnchorId(), clip);
    }
    ReplayFromTopAnchor(dc, env, clip);
  } else if (doc_->Storing()) {
    fill_surface(dc.Surface(), device_clip ? *device_clip : Whole_Window, Background());
    CKorndGC env;
    if (ReplayList(dc, env, doc_->SelectedAnchorId(), clip)) ReplayFromTopAnchor(dc, env, clip);
  }
  replay_all_ = false;
  dc.Restore(saved);
}

void CKorndView::OnDraw(KRdc& dc, const KRrect& area) {
  KRrect box = area;
  if (box.IsEmpty()) return;
  if (IsWindowDC(dc)) {
    if (size_changed_ && view_mode.mode != 1) {
      // The surface has the new client size: the whole shown picture is drawn anew.
      RecalcViewRect();
      MarkBuffers(0x4, nullptr, true);
      if (replay_depth_ == 0) {
        Redraw(dc, &view_mode.view_rect);
      } else {
        SetupMapping(dc);
        pending_invalid_ = unite(pending_invalid_, DeviceRect());
        if (inquiring_) OnPauseAbort();  // the user may end the running replay
      }
      size_changed_ = false;
      return;
    }
    if (replay_depth_ > 0) {
      // A paint while a pause inside a replay serves messages: shown from the buffer (or the
      // picture at the anchor), drawn in full once the replay ends. The Replay command's own
      // replay is what brings them up to date.
      pending_invalid_ = unite(pending_invalid_, box);
      if (buffer_) {
        if (!replay_all_) UpdateBackBuffer();
        if (buffer_) copy_buffer(*buffer_, dc, &box);
      } else if (!replay_all_ && UpdateAnchorSnapshot() && snapshot_) {
        copy_buffer(*snapshot_, dc, &box);
      }
      return;
    }
    if (!pending_invalid_.IsEmpty()) {
      box = unite(box, pending_invalid_);
      pending_invalid_ = {};
    }
    // Removing anchors selects none without a hint: what they left out is drawn again.
    if (anchor_gap_ && !AnchorGap()) {
      anchor_gap_ = false;
      MarkBuffers(0x8, nullptr, true);
      box = DeviceRect();
    }
  }
  painting_ = true;
  const KRrect logical_box = ToLogicalRect(box);
  Redraw(dc, &logical_box);
  painting_ = false;
  if (IsWindowDC(dc)) {
    if (!pending_invalid_.IsEmpty()) {
      KRrect p = pending_invalid_;
      pending_invalid_ = {};
      InvalidateWindow(&p, true);
    }
    if (pending_toggle_) {
      pending_toggle_ = false;
      SetBuffering(!buffering_);
    }
  }
}

void CKorndView::DrawNewTool(CKorndTool* tool) {
  if (tool->flags() & (CKorndTool::Erased | CKorndTool::Hidden)) return;
  const CKorndDoc::Drawing_Scope scope(*doc_);
  KRdc& window = *window_.Dc();
  const bool storing = doc_->Storing();
  // Without storing the buffer gets the object itself, drawn from the same state as the window.
  CKorndGC before;
  KRdc::State window_state{};
  if (buffer_ && !storing) {
    before.CopyFrom(doc_->Environment());
    window_state = window.Save();
  }
  if (DrawTool(tool, doc_->Environment(), window, 0) != 0) return;
  const bool drew = drew_;
  if (buffer_ && storing) {
    // The bounds on the surface (through any transform) are what the buffer lacks.
    const std::optional<KRrect> r = reach(*tool, doc_->Environment());
    if (r && !r->IsEmpty()) {
      MarkBuffers(0x2, &*r, false);
    } else if (drew && !r) {
      MarkBuffers(0x8, nullptr, false);  // drew without bounds (a fill, a clear): all of it is stale
    }
  } else if (buffer_ && !storing && UpdateBackBuffer() && buffer_) {
    KRdc& b = *buffer_->Dc();
    KRdc::State saved = b.Save();
    b.Restore(window_state);
    DrawTool(tool, before, b, 0);
    b.Restore(saved);
  }
  if (tool->type() == 5 && static_cast<CKorndSetColor*>(tool)->slot == 2) {
    const std::int32_t bg = doc_->Environment().Role(2);
    doc_->SetBackground(bg);
    if (bg >= 0) doc_->block()->bg = bg | 0x2000000;
    OnUpdate(2, nullptr, nullptr);
  }
  update();
}

void CKorndView::SetCursorHint(int id) {
  if (id <= 32512) setCursor(Qt::ArrowCursor);
  else setCursor(cursor_shape(id & 0xFFFF));
}

void CKorndView::OnUpdate(int hint, CKorndTool* tool, const KRrect*) {
  if (doc_ == nullptr) return;
  const int p = hint >> 8;
  switch (hint & 0xFF) {
    case 1:  // a picture or a drawing state set up anew
      if (!EnsureSurface()) break;
      MarkBuffers(0x8, nullptr, true);  // the list the buffer was made from has changed
      SetBuffering(buffering_);
      doc_->Environment().Apply(buffer_ ? *buffer_->Dc() : *window_.Dc());
      InvalidateWindow(nullptr, true);
      break;
    case 2:  // the background colour changed
      MarkBuffers(0x8, nullptr, true);
      InvalidateWindow(nullptr, true);
      break;
    case 3:  // a new object
      if (tool && EnsureSurface()) DrawNewTool(tool);
      break;
    case 4: {  // an anchor selected (p: below the one before)
      // The picture changes whenever objects between two anchors are left out before or after,
      // also when no anchor was selected before (p is 0 then).
      const bool gap_before = anchor_gap_;
      anchor_gap_ = AnchorGap();
      if (p != 0 || gap_before || anchor_gap_) {
        MarkBuffers(0x8, nullptr, true);
        InvalidateWindow(nullptr, true);
        break;
      }
      if (snapshot_ && doc_->Storing()) {
        const std::int32_t bg = Background();
        snapshot_->Invalidate(0x8, nullptr, &bg);
      }
      if (EnsureSurface()) UpdateAnchorSnapshot();
      break;
    }
    case 5:  // fill the anchor snapshot
      if (snapshot_) {
        const std::int32_t bg = Background();
        snapshot_->Invalidate(0, nullptr, &bg);
      }
      break;
    case 6:  // no anchor selected
      if (!updating_snapshot_) snapshot_.reset();
      if (anchor_gap_) {  // the objects the anchor left out are shown again
        anchor_gap_ = false;
        MarkBuffers(0x8, nullptr, false);
        InvalidateWindow(nullptr, true);
      }
      break;
    case 7:  // cleared
      list_reset_ = true;
      anchor_gap_ = false;  // the anchors went with the list
      if (!EnsureSurface()) break;
      if (buffer_ && buffer_->Dc()) fill_surface(&buffer_->Surface(), Whole_Window, Background());
      EraseArea(*window_.Dc(), nullptr);
      update();
      break;
    case 8:  // repaint request
      InvalidateWindow(nullptr, true);
      break;
    case 9:  // a rectangle changed
      if (tool && EnsureSurface()) {
        const KRrect r = tool->rect();
        KRrect a = view_mode.MapRect(&r, 1, 1, false);
        MarkBuffers(0x2, &a, false);
        if (view_mode.mode != 1) a = intersect(a, view_mode.view_rect);
        if (!a.IsEmpty()) {
          Redraw(*window_.Dc(), &a);
          MarkBuffers(0x2, &a, true);
        }
        update();
        break;
      }
      [[fallthrough]];
    case 18:  // everything stale
      MarkBuffers(0x8, nullptr, true);
      InvalidateWindow(nullptr, true);
      break;
    case 10:  // picture geometry changed
      RecalcViewRect();
      MarkBuffers(0x8, nullptr, true);
      UpdateScrollSizes();
      InvalidateWindow(nullptr, true);
      break;
    case 11:  // buffering option
      if (p >= 0 && EnsureSurface()) SetBuffering(p > 0);
      break;
    case 13:  // cursor option
      SetCursorHint(p);
      break;
    case 14:  // the main frame closes
    case 15:  // the window is released
      EndWaits();
      break;
    case 12:  // view-mode request: the mode commands 1-4, 5 arms the zoom-in selection
      if (p >= 1 && p <= 4) OnViewMode(p);
      else if (p == 5) OnZoomIn();
      break;
    case 19: {  // zoom request: the document's viewport rectangle
      const KRrect r = doc_->ViewportRect();
      SetViewMode(5, &r);
      break;
    }
    case 16:  // storing switched on
    case 17:  // storing switched off
      break;
    default:  // the framework's own update
      InvalidateWindow(nullptr, true);
      break;
  }
}

void CKorndView::OnReplay() {
  if (!EnsureSurface()) return;
  replay_command_ = true;
  replay_all_ = true;
  MarkBuffers(0x4, nullptr, true);
  InvalidateWindow(nullptr, true);
  OnDraw(*window_.Dc(), DeviceRect());
  replay_all_ = false;
  replay_command_ = false;
}

void CKorndView::OnRedraw() { InvalidateWindow(nullptr, true); }

void CKorndView::OnFlushing() {
  if (doc_ == nullptr || !EnsureSurface()) return;
  const CKorndDoc::Drawing_Scope scope(*doc_);
  for (const std::unique_ptr<CKorndOG>& g : doc_->Groups())
    if (g && DrawTool(g.get(), doc_->Environment(), *window_.Dc(), 0) != 0) break;
  update();
}

void CKorndView::OnActivateView(bool) {
  // Never while an object is drawn: the toggle stays pending until that drawing ends.
  if (!pending_toggle_ || drawing_ || replay_depth_ > 0) return;
  pending_toggle_ = false;
  SetBuffering(!buffering_);
}

void CKorndView::ReplayAll(bool replay_command) {
  if (replay_command) {
    OnReplay();
  } else {
    if (!EnsureSurface()) return;
    MarkBuffers(0x8, nullptr, true);
    InvalidateWindow(nullptr, true);
  }
  PaintPending();
}

void CKorndView::OnBuffering() {
  if (drawing_) pending_toggle_ = true;
  else SetBuffering(!buffering_);
}

void CKorndView::OnStoring() {
  const bool storing = doc_->Storing();
  OnUpdate(storing ? 17 : 16, nullptr, nullptr);
  doc_->SetStoring(!storing);
}
