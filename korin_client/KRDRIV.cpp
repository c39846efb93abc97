// KRDRIV - PGPLOT device driver for Korin windows.
//
// Devices  /KR   black on white          /KRD   the same, plus a source dump
//          /CKR  white on black (as /CPS) /CKRD  the same, plus a source dump
// One server window per open device; coordinates are PGPLOT's device units, made the
// window's world coordinates at each page. Capabilities: interactive, cursor, area and
// rectangle fill, thick lines, image primitive (Q), colour query, markers. The resolution is
// the server's page resolution (96 dpi by default). The source dump ("pgkrdump.c" unless
// another name is typed) is a C program of client-library calls that redraws the picture.
//
// Closing a device closes its window only; closing the last one ends the connection. Before
// each drawing or input the device's window is made current, since the display program may
// have chosen another window through the library directly.

#include "korin_client/KRDRIV.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>

#include "korin_client/Client_State.h"
#include "korin_client/KRdrv_State.h"
#include "korin_client/Korin.h"
#include "korin_client/Korin_Upper.h"

namespace {

constexpr int Line_Capacity = 128;
constexpr const char* Default_Dump = "pgkrdump.c";

int cut(float v) {  // cut(v + 0.5) as the driver rounds its arguments
  const double r = static_cast<double>(v) + 0.5;
  if (!(r > -2147483648.0)) return INT32_MIN;
  if (r >= 2147483647.0) return INT32_MAX;
  return static_cast<int>(r);
}

void set_text(char* chr, int* lchr, std::size_t chr_len, const char* text) {
  const std::size_t n = std::min(std::strlen(text), chr_len);
  std::memset(chr, ' ', chr_len);
  std::memcpy(chr, text, n);
  *lchr = static_cast<int>(n);
}

// The device's own window becomes the client's current one.
void use_window(int w) {
  if (w > 0 && KRstate().current_window != w) KRselect(w);
}

void end_dump(const char* reason_format = nullptr, int reason = 0) {
  KRdrv_Globals& g = KRdrv();
  if (g.dump == nullptr) return;
  if (reason_format) {
    std::fprintf(g.dump, "\tKRquit();");
    std::fprintf(g.dump, reason_format, reason);
  } else {
    std::fprintf(g.dump, "\tKRquit();\n");
  }
  std::fprintf(g.dump, "\treturn 0;\n}\n");
  std::fclose(g.dump);
  g.dump = nullptr;
}

void open_dump() {
  KRdrv_Globals& g = KRdrv();
  std::fprintf(stderr, "Output file name [%s] = ", Default_Dump);
  std::fflush(stderr);
  std::string name;
  if (!std::getline(std::cin, name)) name.clear();
  if (name.size() > 260) name.resize(260);
  if (name.empty()) name = Default_Dump;
  g.dump = std::fopen(name.c_str(), "w");
  if (g.dump == nullptr) return;
  std::fprintf(g.dump, "#include \"Korin.h\"\n\nint main()\n{\n");
  std::fprintf(g.dump, "\tKRinitx(9,-1,-1,-1,-1,-1,%d,-1);\n", 13);
}

void reset(KRdrvstate& r) {
  static const int rgb[14][3] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},   {0, 255, 255}, {255, 0, 255},
                                 {255, 255, 0}, {255, 127, 0}, {127, 255, 0}, {0, 255, 127}, {0, 127, 255},
                                 {127, 0, 255}, {255, 0, 127}, {85, 85, 85},  {170, 170, 170}};
  for (int i = 0; i < KRdrv_Colours; ++i) r.colours[static_cast<std::size_t>(i)] = i % 36;
  r.colours[0] = -3;
  r.colours[1] = -2;
  for (int i = 0; i < 14; ++i) r.colours[static_cast<std::size_t>(i + 2)] = KRmakergb(rgb[i][0], rgb[i][1], rgb[i][2]);
  KRcolor(r.foreground, 1);
  KRcolor(r.background, 2);
  KRdims(1, &r.width, &r.height);
  int xr = 0, yr = 0;
  if (KRdims(10, &xr, &yr) > 0 && xr > 0 && yr > 0) r.x_resolution = xr, r.y_resolution = yr;
  const float marker_size = static_cast<float>(r.y_resolution) * 0.025f;
  KRsetmrk(1, marker_size, -1, -1, 4);
  KRsetpen(-2, -1, -1, 4);
  KRsetbrs(-2, 1, -1);
  r.pen_width = 0;
  r.background_code = r.background;
  r.line_style = -1, r.sent_width = -1;
  KRdrv_dump("\tKRcolor(%d,1);\n\tKRcolor(%d,2);\n", r.foreground, r.background);
  KRdrv_dump("\tKRsetmrk(1, %f, -1, -1, %d);\n", marker_size, 4);
  KRdrv_dump("\tKRsetpen(%d, -1, -1, %d);\n\tKRsetbrs(%d, 1, -1);\n", -2, 4, -2);
}

void open_device(float* rbuf, int* nbuf, char* chr, int lchr, int mode, std::size_t chr_len) {
  KRdrv_Globals& g = KRdrv();
  rbuf[0] = rbuf[1] = 0;
  *nbuf = 2;
  if (mode < 1 || mode > 4) {
    std::fprintf(stderr, "ERROR: Invalid device number (%d)\n", mode);
    return;
  }
  static const char* names[] = {"PGPLOT /kr", "PGPLOT /ckr", "PGPLOT /krd", "PGPLOT /ckrd"};
  if (static_cast<std::size_t>(lchr) >= chr_len) {
    std::fprintf(stderr, "%s: Display name too long.\n", names[mode - 1]);
    return;
  }
  (void)chr;
  if (g.open_devices <= 0) {
    if ((mode == 3 || mode == 4) && g.dump == nullptr) open_dump();
    KRinitx(9, -1, -1, -1, -1, -1, 13, -1);
  }
  const int fg = mode == 1 || mode == 3 ? 0 : 19, bg = mode == 1 || mode == 3 ? 19 : 0;
  const int w = KRopenx(0, 0, 0, fg, bg, -1, nullptr);
  KRdrv_dump("\tKRopenx(0,0,0,%d,%d,-1,NULL);\n", fg, bg);
  if (w < 1 || w > channel::Max_Window) {
    std::fprintf(stderr, "ERROR: failed to open a window (%d)\n", w);
    end_dump("\t// failed to open a window (%d)\n", w);
    if (g.open_devices <= 0) KRquit();
    return;
  }
  g.current = w;
  ++g.open_devices;
  KRdrvstate& r = g.records[static_cast<std::size_t>(w)];
  r = KRdrvstate{};
  r.open = true;
  r.window = w;
  r.foreground = fg, r.background = bg;
  rbuf[0] = static_cast<float>(w);
  rbuf[1] = 1;
  reset(r);
  if (w >= 2) {
    KRarrange(5);
    KRdrv_dump("\tKRarrange(5);\n");
  }
}

void close_device() {
  KRdrv_Globals& g = KRdrv();
  KRdrvstate* r = KRdrv_record();
  g.polygon.clear();
  g.polygon_expected = 0;
  if (r != nullptr) {
    r->open = false;
    --g.open_devices;
    if (!g.keep_next_close) {
      int w = r->window, status = 0;
      KRCLOSE(status, w);
    }
  }
  g.keep_next_close = false;
  g.current = -1;
  if (g.open_devices <= 0) {
    g.open_devices = 0;
    end_dump();
    KRquit();
  }
}

void begin_page(const float* rbuf) {
  KRdrvstate* r = KRdrv_record();
  if (r == nullptr) return;
  KRclear(-1);
  KRdrv_dump("\tKRclear(-1);\n");
  KRdrv_window_cleared(*r);
  reset(*r);
  ++r->page;
  const double W = r->width, H = r->height, X = rbuf[0], Y = rbuf[1];
  if (W <= 0 || H <= 0 || X <= 0 || Y <= 0) return;
  const double m = 0.25 * r->x_resolution / W;
  double x1, y1, x2, y2;
  if (W * Y >= H * X) {
    y1 = m, y2 = 1 - m;
    const double o = (1 - 2 * m) * X / Y;
    x1 = (W / H - o) / 2, x2 = x1 + o;
  } else {
    x1 = m, x2 = W / H - m;
    const double o = (W / H - 2 * m) * Y / X;
    y1 = (1 - o) / 2, y2 = y1 + o;
  }
  KRvport(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2), static_cast<float>(y2));
  KRindow(0, 0, static_cast<float>(X), static_cast<float>(Y));
  KRdrv_dump("\tKRvport(%f, %f, %f, %f);\n", x1, y1, x2, y2);
  KRdrv_dump("\tKRindow(0.0, 0.0, %f, %f);\n", X, Y);
}

void line_segment(const float* rbuf) {
  KRdrv_Globals& g = KRdrv();
  const std::size_t n = g.line.size() / 2;
  const bool joins = n >= 1 && n < Line_Capacity && g.line_window == g.current && g.line[2 * n - 2] == rbuf[0] &&
                     g.line[2 * n - 1] == rbuf[1];
  if (joins) {
    g.line.insert(g.line.end(), {rbuf[2], rbuf[3]});
    return;
  }
  KRdrvflush();
  g.line_window = g.current;
  g.line.assign({rbuf[0], rbuf[1], rbuf[2], rbuf[3]});
}

void set_colour_index(const float* rbuf) {
  KRdrvstate* r = KRdrv_record();
  const int index = cut(rbuf[0]);
  if (r == nullptr || index < 0 || index >= KRdrv_Colours) return;
  r->colour_index = index;
  const int code = r->colours[static_cast<std::size_t>(index)];
  // One request for both: a colour change comes with nearly every arrow, label and line. An
  // index without a colour (-1) keeps the two calls, as a pen of all -1 has a meaning of its own.
  if (code != -1) KRsetpenbrs(code);
  else KRsetpen(code, -1, -1, -1), KRsetbrs(code, -1, -1);
  KRdrv_dump("\tKRsetpen(%d, -1, -1, -1);\n\tKRsetbrs(%d, -1, -1);\n", code, code);
}

void set_colour_representation(const float* rbuf) {
  KRdrvstate* r = KRdrv_record();
  const int index = cut(rbuf[0]);
  if (r == nullptr || index < 0 || index >= KRdrv_Colours) return;
  const int code = KRmakergb(cut(rbuf[1] * 255), cut(rbuf[2] * 255), cut(rbuf[3] * 255));
  r->colours[static_cast<std::size_t>(index)] = code;
  if (index == 0) {
    r->background_code = code;
    KRcolor(code, 2);
    KRdrv_dump("\tKRcolor(%d, 2);\n", code);
  }
}

void query_colour(float* rbuf, int* nbuf) {
  KRdrvstate* r = KRdrv_record();
  const int index = cut(rbuf[0]);
  if (r == nullptr || index < 0 || index >= KRdrv_Colours) return;
  int red = 0, green = 0, blue = 0;
  KRgetrgb(r->colours[static_cast<std::size_t>(index)], &red, &green, &blue);
  rbuf[1] = static_cast<float>(red) / 255, rbuf[2] = static_cast<float>(green) / 255, rbuf[3] = static_cast<float>(blue) / 255;
  *nbuf = 4;
}

void polygon_point(const float* rbuf) {
  KRdrv_Globals& g = KRdrv();
  if (g.polygon_expected == 0) {
    const int n = cut(rbuf[0]);
    if (n < 1 || n > (1 << 26)) {  // no room for such a polygon
      std::fprintf(stderr, "Polygon fill failed [%d]\n", n);
      end_dump("\t// Polygon fill failed [%d]\n", n);
      KRquit();
      g.current = -1;
      return;
    }
    g.polygon_expected = n;
    g.polygon.clear();
    g.polygon.reserve(2 * static_cast<std::size_t>(n));
    return;
  }
  g.polygon.insert(g.polygon.end(), {rbuf[0], rbuf[1]});
  if (static_cast<int>(g.polygon.size() / 2) < g.polygon_expected) return;
  const int n = g.polygon_expected;
  KRpolygon(g.polygon.data(), n, 0);
  if (g.dump) {
    KRdrv_dump("{\nfloat points[] = {");
    for (int i = 0; i < n; ++i)
      KRdrv_dump("%s%f, %f, ", i % 2 == 0 ? "\n\t" : "", g.polygon[2 * static_cast<std::size_t>(i)],
                 g.polygon[2 * static_cast<std::size_t>(i) + 1]);
    KRdrv_dump("0.0};\n\tKRpolygon(points, %d, 0);\n}\n", n);
  }
  g.polygon.clear();
  g.polygon_expected = 0;
}

void read_cursor(float* rbuf, int* nbuf, char* chr, int* lchr, std::size_t chr_len) {
  int key = 0;
  float x = rbuf[0], y = rbuf[1];
  while (key == 0) KRwaitkey(&key, &x, &y, 1000);
  char answer;
  if (key == -1) {  // left: "X" when the right button joins in before the release
    answer = 'A';
    int right = 0;
    float mx, my;
    while (KRmousest(&right, &mx, &my) == 1) {
      if (right == 1) answer = 'X';
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  } else if (key == -2) {
    answer = 'X';
    int right = 1;
    float mx, my;
    while (true) {
      KRmousest(&right, &mx, &my);
      if (right != 1) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  } else {
    answer = key > 0 && key < 256 ? static_cast<char>(key) : '?';
    KRgetevent(nullptr, nullptr, nullptr, -1);
  }
  rbuf[0] = x, rbuf[1] = y;
  *nbuf = 2;
  std::memset(chr, ' ', chr_len);
  if (chr_len > 0) chr[0] = answer;
  *lchr = 1;
}

// The dump's comment of each opcode.
const char* comment_of(int opcode) {
  static const char* comments[] = {
      nullptr,
      "IFUNC=1, Return device name",
      "IFUNC=2, Return max. dim. of view surface, and range of color index",
      "IFUNC=3, Return device scale",
      "IFUNC=4, Return device capabilities",
      "IFUNC=5, Return default device/file name",
      "IFUNC=6, Return default size of view surface",
      "IFUNC=7, Return miscellaneous defaults",
      "IFUNC=8, Select device",
      "IFUNC=9, Open workstation",
      "IFUNC=10, Close workstation",
      "IFUNC=11, Begin picture",
      "IFUNC=12, Draw line",
      "IFUNC=13, Draw dot",
      "IFUNC=14, End picture",
      "IFUNC=15, Set color index",
      "IFUNC=16, Flush buffer",
      "IFUNC=17, Read cursor",
      "IFUNC=18, Erase alpha screen",
      "IFUNC=19, Set line style",
      "IFUNC=20, Polygon fill",
      "IFUNC=21, Set color representation",
      "IFUNC=22, Set line width",
      "IFUNC=23, Escape function",
      "IFUNC=24, Rectangle fill",
      "IFUNC=25, Set fill pattern",
      "IFUNC=26, Line of pixels",
      "IFUNC=27, Scaling information",
      "IFUNC=28, Draw marker",
      "IFUNC=29, Query color representation",
      "IFUNC=30, Scroll rectangle",
  };
  return opcode >= 1 && opcode <= 30 ? comments[opcode] : nullptr;
}

}  // namespace

KRdrv_Globals& KRdrv() {
  static KRdrv_Globals globals;
  return globals;
}

KRdrvstate* KRdrv_record() {
  KRdrv_Globals& g = KRdrv();
  if (g.current < 1 || g.current > channel::Max_Window) return nullptr;
  KRdrvstate& r = g.records[static_cast<std::size_t>(g.current)];
  return r.open ? &r : nullptr;
}

void KRdrv_dump(const char* format, ...) {
  std::FILE* dump = KRdrv().dump;
  if (dump == nullptr) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(dump, format, args);
  va_end(args);
}

void KRdrv_draw_points(const std::vector<float>& xy) {
  const std::size_t n = xy.size() / 2;
  if (n == 0) return;
  if (n <= 2) {
    const float x2 = n == 1 ? xy[0] : xy[2], y2 = n == 1 ? xy[1] : xy[3];
    KRline(xy[0], xy[1], x2, y2);
    KRdrv_dump("\tKRline(%f, %f, %f, %f);\n", xy[0], xy[1], x2, y2);
    return;
  }
  KRpolylin(xy.data(), static_cast<int>(n));
  if (KRdrv().dump == nullptr) return;
  KRdrv_dump("\t{\n\t\tfloat points[] = {");
  for (std::size_t i = 0; i < n; ++i) KRdrv_dump("%s%f, %f, ", i % 2 == 0 ? "\n\t\t" : "", xy[2 * i], xy[2 * i + 1]);
  KRdrv_dump("0.0};\n\t\tKRpolylin(points, %d);\n\t}\n", static_cast<int>(n));
}

void KRdrvflush() {
  KRdrv_Globals& g = KRdrv();
  if (g.line.empty()) return;
  use_window(g.line_window);
  KRdrv_draw_points(g.line);
  g.line.clear();
  use_window(g.current);
}

int KRDRIV_WINDOW() { return KRdrv().current; }

void KRDRIV_KEEP_WINDOW() { KRdrv().keep_next_close = true; }

void KRDRIV_WINDOW_CLEARED() {
  if (KRdrvstate* r = KRdrv_record()) KRdrv_window_cleared(*r);
}

namespace {

// Drawing through the driver needs no replies: its requests wait in a batch until PGPLOT
// flushes (the end of every top-level call), a picture ends or a request needs its reply.
struct Deferring {
  Deferring() { KRstate().deferring = true; }
  ~Deferring() { KRstate().deferring = false; }
  Deferring(const Deferring&) = delete;
  Deferring& operator=(const Deferring&) = delete;
};

}  // namespace

void KRDRIV(int opcode, float* rbuf, int* nbuf, char* chr, int* lchr, int mode, std::size_t chr_len) {
  const Deferring deferring;
  KRdrv_Globals& g = KRdrv();
  const int given_lchr = *lchr;
  *nbuf = 0;
  *lchr = 0;
  if (g.current < 0 && opcode != 1 && opcode != 8 && opcode != 9) return;
  if (opcode != 12) {
    if (const char* comment = comment_of(opcode)) KRdrv_dump("// %s\n", comment);
    KRdrvflush();
  }
  if (opcode >= 11) use_window(g.current);
  KRdrvstate* r = KRdrv_record();
  switch (opcode) {
    case 1: {  // device type
      static const char* names[] = {"KR (Korin Library with kornd)", "CKR (KR + colors compatible with /CPS)",
                                    "KRD (KR + output of native source code)",
                                    "CKRD (CKR + output of native source code)"};
      set_text(chr, lchr, chr_len, mode >= 1 && mode <= 4 ? names[mode - 1] : "");
      break;
    }
    case 2:  // view surface and colour indices
      rbuf[0] = 0, rbuf[1] = -1, rbuf[2] = 0, rbuf[3] = -1, rbuf[4] = 0, rbuf[5] = 255;
      *nbuf = 6;
      break;
    case 3:  // dots per inch
      rbuf[0] = static_cast<float>(r ? r->x_resolution : 96);
      rbuf[1] = static_cast<float>(r ? r->y_resolution : 96);
      rbuf[2] = 1;
      *nbuf = 3;
      break;
    case 4:
      set_text(chr, lchr, chr_len, "ICNATRQVYMN");
      g.capability_7 = 'Q';
      break;
    case 5:  // no default file name
      set_text(chr, lchr, chr_len, " ");
      *lchr = 0;
      break;
    case 6:
      rbuf[0] = 0, rbuf[1] = static_cast<float>(r ? r->width : 0), rbuf[2] = 0;
      rbuf[3] = static_cast<float>(r ? r->height : 0);
      *nbuf = 4;
      break;
    case 7:
      rbuf[0] = 1;
      *nbuf = 1;
      break;
    case 8: {  // select
      const int w = KRselect(cut(rbuf[1]));
      g.current = w;
      KRdrv_dump("\tKRselect(%d);\n", w);
      break;
    }
    case 9:
      open_device(rbuf, nbuf, chr, given_lchr, mode, chr_len);
      break;
    case 10:
      close_device();
      break;
    case 11:
      begin_page(rbuf);
      break;
    case 12:
      line_segment(rbuf);
      break;
    case 13:
      KRputmrk(rbuf[0], rbuf[1]);
      KRdrv_dump("\tKRputmrk(%f, %f);\n", rbuf[0], rbuf[1]);
      break;
    case 14:  // end of picture: the picture stays
      *nbuf = -1;
      KRflush();
      KRdrv_dump("\tKRpause(\"Pause\");\n");
      break;
    case 15:
      set_colour_index(rbuf);
      break;
    case 16:  // flush
      KRflush();
      *nbuf = -1;
      break;
    case 18:
    case 23:
    case 25:
    case 30:
      *nbuf = -1;
      break;
    case 17:
      read_cursor(rbuf, nbuf, chr, lchr, chr_len);
      break;
    case 19: {
      const int style = cut(rbuf[0]);
      if (r) r->line_style = style;
      KRsetpen(-1, style, -1, -1);
      KRdrv_dump("\tKRsetpen(-1, %d, -1, -1);\n", style);
      break;
    }
    case 20:
      polygon_point(rbuf);
      break;
    case 21:
      set_colour_representation(rbuf);
      break;
    case 22: {
      const int width = static_cast<int>(std::trunc((r ? r->x_resolution : 96) * static_cast<double>(rbuf[0]) * 0.005));
      if (r) r->pen_width = width, r->sent_width = width;
      KRsetpen(-1, -1, width, -1);
      KRdrv_dump("\tKRsetpen(-1, -1, %d, -1);\n", width);
      break;
    }
    case 24: {
      const int code = r ? r->colours[static_cast<std::size_t>(r->colour_index)] : 1;
      KRsrect(rbuf[0], rbuf[1], rbuf[2], rbuf[3], code);
      KRdrv_dump("\tKRsrect(%f, %f, %f, %f, %d);\n", rbuf[0], rbuf[1], rbuf[2], rbuf[3], code);
      break;
    }
    case 26:
      KRdrv_image(rbuf, nbuf);
      break;
    case 27:
      rbuf[0] = 0, rbuf[1] = 1, rbuf[2] = 0, rbuf[3] = 1;
      *nbuf = 4;
      break;
    case 28:
      KRdrv_marker(rbuf);
      *nbuf = -1;
      break;
    case 29:
      query_colour(rbuf, nbuf);
      break;
    default:
      std::fprintf(stderr, "/KR: Unexpected opcode=%d in stub driver.\n", opcode);
      *nbuf = -1;
  }
}
