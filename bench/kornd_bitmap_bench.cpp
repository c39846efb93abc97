// Bitmap speed and memory: a 1000 x 1000 image sent to a running kornd as colour values
// (B 20, B 36 pieces, D 5) and made into a bitmap, time per image; the same bitmap drawn onto a
// window-sized surface in process, time per draw; and the server's resident memory while one
// bitmap number is replaced by a new 100 x 100 image 10 000 times. Prints figures.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <QImage>

#include "bench/Resident_Memory.h"
#include "Kornd_Server.h"
#include "kornd/CKRDIB.h"
#include "kornd/KRdc.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

std::uint32_t request(Kornd_Server& k, channel::KRwinblock& b, char letter, int code, std::vector<int> a) {
  b.code = code;
  for (std::size_t i = 0; i < 6; ++i) b.a[i] = i < a.size() ? a[i] : 0;
  return k.Send(std::string{letter, '!'});
}

double make_seconds = 0;  // time spent in D 5 alone

// Sends the values and makes bitmap n of them; false when a request failed.
bool send_image(Kornd_Server& k, channel::KRwinblock& b, int n, int w, int h, const std::vector<std::uint32_t>& v) {
  const int bytes = static_cast<int>(v.size() * 4);
  if (request(k, b, 'B', 20, {bytes}) != 1) return false;
  const char* src = reinterpret_cast<const char*>(v.data());
  for (int at = 0; at < bytes; at += int(channel::Data_Size)) {
    const int piece = std::min(int(channel::Data_Size), bytes - at);
    std::memcpy(b.data, src + at, static_cast<std::size_t>(piece));
    if (request(k, b, 'B', 36, {at, piece}) != 1) return false;
  }
  const auto t0 = Clock::now();
  const bool ok = request(k, b, 'D', 5, {n, 32, w, h}) == 1;
  make_seconds += seconds_since(t0);
  return ok;
}

std::vector<std::uint32_t> gradient(int w, int h, int shift) {
  std::vector<std::uint32_t> v(std::size_t(w) * std::size_t(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) v[std::size_t(y) * std::size_t(w) + std::size_t(x)] = std::uint32_t((x + shift) & 0xFF) | std::uint32_t(y & 0xFF) << 8 | 0x400000;
  return v;
}

}  // namespace

int main() {
  Kornd_Server k;
  if (!k.Start()) {
    std::fprintf(stderr, "kornd did not start:\n%s", k.Errors().c_str());
    return 1;
  }
  if (k.Send("I,0,1000,1000,0,19,5,bench") != 1) return 1;
  platform::Shared_Block holder;
  channel::KRwinblock* b = k.MapWindow(1, holder);
  if (b == nullptr) return 1;

  constexpr int Images = 20;
  const std::vector<std::uint32_t> big = gradient(1000, 1000, 0);
  auto t0 = Clock::now();
  for (int i = 0; i < Images; ++i)
    if (!send_image(k, *b, 1, 1000, 1000, big)) {
      std::fprintf(stderr, "request failed\n%s", k.Errors().c_str());
      return 1;
    }
  const double per_image = seconds_since(t0) / Images;
  std::printf("1000 x 1000 image sent as values and made into bitmap 1: %.2f ms per image (%d images),\n"
              "  of which the bitmap request D 5 itself: %.2f ms; the rest is 2000 data-area requests\n",
              per_image * 1e3, Images, make_seconds / Images * 1e3);

  CKRDIB dib;
  if (!dib.FromValues(big.data(), 1000, 1000, 32)) return 1;
  QImage surface(1000, 1000, QImage::Format_RGB32);
  surface.fill(Qt::white);
  KRdc dc(&surface);
  constexpr int Draws = 50;
  t0 = Clock::now();
  for (int i = 0; i < Draws; ++i) dib.DrawTransparent(dc, 0, 0, 1000, 1000, 0x00CC0020, false, -1);
  std::printf("1000 x 1000 bitmap drawn onto a window surface: %.2f ms per draw\n", seconds_since(t0) / Draws * 1e3);
  t0 = Clock::now();
  for (int i = 0; i < Draws; ++i) dib.DrawTransparent(dc, 0, 0, 1000, 1000, 0x00CC0020, true, 0xFFFFFF);
  std::printf("the same through its transparency mask: %.2f ms per draw\n", seconds_since(t0) / Draws * 1e3);

  constexpr int Redraws = 10000;
  const long before = RESIDENT_KB(k.pid());
  long peak = before;
  t0 = Clock::now();
  for (int i = 0; i < Redraws; ++i) {
    if (!send_image(k, *b, 2, 100, 100, gradient(100, 100, i))) {
      std::fprintf(stderr, "request failed at %d\n%s", i, k.Errors().c_str());
      return 1;
    }
    if (i % 1000 == 999) {
      long now = RESIDENT_KB(k.pid());
      peak = std::max(peak, now);
      std::printf("  after %5d replacements of bitmap 2: server resident memory %ld kB\n", i + 1, now);
    }
  }
  std::printf("10 000 replacements of a 100 x 100 bitmap: %.3f ms each; resident memory %ld kB before, %ld kB peak\n",
              seconds_since(t0) / Redraws * 1e3, before, peak);
  return 0;
}
