// CKorndDoc_Pick.cpp - the request C: an interactive pick of a point, a rectangle, a line or
// a rubber band from a fixed end, run by the view's capture.
//
// Reads: the sub-code (pick kind), a1 and a2 (the band's fixed end), the data area (a prompt).
// Writes: slots a3-a6 with the picked points (and the picked pixel's colour for a point).
// Changes: status pane 0 (the prompt), the view's capture state; clears the view's last button.
#include "kornd/CKorndDoc.h"

#include <QString>

#include <cstring>  // strnlen

#include "kornd/CKorndApp.h"
#include "kornd/CKorndBox.h"
#include "kornd/CKorndMain.h"
#include "kornd/CKorndView.h"

// The view's capture flags are the pick kinds themselves.
static_assert(int(CKorndView::Wait_Point) == int(channel::Pick_Point) &&
              int(CKorndView::Wait_Rect) == int(channel::Pick_Rectangle) &&
              int(CKorndView::Wait_Line) == int(channel::Pick_Line) &&
              int(CKorndView::Wait_Line_From) == int(channel::Pick_Rubber_Band));

std::uint32_t CKorndDoc::ExecuteC(std::uint32_t reply) {
  channel::KRwinblock& b = *block_;
  std::int32_t* a = b.a;
  CKorndApp* app = KorndApp();
  CKorndMain* frame = app ? app->main_frame : nullptr;
  const std::size_t prompt = strnlen(b.data, channel::Data_Size);
  if (prompt > 0 && frame) frame->UpdatePane(0, QString::fromLocal8Bit(b.data, static_cast<int>(prompt)));

  const int kind = b.code;
  std::uint32_t result = channel::Reply_Failed;
  if (kind == CKorndView::Wait_Point || kind == CKorndView::Wait_Rect ||
      kind == CKorndView::Wait_Line || kind == CKorndView::Wait_Line_From) {
    CKorndView::Input_State* in = view_ ? &view_->input : nullptr;
    if (in && kind == CKorndView::Wait_Point) in->pixel = -1;
    if (in && kind == CKorndView::Wait_Line_From) in->point1 = KRpoint{a[0], a[1]};
    if (view_ == nullptr || view_->StartCapture(kind) == 0) {
      result = PendingMessage() != 0 ? channel::Reply_Refused : 0;
    } else {
      result = ReportPendingError() == CKorndBox::IDYES ? channel::Reply_Refused : reply;
    }
    if (result != 0 && result != channel::Reply_Refused) {
      switch (kind) {
        case CKorndView::Wait_Point:
          a[3] = in->point2.x;
          a[4] = in->point2.y;
          a[5] = in->pixel;
          break;
        case CKorndView::Wait_Rect:
        case CKorndView::Wait_Line:
          a[2] = in->point1.x;
          a[3] = in->point1.y;
          a[4] = in->point2.x;
          a[5] = in->point2.y;
          break;
        default:  // the band's moving end
          a[3] = in->point2.x;
          a[4] = in->point2.y;
          break;
      }
      result = static_cast<std::uint32_t>(in->result);
    }
  }
  if (view_) {  // the last button is consumed by the pick
    view_->input.last_button = 0;
    view_->input.last_click = KRpoint{-1, -1};
  }
  return result;
}
