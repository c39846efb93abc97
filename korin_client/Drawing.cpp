// Drawing.cpp - attributes, lines, rectangles, point lists, markers, clearing, clip, the
// bitmap transform and combined objects, all in the current window.

#include <cmath>
#include <cstdint>
#include <cstring>

#include "korin_client/Client_State.h"
#include "korin_client/Coordinates.h"
#include "korin_client/Korin.h"
#include "korin_client/Korin_Upper.h"

namespace {

enum Change : std::uint32_t {
  Pen_Style = 0x1, Pen_Width = 0x2, Pen_Colour = 0x4, Pen_Mix = 0x8,
  Brush_Style = 0x10, Brush_Colour = 0x20, Brush_Hatch = 0x40,
  Mark_Type = 0x80, Mark_Size = 0x100, Mark_Colour1 = 0x200, Mark_Colour2 = 0x400, Mark_Mix = 0x800,
};

int current() { return KRstate().current_window; }
channel::KRwinblock* block() { return KRstate().current; }

void set(channel::KRwinblock& b, std::int32_t& field, std::int32_t value, Change bit) {
  field = value;
  b.change_mask |= bit;
}

void put_corners(channel::KRwinblock& b, float x1, float y1, float x2, float y2) {
  const Device_Point p = TO_DEVICE(b, x1, y1), q = TO_DEVICE(b, x2, y2);
  b.a[2] = p.x, b.a[3] = p.y, b.a[4] = q.x, b.a[5] = q.y;
}

// Device coordinates of points [first, first + count) of an x, y list into `out`.
void put_points(const channel::KRwinblock& b, const float* points, std::int64_t first, std::int64_t count,
                std::int32_t* out) {
  for (std::int64_t i = 0; i < count; i += 2) {
    const Device_Point p = TO_DEVICE(b, points[first + i], points[first + i + 1]);
    out[i] = p.x;
    out[i + 1] = p.y;
  }
}

// A point list through a pending object: "N" code with n, the points written in place into
// the shared data buffer (or pieces of 256 points through the data area), then commit.
int send_points(const float* points, int n, channel::New_Object_Code code) {
  channel::KRwinblock* b = block();
  const int w = current();
  if (KRwincmd1(w, channel::New_Object, code, n) == 0) return 0;
  const std::int64_t total = 2 * static_cast<std::int64_t>(n);
  if (void* buffer = KRdatabuffer(w, static_cast<std::size_t>(total) * sizeof(std::int32_t))) {
    put_points(*b, points, 0, total, static_cast<std::int32_t*>(buffer));
    KRwincode(w, channel::Control, channel::Control_Commit_Object);
    return w;
  }
  constexpr int Per_Piece = static_cast<int>(channel::Data_Size / sizeof(std::int32_t));
  std::int32_t* area = reinterpret_cast<std::int32_t*>(b->data);
  for (std::int64_t first = 0; first < total; first += Per_Piece) {
    const int count = static_cast<int>(std::min<std::int64_t>(Per_Piece, total - first));
    put_points(*b, points, first, count, area);
    if (KRwincmd(w, channel::Control, channel::Control_Put_Data, static_cast<std::int32_t>(first * 4), count * 4) == 0) {
      KRwincode(w, channel::Control, channel::Control_Drop_Object);
      return 0;
    }
  }
  KRwincode(w, channel::Control, channel::Control_Commit_Object);
  return w;
}

}  // namespace

int KRsetpen(int colour, int style, int width, int mix) {
  channel::KRwinblock* b = block();
  if (b == nullptr) return 0;
  if (colour == -1 && style == -1 && width == -1 && mix == -1) {  // the next line starts with a move
    const int reply = KRmoveto(-1, -1);
    KRstate().pen_known[static_cast<std::size_t>(current())] = false;
    return reply;
  }
  if (colour != -1) set(*b, b->pen_colour, colour, Pen_Colour);
  if (style >= 0 && style <= 9) set(*b, b->pen_style, style, Pen_Style);
  if (width >= 0) set(*b, b->pen_width, width, Pen_Width);
  if (mix >= 0 && mix <= 31) set(*b, b->pen_mix, mix, Pen_Mix);
  return KRwincode(current(), channel::Draw, channel::Draw_Attributes);
}

int KRsetbrs(int colour, int style, int hatch) {
  channel::KRwinblock* b = block();
  if (b == nullptr) return 0;
  if (colour != -1) set(*b, b->brush_colour, colour, Brush_Colour);
  if (style >= 0 && style <= 7) set(*b, b->brush_style, style, Brush_Style);
  if (hatch >= 0 && hatch <= 5) set(*b, b->hatch, hatch, Brush_Hatch);
  return KRwincode(current(), channel::Draw, channel::Draw_Attributes);
}

int KRsetpenbrs(int colour) {
  channel::KRwinblock* b = block();
  if (b == nullptr || colour == -1) return 0;
  set(*b, b->pen_colour, colour, Pen_Colour);
  set(*b, b->brush_colour, colour, Brush_Colour);
  return KRwincode(current(), channel::Draw, channel::Draw_Attributes);
}

int KRsetmrk(int type, float size, int colour1, int colour2, int mix) {
  channel::KRwinblock* b = block();
  if (b == nullptr) return 0;
  // Flagged only when changed: the server rebuilds the marker for every flagged field.
  auto change = [&](std::int32_t& field, std::int32_t value, bool valid, Change bit) {
    if (valid && field != value) set(*b, field, value, bit);
  };
  change(b->mark_type, type, type >= 0 && type <= 6, Mark_Type);
  change(b->mark_size, TO_DEVICE_SIZE_Y(*b, size), size >= 0, Mark_Size);
  change(b->mark_colour1, colour1, colour1 != -1, Mark_Colour1);
  change(b->mark_colour2, colour2, colour2 != -1, Mark_Colour2);
  change(b->mark_mix, mix, mix >= 0, Mark_Mix);
  return KRwincode(current(), channel::Draw, channel::Draw_Attributes);
}

int KRcolor(int code, int role) { return KRwincmd(current(), channel::Draw, channel::Draw_Colour, code, role); }

int KRmakergb(int red, int green, int blue) {
  for (int part : {red, green, blue})
    if (part < 0 || part > 255) return -999;
  return 0x02000000 + blue * 65536 + green * 256 + red;
}

namespace {

// Sends a move or a line and keeps the pen position it leaves.
int pen_to(channel::Draw_Code code, int device_x, int device_y) {
  channel::KRwinblock* b = block();
  const int reply = KRwincmd(current(), channel::Draw, code, device_x, device_y);
  if (reply != 0) {
    b->pen_x = device_x, b->pen_y = device_y;
    KRstate().pen_known[static_cast<std::size_t>(current())] = true;
  }
  return reply;
}

bool pen_at(const channel::KRwinblock& b, int device_x, int device_y) {
  return KRstate().pen_known[static_cast<std::size_t>(current())] && b.pen_x == device_x && b.pen_y == device_y;
}

}  // namespace

int KRmoveto(int device_x, int device_y) {
  channel::KRwinblock* b = block();
  if (b == nullptr) return 0;
  if (pen_at(*b, device_x, device_y) || (device_x == -1 && device_y == -1 && b->pen_x == -1 && b->pen_y == -1))
    return current();
  return pen_to(channel::Draw_Move, device_x, device_y);
}

int KRlineto(int device_x, int device_y) {
  if (block() == nullptr) return 0;
  const bool known = KRstate().pen_known[static_cast<std::size_t>(current())];
  return pen_to(known ? channel::Draw_Line : channel::Draw_Move, device_x, device_y);
}

int KRline(float x1, float y1, float x2, float y2) {
  channel::KRwinblock* b = block();
  if (b == nullptr) return 0;
  const Device_Point p = TO_DEVICE(*b, x1, y1), q = TO_DEVICE(*b, x2, y2);
  if (!pen_at(*b, p.x, p.y) && KRmoveto(p.x, p.y) == 0) return 0;
  return KRlineto(q.x, q.y);
}

void KRLINE(int& status, float x1, float y1, float x2, float y2) { status = KRline(x1, y1, x2, y2); }

int KRsrect(float x1, float y1, float x2, float y2, int colour) {
  channel::KRwinblock* b = block();
  if (b == nullptr) return 0;
  put_corners(*b, x1, y1, x2, y2);
  return KRwincmd1(current(), channel::Draw, channel::Draw_Solid_Rect, colour);
}

int KRpolygon(const float* points, int n, int fill_mode) {
  channel::KRwinblock* b = block();
  if (b == nullptr || points == nullptr || n < 3) return 0;
  if (fill_mode == 0) b->fill_mode = 1;
  if (fill_mode == 1) b->fill_mode = 2;
  return send_points(points, n, channel::New_Polygon);
}

int KRpolylin(const float* points, int n) {
  if (block() == nullptr || points == nullptr || n < 2) return 0;
  return send_points(points, n, channel::New_Polyline);
}

int KRputmrk(float x, float y) {
  channel::KRwinblock* b = block();
  if (b == nullptr) return 0;
  const Device_Point p = TO_DEVICE(*b, x, y);
  b->a[3] = p.x, b->a[4] = p.y;
  return KRwincode(current(), channel::Draw, channel::Draw_Marker);
}

int KRclear(int colour) {
  channel::KRwinblock* b = block();
  if (b == nullptr) return 0;
  if (colour == -1) {
    KRwincode(current(), channel::Control, channel::Control_Erase);
    return KRwincode(current(), channel::Control, channel::Control_Colour_Step);
  }
  b->a[2] = colour;
  return KRwincode(current(), channel::Draw, channel::Draw_Fill_Window);
}

void KRCLEAR(int& status, int colour) { status = KRclear(colour); }

int KRsetrgn(float x1, float y1, float x2, float y2, int mode) {
  channel::KRwinblock* b = block();
  if (b == nullptr) return 0;
  put_corners(*b, x1, y1, x2, y2);
  return KRwincmd1(current(), channel::Draw, channel::Draw_Clip, mode >= 0 && mode <= 4 ? mode : 0);
}

int KRsetxfrm(const float* t) {
  channel::KRwinblock* b = block();
  if (b == nullptr) return 0;
  double m[4] = {1, 0, 0, 1};
  std::int32_t offset_x = 0, offset_y = 0;
  if (t != nullptr) {
    const Device_Point origin = b->pixel_mode ? Device_Point{0, 0} : TO_DEVICE(*b, 0, 0);
    const double X = b->pixel_mode ? DEVICE_CUT(t[0] + 0.5) : TO_DEVICE(*b, t[0], 0).x;
    const double Y = b->pixel_mode ? DEVICE_CUT(t[3] + 0.5) : TO_DEVICE(*b, 0, t[3]).y;
    offset_x = DEVICE_CUT(X - origin.x * static_cast<double>(t[1]) - origin.y * static_cast<double>(t[2]));
    offset_y = DEVICE_CUT(Y - origin.x * static_cast<double>(t[4]) - origin.y * static_cast<double>(t[5]));
    m[0] = t[1], m[1] = -t[2], m[2] = -t[4], m[3] = t[5];
  }
  for (int i = 0; i < 4; ++i) b->a[2 + i] = DEVICE_CUT(m[i] * 65536.0);
  return KRwincmd(current(), channel::Draw, channel::Draw_Transform, offset_x, offset_y);
}

int KRbegincmb(int k, float width, float height) {
  channel::KRwinblock* b = block();
  if (b == nullptr) return 0;
  const bool sized = width > 0 && height > 0;
  b->a[2] = sized ? TO_DEVICE_SIZE_X(*b, width) : 0;
  b->a[3] = sized ? TO_DEVICE_SIZE_Y(*b, height) : 0;
  if (KRwincmd1(current(), channel::Combined, channel::Combined_Begin, k) == 0) return 0;
  return KRdatanumber(current());
}

int KRendcmb() {
  if (KRwincode(current(), channel::Combined, channel::Combined_End) == 0) return 0;
  return KRdatanumber(current());
}

int KRputcmb(int k, float x, float y, float width, float height, int mode) {
  channel::KRwinblock* b = block();
  if (b == nullptr) return 0;
  const Device_Point p = TO_DEVICE(*b, x, y);
  if (k >= 0) b->combined_number = k;
  if (mode >= 0) b->combined_place = mode;
  auto signed_size = [](std::int32_t pixels, float size) { return size < 0 ? -pixels : pixels; };
  b->a[2] = signed_size(TO_DEVICE_SIZE_X(*b, std::fabs(width)), width);
  b->a[3] = signed_size(TO_DEVICE_SIZE_Y(*b, std::fabs(height)), height);
  if (width == 0) b->a[2] = 0;
  if (height == 0) b->a[3] = 0;
  return KRwincmd(current(), channel::Draw, channel::Draw_Combined, p.x, p.y);
}

int KRdelcmb(int k) {
  if (KRwincmd1(current(), channel::Combined, channel::Combined_Delete, k) == 0) return 0;
  return KRdatanumber(current());
}
