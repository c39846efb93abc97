// Windows.cpp - opening, closing, choosing and showing windows; world box, viewport, sizes.
//
// Entry points that need a current window return 0 and send nothing without one.

#include <cmath>
#include <cstring>
#include <string>

#include "korin_client/Client_Report.h"
#include "korin_client/Client_State.h"
#include "korin_client/Coordinates.h"
#include "korin_client/Korin.h"
#include "korin_client/Korin_Upper.h"
#include "korin_client/Latin1.h"

namespace {

void make_current(int w) {
  KRclientstate& s = KRstate();
  s.current_window = w;
  s.current = KRblock(w);
}

// Scales from the viewport and the world box; 0 in pixel mode or for an empty box.
void set_scales(channel::KRwinblock& b) {
  const double dx = static_cast<double>(b.world_x2) - b.world_x1, dy = static_cast<double>(b.world_y2) - b.world_y1;
  if (b.pixel_mode || dx == 0 || dy == 0) {
    b.sx = b.sy = 0;
    return;
  }
  b.sx = static_cast<float>((static_cast<double>(b.view_x2) - b.view_x1) * b.unit / dx);
  b.sy = static_cast<float>((static_cast<double>(b.view_y2) - b.view_y1) * b.unit / dy);
}

// The window number of the instance line "%d,%s" the server wrote after an open.
int opened_window(const KRclientstate& s, int reply) {
  const char* line = static_cast<const char*>(s.instance_block.view());
  std::string_view text(line, strnlen(line, sizeof(channel::KRinstblock)));
  const auto w = READ_DECIMAL(text.substr(0, text.find(',')));
  return w && *w >= 1 && *w <= channel::Max_Window ? *w : reply;
}

}  // namespace

int KRopenx(int w, int width, int height, int foreground, int background, int show, const char* title) {
  KRclientstate& s = KRstate();
  // The server reads the title as one word.
  std::string word = title ? LATIN1_TO_UTF8(title, channel::Max_Request) : std::string();
  word = word.substr(0, word.find_first_of(" \t\n\r\f\v"));
  channel::Request_Bytes bytes;
  channel::FORMAT_OPEN_WINDOW(bytes, w, width, height, foreground, background, show, word);
  const std::int32_t reply = KRsend(KRsetrequest(bytes));
  if (reply <= 0) {
    s.instance_block.UNMAP();
    KRfatal(Korin_Message::Open_Failed);
  }
  if (s.instance_block.view() == nullptr) KRfatal(Korin_Message::Communication_Failed);
  const int number = opened_window(s, reply);
  if (number < 1 || number > channel::Max_Window) {
    KRreport(false, Korin_Message::Window_Open_Failed, {std::to_string(number)});
    return 0;
  }
  platform::Shared_Block& block = s.windows[static_cast<std::size_t>(number)];
  if (block.view() == nullptr &&
      block.OPEN(channel::WINDOW_BLOCK_NAME(s.instance, number), sizeof(channel::KRwinblock)) != platform::Block_Status::Ok) {
    KRreport(false, Korin_Message::Window_Open_Failed, {std::to_string(number)});
    return 0;
  }
  ++s.open_windows;
  s.pen_known[static_cast<std::size_t>(number)] = false;
  make_current(number);
  KRwincmd(number, channel::Control, channel::Control_Segment_Setup, 0, 1);
  return KRwincmd1(number, channel::Control, channel::Control_Save_State, 0);
}

void KRCLOSE(int& status, int& w) {
  KRclientstate& s = KRstate();
  const int asked = w == 0 ? s.current_window : w;
  const bool one = asked >= 1 && asked <= channel::Max_Window;
  for (int k = one ? asked : 1; k <= (one ? asked : channel::Max_Window); ++k) {
    platform::Shared_Block& block = s.windows[static_cast<std::size_t>(k)];
    if (block.view() == nullptr) continue;
    block.UNMAP();
    s.data_buffers[static_cast<std::size_t>(k)].RELEASE();
    --s.open_windows;
    if (s.current_window == k) s.current = nullptr;
    channel::Request_Bytes bytes;
    channel::FORMAT_CLOSE_WINDOW(bytes, k);
    make_current(KRsend(KRsetrequest(bytes)));
  }
  if (s.current_window > 0) KRwincode(s.current_window, channel::Control, channel::Control_Refresh);
  status = w = s.current_window;
}

int KRnextwn(int w) {
  for (int k = std::max(w, 0) + 1; k <= channel::Max_Window; ++k)
    if (KRblock(k) != nullptr) return k;
  return 0;
}

void KRFIRSTWN(int& status) { status = KRnextwn(0); }

int KRselect(int w) {
  if (KRblock(w) != nullptr) make_current(w);
  return KRstate().current_window;
}

void KRSELECT(int& status, int& w) { status = w = KRselect(w); }

int KRshowwn(int w, int show) {
  if (KRblock(w) == nullptr) return 0;
  return KRwincode(w, channel::Show, show >= 0 && show <= 10 ? channel::Show_Window_Base + show : channel::Show_Maximise);
}

void KRSHOWWN(int& status, int w, int show) { status = KRshowwn(w, show); }

int KRshowfr(int code) {
  return KRwincode(KRstate().current_window, channel::Show, code >= 0 && code <= 14 ? code : channel::Show_Current);
}

void KRSHOWFR(int& status, int code) { status = KRshowfr(code); }

int KRarrange(int arrangement) {
  if (arrangement < 1 || arrangement > 8) return 0;
  return KRwincmd1(KRstate().current_window, channel::Control, channel::Control_Arrange, arrangement);
}

int KRindow(float x1, float y1, float x2, float y2) {
  KRclientstate& s = KRstate();
  channel::KRwinblock* b = s.current;
  if (b == nullptr) return 0;
  if ((static_cast<double>(x2) - x1) * (static_cast<double>(y2) - y1) != 0) {
    b->world_x1 = x1, b->world_y1 = y1, b->world_x2 = x2, b->world_y2 = y2;
    b->pixel_mode = 0;
    set_scales(*b);
  } else {
    int width = 0, height = 0;
    KRdims(1, &width, &height);
    b->world_x1 = 0, b->world_y1 = 0;
    b->world_x2 = static_cast<float>(width - 1), b->world_y2 = static_cast<float>(height - 1);
    b->pixel_mode = 1;
    b->sx = b->sy = 0;
  }
  return s.current_window;
}

int KRvport(float x1, float y1, float x2, float y2) {
  KRclientstate& s = KRstate();
  channel::KRwinblock* b = s.current;
  if (b == nullptr) return 0;
  if ((static_cast<double>(x2) - x1) * (static_cast<double>(y2) - y1) == 0) {
    const int W = b->width, H = b->height;
    x1 = y1 = 0;
    if (W > H) {
      x2 = H > 0 ? static_cast<float>(W) / static_cast<float>(H) : 1.0f, y2 = 1;
      b->unit = H;
    } else {
      x2 = 1, y2 = W > 0 ? static_cast<float>(H) / static_cast<float>(W) : 1.0f;
      b->unit = W;
    }
  }
  b->view_x1 = x1, b->view_y1 = y1, b->view_x2 = x2, b->view_y2 = y2;
  set_scales(*b);
  KRwincode(s.current_window, channel::Control, channel::Control_Viewport);
  return s.current_window;
}

int KRtodevsize(float width, float height, int* device_width, int* device_height) {
  KRclientstate& s = KRstate();
  if (s.current == nullptr) return 0;
  if (device_width) *device_width = TO_DEVICE_SIZE_X(*s.current, width);
  if (device_height) *device_height = TO_DEVICE_SIZE_Y(*s.current, height);
  return s.current_window;
}

int KRdims(int selector, int* a, int* b) {
  KRclientstate& s = KRstate();
  channel::KRwinblock* block = s.current;
  if (block == nullptr) return 0;  // no screen of our own to measure without a window
  if (selector >= 1 && selector <= 13) {
    const std::int32_t reply = KRwincode(s.current_window, channel::Size, selector);
    if (a) *a = block->a[2];
    if (b) *b = block->a[3];
    return reply;
  }
  if (selector >= -13 && selector <= -1)
    return KRwincmd(s.current_window, channel::Size, selector, a && b ? *a : 0, a && b ? *b : 0);
  return 0;
}

void KRDIMS(int& status, int selector, int& a, int& b) { status = KRdims(selector, &a, &b); }
