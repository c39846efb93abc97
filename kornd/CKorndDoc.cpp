// CKorndDoc.cpp - window document: life, object list, bounds, replay and the pending question
// (see CKorndDoc.h; colours and drawing-state defaults are in CKorndDoc_Colors.cpp).
#include "kornd/CKorndDoc.h"

#include "kornd/CKorndChild.h"
#include "kornd/CKorndStateSave.h"
#include "kornd/Tick_Count.h"

#include <QThread>

#include <time.h>  // clock_gettime

#include <algorithm>  // std::min, std::max
#include <cstdlib>    // std::llabs
#include <cstring>    // std::memcpy
#include <optional>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndBox.h"
#include "kornd/CKorndHintTool.h"
#include "kornd/CKorndMain.h"
#include "kornd/CKorndOG.h"
#include "kornd/CKorndView.h"
#include "kornd/KRdc.h"

namespace {

// The data area as a file name (a zero-terminated text within the area).
QString request_name(const channel::KRwinblock& b) {
  return QString::fromLocal8Bit(b.data, static_cast<qsizetype>(strnlen(b.data, channel::Data_Size)));
}

// Highest segment number a list object may carry; the table of objects by segment grows to it.
constexpr std::int64_t Max_Segment = 65535;

bool default_inquiring() {
  CKorndApp* app = KorndApp();
  return app && app->main_frame && app->main_frame->default_inquiring;
}

}  // namespace

CKorndDoc::CKorndDoc() {
  CKorndApp* app = KorndApp();
  if (app) {
    if (app->main_frame) storing_ = app->main_frame->default_storing;
    app->newest_doc = this;
    app->CountWindow(1);
  }
  GetPrinterPage();
  const PageMetrics page = app ? app->page_metrics : PageMetrics{};
  SetPageSize(page.width, page.height, true);
  env_.base_tick = creation_tick_ = TICK_COUNT();
  states_.resize(2);
}

void CKorndDoc::GetPrinterPage() {
  CKorndApp* app = KorndApp();
  Printer_Settings s;
  if (app && app->GetPrinterSettings(s)) printer_settings_ = s;
}

CKorndDoc::~CKorndDoc() {
  if (!released_) ReleaseWindow();
  CKorndApp* app = KorndApp();
  if (app && app->newest_doc == this) app->newest_doc = nullptr;
}

void CKorndDoc::AttachBlock(platform::Shared_Block&& shared) {
  shared_ = std::move(shared);
  block_ = static_cast<channel::KRwinblock*>(shared_.view());
}

void CKorndDoc::SetPageSize(int width, int height, bool reset) {
  picture_width_ = width;
  picture_height_ = height;
  default_marker_size_ = std::max(2, std::min(width, height) / 768);
  block_->width = width;
  block_->height = height;
  block_->unit = std::min(width, height);
  if (reset) {
    first_viewport_ = true;
    viewport_rect_ = viewport_union_ = {0, 0, width, height};
  }
}

void CKorndDoc::SendHint(int hint, CKorndTool* tool, const KRrect* area) {
  last_hint_ = hint;
  if (view_) view_->OnUpdate(hint, tool, area);
  if (views_.size() < 2) return;
  // A view may end or close windows while it takes the hint: walk a copy, skip the gone.
  const std::vector<CKorndView*> others = views_;
  for (CKorndView* v : others)
    if (v != view_ && std::find(views_.begin(), views_.end(), v) != views_.end()) v->OnUpdate(hint, tool, area);
}

void CKorndDoc::SetView(CKorndView* v) {
  if (v == nullptr) {
    views_.clear();
  } else if (std::find(views_.begin(), views_.end(), v) == views_.end()) {
    views_.push_back(v);
  }
  view_ = v;
}

void CKorndDoc::RemoveView(CKorndView* v) {
  views_.erase(std::remove(views_.begin(), views_.end(), v), views_.end());
  if (view_ == v) view_ = views_.empty() ? nullptr : views_.front();
  if (view_ != nullptr) child_ = view_->Frame();
}

void CKorndDoc::CloseFrames() {
  std::vector<CKorndChild*> frames;
  for (CKorndView* v : views_)
    if (CKorndChild* f = v->Frame()) frames.push_back(f);
  if (frames.empty() && child_) frames.push_back(child_);
  for (CKorndChild* f : frames) f->close();
}

void CKorndDoc::AddTool(std::unique_ptr<CKorndTool>& slot) {
  std::unique_ptr<CKorndTool> t = std::move(slot);
  pending_tool_.reset();
  if (!t) return;
  if (!FinishPointList(*t)) {
    pending_message_ = IDS_INVALID_PARAMETER;
    return;
  }
  if (RecordTool(t)) return;
  std::int64_t current = block_->segment;
  std::int64_t segment = std::llabs(current);
  if (segment > Max_Segment) {
    // A segment number no table can hold: the object is refused, the client is asked.
    pending_message_ = IDS_INVALID_PARAMETER;
    return;
  }
  t->SetSegment(static_cast<int>(segment));
  if (current < 0) {  // objects of a group in the making are neither drawn nor counted
    if (CKorndOG* g = GetGroup(static_cast<int>(segment))) g->AddTool(t);
    return;
  }
  CKorndTool* added = t.get();
  if (storing_) {
    if (segment >= std::int64_t(by_segment_.size())) by_segment_.resize(static_cast<std::size_t>(segment) + 1, 0);
    object_count_ += t->Weight();
    by_segment_[static_cast<std::size_t>(segment)] += 1;
    tools_.push_back(std::move(t));
  }
  // Only what has bounds grows the drawing's: a move or a colour change has none.
  if (const std::optional<KRrect> b = added->GetBounds(env_, 1)) GrowBounds(*b);
  SendHint(Hint_Add, added, nullptr);
}

void CKorndDoc::GrowBounds(const KRrect& r) {
  if (r.IsEmpty()) return;  // clipped away: nothing of it shows
  KRrect g{r.left - 8, r.top - 8, r.right + 8, r.bottom + 8};
  KRrect& b = bounds_;
  if (b.IsEmpty()) b = g;
  else if (!g.IsEmpty()) b = {std::min(b.left, g.left), std::min(b.top, g.top), std::max(b.right, g.right),
                              std::max(b.bottom, g.bottom)};
  b = {std::max(b.left, 0), std::max(b.top, 0), std::min(b.right, picture_width_), std::min(b.bottom, picture_height_)};
  if (b.IsEmpty()) b = {};
}

int CKorndDoc::PurgeTools(int limit) {
  // A replay paused inside the list holds a position in it: erased objects wait for its end.
  if (hidden_count_ <= limit || drawing_depth_ > 0 || (view_ && view_->InReplay())) return 0;
  int removed = 0;
  auto it = tools_.end();
  while (it != tools_.begin() && hidden_count_ > 0) {
    --it;
    if (!(*it)->IsErased()) continue;
    int weight = (*it)->Weight();
    object_count_ -= weight;
    hidden_count_ -= weight;
    std::size_t s = static_cast<std::size_t>((*it)->segment());
    if (s < by_segment_.size()) by_segment_[s] -= 1;
    it = tools_.erase(it);
    ++removed;
  }
  QThread::yieldCurrentThread();
  return removed;
}

void CKorndDoc::MarkErased(CKorndTool& t) {
  if (t.IsErased()) return;
  t.SetFlags(t.flags() | CKorndTool::Erased);
  hidden_count_ += t.Weight();
}

int CKorndDoc::EraseLast(int n, bool redraw) {
  if (object_count_ == 0) return 0;
  std::int64_t k;
  if (n < 0) k = -std::int64_t(n);
  else if (n == 0) k = static_cast<std::int64_t>(tools_.size());
  else k = ObjectsInSegment(n);
  KRrect area;
  int erased = 0;
  for (auto it = tools_.end(); it != tools_.begin() && k > 0;) {
    --it;
    CKorndTool& t = **it;
    if (t.flags() & (CKorndTool::Erased | CKorndTool::Hidden)) continue;
    if (t.segment() == 0) break;
    if (n > 0 && t.segment() != n) continue;
    if (redraw && (t.flags() & CKorndTool::Has_Rect)) {
      const KRrect& r = t.rect();
      if (area.IsAllZero()) area = r;
      else area = {std::min(area.left, r.left), std::min(area.top, r.top), std::max(area.right, r.right),
                   std::max(area.bottom, r.bottom)};
    }
    MarkErased(t);
    --k;
    ++erased;
  }
  PurgeTools(0);
  if (redraw && !area.IsAllZero()) {
    CKorndHintTool hint;
    hint.SetRect(area);
    SendHint(Hint_Erase, &hint, &area);
  }
  return erased;
}

void CKorndDoc::EndDrawing() {
  if (drawing_depth_ > 0 && --drawing_depth_ == 0) retired_.clear();
}

ToolList::iterator CKorndDoc::UnlinkTool(ToolList::iterator it) {
  ++list_changes_;
  if (drawing_depth_ == 0) return tools_.erase(it);
  const auto next = std::next(it);
  retired_.splice(retired_.end(), tools_, it);
  return next;
}

void CKorndDoc::DiscardTool(std::unique_ptr<CKorndTool> t) {
  if (t && drawing_depth_ > 0) retired_.push_back(std::move(t));
}

void CKorndDoc::DeleteAllTools() {
  ++list_changes_;
  if (drawing_depth_ > 0) retired_.splice(retired_.end(), tools_);
  while (!tools_.empty()) tools_.pop_back();
  std::fill(by_segment_.begin(), by_segment_.end(), 0);
  object_count_ = 0;
  hidden_count_ = 0;
  // The anchors went with the list: no later request may reach them through the table.
  anchors_.assign(1, nullptr);
  anchor_count_ = 0;
  current_anchor_ = 0;
}

bool CKorndDoc::ClearAll() {
  CKorndApp* app = KorndApp();
  if (object_count_ > 0) {
    if (default_inquiring() && app) {
      const QString title = "Graphics Window";
      if (app->ShowMessageID(IDS_ERASE_ALL, &title, MB_QUESTION) == CKorndBox::IDCANCEL) return false;
    }
    DeleteAllTools();
  }
  bounds_ = {};
  SetColors(0, 0, -1, -1);
  SendHint(Hint_Clear, nullptr, nullptr);
  return true;
}

ToolList::iterator CKorndDoc::Render(KRdc* dc, CKorndGC& env, int stop_id) {
  if (dc == nullptr || object_count_ == 0) return tools_.end();
  if (!env.replay_position) {
    env.SetDefaults(*this);
    env.Apply(*dc);
  }
  auto it = *env.replay_position;
  for (; it != tools_.end(); ++it) {
    env.replay_position = it;
    CKorndTool& t = **it;
    if (t.flags() & (CKorndTool::Erased | CKorndTool::Hidden)) continue;
    if (stop_id > 0 && t.id() >= stop_id) return std::next(it);
    replaying_ = true;
    t.Draw(env, this, nullptr, *dc, 0x8);
    replaying_ = false;
  }
  return tools_.end();
}

int CKorndDoc::ReportPendingError() {
  if (pending_message_ == 0) return 0;
  CKorndApp* app = KorndApp();
  int id = pending_message_;
  pending_message_ = 0;
  return app ? app->ShowMessageID(id, &title_, MB_YESNO_ASK) : 0;
}

std::uint32_t CKorndDoc::ExecuteCommand(char letter) {
  CKorndApp* app = KorndApp();
  if (view_ == nullptr) return channel::Reply_Refused;
  if (ReportPendingError() == CKorndBox::IDYES) return channel::Reply_Refused;
  PurgeTools(100);
  std::uint32_t reply = static_cast<std::uint32_t>(window_number_);
  bool registered = app != nullptr && app->WindowDoc(window_number_) == this;
  switch (letter) {
    case channel::Draw:  // add a drawing object
      if (!registered) return channel::Reply_Refused;
      AddNewTool(block_->code, block_->a[0], block_->a[1]);
      break;
    case channel::New_Object:  // build a pending drawing object
      if (!registered) return channel::Reply_Refused;
      MakeTool(block_->code, block_->a[0], block_->a[1]);
      break;
    case channel::Control:  // control requests: the point-list transfer
      reply = ExecuteB(reply);
      break;
    case channel::Pick:  // interactive picks
      reply = ExecuteC(reply);
      break;
    case channel::Bitmap:  // bitmaps
      reply = ExecuteD(reply);
      break;
    case channel::Size:  // sizes and positions
      reply = ExecuteE(reply);
      break;
    case channel::Pixel:  // colour of one pixel
      reply = ExecuteF(reply);
      break;
    case channel::Show:  // show states
      reply = ExecuteG(reply);
      break;
    case channel::Combined:  // symbols
      reply = ExecuteM(reply);
      break;
    default:  // a letter this window does not serve
      return channel::Reply_Failed;
  }
  if (ReportPendingError() == CKorndBox::IDYES) reply = channel::Reply_Refused;
  return reply;
}

// The control requests of the point-list protocol; the other sub-codes are not served here.
std::uint32_t CKorndDoc::ExecuteB(std::uint32_t reply) {
  switch (block_->code) {
    case channel::Control_New_Buffer: {  // a new zero-filled data buffer of a1 bytes (bounded: a refused size answers 0)
      data_buffer_.clear();
      data_buffer_.shrink_to_fit();
      const int bytes = block_->a[0];
      if (bytes < 0 || bytes > (1 << 30)) {
        // A hostile size is shown and answered 0; it does not end the server.
        CKorndBox::Show("Kornd: Error", CKorndApp::StringOf(IDS_NO_MEMORY), MB_FATAL);
        return 0u;
      }
      try {
        data_buffer_.assign(static_cast<std::size_t>(bytes), 0);
      } catch (const std::bad_alloc&) {
        if (CKorndApp* app = KorndApp()) app->ShowNoMemory();
        return 0u;
      }
      return reply;
    }
    case channel::Control_Free_Buffer:  // release the data buffer
      data_buffer_.clear();
      data_buffer_.shrink_to_fit();
      return reply;
    case channel::Control_Put_Data:  // copy the data area into the data buffer
      return CopyToDataBuffer(block_->a[0], block_->a[1]) ? reply : 0u;
    case channel::Control_Commit_Object: {  // add the pending object
      if (!pending_tool_) return channel::Reply_Refused;
      AddTool(pending_tool_);
      data_buffer_.clear();
      data_buffer_.shrink_to_fit();
      return reply;
    }
    case channel::Control_Drop_Object:  // drop the pending object and the buffer
      DropPending();
      return reply;
    case channel::Control_Load_Picture:  // load a picture file into this window
      return static_cast<std::uint32_t>(LoadPicture(request_name(*block_), block_->a[0]));
    case channel::Control_Save_Picture:  // save or export the picture
      return SaveByType(request_name(*block_), block_->a[2], block_->a[3], block_->a[0], block_->a[1]) ? reply : 0u;
    case channel::Control_View_Mode:  // view mode: 1-4 that mode, 5 zoomed to the viewport rectangle, others nothing
      if (view_ && block_->a[0] >= 1 && block_->a[0] <= 4) view_->SetViewMode(block_->a[0], nullptr);
      else if (view_ && block_->a[0] == 5) view_->SetViewMode(5, &viewport_rect_);
      return reply;
    default:
      return ExecuteControl(reply);
  }
}

bool CKorndDoc::CopyToDataBuffer(int offset, int length) {
  if (offset < 0 || length < 0 || length > int(channel::Data_Size)) return false;
  if (std::uint64_t(offset) + std::uint64_t(length) > data_buffer_.size()) return false;
  if (length == 0) return true;  // a freed buffer has no storage to copy into
  std::memcpy(data_buffer_.data() + offset, block_->data, static_cast<std::size_t>(length));
  return true;
}

bool CKorndDoc::FillDataBuffer(std::string_view bytes) {
  if (bytes.size() > data_buffer_.size()) return false;
  if (!bytes.empty()) std::memcpy(data_buffer_.data(), bytes.data(), bytes.size());
  return true;
}

void CKorndDoc::DropPending() {
  pending_tool_.reset();
  data_buffer_.clear();
  data_buffer_.shrink_to_fit();
}

std::int32_t CKorndDoc::BackgroundColour() {
  if (background_ >= 0) return background_;
  std::int32_t c = block_->bg >= 0 ? ResolveColor(block_->bg, nullptr) : -1;  // never asks the user
  return c >= 0 ? c : 0xFFFFFF;
}

bool CKorndDoc::OnCloseDocument() {
  CKorndApp* app = KorndApp();
  if (app && app->box_open) return false;
  ReleaseWindow();
  return true;
}

void CKorndDoc::ReleaseWindow() {
  if (released_) return;
  released_ = true;
  SendHint(Hint_End_Waits, nullptr, nullptr);
  pending_tool_.reset();
  CKorndApp* app = KorndApp();
  if (!tools_.empty()) {
    if (default_inquiring() && app) {
      const QString title = "Graphics Window";
      app->ShowMessageID(IDS_ERASE_ALL, &title, MB_NOTICE);
    }
    DeleteAllTools();
  }
  block_ = &own_block_;
  if (shared_.view() && !shared_.REMOVE())
    std::fprintf(stderr, "kornd: window block %s: %s\n", shared_.name().c_str(), shared_.error().c_str());
  if (app) {
    if (app->WindowDoc(window_number_) == this) {
      app->SetWindowDoc(window_number_, nullptr);
    }
    app->CountWindow(-1);
  }
}
