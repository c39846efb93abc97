// KRdrv_Panels.cpp - a panel drawn anew over its earlier drawing. Without a new page the
// window would keep every earlier picture of the panel under the new one (objects and
// bitmaps, one set per redraw), so the drawing of panel k goes into segment k of the window
// and a new drawing of the panel first erases that segment. Every panel's drawing starts by
// sending the driver's whole drawing state, so that no later object depends on an attribute
// object of an erased panel when the window replays its list.

#include "korin_client/Client_State.h"
#include "korin_client/KRDRIV.h"
#include "korin_client/KRdrv_State.h"
#include "korin_client/Korin.h"

namespace {

constexpr int Most_Panels = 65535;  // the window's segment numbers

void set_segment(KRdrvstate& r, int segment) {
  r.segment = segment;
  if (channel::KRwinblock* b = KRblock(r.window)) b->segment = segment;
}

// Pen, brush, marker and the window's colour roles as the driver last set them.
void send_state(const KRdrvstate& r) {
  const float marker_size = static_cast<float>(r.y_resolution) * 0.025f;
  const int code = r.colours[static_cast<std::size_t>(r.colour_index)];
  KRcolor(r.foreground, 1);
  KRcolor(r.background_code, 2);
  KRsetmrk(1, marker_size, -1, -1, 4);
  KRsetpen(code, r.line_style, r.sent_width, 4);
  KRsetbrs(code, 1, -1);
  KRdrv_dump("\tKRcolor(%d,1);\n\tKRcolor(%d,2);\n", r.foreground, r.background_code);
  KRdrv_dump("\tKRsetmrk(1, %f, -1, -1, %d);\n", marker_size, 4);
  KRdrv_dump("\tKRsetpen(%d, %d, %d, %d);\n\tKRsetbrs(%d, 1, -1);\n", code, r.line_style, r.sent_width, 4, code);
}

}  // namespace

KRdrv_Bitmap_Numbers& KRdrv_bitmap_numbers(KRdrvstate& r) { return r.bitmaps[r.segment]; }

void KRdrv_window_cleared(KRdrvstate& r) {
  for (auto& [segment, pool] : r.bitmaps) pool.next = 0;
  set_segment(r, 0);
}

void KRDRIV_PANEL(int panel) {
  KRdrvstate* r = KRdrv_record();
  if (r == nullptr || panel < 1 || panel > Most_Panels) return;
  KRdrvflush();
  if (KRstate().current_window != r->window) KRselect(r->window);
  set_segment(*r, panel);
  KRdrv_dump("\t// panel %d drawn anew\n", panel);
  KRwincmd(r->window, channel::Control, channel::Control_Erase_Last, panel, 0);
  KRdrv_Bitmap_Numbers& pool = KRdrv_bitmap_numbers(*r);
  // An object of the panel the erase could not reach still shows its bitmap: keep those numbers.
  const bool all_gone = KRwincmd(r->window, channel::Control, channel::Control_Segment_Setup, panel, panel) == 0;
  if (all_gone) pool.next = 0;
  else pool = KRdrv_Bitmap_Numbers{};
  send_state(*r);
}
