// Channel_Blocks.h - the byte layouts of the two shared blocks between a client and kornd.
//
// KRinstblock (128 bytes, one per server instance) holds one text line: the availability
// line "0,<pid>,<key>,0,9,9,8\n" at start-up, then "<window>,<title>" after every opened window.
// KRwinblock (2300 bytes, one per graphics window) holds the drawing-state head (bytes 0-223),
// the sub-code, six argument/result slots and the 2048-byte data area.
// This is the only definition of both layouts; both programs include it. Changes nothing.
#pragma once

#include <bit>      // std::endian
#include <cstddef>  // offsetof
#include <cstdint>
#include <string>

#include "platform/Channel_Protocol.h"

static_assert(std::endian::native == std::endian::little,
              "the channel blocks are little-endian and are used in place");

namespace channel {

constexpr int First_Instance = 1;
constexpr int Last_Server_Instance = 15;   // a server never takes number 16
constexpr int Last_Client_Instance = 16;   // clients look at 1-16
constexpr int Max_Window = 63;             // window numbers 1-63
constexpr std::size_t Max_Request = 256;   // request text with its terminating zero

constexpr const char* Server_Version = "0,9,9,8";
constexpr const char* Client_Version = "Version  0.99.8b";

struct KRinstblock {
  char line[128];
};
static_assert(sizeof(KRinstblock) == 128);

constexpr std::size_t Head_Size = 224;
constexpr std::size_t Data_Size = 2048;

struct KRwinblock {
  float sx;                       // device pixels per world unit
  float sy;
  float world_x1, world_y1, world_x2, world_y2;
  float view_x1, view_y1, view_x2, view_y2;  // in units of the shorter window side
  std::int32_t width;             // picture size in pixels
  std::int32_t height;
  std::int32_t unit;              // min(width, height)
  std::int32_t pixel_mode;
  std::int32_t origin_x;
  std::int32_t origin_y;
  std::int32_t segment;           // current segment of new objects
  std::int32_t pen_x;             // -1 none
  std::int32_t pen_y;
  std::uint32_t change_mask;
  std::int32_t fill_mode;         // 1 alternate, 2 winding
  std::int32_t fg;                // colour codes of roles 1 and 2
  std::int32_t bg;
  std::int32_t pen_style;
  std::int32_t pen_width;
  std::int32_t pen_colour;
  std::int32_t pen_mix;
  std::int32_t brush_style;
  std::int32_t hatch;
  std::int32_t brush_colour;
  std::int32_t bitmap_number;
  std::int32_t bitmap_rop;
  std::int32_t bitmap_transparency;
  std::int32_t bitmap_position;
  std::int32_t bitmap_flags;
  std::int32_t mark_type;
  std::int32_t mark_size;
  std::int32_t mark_colour1;
  std::int32_t mark_colour2;
  std::int32_t mark_mix;
  std::int32_t text_angle;        // tenths of a degree
  std::int32_t text_height;
  std::int32_t text_align;
  std::int32_t text_colour;
  std::int32_t text_background;
  std::int32_t symbol_angle;
  std::uint8_t symbol_char;
  std::uint8_t unused_185[3];
  std::int32_t symbol_height;
  std::int32_t symbol_align;
  std::int32_t symbol_colour;
  std::int32_t symbol_background;
  std::uint8_t unused_204[12];
  std::int32_t combined_number;   // -1 none
  std::int32_t combined_place;
  std::int32_t code;              // sub-code of the current request
  std::int32_t a[6];              // slots a1..a6 are a[0]..a[5]
  char data[Data_Size];
};

static_assert(sizeof(KRwinblock) == 2300);
static_assert(offsetof(KRwinblock, sx) == 0);
static_assert(offsetof(KRwinblock, sy) == 4);
static_assert(offsetof(KRwinblock, world_x1) == 8);
static_assert(offsetof(KRwinblock, world_y1) == 12);
static_assert(offsetof(KRwinblock, world_x2) == 16);
static_assert(offsetof(KRwinblock, world_y2) == 20);
static_assert(offsetof(KRwinblock, view_x1) == 24);
static_assert(offsetof(KRwinblock, view_y1) == 28);
static_assert(offsetof(KRwinblock, view_x2) == 32);
static_assert(offsetof(KRwinblock, view_y2) == 36);
static_assert(offsetof(KRwinblock, width) == 40);
static_assert(offsetof(KRwinblock, height) == 44);
static_assert(offsetof(KRwinblock, unit) == 48);
static_assert(offsetof(KRwinblock, pixel_mode) == 52);
static_assert(offsetof(KRwinblock, origin_x) == 56);
static_assert(offsetof(KRwinblock, origin_y) == 60);
static_assert(offsetof(KRwinblock, segment) == 64);
static_assert(offsetof(KRwinblock, pen_x) == 68);
static_assert(offsetof(KRwinblock, pen_y) == 72);
static_assert(offsetof(KRwinblock, change_mask) == 76);
static_assert(offsetof(KRwinblock, fill_mode) == 80);
static_assert(offsetof(KRwinblock, fg) == 84);
static_assert(offsetof(KRwinblock, bg) == 88);
static_assert(offsetof(KRwinblock, pen_style) == 92);
static_assert(offsetof(KRwinblock, pen_width) == 96);
static_assert(offsetof(KRwinblock, pen_colour) == 100);
static_assert(offsetof(KRwinblock, pen_mix) == 104);
static_assert(offsetof(KRwinblock, brush_style) == 108);
static_assert(offsetof(KRwinblock, hatch) == 112);
static_assert(offsetof(KRwinblock, brush_colour) == 116);
static_assert(offsetof(KRwinblock, bitmap_number) == 120);
static_assert(offsetof(KRwinblock, bitmap_rop) == 124);
static_assert(offsetof(KRwinblock, bitmap_transparency) == 128);
static_assert(offsetof(KRwinblock, bitmap_position) == 132);
static_assert(offsetof(KRwinblock, bitmap_flags) == 136);
static_assert(offsetof(KRwinblock, mark_type) == 140);
static_assert(offsetof(KRwinblock, mark_size) == 144);
static_assert(offsetof(KRwinblock, mark_colour1) == 148);
static_assert(offsetof(KRwinblock, mark_colour2) == 152);
static_assert(offsetof(KRwinblock, mark_mix) == 156);
static_assert(offsetof(KRwinblock, text_angle) == 160);
static_assert(offsetof(KRwinblock, text_height) == 164);
static_assert(offsetof(KRwinblock, text_align) == 168);
static_assert(offsetof(KRwinblock, text_colour) == 172);
static_assert(offsetof(KRwinblock, text_background) == 176);
static_assert(offsetof(KRwinblock, symbol_angle) == 180);
static_assert(offsetof(KRwinblock, symbol_char) == 184);
static_assert(offsetof(KRwinblock, symbol_height) == 188);
static_assert(offsetof(KRwinblock, symbol_align) == 192);
static_assert(offsetof(KRwinblock, symbol_colour) == 196);
static_assert(offsetof(KRwinblock, symbol_background) == 200);
static_assert(offsetof(KRwinblock, unused_204) == 204);
static_assert(offsetof(KRwinblock, combined_number) == 216);
static_assert(offsetof(KRwinblock, combined_place) == 220);
static_assert(offsetof(KRwinblock, code) == Head_Size);
static_assert(offsetof(KRwinblock, a) == 228);
static_assert(offsetof(KRwinblock, data) == 252);

// Block names as both programs spell them: "Kornd1", "Kornd1:2".
std::string INSTANCE_BLOCK_NAME(int instance);
std::string WINDOW_BLOCK_NAME(int instance, int window);

}  // namespace channel
