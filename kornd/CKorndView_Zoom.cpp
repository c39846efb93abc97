// CKorndView_Zoom.cpp - the view's modes on the screen: mode changes (request B 15, the Mode
// menu, the zoom-in selection with its rubber band), the shown rectangle and the page mapping
// of the window's surface and buffers, the scroll bars of the bitmap mode with the mouse wheel,
// picture points of client pixels, and "Fit Frame".
// Reads: the document's picture geometry, the server's resolution. Changes: the view's mode
// record and surfaces' mappings, the document's area mode, status panes 0 and 2, the child
// frame's scroll bars and the frames' sizes (Fit Frame).
#include <QLayout>
#include <QMdiArea>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndChild.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndMain.h"
#include "kornd/CKorndView.h"

namespace {

CKorndMain* main_frame() {
  CKorndApp* app = KorndApp();
  return app ? app->main_frame : nullptr;
}

// The mapping on a painting layer; the layer's own isotropic adjustment is read back.
void apply_mapping(KRdc& dc, KRmapping& m) {
  dc.SetMapping(m);
  m.viewport_ext = dc.ViewportExt();
}

}  // namespace

void CKorndView::SetViewMode(int m, const KRrect* r) {
  if (doc_ == nullptr || m < 0 || m > 5) return;
  const unsigned mark = view_mode.SetViewMode(m, r, *doc_);
  MarkBuffers(mark, nullptr, true);
  doc_->SetViewMode(view_mode.mode);
  UpdateScrollSizes();
  RecalcViewRect();
  InvalidateWindow(nullptr, true);
}

void CKorndView::OnViewMode(int m) { SetViewMode(m, nullptr); }

void CKorndView::RecalcViewRect() {
  if (doc_ == nullptr) return;
  if (CKorndApp* app = KorndApp()) {
    view_mode.resolution_x = app->page_metrics.resolution_x;
    view_mode.resolution_y = app->page_metrics.resolution_y;
  }
  // The first time the client size is the window's own (later resizes bring it).
  if (!view_rect_set_ && width() > 0 && height() > 0) view_mode.client_width = width(), view_mode.client_height = height();
  view_mode.RecalcViewRect(*doc_);
  view_rect_set_ = true;
  // A new device extent makes the surface anew (mapped there); otherwise it is mapped here.
  if (window_.Dc() && (window_.Width() != std::max(1, view_mode.device_width) ||
                       window_.Height() != std::max(1, view_mode.device_height))) {
    EnsureSurface();
  } else if (KRdc* dc = window_.Dc()) {
    SetupMapping(*dc);
  }
  if (buffer_ && buffer_->Dc()) SetupMapping(*buffer_->Dc());
  if (snapshot_ && snapshot_->Dc()) SetupMapping(*snapshot_->Dc());
  if (CKorndMain* frame = main_frame()) {
    const KRrect& v = view_mode.view_rect;
    frame->ShowViewRect(v.left, v.top, v.right, v.bottom);
  }
}

void CKorndView::SetupMapping(KRdc& dc, int divisor) {
  if (doc_ == nullptr) return;
  dc.SetClip(nullptr);
  const bool window = IsWindowDC(dc);
  KRmapping m = view_mode.SetupMapping(*doc_, window, divisor);
  apply_mapping(dc, m);
  if (window) view_mode.window_mapping = m;
}

KRrect CKorndView::ToDevice(const KRrect& logical) const {
  if (view_mode.mode == 1) return logical;  // the surface holds the picture 1:1
  return view_mode.window_mapping.LPtoDP(logical);
}

KRrect CKorndView::DeviceOf(const KRdc& dc, const KRrect& logical) const {
  const bool own = IsWindowDC(dc) || (buffer_ && &dc == buffer_->Dc()) || (snapshot_ && &dc == snapshot_->Dc());
  return own ? ToDevice(logical) : dc.LPtoDP(logical);
}

KRrect CKorndView::ToLogicalRect(const KRrect& device) const {
  if (view_mode.mode == 1) return device;
  return view_mode.window_mapping.DPtoLP(device);
}

std::int32_t CKorndView::ReadPixel(int x, int y) {
  if (!EnsureSurface()) return -1;
  PaintPending();
  const KRpoint d = view_mode.mode == 1 ? KRpoint{x, y} : view_mode.window_mapping.LPtoDP(KRpoint{x, y});
  if (buffer_ && !buffer_->IsEmpty()) UpdateBackBuffer();
  const QImage& s = buffer_ && !buffer_->IsEmpty() ? buffer_->Surface() : window_.Surface();
  if (!s.valid(d.x, d.y)) return -1;
  const QRgb p = s.pixel(d.x, d.y);
  return static_cast<std::int32_t>(qRed(p) | qGreen(p) << 8 | qBlue(p) << 16);
}

void CKorndView::UpdateScrollSizes() {
  CKorndChild* child = Frame();
  if (child == nullptr) {
    if (view_mode.mode == 1 && doc_) ClampScroll(false);
    return;
  }
  QScrollBar* h = child->HorizontalBar();
  QScrollBar* v = child->VerticalBar();
  if (view_mode.mode != 1) {  // the picture is fitted: no scroll bars
    h->hide();
    v->hide();
    return;
  }
  // Which bars the picture needs in the frame's client area, each bar taking room from the other.
  const QSize room = child->widget() ? child->widget()->size() : size();
  const int W = doc_->PictureWidth(), H = doc_->PictureHeight();
  const int bar_w = v->sizeHint().width(), bar_h = h->sizeHint().height();
  bool need_h = W > room.width(), need_v = H > room.height();
  if (need_h && !need_v) need_v = H > room.height() - bar_h;
  if (need_v && !need_h) need_h = W > room.width() - bar_w;
  const int cw = std::max(1, room.width() - (need_v ? bar_w : 0));
  const int ch = std::max(1, room.height() - (need_h ? bar_h : 0));
  {
    const QSignalBlocker bh(h), bv(v);
    h->setRange(0, std::max(0, W - cw));
    h->setPageStep(cw);
    h->setSingleStep(std::max(1, cw / 10));
    v->setRange(0, std::max(0, H - ch));
    v->setPageStep(ch);
    v->setSingleStep(std::max(1, ch / 10));
  }
  if (h->isVisibleTo(child) != need_h || v->isVisibleTo(child) != need_v) {
    h->setVisible(need_h);
    v->setVisible(need_v);
    // The client area takes its new size now (its resize comes back here, and stops above).
    if (!in_scroll_sizes_ && child->widget() && child->widget()->layout()) {
      in_scroll_sizes_ = true;
      child->widget()->layout()->activate();
      in_scroll_sizes_ = false;
    }
  }
  ClampScroll(false);
}

void CKorndView::ClampScroll(bool from_bars) {
  if (doc_ == nullptr) return;
  CKorndChild* child = Frame();
  if (from_bars && child) view_mode.scroll = {child->HorizontalBar()->value(), child->VerticalBar()->value()};
  view_mode.ClampScroll(*doc_);
  if (child) {
    const QSignalBlocker bh(child->HorizontalBar()), bv(child->VerticalBar());
    child->HorizontalBar()->setValue(view_mode.scroll.x);
    child->VerticalBar()->setValue(view_mode.scroll.y);
  }
  if (CKorndMain* frame = main_frame()) {
    const KRrect& r = view_mode.view_rect;
    frame->ShowViewRect(r.left, r.top, r.right, r.bottom);
  }
  update();
}

void CKorndView::OnScrollBars() {
  if (view_mode.mode != 1) return;
  in_scroll_ = true;
  ClampScroll(true);
  in_scroll_ = false;
}

void CKorndView::wheelEvent(QWheelEvent* event) {
  CKorndChild* child = Frame();
  if (view_mode.mode != 1 || child == nullptr) {
    QWidget::wheelEvent(event);
    return;
  }
  // Three lines a notch, on the vertical bar when there is one.
  QScrollBar* bar = child->VerticalBar()->isVisible() ? child->VerticalBar() : child->HorizontalBar();
  const int delta = event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
  in_scroll_ = true;
  bar->setValue(bar->value() - delta * 3 * bar->singleStep() / 120);
  in_scroll_ = false;
  event->accept();
}

void CKorndView::OnZoomIn() {
  if (zoom_armed_) return;
  zoom_armed_ = true;
  if (CKorndMain* frame = main_frame()) frame->UpdatePane(0, "ZoomIn");
  if (!zoom_cursor_saved_) {
    zoom_saved_cursor_ = cursor();
    zoom_cursor_saved_ = true;
  }
  setCursor(Qt::CrossCursor);
}

void CKorndView::DisarmZoom() {
  const bool was_armed = zoom_armed_ || zoom_tracking_;
  zoom_armed_ = zoom_tracking_ = false;
  if (!was_armed) return;
  if (zoom_cursor_saved_) setCursor(zoom_saved_cursor_);
  else unsetCursor();
  zoom_cursor_saved_ = false;
  if (CKorndMain* frame = main_frame()) frame->ClearPane(0);
  update();
}

bool CKorndView::ZoomPress(QPoint p) {
  if (!zoom_armed_) return false;
  input.band_shown = false;  // a capture's band gives way
  zoom_tracking_ = true;
  zoom_from_ = zoom_to_ = p;
  update();
  return true;
}

bool CKorndView::ZoomMove(QPoint p) {
  if (!zoom_tracking_) return false;
  zoom_to_ = p;
  update();
  return true;
}

bool CKorndView::ZoomRelease(QPoint p) {
  if (!zoom_tracking_) return false;
  zoom_to_ = p;
  const KRpoint a = ToLogical(KRpoint{zoom_from_.x(), zoom_from_.y()});
  const KRpoint b = ToLogical(KRpoint{zoom_to_.x(), zoom_to_.y()});
  DisarmZoom();
  if (!view_mode.NearPoint(a, b)) {
    const KRrect r{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    SetViewMode(5, &r);
  }
  return true;
}

void CKorndView::DrawZoomBand(QPainter& p) {
  if (!zoom_tracking_ || zoom_from_ == zoom_to_) return;
  p.save();
  p.setPen(QPen(Qt::white, 0, Qt::SolidLine));
  p.setBrush(Qt::NoBrush);
  p.setCompositionMode(QPainter::RasterOp_NotDestination);
  p.drawRect(QRect(zoom_from_, zoom_to_).normalized());
  p.restore();
}

void CKorndView::OnFitFrame() {
  CKorndChild* child = Frame();
  CKorndMain* frame = main_frame();
  if (child == nullptr || frame == nullptr) return;
  // In the bitmap mode the view ends no larger than the picture.
  int dx = 0, dy = 0;
  if (view_mode.mode == 1) {
    dx = std::max(0, view_mode.client_width - doc_->PictureWidth());
    dy = std::max(0, view_mode.client_height - doc_->PictureHeight());
  }
  const QSize target(std::max(1, width() - dx), std::max(1, height() - dy));
  child->showNormal();
  // The child frame around a client of the target size, at the top left of the frame's area;
  // then the main frame grows or shrinks by what its area lacks or has over.
  child->resize(child->size() + (target - size()));
  child->move(0, 0);
  QMdiArea* area = frame->MdiArea();
  frame->resize(frame->size() + (child->frameGeometry().size() - area->viewport()->size()));
  // What the frames did not give exactly (minimum sizes) is taken once more from the view.
  child->resize(child->size() + (target - size()));
}
