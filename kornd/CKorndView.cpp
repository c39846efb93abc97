// CKorndView.cpp - view of a graphics window (see CKorndView.h).
#include "kornd/CKorndView.h"

#include <QEventLoop>
#include <QPainter>
#include <QTimer>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QResizeEvent>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/CKorndMain.h"
#include "kornd/CKorndSetColor.h"
#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

CKorndView::CKorndView(CKorndDoc* doc) : doc_(doc) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

void CKorndView::mouseMoveEvent(QMouseEvent* event) {
  OnMouseMove(KRpoint{event->position().toPoint().x(), event->position().toPoint().y()});
  CKorndApp* app = KorndApp();
  if (app && app->main_frame && doc_)
    app->main_frame->ShowCoordinates(event->position().toPoint().x(), event->position().toPoint().y(),
                                     doc_->WindowNumber());
  QWidget::mouseMoveEvent(event);
}

void CKorndView::resizeEvent(QResizeEvent* event) {
  CKorndApp* app = KorndApp();
  if (app && app->main_frame) app->main_frame->ShowViewRect(0, 0, width(), height());
  if (doc_) view_mode.OnSize(width(), height(), *doc_);
  QWidget::resizeEvent(event);
}

namespace {
// Largest picture surface made (16 M pixels, 64 MB); a larger picture draws nothing instead of
// taking the machine's memory.
constexpr std::int64_t Max_Surface_Pixels = std::int64_t(1) << 24;
}  // namespace

// Keeps the surface at the picture size, made when first drawn into; a new size makes the
// picture anew.
bool CKorndView::EnsureSurface() {
  if (doc_ == nullptr) return false;
  int w = std::max(1, doc_->PictureWidth()), h = std::max(1, doc_->PictureHeight());
  if (back_.Width() == w && back_.Height() == h && back_.Dc()) return true;
  if (std::int64_t(w) * h > Max_Surface_Pixels) {
    back_.Reset();
    return false;
  }
  if (!back_.Create(w, h, -1)) return false;
  ReplayAll();
  return true;
}

void CKorndView::FillBackground() {
  std::int32_t bg = doc_->BackgroundColour();
  back_.Invalidate(0, nullptr, &bg);
}

const QImage& CKorndView::Surface() {
  EnsureSurface();
  return back_.Surface();
}

std::uint32_t CKorndView::DrawTool(CKorndTool* tool, CKorndGC& env, KRdc& dc, std::uint32_t mask) {
  try {
    tool->Draw(env, doc_, this, dc, mask);
  } catch (const CKorndWaitEnded&) {
    if (CKorndApp* app = KorndApp()) app->closing = true;
    return channel::Reply_Refused;
  }
  return 0;
}

void CKorndView::ReplayAll(bool replay_command) {
  if (!back_.Dc() || replay_depth_ > 0) return;  // never a replay inside a replay
  ++replay_depth_;
  replay_command_ = replay_command;
  FillBackground();
  back_.ResetDc();
  CKorndGC env;
  env.SetDefaults(*doc_);
  env.Apply(*back_.Dc());
  for (auto& t : doc_->Tools()) {
    if (t->flags() & (CKorndTool::Erased | CKorndTool::Hidden)) continue;
    if (DrawTool(t.get(), env, *back_.Dc(), replay_command ? 0 : CKorndTool::Not_Repainted) != 0) break;
  }
  // New objects go on with the document's own environment from here.
  doc_->Environment().Apply(*back_.Dc());
  replay_command_ = false;
  --replay_depth_;
  update();
}

void CKorndView::OnUpdate(int hint, CKorndTool* tool, const KRrect*) {
  if (doc_ == nullptr) return;
  switch (hint & 0xFF) {
    case 3:  // a new object: drawn at once
      if (!EnsureSurface() || tool == nullptr) break;
      if (tool->flags() & (CKorndTool::Erased | CKorndTool::Hidden)) break;
      DrawTool(tool, doc_->Environment(), *back_.Dc(), 0);
      if (tool->type() == 5 && static_cast<CKorndSetColor*>(tool)->slot == 2) {
        std::int32_t bg = doc_->Environment().Role(2);
        doc_->SetBackground(bg);
        if (bg >= 0) doc_->block()->bg = bg | 0x2000000;
        ReplayAll();
      }
      update();
      break;
    case 7:   // cleared
    case 9:   // objects erased
    case 1:   // picture made anew
    case 2:   // background changed
      if (back_.Dc() && EnsureSurface()) ReplayAll();
      update();
      break;
    case 14:  // the main frame closes
    case 15:  // the window is released
      EndWaits();
      break;
    default:  // hints that need no drawing here
      break;
  }
}

void CKorndView::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  p.fillRect(event->rect(), ColorOf(static_cast<std::uint32_t>(doc_ ? doc_->BackgroundColour() : 0xFFFFFF)));
  if (back_.Dc()) p.drawImage(0, 0, back_.Surface());
  DrawBand(p);
}
