// Drawing speed: 100 000 line objects and 10 000 polygons added to a window through the
// channel of a running kornd (requests per second), then, in process, a full replay of a
// window holding the same objects (replay time). Prints figures.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>

#include "Kornd_Server.h"
#include "kornd/CKorndApp.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndView.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Lines = 100000;
constexpr int Polygons = 10000;

double seconds_since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

// Sends one window request after writing its sub-code and slots.
std::uint32_t request(Kornd_Server& k, channel::KRwinblock& b, char letter, int code, int a1 = 0, int a2 = 0) {
  b.code = code;
  b.a[0] = a1;
  b.a[1] = a2;
  return k.Send(std::string{letter, '!'});
}

}  // namespace

int main(int argc, char** argv) {
  std::mt19937 rng(7);
  Kornd_Server k;
  if (!k.Start()) {
    std::fprintf(stderr, "kornd did not start:\n%s", k.Errors().c_str());
    return 1;
  }
  if (k.Send("I,0,1000,800,0,19,5,bench") != 1) return 1;
  platform::Shared_Block holder;
  channel::KRwinblock* b = k.MapWindow(1, holder);
  if (b == nullptr) return 1;
  auto t0 = Clock::now();
  for (int i = 0; i < Lines; ++i) request(k, *b, 'A', 20, int(rng() % 1000), int(rng() % 800));
  double lines_s = seconds_since(t0);
  b->brush_style = 1;  // filled polygons, as plots use them
  b->brush_colour = 13;
  b->change_mask = 0x30;
  request(k, *b, 'A', 6);
  t0 = Clock::now();
  for (int i = 0; i < Polygons; ++i) {
    request(k, *b, 'N', 28, 3);
    const std::int32_t pts[6] = {int(rng() % 1000), int(rng() % 800), int(rng() % 1000),
                                 int(rng() % 800), int(rng() % 1000), int(rng() % 800)};
    std::memcpy(b->data, pts, sizeof pts);
    request(k, *b, 'B', 36, 0, sizeof pts);
    request(k, *b, 'B', 37);
  }
  double polygons_s = seconds_since(t0);
  std::printf("through the channel: %d lines in %.2f s (%.0f requests/s); %d polygons (3 requests each) in "
              "%.2f s (%.0f filled polygons/s)\n",
              Lines, lines_s, Lines / lines_s, Polygons, polygons_s, Polygons / polygons_s);
  k.Send("L,0,");
  k.WaitExit(10000);

  // The same objects in process, replayed as a whole.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("KORND_TEST_ANSWERS", "", 1);
  CKorndApp app(argc, argv);
  auto doc = std::make_unique<CKorndDoc>();
  auto* view = new CKorndView(doc.get());
  doc->SetView(view);
  doc->SetWindowNumber(1);
  app.SetWindowDoc(1, doc.get());
  doc->SetPageSize(1000, 800, true);
  doc->SetColors(1000, 800, 0, 19);
  channel::KRwinblock& wb = *doc->block();
  rng.seed(7);
  for (int i = 0; i < Lines; ++i) {
    wb.code = 20;
    wb.a[0] = int(rng() % 1000);
    wb.a[1] = int(rng() % 800);
    doc->ExecuteCommand('A');
  }
  wb.brush_style = 1;
  wb.brush_colour = 13;
  wb.change_mask = 0x30;
  wb.code = 6;
  doc->ExecuteCommand('A');
  for (int i = 0; i < Polygons; ++i) {
    wb.code = 28;
    wb.a[0] = 3;
    doc->ExecuteCommand('N');
    const std::int32_t pts[6] = {int(rng() % 1000), int(rng() % 800), int(rng() % 1000),
                                 int(rng() % 800), int(rng() % 1000), int(rng() % 800)};
    std::memcpy(wb.data, pts, sizeof pts);
    wb.code = 36;
    wb.a[0] = 0;
    wb.a[1] = sizeof pts;
    doc->ExecuteCommand('B');
    wb.code = 37;
    doc->ExecuteCommand('B');
  }
  t0 = Clock::now();
  view->ReplayAll();
  double replay_s = seconds_since(t0);
  std::printf("full replay of %d objects (%d lines, %d filled polygons): %.3f s\n", doc->ObjectCount(), Lines, Polygons,
              replay_s);
  doc->SetView(nullptr);
  doc.reset();
  delete view;
  return 0;
}
