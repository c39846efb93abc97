// CKorndView.cpp - view of a graphics window (see CKorndView.h).
#include "kornd/CKorndView.h"

#include <QEventLoop>
#include <QPainter>
#include <QTimer>

#include <time.h>  // clock_gettime
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
  CKorndApp* app = KorndApp();
  if (app && app->main_frame && doc_)
    app->main_frame->ShowCoordinates(event->position().toPoint().x(), event->position().toPoint().y(),
                                     doc_->WindowNumber());
  QWidget::mouseMoveEvent(event);
}

void CKorndView::resizeEvent(QResizeEvent* event) {
  CKorndApp* app = KorndApp();
  if (app && app->main_frame) app->main_frame->ShowViewRect(0, 0, width(), height());
  QWidget::resizeEvent(event);
}

static std::uint32_t tick_now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint32_t>(std::uint64_t(ts.tv_sec) * 1000 + std::uint64_t(ts.tv_nsec) / 1000000);
}

std::uint32_t CKorndView::WaitUntil(std::int64_t ms, std::uint32_t base) {
  if (ended_ || waiting_ || (replay_depth_ > 0 && !replay_command_)) return 0;
  const std::uint32_t deadline = base + static_cast<std::uint32_t>(ms);
  QEventLoop loop;
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (static_cast<std::int32_t>(tick_now() - deadline) >= 0) loop.quit();
  });
  waiting_ = true;
  wait_loop_ = &loop;
  if (static_cast<std::int32_t>(tick_now() - deadline) < 0) {
    poll.start();
    loop.exec();
  }
  wait_loop_ = nullptr;
  waiting_ = false;
  if (ended_) throw CKorndWaitEnded{};
  std::uint32_t now = tick_now();
  return now - base - (base > now ? 1 : 0);
}

void CKorndView::EndWaits() {
  ended_ = true;
  if (wait_loop_) wait_loop_->quit();
}

void CKorndView::paintEvent(QPaintEvent* event) {
  PaintPending();
  QPainter p(this);
  p.fillRect(event->rect(), ColorOf(static_cast<std::uint32_t>(doc_ ? doc_->BackgroundColour() : 0xFFFFFF)));
  if (window_.Dc()) p.drawImage(0, 0, window_.Surface());
}
