// CKorndView.cpp - view of a graphics window (see CKorndView.h).
#include "kornd/CKorndView.h"

#include "kornd/CKorndChild.h"

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
#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

CKorndView::CKorndView(CKorndDoc* doc) : doc_(doc) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  if (CKorndApp* app = KorndApp()) {
    view_mode.creation_resolution_x = view_mode.resolution_x = app->page_metrics.resolution_x;
    view_mode.creation_resolution_y = view_mode.resolution_y = app->page_metrics.resolution_y;
  }
}

void CKorndView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint c = event->position().toPoint();
  if (!ZoomMove(c)) {
    const KRpoint p = ToLogical(KRpoint{c.x(), c.y()});
    OnMouseMove(p);
    CKorndApp* app = KorndApp();
    if (app && app->main_frame && doc_) app->main_frame->ShowCoordinates(p.x, p.y, doc_->WindowNumber());
  }
  QWidget::mouseMoveEvent(event);
}

void CKorndView::resizeEvent(QResizeEvent* event) {
  // A window without a client area (minimised, or behind a maximised one) keeps its picture and
  // buffers as they are rather than remaking them at no size.
  if (doc_ && width() > 0 && height() > 0) {
    view_mode.client_width = std::max(0, width());
    view_mode.client_height = std::max(0, height());
    if (view_mode.mode != 1) view_mode.device_width = view_mode.client_width, view_mode.device_height = view_mode.client_height;
    size_changed_ = true;  // the next paint completes the change
    UpdateScrollSizes();
    if (view_mode.mode == 1) RecalcViewRect();
    InvalidateWindow(nullptr, true);
  }
  QWidget::resizeEvent(event);
}

void CKorndView::paintEvent(QPaintEvent* event) {
  PaintPending();
  QPainter p(this);
  // The surface at the scroll position; the background wherever it does not reach.
  const QPoint at = view_mode.mode == 1 ? QPoint(-view_mode.scroll.x, -view_mode.scroll.y) : QPoint(0, 0);
  const QRect shown = window_.Dc() ? QRect(at, window_.Surface().size()) : QRect();
  const QColor bg = ColorOf(static_cast<std::uint32_t>(doc_ ? doc_->BackgroundColour() : 0xFFFFFF));
  for (const QRect& r : QRegion(event->rect()).subtracted(QRegion(shown))) p.fillRect(r, bg);
  if (window_.Dc()) p.drawImage(at, window_.Surface());
  DrawBand(p);
  DrawZoomBand(p);
}

CKorndChild* CKorndView::Frame() const {
  for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget())
    if (auto* child = qobject_cast<CKorndChild*>(w)) return child;
  return nullptr;
}
