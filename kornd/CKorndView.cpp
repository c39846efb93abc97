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


void CKorndView::paintEvent(QPaintEvent* event) {
  PaintPending();
  QPainter p(this);
  p.fillRect(event->rect(), ColorOf(static_cast<std::uint32_t>(doc_ ? doc_->BackgroundColour() : 0xFFFFFF)));
  if (window_.Dc()) p.drawImage(0, 0, window_.Surface());
  DrawBand(p);
}
