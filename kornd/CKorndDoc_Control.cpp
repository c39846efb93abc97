// CKorndDoc_Control.cpp - the window's control requests (letter B) other than the point-list
// transfer: mouse state and waits for keys, events and times, status text, message boxes,
// options, file and text-input dialogs, printing, window arrangement, the viewport, the state stack,
// clearing and resetting, colours, the world transform and the periodic timer.
// Also the text and symbol extents in the document's fonts.
// Reads and writes: the window block (slots, data area, head); the view's input records.
// Changes: the document's options, timer and state stack, status pane 0, the main frame's
// status bar, the client folder (file dialog).
#include <QCursor>
#include <QMdiArea>
#include <QThread>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndBox.h"
#include "kornd/CKorndChild.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndInputDlg.h"
#include "kornd/CKorndMain.h"
#include "kornd/CKorndPrint.h"
#include "kornd/CKorndStateSave.h"
#include "kornd/CKorndText.h"
#include "kornd/CKorndView.h"
#include "kornd/File_Dialog.h"
#include "kornd/Tick_Count.h"

namespace {

constexpr int Default_Wait_Ms = 300000;
// Highest drawing-state number B 24 saves: the stack grows to it, so a client's number must
// not make it unbounded (as segment, bitmap and symbol numbers).
constexpr int Max_State = 65535;
constexpr int Hint_Repaint = 8, Hint_Viewport = 10, Hint_Buffering = 11, Hint_Cursor = 13, Hint_Storing = 16,
              Hint_Not_Storing = 17;

// Truncation toward zero, held to the 32-bit range (NaN gives 0).
std::int32_t trunc_int(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

// The data area's text (it always ends with a zero within the area).
QString data_text(const channel::KRwinblock& b) {
  return QString::fromLocal8Bit(b.data, static_cast<qsizetype>(strnlen(b.data, channel::Data_Size - 1)));
}

// Puts a text into the data area and zero-fills the rest; false when it does not fit.
bool put_data_text(channel::KRwinblock& b, const QByteArray& text) {
  if (std::size_t(text.size()) >= channel::Data_Size) return false;
  std::memset(b.data, 0, channel::Data_Size);
  std::memcpy(b.data, text.constData(), std::size_t(text.size()));
  return true;
}

// Elapsed milliseconds from base to now, one less after a wrap of the tick count.
std::uint32_t elapsed_since(std::uint32_t base) {
  const std::uint32_t now = TICK_COUNT();
  return now - base - (base > now ? 1u : 0u);
}

}  // namespace

std::uint32_t CKorndDoc::ExecuteControl(std::uint32_t reply) {
  channel::KRwinblock& b = *block_;
  std::int32_t* a = b.a;
  CKorndApp* app = KorndApp();
  CKorndMain* frame = app ? app->main_frame : nullptr;
  switch (b.code) {
    case channel::Control_Mouse_State: {  // mouse state
      CKorndView::Input_State& in = view_->input;
      a[2] = in.mouse.x;
      a[3] = in.mouse.y;
      a[4] = in.left_down ? 1 : 0;
      a[5] = in.right_down ? 1 : 0;
      return reply;
    }
    case channel::Control_Event:
      return WaitForClass(a[0]);
    case channel::Control_Status_Text:
      if (frame) frame->UpdatePane(0, data_text(b));
      return reply;
    case channel::Control_Message: {  // the client's own message; Cancel stops the serving as in every server box
      const QString title = "Message from Kornd";
      const unsigned flags = a[0] == 0 ? 0x40023u : 0x40010u;  // Yes/No/Cancel question, or OK stop
      if (app) app->box_open = true;
      a[2] = CKorndBox::Show(title, data_text(b), flags);
      if (app) app->box_open = false;
      if (app && a[2] == CKorndBox::IDCANCEL) app->closing = true;
      return reply;
    }
    case channel::Control_Repaint:
      SendHint(Hint_Repaint, nullptr, nullptr);
      view_->update();
      return reply;
    case channel::Control_Erase_Last:
      return static_cast<std::uint32_t>(EraseLast(a[0], a[1] != 0));
    case channel::Control_Print:  // the print command
      CKorndPrint::OnFilePrint(*this);
      return reply;
    case channel::Control_Copy_Bitmap:    // the picture inside a rectangle into a document bitmap
    case channel::Control_Copy_Clipboard: {  // the same into bitmap 0 and onto the clipboard
      KRrect r{std::min(a[2], a[4]), std::min(a[3], a[5]), std::max(a[2], a[4]), std::max(a[3], a[5])};
      const int wanted = b.code == channel::Control_Copy_Clipboard ? 0 : (a[0] <= 0 ? NextBitmapNumber() : a[0]);
      const int slot = view_->CopyToClipboard(&r, wanted, b.code == channel::Control_Copy_Clipboard);
      if (b.code == channel::Control_Copy_Bitmap) put_data_text(b, QByteArray::number(slot));
      return slot < 0 ? 0u : reply;
    }
    case channel::Control_Colour_Value:
      a[0] = a[0] == -1 ? -1 : ResolveColor(a[0], nullptr);
      return reply;
    case channel::Control_Option:
      return Options(a[0], a[1]);
    case channel::Control_Open_Dialog: {  // file-open dialog
      QString chosen;
      const QString folder = app ? app->client_folder : QString();
      if (!ASK_FILE_NAME(false, data_text(b), chosen)) return 2u;
      if (!put_data_text(b, chosen.toLocal8Bit())) {  // a path the data area cannot hold: not chosen
        if (app) app->client_folder = folder;
        return 2u;
      }
      return 1u;
    }
    case channel::Control_Input_Text:
      InputText();
      return reply;
    case channel::Control_View_Mode:  // view mode 1-4, or 5: zoom to the viewport rectangle
      if (a[0] >= 1 && a[0] <= 4) SendHint(12 | a[0] << 8, nullptr, nullptr);
      else if (a[0] == 5) SendHint(19, nullptr, nullptr);
      return reply;
    case channel::Control_Arrange: {  // arrangement and this window's frame
      const int k = a[0];
      if (k >= channel::Arrange_Cascade && k <= channel::Arrange_Icons) {
        if (frame) frame->Arrange(k);
      } else if (child_ && k >= channel::Arrange_Activate && k <= channel::Arrange_Close) {
        if (k == channel::Arrange_Activate && frame) frame->MdiArea()->setActiveSubWindow(reinterpret_cast<QMdiSubWindow*>(child_));
        if (k == channel::Arrange_Maximise) child_->showMaximized();
        if (k == channel::Arrange_Restore) child_->showNormal();
        if (k == channel::Arrange_Close) CloseFrames();  // the frames go later: the document outlives this request
      }
      return reply;
    }
    case channel::Control_Text_Extent:
      return TextExtent(reply);
    case channel::Control_Symbol_Extent:
      return SymbolExtent(reply);
    case channel::Control_Viewport:
      ComputeViewport();
      SendHint(Hint_Viewport, nullptr, nullptr);
      return reply;
    case channel::Control_Refresh:
      if (child_) child_->show();
      view_->update();
      return reply;
    case channel::Control_Segment_Setup: {
      const std::uint32_t r = static_cast<std::uint32_t>(SegmentOp(a[0], a[1]));
      return r;
    }
    case channel::Control_Save_State:
      return SaveState(a[0], reply);
    case channel::Control_Restore_State:
      return RestoreState(a[0], reply);
    case channel::Control_Show_Group:
      return static_cast<std::uint32_t>(ShowGroup(a[0], nullptr));
    case channel::Control_Erase:
      ClearAll();
      return reply;
    case channel::Control_Colour_Step:
      SetColors(0, 0, -1, -1);
      return reply;
    case channel::Control_Anchor:
      return static_cast<std::uint32_t>(PushAnchor(a[0]));
    case channel::Control_Select_Anchor: {
      const int n = a[0];
      if (n >= 1 && n <= anchor_count_ && anchors_[std::size_t(n)] == nullptr)
        return static_cast<std::uint32_t>(PushAnchor(n));
      return static_cast<std::uint32_t>(SelectAnchor(n));
    }
    case channel::Control_Get_Transform: {
      const KRxform& x = env_.xform;
      a[0] = trunc_int(x.eDx);
      a[1] = trunc_int(x.eDy);
      a[2] = trunc_int(double(x.eM11) * 65536.0);
      a[3] = trunc_int(double(x.eM12) * 65536.0);
      a[4] = trunc_int(double(x.eM21) * 65536.0);
      a[5] = trunc_int(double(x.eM22) * 65536.0);
      return reply;
    }
    case channel::Control_Get_Viewport:
      a[2] = viewport_rect_.left;
      a[3] = viewport_rect_.bottom;
      a[4] = viewport_rect_.right;
      a[5] = viewport_rect_.top;
      return reply;
    case channel::Control_Wait_Key:
      return TimedWait(false);
    case channel::Control_Wait_Until:
      return TimedWait(true);
    case channel::Control_Last_Button:
      LastButton();
      return reply;
    case channel::Control_Timer:
      if (a[1] == 0) {
        timer_period_ = 0;
        timer_count_ = 0;
        timer_due_ = 0;
      } else {
        timer_period_ = static_cast<std::uint32_t>(a[0]);
        timer_count_ = a[1];
        timer_due_ = TICK_COUNT() + timer_period_;
      }
      return reply;
    case channel::Control_Clock:
      return elapsed_since(creation_tick_);
    default:
      if (b.code < 0 || b.code > channel::Control_Last) return channel::Reply_Refused;
      return channel::Reply_Failed;  // not served by this build
  }
}

std::uint32_t CKorndDoc::WaitForClass(int event_class) {
  std::int32_t* a = block_->a;
  CKorndView::Input_State& in = view_->input;
  const auto write = [&](int code, const CKorndView::Key_Record& k) {
    a[3] = code;
    a[4] = k.repeat;
    a[5] = k.flags;
  };
  switch (event_class) {
    case channel::Event_Char: {  // the oldest character typed, waiting for one when none is
      if (in.typed.empty()) view_->WaitFor(CKorndView::Wait_Char);
      if (in.typed.empty()) return 0u;
      const CKorndView::Input_State::Typed t = in.typed.front();
      in.typed.pop_front();
      write(t.ch.key, t.ch);
      return static_cast<std::uint32_t>(t.down.key);
    }
    case channel::Event_Key_Down: {
      view_->WaitFor(CKorndView::Wait_Key_Down);
      in.typed.clear();  // a client reading raw keys takes their characters with them
      const int key = in.raw_down.key;
      if (key != 0) write(in.last_char.key, in.raw_down);
      else in.last_char = {};
      return static_cast<std::uint32_t>(key);
    }
    case channel::Event_Key_Up: {
      view_->WaitFor(CKorndView::Wait_Key_Up);
      in.typed.clear();
      const int key = in.raw_up.key;
      if (key != 0) write(in.last_char.key, in.raw_up);
      in.last_char = {};
      return static_cast<std::uint32_t>(key);
    }
    default: {
      const int key = in.last_key_down.key;
      if (key == 0) {
        in.last_char = {};
        return 0u;
      }
      write(in.last_char.key, in.last_key_down);
      if (event_class == 0) {
        QThread::yieldCurrentThread();
        return static_cast<std::uint32_t>(key);
      }
      while (in.last_key_down.key != 0) {  // until the key is released
        view_->WaitFor(CKorndView::Wait_Key_Up);
        a[3] = in.last_char.key;
        in.last_char = {};
      }
      return static_cast<std::uint32_t>(key);
    }
  }
}

std::uint32_t CKorndDoc::TimedWait(bool from_creation) {
  std::int32_t* a = block_->a;
  if (view_->WaitFlags() & CKorndView::Wait_Timed) return 0u;  // one timed wait at a time
  CKorndView::Input_State& in = view_->input;
  in.last_event = 0;
  std::uint32_t elapsed = 0;
  if (in.typed.empty()) {  // a character typed ahead ends the wait at once
    view_->ArmWait(CKorndView::Wait_Any);
    const std::uint32_t base = from_creation ? creation_tick_ : TICK_COUNT();
    const std::int64_t length = a[0] <= 0 ? Default_Wait_Ms : a[0];
    elapsed = view_->WaitUntil(length, base);
    view_->DisarmWait(CKorndView::Wait_Any);
  }
  // Characters are reported in the order typed; a click that ended the wait as it came.
  if (in.last_event >= 0 && !in.typed.empty()) {
    in.last_event = in.typed.front().ch.key;
    in.typed.pop_front();
  }
  a[3] = in.last_event;
  a[4] = in.mouse.x;
  a[5] = in.mouse.y;
  in.last_event = 0;
  return elapsed;
}

std::uint32_t CKorndDoc::LastButton() {
  std::int32_t* a = block_->a;
  CKorndView::Input_State& in = view_->input;
  a[2] = in.last_click.x;
  a[3] = in.last_click.y;
  a[4] = in.last_button;
  const std::uint32_t now = TICK_COUNT();
  // The due tick is compared by difference, so a wrap of the count does not fire the timer early.
  if (a[4] == 0 && timer_period_ != 0 && static_cast<std::int32_t>(now - timer_due_) >= 0) {
    const std::uint32_t n = (now - timer_due_) / timer_period_;
    a[4] = -3;
    if (timer_count_ > 0) timer_count_ -= static_cast<std::int32_t>(std::min<std::uint32_t>(n, 0x7FFFFFFF));
    timer_due_ += (n + 1) * timer_period_;
  }
  in.last_button = 0;
  in.last_click = KRpoint{-1, -1};
  return 0;
}

std::uint32_t CKorndDoc::TextExtent(std::uint32_t reply) {
  if (env_.text_font == nullptr) env_.text_font = GetCachedFont(env_.text_logfont);
  if (env_.text_font == nullptr) return channel::Reply_Failed;
  int cx, cy;
  CKorndText::Extent(*env_.text_font, data_text(*block_), cx, cy);
  // The box stands on the baseline with its origin at the bottom left; the reference point is
  // where the alignment anchors a text object.
  const KRpoint ref = CKorndText::AnchorFromOrigin(env_.text_align, KRpoint{0, 0}, cx, cy);
  KRrect box{0, -cy, cx, 0};
  RotatedBounds(box, ref, env_.text_logfont.escapement);
  std::int32_t* a = block_->a;
  a[2] = box.right - box.left;
  a[3] = box.bottom - box.top;
  a[4] = ref.x - box.left;
  a[5] = -(box.bottom + ref.y);  // the reference's height above the box's bottom edge (unrotated)
  return reply;
}

std::uint32_t CKorndDoc::SymbolExtent(std::uint32_t reply) {
  if (env_.symbol_font == nullptr) env_.symbol_font = GetCachedFont(env_.symbol_logfont);
  if (env_.symbol_font == nullptr) return static_cast<std::uint32_t>(-1);
  int cx, cy;
  const QChar character(static_cast<unsigned char>(block_->a[0]));  // as a symbol object holds it
  CKorndText::Extent(*env_.symbol_font, QString(character), cx, cy);
  KRrect box{0, 0, cx, cy};
  RotatedBounds(box, KRpoint{0, 0}, env_.symbol_logfont.escapement);
  block_->a[3] = box.right - box.left;
  block_->a[4] = box.bottom - box.top;
  return reply;
}

std::uint32_t CKorndDoc::Options(int option, int value) {
  CKorndApp* app = KorndApp();
  CKorndMain* frame = app ? app->main_frame : nullptr;
  switch (option) {
    case channel::Option_Storing:
      if (value >= 0) {
        storing_ = value > 0;
        SendHint(storing_ ? Hint_Storing : Hint_Not_Storing, nullptr, nullptr);
      }
      return storing_ ? 1u : 0u;
    case channel::Option_Buffering:
      if (value >= 0) SendHint(Hint_Buffering | (value << 8), nullptr, nullptr);
      return view_ && view_->BackBuffer() ? 1u : 0u;
    case channel::Option_Status_Bar:
      if (value < 0) return static_cast<std::uint32_t>(-1);
      if (frame) {
        frame->ShowStatusBar(value > 0);
        frame->update();
      }
      return value > 0 ? 1u : 0u;
    case channel::Option_Cursor:
      SendHint(Hint_Cursor | (value << 8), nullptr, nullptr);  // the view sets the cursor
      return static_cast<std::uint32_t>(window_number_);
    default:
      return static_cast<std::uint32_t>(-1);
  }
}

std::uint32_t CKorndDoc::InputText() {
  const QString title = data_text(*block_);
  // The preset answer stands behind the title's zero.
  const std::size_t after_title = strnlen(block_->data, channel::Data_Size - 1) + 1;
  const char* preset_bytes = block_->data + after_title;
  const QString preset = after_title < channel::Data_Size
                             ? QString::fromLocal8Bit(preset_bytes, qsizetype(strnlen(preset_bytes, channel::Data_Size - after_title)))
                             : QString();
  CKorndApp* app = KorndApp();
  if (std::getenv("KORND_TEST_INPUT") != nullptr) {  // tells a scripted test the dialog is up
    std::fprintf(stderr, "kornd input: dialog %s\n", title.toLocal8Bit().constData());
    std::fflush(stderr);
  }
  if (app) app->box_open = true;
  bool ok;
  QByteArray text;
  {
    CKorndInputDlg dialog;
    ok = dialog.Ask(title, preset);
    text = dialog.Text().toLocal8Bit();
  }
  if (app) app->box_open = false;
  put_data_text(*block_, text.left(CKorndInputDlg::Max_Text));
  // The reply stays the window number; a3 tells a taken line (1) from a cancelled dialog (2).
  block_->a[2] = ok ? 1 : 2;
  return 0;
}

void CKorndDoc::ComputeViewport() {
  channel::KRwinblock& b = *block_;
  const double u = b.unit, h = b.height;
  b.origin_x = trunc_int(u * b.view_x1 + 0.5);
  b.origin_y = trunc_int(h - double(trunc_int(std::floor(double(b.view_y1) * u * 0.999999))) - 1);
  KRrect r{b.origin_x, trunc_int((1.0 - double(b.view_y2)) * u), trunc_int(double(b.view_x2) * u), b.origin_y};
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  r = {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, picture_width_), std::min(r.bottom, picture_height_)};
  viewport_rect_ = r;
  if (first_viewport_) {
    first_viewport_ = false;
    viewport_union_ = r;
  } else {
    KRrect& v = viewport_union_;
    v = {std::min(v.left, r.left), std::min(v.top, r.top), std::max(v.right, r.right), std::max(v.bottom, r.bottom)};
  }
}

std::uint32_t CKorndDoc::SaveState(int n, std::uint32_t reply) {
  if (n < 0 || n > Max_State) return 0u;
  if (n >= int(states_.size())) {
    states_.resize(static_cast<std::size_t>(n) + 1);
    states_[std::size_t(n)] = std::make_unique<CKorndStateSave>(this);
  }
  std::unique_ptr<CKorndStateSave>& entry = states_[std::size_t(n)];
  if (n == 0 && (!entry || entry->Empty())) {
    // State 0 is the pixel-coordinate state.
    CKorndStateSave zero(this);
    channel::KRwinblock head{};
    zero.Give(head);
    head.pixel_mode = 1;
    head.sx = head.sy = 0;
    zero.Take(head);
    entry = std::make_unique<CKorndStateSave>();
    entry->CopyFrom(zero);
    SendHint(Hint_Open, nullptr, nullptr);
    return reply;
  }
  if (!entry) entry = std::make_unique<CKorndStateSave>();
  entry->owner = this;
  entry->Take(*block_);
  current_state_ = n;
  return reply;
}

std::uint32_t CKorndDoc::RestoreState(int n, std::uint32_t reply) {
  if (n < 0 || n >= int(states_.size()) || !states_[std::size_t(n)] || states_[std::size_t(n)]->Empty()) return 0u;
  if (n == current_state_) return reply;
  if (current_state_ >= 0 && current_state_ < int(states_.size()) && states_[std::size_t(current_state_)])
    states_[std::size_t(current_state_)]->Take(*block_);
  current_state_ = n;
  states_[std::size_t(n)]->Give(*block_);
  block_->change_mask = 0x3FFF;
  AddNewTool(6, 0, 0);
  ComputeViewport();
  return reply;
}
