// CKorndView_Input.cpp - the view's side of the waits: mouse and key records, captures of
// points, rectangles and lines with their rubber band, the timed wait on the view's 5-ms
// timer, and the local event loop every wait runs (a nested QEventLoop). A wait whose window
// or event loop ends throws CKorndWaitEnded after its loop has returned.
// Reads: the tick count. Changes: the document's pending message (Escape during a capture,
// Pause/Abort), status pane 0 (capture texts), the cursor.
#include <QCursor>
#include <QEventLoop>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QThread>
#include <QTimerEvent>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndBox.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndMain.h"
#include "kornd/CKorndView.h"
#include "kornd/Tick_Count.h"

namespace {

constexpr int Wait_Timer_Ms = 5;
constexpr std::size_t Max_Typed = 1024;  // characters typed ahead of the waits that read them
constexpr int VK_SHIFT = 16, VK_CONTROL = 17, VK_ESCAPE = 27, VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40;

// A pointer that can be moved: platforms without a screen (offscreen, minimal) have none.
bool pointer_exists() {
  const QString platform = QGuiApplication::platformName();
  return platform != "offscreen" && platform != "minimal";
}

KRpoint client_point(const QMouseEvent* e) {
  QPoint p = e->position().toPoint();
  return KRpoint{p.x(), p.y()};
}

bool deadline_reached(std::uint32_t deadline) {
  return static_cast<std::int32_t>(TICK_COUNT() - deadline) >= 0;
}

}  // namespace

int CKorndView::VirtualKey(int k) {
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return 'A' + (k - Qt::Key_A);
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return '0' + (k - Qt::Key_0);
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return 112 + (k - Qt::Key_F1);
  switch (k) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
    case Qt::Key_Return: case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
  }
}

void CKorndView::Wake() {
  if (wait_loop_) wait_loop_->quit();
}

void CKorndView::EndWaits() {
  ended_ = true;
  Wake();
}

void CKorndView::EndAnyWait(unsigned extra) {
  if (!(wait_flags_ & Wait_Any)) return;
  input.deadline = 0;
  wait_flags_ &= ~(Wait_Timed | Wait_Any | extra);
  Wake();
}

int CKorndView::PumpWhileWaiting() {
  if (pumping_) return 0;
  if (wait_flags_ == 0) return 1;
  QPointer<CKorndView> alive(this);
  if (std::getenv("KORND_TEST_INPUT") != nullptr) {  // tells a scripted test the wait runs
    std::fprintf(stderr, "kornd input: waiting %#x\n", wait_flags_);
    std::fflush(stderr);
  }
  QEventLoop loop;
  QEventLoop* outer = wait_loop_;
  wait_loop_ = &loop;
  bool ended = false;
  const auto client_gone = [] {
    CKorndApp* app = KorndApp();
    return app != nullptr && app->client_gone;
  };
  while (alive && wait_flags_ != 0 && !ended_ && !client_gone()) {
    if (loop.exec() != 0) {  // the application's loop ends
      ended = true;
      break;
    }
  }
  if (!alive) throw CKorndWaitEnded{};  // the window went while its wait ran
  wait_loop_ = outer;
  if (ended || ended_ || client_gone()) {
    EndCapture(Wait_All);
    throw CKorndWaitEnded{};
  }
  return 1;
}

void CKorndView::WaitFor(unsigned bit) {
  wait_flags_ |= bit;
  PumpWhileWaiting();
}

std::uint32_t CKorndView::WaitUntil(std::int64_t ms, std::uint32_t base) {
  if (ended_ || (wait_flags_ & Wait_Timed) || input.deadline != 0 || (replay_depth_ > 0 && !replay_command_))
    return 0;
  if (wait_timer_ != 0) {
    killTimer(wait_timer_);
    wait_timer_ = 0;
  }
  input.deadline = base + static_cast<std::uint32_t>(ms);
  wait_timer_ = startTimer(Wait_Timer_Ms, Qt::PreciseTimer);
  if (wait_timer_ == 0) {
    input.deadline = 0;
    return 0;
  }
  wait_flags_ |= Wait_Timed;
  QPointer<CKorndView> alive(this);
  struct Timer_Guard {
    QPointer<CKorndView>& view;
    ~Timer_Guard() {
      if (view && view->wait_timer_ != 0) {
        view->killTimer(view->wait_timer_);
        view->wait_timer_ = 0;
      }
    }
  } guard{alive};
  PumpWhileWaiting();
  std::uint32_t now = TICK_COUNT();
  return now - base - (base > now ? 1u : 0u);
}

void CKorndView::timerEvent(QTimerEvent* event) {
  if (event->timerId() != wait_timer_) {
    QWidget::timerEvent(event);
    return;
  }
  if ((wait_flags_ & Wait_Timed) && deadline_reached(input.deadline)) {
    input.deadline = 0;
    wait_flags_ &= ~(Wait_Timed | Wait_Any);
    Wake();
  }
}

int CKorndView::StartCapture(int kind) {
  if (wait_flags_ & Wait_Captures) return 0;
  wait_flags_ |= static_cast<unsigned>(kind) & Wait_Captures;
  input.band_shown = false;
  input.result = 0;
  setCursor(Qt::CrossCursor);
  HoldMouse(true);
  if (kind == Wait_Line_From) {
    input.point2 = input.point1;
    input.drag = true;
  } else {
    input.point1 = input.point2 = KRpoint{};
  }
  PumpWhileWaiting();
  if (wait_flags_ != 0) EndCapture(Wait_Captures);
  if (input.left_down || input.right_down) QThread::msleep(1);
  input.left_down = input.right_down = false;
  return 1;
}

void CKorndView::EndCapture(unsigned mask) {
  unsigned kinds = wait_flags_ & mask & Wait_Captures;
  if (kinds != 0) {
    input.band_shown = false;
    unsetCursor();
    input.drag = false;
    HoldMouse(false);
    ShowCaptureText(static_cast<int>(kinds));
    wait_flags_ &= ~kinds;
    update();
  }
  if ((mask & Wait_Timed) && (wait_flags_ & Wait_Timed)) {
    if (wait_timer_ != 0) {
      killTimer(wait_timer_);
      wait_timer_ = 0;
    }
    input.deadline = 0;
    wait_flags_ &= ~(Wait_Timed | Wait_Any);
  }
  wait_flags_ &= ~(mask & (Wait_Key_Up | Wait_Key_Down | Wait_Char | Wait_Any));
  Wake();
}

void CKorndView::ShowCaptureText(int kind) {
  CKorndApp* app = KorndApp();
  CKorndMain* frame = app ? app->main_frame : nullptr;
  if (frame == nullptr) return;
  const KRpoint a = input.point1, b = input.point2;
  QString text;
  if (kind == Wait_Point) text = QString::asprintf("Captured (%d, %d)", b.x, b.y);
  else if (kind == Wait_Rect || kind == Wait_Line) text = QString::asprintf("Captured (%d, %d) - (%d, %d)", a.x, a.y, b.x, b.y);
  else if (kind == Wait_Line_From) text = QString::asprintf("Captured (%d, %d) <- (%d, %d)", b.x, b.y, a.x, a.y);
  else return;
  capture_text_ = frame->PaneText(0);
  frame->UpdatePane(0, text);
}

void CKorndView::HoldMouse(bool hold) {
  // Offscreen there is no pointer to hold; a hidden widget cannot hold it.
  if (hold && pointer_exists() && isVisible() && mouseGrabber() != this) grabMouse();
  else if (!hold && mouseGrabber() == this) releaseMouse();
}

void CKorndView::focusInEvent(QFocusEvent* event) {
  has_focus_ = true;
  CKorndApp* app = KorndApp();
  if (CKorndMain* frame = app ? app->main_frame : nullptr; frame && doc_) {
    frame->ShowCoordinates(input.mouse.x, input.mouse.y, doc_->WindowNumber());
    const KRrect& v = view_mode.view_rect;
    frame->ShowViewRect(v.left, v.top, v.right, v.bottom);
    frame->SetLiveCount(doc_->ObjectCount() - doc_->HiddenCount());
  }
  QWidget::focusInEvent(event);
}

void CKorndView::focusOutEvent(QFocusEvent* event) {
  input.last_key_down = Key_Record{};  // its release goes to another window
  HoldMouse(false);
  has_focus_ = false;
  QWidget::focusOutEvent(event);
}

void CKorndView::OnPauseAbort() {
  CKorndApp* app = KorndApp();
  if (wait_flags_ & Wait_Captures) {
    if (app && app->ShowMessageID(IDS_ON_CAPTURING, nullptr, MB_QUESTION, false) == CKorndBox::IDCANCEL) return;
    if (app && app->main_frame) app->main_frame->UpdatePane(0, QString());
    EndCapture(Wait_Captures);
  }
  // A pause (timed wait) ends too, so that none can hold the window for its whole length.
  if (wait_flags_ & Wait_Timed) EndCapture(Wait_Timed | Wait_Any);
  if (doc_) doc_->SetPendingMessage(IDS_ABORT);
}

void CKorndView::DrawBand(QPainter& p) {
  const unsigned kind = wait_flags_ & (Wait_Rect | Wait_Line | Wait_Line_From);
  input.band_shown = kind != 0 && !(input.point1 == input.point2);
  if (!input.band_shown) return;
  p.setPen(QPen(Qt::white, 0));
  p.setCompositionMode(QPainter::RasterOp_NotDestination);
  // The band's points are picture points; the painter draws on the client area.
  auto at = [this](int x, int y) {
    const KRpoint c = ToClient(KRpoint{x, y});
    return QPoint(c.x, c.y);
  };
  const KRpoint a = input.point1, b = input.point2;
  if (kind == Wait_Rect) {
    const QPoint pts[] = {at(a.x, a.y), at(a.x, b.y), at(b.x, b.y), at(b.x, a.y), at(a.x, a.y)};
    p.drawPolyline(pts, 5);
    return;
  }
  p.drawLine(at(a.x, a.y), at(b.x, b.y));
  const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
  const double size = view_mode.arrow_size;
  const double ux = dx / len, uy = dy / len;
  const KRpoint base{b.x - int(2 * size * ux), b.y - int(2 * size * uy)};
  p.drawLine(at(base.x + int(-size * uy), base.y + int(size * ux)), at(b.x, b.y));
  p.drawLine(at(b.x, b.y), at(base.x + int(size * uy), base.y + int(-size * ux)));
}

void CKorndView::mousePressEvent(QMouseEvent* event) {
  const KRpoint p = ToLogical(client_point(event));
  const bool inside = rect().contains(event->position().toPoint());
  const unsigned kind = wait_flags_ & Wait_Captures;
  if (event->button() == Qt::LeftButton) {
    input.left_down = true;
    EndAnyWait(0);
    if (!inside) return;
    if (ZoomPress(event->position().toPoint())) return;
    if (kind == 0) input.last_event = input.last_button = -1;
    input.last_click = p;
    if (kind == 0) return;
    input.pixel = ReadPixel(p.x, p.y);
    input.result = 1;
    if (kind == Wait_Point || kind == Wait_Line_From) {
      input.point2 = p;
      EndCapture(Wait_Captures);
      return;
    }
    const KRpoint a = input.point1, b = input.point2;
    if (view_mode.NearPoint(p, b)) {
      input.point2 = p;
    } else if (view_mode.NearPoint(p, a)) {
      input.point1 = b;
      input.point2 = p;
    } else if (kind == Wait_Rect && view_mode.NearPoint(p, KRpoint{a.x, b.y})) {
      input.point1 = KRpoint{b.x, a.y};
      input.point2 = p;
    } else if (kind == Wait_Rect && view_mode.NearPoint(p, KRpoint{b.x, a.y})) {
      input.point1 = KRpoint{a.x, b.y};
      input.point2 = p;
    } else {
      input.point1 = input.point2 = p;
    }
    ShowCaptureText(Wait_Point);
    input.drag = true;
    update();
  } else if (event->button() == Qt::RightButton) {
    input.right_down = true;
    EndAnyWait(0);
    if (!inside) return;
    if (CKorndApp* app = KorndApp(); app && app->main_frame && kind != 0)
      app->main_frame->UpdatePane(0, capture_text_);
    if (zoom_armed_ || zoom_tracking_) {  // a right press ends the zoom-in selection
      DisarmZoom();
      return;
    }
    if (kind == 0) input.last_event = input.last_button = -2;
    input.last_click = p;
    if (kind == 0) return;
    if (kind == Wait_Line_From) {
      input.point2 = p;
      input.result = 2;
      EndCapture(Wait_Captures);
      return;
    }
    if (kind == Wait_Point) input.pixel = ReadPixel(p.x, p.y);
    if (input.drag) {
      input.drag = false;
      input.point1 = input.point2 = KRpoint{};
      update();
    } else {
      input.result = 2;
      EndCapture(Wait_Captures);
    }
  }
}

void CKorndView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    input.left_down = false;
    if (ZoomRelease(event->position().toPoint())) return;
    const unsigned kind = wait_flags_ & Wait_Captures;
    if (input.drag && (kind == Wait_Rect || kind == Wait_Line) && rect().contains(event->position().toPoint())) {
      input.point2 = ToLogical(client_point(event));
      input.drag = false;
      if (kind == Wait_Line) EndCapture(Wait_Captures);
      update();
    }
  } else if (event->button() == Qt::RightButton) {
    input.right_down = false;
  }
  QWidget::mouseReleaseEvent(event);
}

void CKorndView::OnMouseMove(KRpoint p) {
  input.mouse = p;
  // During a pick the view holds the mouse while the pointer is over it, and lets it go outside.
  if (wait_flags_ & Wait_Captures) HoldMouse(pointer_exists() && rect().contains(mapFromGlobal(QCursor::pos())));
  if ((wait_flags_ & Wait_Captures) && input.drag) {
    input.point2 = p;
    update();
  }
}

void CKorndView::OnKeyDown(int vk, int repeat, int flags, Qt::KeyboardModifiers modifiers) {
  input.raw_down = Key_Record{vk, repeat, flags};
  input.last_button = vk;
  input.last_click = input.mouse;
  if ((wait_flags_ & Wait_Captures) && vk == VK_ESCAPE) {
    input.result = -1;
    if (doc_) doc_->SetPendingMessage(IDS_ABORT);
  }
  if (vk == VK_ESCAPE) {
    // Escape ends any timed wait, so that no pause can hold the window for its whole length.
    if ((wait_flags_ & Wait_Timed) && !(wait_flags_ & Wait_Any)) EndCapture(Wait_Timed);
    EndAnyWait(0);
  }
  if ((wait_flags_ & Wait_Any) && vk >= VK_LEFT && vk <= VK_DOWN) {  // the arrows move the pointer
    const int step = (modifiers & Qt::ControlModifier) ? 1 : (modifiers & Qt::ShiftModifier) ? 32 : 8;
    const int dx = vk == VK_LEFT ? -step : vk == VK_RIGHT ? step : 0;
    const int dy = vk == VK_UP ? -step : vk == VK_DOWN ? step : 0;
    // The pointer moves by screen pixels; the tracked position is a picture point.
    const KRpoint client = view_mode.ToClient(input.mouse);
    input.mouse = view_mode.ToLogical(KRpoint{client.x + dx, client.y + dy});
    if (pointer_exists()) QCursor::setPos(QCursor::pos() + QPoint(dx, dy));
  }
  if (vk != VK_SHIFT && vk != VK_CONTROL) input.last_key_down = input.raw_down;
  wait_flags_ &= ~Wait_Key_Down;
  Wake();
}

void CKorndView::OnChar(int c, int repeat, int flags) {
  input.last_char = Key_Record{c, repeat, flags};
  // Bounded like a keyboard buffer: characters beyond it, never read, are dropped.
  if (input.typed.size() < Max_Typed) input.typed.push_back({input.raw_down, input.last_char});
  if (c != 0) input.last_event = c;
  wait_flags_ &= ~Wait_Char;
  EndAnyWait(Wait_Char);
  Wake();
}

void CKorndView::OnKeyUp(int vk, int repeat, int flags) {
  input.raw_up = Key_Record{vk, repeat, flags};
  input.last_key_down = Key_Record{};
  wait_flags_ &= ~Wait_Key_Up;
  Wake();
}

void CKorndView::keyPressEvent(QKeyEvent* event) {
  const int repeat = std::max(1, event->count());
  const int flags = event->isAutoRepeat() ? 0x4000 : 0;
  OnKeyDown(VirtualKey(event->key()), repeat, flags, event->modifiers());
  const QString text = event->text();
  // Characters go to the client as Latin-1 codes: one outside Latin-1 has none and is dropped
  // rather than passed on as another character.
  if (!text.isEmpty() && text.at(0).unicode() <= 0xFF) OnChar(text.at(0).unicode(), repeat, flags);
  event->accept();
}

void CKorndView::keyReleaseEvent(QKeyEvent* event) {
  OnKeyUp(VirtualKey(event->key()), std::max(1, event->count()), 0xC000);
  event->accept();
}
