// Bitmap speed and memory: a 1000 x 1000 image sent to a running kornd as colour values
// (B 20, written in place, D 5) and made into a bitmap, then drawn into the window (A 27),
// time per image (after the first, the best of 5 rounds) with the server's CPU time and page
// faults per image; the same bitmap drawn onto a window-sized surface in process, time per draw
// (the best of 5 rounds as well); an 8-bit bitmap made from a phase field, as the display sends;
// and the server's resident memory while one bitmap number is replaced by a new 100 x 100
// image 10 000 times. Goal: the image into the window within 3 x the draw in process.
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <QImage>

#include "bench/Best_Seconds.h"
#include "bench/Process_Cpu.h"
#include "bench/Raw_Bitmap.h"
#include "bench/Resident_Memory.h"
#include "Kornd_Server.h"
#include "kornd/CKRDIB.h"
#include "kornd/KRdc.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

double make_seconds = 0;  // time spent in D 5 alone
platform::Shared_Buffer in_place;

// Sends the values and makes bitmap n of them; false when a request failed.
bool send_image(Kornd_Server& k, channel::KRwinblock& b, int n, int w, int h, const std::vector<std::uint32_t>& v) {
  const auto t0 = Clock::now();
  const bool ok = bench::SEND_BITMAP(k, b, in_place, n, w, h, v);
  make_seconds += seconds_since(t0);
  return ok;
}

std::vector<std::uint32_t> gradient(int w, int h, int shift) {
  std::vector<std::uint32_t> v(std::size_t(w) * std::size_t(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) v[std::size_t(y) * std::size_t(w) + std::size_t(x)] = std::uint32_t((x + shift) & 0xFF) | std::uint32_t(y & 0xFF) << 8 | 0x400000;
  return v;
}

// A phase field's colours as the display maps them: rings of two phases about the centre, with
// interfaces some 30 pixels wide through 200 levels.
std::vector<std::uint32_t> phase_field(int w, int h) {
  std::vector<std::uint32_t> v(std::size_t(w) * std::size_t(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double r = std::hypot(x - w / 2.0, y - h / 2.0);
      const auto level = static_cast<std::uint32_t>(100 + 99 * std::tanh((std::fmod(r, 200) - 100) / 10));
      v[std::size_t(y) * std::size_t(w) + std::size_t(x)] = level * 0x010101u ^ 0x203040u;
    }
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

  const std::vector<std::uint32_t> big = gradient(1000, 1000, 0);
  bool failed = false;
  // Shown as the display shows its images: opaque (D 0 with transparency 0), then placed; the
  // erase (B 27) puts the block's drawing state back to its defaults.
  auto into_window = [&](int images) {
    for (int i = 0; i < images && !failed; ++i) {
      b->bitmap_rop = 1, b->bitmap_transparency = 0, b->bitmap_position = 1, b->bitmap_flags = 1;
      b->bitmap_number = 1;
      failed = !send_image(k, *b, 1, 1000, 1000, big) || bench::REQUEST(k, *b, 'D', 0, {1, 0, 1000, 1000}) != 1 ||
               bench::REQUEST(k, *b, 'A', 13, {0, 0}) != 1 || bench::REQUEST(k, *b, 'B', 27, {}) != 1;
    }
  };
  // The first image makes the window's shared buffer and surfaces; after it every image is
  // alike, as when a user steps through outputs. Both sides are the best of 5 rounds of 10.
  constexpr int Rounds = 5, Images = 10;
  auto t0 = Clock::now();
  into_window(1);
  const double first = seconds_since(t0);
  make_seconds = 0;
  const double server_cpu = bench::cpu_seconds(k.pid());
  const long server_faults = bench::minor_faults(k.pid());
  const double per_image = BEST_SECONDS(Rounds, [&] { into_window(Images); }) / Images;
  if (failed) {
    std::fprintf(stderr, "request failed\n%s", k.Errors().c_str());
    return 1;
  }
  constexpr int Timed = Rounds * Images;
  std::printf("1000 x 1000 image into the window (values, bitmap, drawn, cleared): %.2f ms per image "
              "(best of %d rounds of %d; the first image %.2f ms),\n"
              "  on average over the %d timed images: sending the values and making bitmap 1 %.2f ms;\n"
              "  server CPU %.2f ms and %ld page faults per image\n",
              per_image * 1e3, Rounds, Images, first * 1e3, Timed, make_seconds / Timed * 1e3,
              (bench::cpu_seconds(k.pid()) - server_cpu) / Timed * 1e3,
              (bench::minor_faults(k.pid()) - server_faults) / Timed);

  CKRDIB dib;
  if (!dib.FromValues(big.data(), 1000, 1000, 32)) return 1;
  QImage surface(1000, 1000, QImage::Format_RGB32);
  surface.fill(Qt::white);
  KRdc dc(&surface);
  auto draw = [&](bool transparent) {
    return BEST_SECONDS(Rounds, [&] {
             for (int i = 0; i < Images; ++i) dib.DrawTransparent(dc, 0, 0, 1000, 1000, 0x00CC0020, transparent, 0xFFFFFF);
           }) / Images;
  };
  const double per_draw = draw(false);
  std::printf("1000 x 1000 bitmap drawn onto a window surface: %.2f ms per draw\n", per_draw * 1e3);
  std::printf("image into the window / draw in process: %.2f (goal <= 3)\n", per_image / per_draw);
  std::printf("the same through its transparency mask: %.2f ms per draw\n", draw(true) * 1e3);

  // The display's images: 8-bit, the colours of a field, in runs along each row.
  const std::vector<std::uint32_t> field = phase_field(1000, 1000);
  // Each made anew while the one it replaces is still held, as the server replaces a bitmap.
  std::unique_ptr<CKRDIB> held;
  const long faults = bench::minor_faults(getpid());
  const double per_make = BEST_SECONDS(Rounds, [&] {
                            for (int i = 0; i < Images; ++i) {
                              auto made = std::make_unique<CKRDIB>();
                              failed = failed || !made->FromValues(field.data(), 1000, 1000, 8);
                              held = std::move(made);
                            }
                          }) / Images;
  if (failed) return 1;
  std::printf("an 8-bit bitmap made from a 1000 x 1000 phase field of 200 colours, in process: %.2f ms, %ld page faults\n", per_make * 1e3,
              (bench::minor_faults(getpid()) - faults) / Timed);

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
