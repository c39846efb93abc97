// Bitmaps.cpp - bitmaps built on the server from arrays of colour codes, sized and placed.

#include <cstdint>
#include <cstdlib>  // std::llabs
#include <cstring>  // std::memcpy

#include "korin_client/Client_State.h"
#include "korin_client/Coordinates.h"
#include "korin_client/Korin.h"

namespace {

// Depths a bitmap can have; another is taken as 8.
int bitmap_depth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32 ? bits : 8; }

}  // namespace

std::int64_t KRnewbmpbuffer(int width, int height) {
  channel::KRwinblock* b = KRstate().current;
  if (b == nullptr) return 0;
  const std::int64_t count = 4 * std::llabs(static_cast<std::int64_t>(width) * height);
  // Offsets of the pieces travel as 32-bit numbers.
  if (count == 0 || count > INT32_MAX) return 0;
  b->a[2] = width, b->a[3] = height;
  if (KRwincmd1(KRstate().current_window, channel::Control, channel::Control_New_Buffer, static_cast<std::int32_t>(count)) == 0)
    return 0;
  return count;
}

int KRbmpfrombuffer(int k, int width, int height, int bits) {
  const int w = KRstate().current_window;
  channel::KRwinblock* b = KRstate().current;
  if (b == nullptr) return 0;
  b->a[2] = width, b->a[3] = height;
  if (KRwincmd(w, channel::Bitmap, channel::Bitmap_From_Buffer, k, bitmap_depth(bits)) == 0) return 0;
  return KRdatanumber(w);
}

int KRmakebmp(int k, int width, int height, int bits, const int* pixels) {
  if (KRstate().current == nullptr || pixels == nullptr) return 0;
  const std::int64_t count = KRnewbmpbuffer(width, height);
  if (count == 0) return 0;
  const int w = KRstate().current_window;
  if (void* buffer = KRdatabuffer(w, static_cast<std::size_t>(count))) std::memcpy(buffer, pixels, static_cast<std::size_t>(count));
  else if (KRsenddata(w, pixels, count) == 0) return 0;
  return KRbmpfrombuffer(k, width, height, bits);
}

int KRsetbmp(int k, float width, float height, int p1, int p2, int p3) {
  channel::KRwinblock* b = KRstate().current;
  if (b == nullptr || k < 1) return 0;
  b->bitmap_number = k;
  if (p1 >= 0) b->bitmap_rop = p1;
  if (p2 >= 0) b->bitmap_transparency = p2;
  if (p3 >= 0) b->bitmap_position = p3;
  b->a[2] = width >= 0 ? TO_DEVICE_SIZE_X(*b, width) : -1;
  b->a[3] = height >= 0 ? TO_DEVICE_SIZE_Y(*b, height) : -1;
  return KRwincmd1(KRstate().current_window, channel::Bitmap, channel::Bitmap_Display, k);
}

int KRputbmp(int k, float x, float y, int mode) {
  channel::KRwinblock* b = KRstate().current;
  if (b == nullptr) return 0;
  const Device_Point p = TO_DEVICE(*b, x, y);
  if (k >= 0) b->bitmap_number = k;
  if (mode >= 0) b->bitmap_flags = mode;
  return KRwincmd(KRstate().current_window, channel::Draw, channel::Draw_Bitmap, p.x, p.y);
}
