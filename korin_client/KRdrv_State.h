// KRdrv_State.h - the state of the PGPLOT device driver KRDRIV: one record per window it
// opened, the line buffer, the polygon and image being received, the source dump.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <map>
#include <vector>

#include "platform/Channel_Blocks.h"

constexpr int KRdrv_Colours = 256;

struct KRdrv_Marker {
  int marker = 0, colour = 0, width = 0;  // the key: markers keep their colour and pen width
  int object = 0;                          // the server's combined object
  long last_page = 0;                      // the page it was last placed on
};

// Bitmap numbers handed out to the images of one segment (0 the page, k panel k): once the
// objects that showed them are gone, the next images of that segment take them again.
struct KRdrv_Bitmap_Numbers {
  std::vector<int> numbers;
  std::size_t next = 0;
};

struct KRdrvstate {
  bool open = false;
  int window = 0;
  int width = 0, height = 0;        // picture size in pixels
  int x_resolution = 96, y_resolution = 96;
  std::array<int, KRdrv_Colours> colours{};  // Korin colour code of each PGPLOT colour index
  int colour_index = 1;
  int foreground = 0, background = 19;
  int pen_width = 0;
  long page = 0;                    // pages begun, for the marker cache and bitmap reuse
  std::vector<KRdrv_Marker> markers;
  std::map<int, KRdrv_Bitmap_Numbers> bitmaps;  // by segment
  int segment = 0;                  // 0: the page's own objects; k: what panel k draws
  int background_code = 19;         // the window's background role as last sent
  int line_style = -1, sent_width = -1;  // -1: never sent since the page began
  bool keep_window = false;         // a close leaves the window and its picture
};

struct KRdrv_Image {
  int width = 0, height = 0;
  float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  float t[6] = {0, 1, 0, 0, 0, 1};
  float sx = 1, sy = 1;
  std::int64_t buffer_bytes = 0;  // of the data buffer made for the codes; 0: none
  std::vector<int> codes;         // when that buffer is not shared
  std::int32_t* cells = nullptr;  // where the codes go: the shared buffer, or `codes`
  std::size_t size = 0;           // cells of the image
  std::size_t count = 0;          // cells received
  bool in_place = false;          // `cells` is the shared buffer
  bool receiving = false;
};

struct KRdrv_Globals {
  int current = 0;                  // window of the selected device; -1 after the last close
  int open_devices = 0;
  std::array<KRdrvstate, channel::Max_Window + 1> records;
  std::vector<float> line;          // x, y pairs, at most 128 points
  int line_window = 0;              // the window the buffered line belongs to
  std::vector<float> polygon;
  int polygon_expected = 0;
  KRdrv_Image image;
  char capability_7 = 'Q';
  std::FILE* dump = nullptr;
  bool font_loaded = false;
  bool keep_next_close = false;
};

KRdrv_Globals& KRdrv();

// The record of the selected device's window, or null.
KRdrvstate* KRdrv_record();

// Draws the buffered line into its window and empties the buffer.
void KRdrvflush();

// Draws x, y pairs into the current window (and the dump): a point as a line to itself, two as
// one line, more as one polyline.
void KRdrv_draw_points(const std::vector<float>& xy);

// Writes into the source dump while it is open (printf-style).
void KRdrv_dump(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Builds the combined object of a Hershey symbol (into `object`, 0 = a new one); 0 when the
// font has no such symbol or the server refused.
int KRdrvmarker(int symbol, int object);

// The bitmap numbers free for the images of the current segment, or that nothing drew since.
KRdrv_Bitmap_Numbers& KRdrv_bitmap_numbers(KRdrvstate& r);
// Every bitmap number of the window is free again (a new page or a cleared window); later
// objects belong to the page again.
void KRdrv_window_cleared(KRdrvstate& r);

// Opcode 28: a marker placed from the cache. Opcode 26: image pieces.
void KRdrv_marker(const float* rbuf);
void KRdrv_image(const float* rbuf, int* nbuf);
