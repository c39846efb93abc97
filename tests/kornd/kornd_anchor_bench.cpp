// Repaints of a long list with an anchor near its end (the picture up to the anchor kept in the
// view's snapshot, only the objects after it replayed) against the same repaints without an
// anchor, buffered and unbuffered, in process; prints figures, not a test.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndView.h"

#include "Bench_Clock.h"
#include "Kornd_Window.h"

namespace {


// Milliseconds of one paint of the whole window, the average of `rounds`; `before` makes it
// needed.
template <class Before>
double paint_ms(CKorndView& view, int rounds, Before before) {
  double total = 0;
  for (int i = 0; i < rounds; ++i) {
    before();
    auto t = std::chrono::steady_clock::now();
    view.Surface();
    total += seconds_since(t);
  }
  return total * 1000.0 / rounds;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("KORND_TEST_ANSWERS", "", 1);
  CKorndApp app(argc, argv);
  constexpr int Before = 200000, After = 1000, Rounds = 5;
  Kornd_Window window(1, 1000, 800);
  CKorndDoc* doc = &window.doc();
  CKorndView* view = &window.view();
  view->Surface();
  channel::KRwinblock& b = *doc->block();
  auto lines = [&](int n) {
    for (int i = 0; i < n; ++i) {
      b.a[0] = i % 1000, b.a[1] = (i * 7) % 800;
      doc->AddNewTool(i % 2 ? 20 : 11, b.a[0], b.a[1]);
    }
  };
  lines(Before);
  doc->PushAnchor(1);
  lines(After);
  std::printf("%d objects, an anchor after the first %d\n", doc->ObjectCount(), Before);
  // Unbuffered, a paint of the window replays the list; at the anchor only what follows it.
  view->SetBuffering(false);
  auto repaint = [&] { view->OnUpdate(8, nullptr, nullptr); };
  doc->SelectAnchor(1);
  const double unbuffered_at = paint_ms(*view, Rounds, repaint);
  doc->SelectAnchor(0);
  const double unbuffered_without = paint_ms(*view, Rounds, repaint);
  // Buffered, a new line across the whole picture makes the buffer catch up everywhere.
  view->SetBuffering(true);
  auto line_across = [&] {
    doc->AddNewTool(11, 0, 0);
    doc->AddNewTool(20, 999, 799);
    view->OnUpdate(8, nullptr, nullptr);
  };
  doc->SelectAnchor(1);
  const double buffered_at = paint_ms(*view, Rounds, line_across);
  doc->SelectAnchor(0);
  const double buffered_without = paint_ms(*view, Rounds, line_across);
  std::printf("unbuffered paint:           %8.2f ms at the anchor, %8.2f ms without one\n", unbuffered_at,
              unbuffered_without);
  std::printf("buffered catch-up of all:   %8.2f ms at the anchor, %8.2f ms without one\n", buffered_at,
              buffered_without);
  return 0;
}
