// CKorndDoc_Inquiry.cpp - the requests E (sizes and positions), F (colour of one pixel) and
// G (show states of the window and the main frame).
//
// Reads: the window block's sub-code and slots. Writes: slots a3 and a4 (E), a3 (F).
// Changes: the picture size, the viewport rectangle and union, the print margins, the
// server's page metrics (E 9, E 10), the sizes, positions and show states of the frames.
// Views draw without a zoom mapping here, so device and logical pixels of the view are the same.
#include "kornd/CKorndDoc.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>  // std::min, std::max

#include "kornd/CKorndApp.h"
#include "kornd/CKorndChild.h"
#include "kornd/CKorndMain.h"
#include "kornd/CKorndView.h"

namespace {

// The main frame's show codes: 0-10 the show table, 11 topmost, 12 not topmost, 13 top,
// 14 bottom; other codes do nothing.
void show_main_frame(CKorndMain* main, int code) {
  if (main == nullptr) return;
  if (code >= 0 && code <= channel::Show_Frame_Last) {
    SHOW_BY_CODE(main, code);
    return;
  }
  switch (code) {
    case channel::Show_Topmost:
    case channel::Show_Not_Topmost: {
      const bool visible = main->isVisible();
      main->setWindowFlag(Qt::WindowStaysOnTopHint, code == channel::Show_Topmost);
      if (visible) main->show();
      break;
    }
    case channel::Show_Top: main->raise(); break;
    case channel::Show_Bottom: main->lower(); break;
    default: return;
  }
  main->update();
}

KRrect normalised(const KRrect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
}

}  // namespace

std::uint32_t CKorndDoc::ExecuteE(std::uint32_t reply) {
  channel::KRwinblock& k = *block_;
  CKorndApp* app = KorndApp();
  CKorndMain* main = app ? app->main_frame : nullptr;
  const int n = k.code, q = n < 0 ? -n : n;
  const bool set = n < 0;
  const int v1 = k.a[0], v2 = k.a[1];
  const bool positive = v1 > 0 && v2 > 0;
  std::uint32_t result = reply;
  int out1 = 0, out2 = 0;
  switch (q) {
    case channel::Size_Picture:  // picture size
      if (set) {
        if (!positive) result = 0;
        else {
          SetPageSize(v1, v2, true);
          SendHint(10, nullptr, nullptr);
        }
      }
      out1 = picture_width_, out2 = picture_height_;
      break;
    case channel::Size_Screen:  // screen size: not settable
      if (set) result = 0;
      out1 = app ? app->display_info.horzres : 0, out2 = app ? app->display_info.vertres : 0;
      break;
    case channel::Size_Frame:  // client size of the main frame
      if (set) {
        if (v1 < 0 || v2 < 0 || main == nullptr) result = 0;
        else if (v1 == 0 || v2 == 0) {
          // Fit: the main frame takes the size the active window's frame needs.
          QWidget* child = child_;
          if (child && main->MdiArea()) main->resize(main->size() + child->size() - main->MdiArea()->size());
          result = 1;
        } else {
          main->resize(v1, v2);
          result = 1;
        }
      }
      if (main) out1 = main->width(), out2 = main->height();
      break;
    case channel::Size_Frame_Position:  // screen position of the main frame
      if (set) {
        if (!positive || main == nullptr) result = 0;
        else {
          main->move(v1, v2);
          result = 1;
        }
      }
      if (main) out1 = main->pos().x(), out2 = main->pos().y();
      break;
    case channel::Size_View:  // client size of the view
      if (set) {
        if (!positive || view_ == nullptr) result = 0;
        else {
          QWidget* frame = child_;
          if (frame) {
            frame->showNormal();
            frame->resize(frame->size() + QSize(v1, v2) - view_->size());
          } else {
            view_->resize(v1, v2);
          }
          result = 1;
        }
      }
      if (view_) out1 = view_->width(), out2 = view_->height();
      break;
    case channel::Size_Window_Position:  // position of the window's child frame
      if (set) {
        if (!positive || child_ == nullptr) result = 0;
        else {
          child_->move(v1, v2);
          result = 1;
        }
      }
      if (child_) {
        QPoint p = child_->parentWidget() ? child_->parentWidget()->mapToGlobal(child_->pos()) : child_->pos();
        out1 = p.x(), out2 = p.y();
      }
      break;
    case channel::Size_Viewport:    // viewport rectangle: size in device pixels
    case channel::Size_Viewport_Origin: {  // viewport rectangle: top-left in device pixels
      KRrect d = normalised(viewport_rect_);
      if (set) {
        if (!positive) result = 0;
        else {
          KRrect r = q == channel::Size_Viewport ? KRrect{d.left, d.top, d.left + v1, d.top + v2}
                            : KRrect{v1, v2, v1 + (d.right - d.left), v2 + (d.bottom - d.top)};
          // A rectangle stored with its edges exchanged stays stored that way.
          if (viewport_rect_.left > viewport_rect_.right) std::swap(r.left, r.right);
          if (viewport_rect_.top > viewport_rect_.bottom) std::swap(r.top, r.bottom);
          viewport_rect_ = r;
        }
        out1 = v1, out2 = v2;
      } else {
        out1 = q == channel::Size_Viewport ? d.right - d.left : d.left;
        out2 = q == channel::Size_Viewport ? d.bottom - d.top : d.top;
      }
      KRrect v = normalised(viewport_rect_);
      viewport_union_ = viewport_union_.IsEmpty() ? v
                        : KRrect{std::min(viewport_union_.left, v.left), std::min(viewport_union_.top, v.top),
                                 std::max(viewport_union_.right, v.right), std::max(viewport_union_.bottom, v.bottom)};
      break;
    }
    case channel::Size_Page:  // page size less the margins, for the whole server
      if (set && positive && app) app->page_metrics.width = v1, app->page_metrics.height = v2;
      if (app) out1 = app->page_metrics.width, out2 = app->page_metrics.height;
      break;
    case channel::Size_Page_Resolution:  // page resolution, for the whole server
      if (set && positive && app) app->page_metrics.resolution_x = v1, app->page_metrics.resolution_y = v2;
      if (app) out1 = app->page_metrics.resolution_x, out2 = app->page_metrics.resolution_y;
      break;
    case channel::Size_Margins:  // print margins in millimetres
      if (set) {
        if (!positive) result = 0;
        else print_margin_x_ = v1, print_margin_y_ = v2;
      }
      out1 = print_margin_x_, out2 = print_margin_y_;
      break;
    case channel::Size_Printer_Page:  // printer page size: not settable, setting ignored
      if (app) out1 = app->page_metrics.horzres, out2 = app->page_metrics.vertres;
      break;
    case channel::Size_Printer_Resolution:  // printer resolution: not settable, setting ignored
      if (app) out1 = app->page_metrics.logpixels_x, out2 = app->page_metrics.logpixels_y;
      break;
    default:  // 0 and |n| above 13
      return 0;
  }
  k.a[2] = out1;
  k.a[3] = out2;
  return result;
}

std::uint32_t CKorndDoc::ExecuteF(std::uint32_t reply) {
  channel::KRwinblock& k = *block_;
  // A picture point, wherever the view shows it; off the window's surface no colour.
  k.a[2] = view_ ? view_->ReadPixel(k.code, k.a[0]) : -1;
  return reply;
}

std::uint32_t CKorndDoc::ExecuteG(std::uint32_t reply) {
  const int s = block_->code;
  if (s == channel::Show_Maximise) SHOW_BY_CODE(child_, Show_Code_Maximised);
  else if (s >= channel::Show_Window_Base && s <= channel::Show_Window_Last)
    SHOW_BY_CODE(child_, s - channel::Show_Window_Base);
  else if (CKorndApp* app = KorndApp()) show_main_frame(app->main_frame, s);
  return reply;
}
