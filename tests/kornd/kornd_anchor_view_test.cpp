// The view at a selected anchor, in process with a real main frame and child frames: repaints
// show the objects up to the selected anchor and those after the last anchor (with and without
// a back buffer), the back buffer catches up its stale area from the anchor snapshot, a solid
// rectangle of colour none shows the picture at the anchor beneath it, the anchor hints, the
// Flushing command, and a Buffering command that waited for the frame's activation.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QMdiArea>
#include <QMenu>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndChild.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndMain.h"
#include "kornd/CKorndView.h"
#include "kornd/KRdc.h"

namespace {

constexpr QRgb White = 0xFFFFFFFF, Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, Yellow = 0xFFFFFF00,
               Magenta = 0xFFFF00FF, Cyan = 0xFF00FFFF;
// Colour codes of the fixed colours above.
constexpr int Code_Red = 13, Code_Green = 14, Code_Yellow = 15, Code_Blue = 16, Code_Magenta = 17, Code_Cyan = 18;

// Graphics windows of 100 x 80 pixels, black on white, in one main frame whose menus drive them.
class Windows {
 public:
  Windows() : main_(KorndApp()) {
    KorndApp()->main_frame = &main_;  // as the server's own frame: windows take its defaults
    main_.show();
    Open(1);
  }
  ~Windows() {
    for (int w : numbers_) KorndApp()->SetWindowDoc(w, nullptr);
    KorndApp()->main_frame = nullptr;
  }
  // A further window, made the active one.
  void Open(int n) {
    auto doc = std::make_unique<CKorndDoc>();
    CKorndDoc* d = doc.get();
    auto* child = new CKorndChild(std::move(doc), 5);
    d->SetWindowNumber(n);
    KorndApp()->SetWindowDoc(n, d);
    d->SetBackground(0xFFFFFF);
    d->SetPageSize(100, 80, true);
    d->SetColors(100, 80, 0, 19);
    main_.MdiArea()->addSubWindow(child);
    child->show();
    main_.MdiArea()->setActiveSubWindow(child);
    // A client area of the picture's size shows it 1:1.
    for (int i = 0; i < 3 && child->View()->size() != QSize(100, 80); ++i)
      child->resize(child->size() + (QSize(100, 80) - child->View()->size()));
    child->View()->Surface();  // the first paint
    children_.push_back(child);
    numbers_.push_back(n);
  }
  CKorndChild& child(int i = 0) { return *children_[std::size_t(i)]; }
  CKorndMain& main() { return main_; }
  CKorndView& view(int i = 0) { return *child(i).View(); }
  CKorndDoc& doc(int i = 0) { return *child(i).Doc(); }
  void Activate(int i) { main_.MdiArea()->setActiveSubWindow(&child(i)); }
  std::uint32_t Request(char letter, int code, std::vector<int> a = {}) {
    channel::KRwinblock& b = *doc().block();
    b.code = code;
    for (std::size_t i = 0; i < 6; ++i) b.a[i] = i < a.size() ? a[i] : 0;
    return doc().ExecuteCommand(letter);
  }
  std::uint32_t A(int code, std::vector<int> a = {}) { return Request('A', code, std::move(a)); }
  std::uint32_t B(int code, std::vector<int> a = {}) { return Request('B', code, std::move(a)); }
  void Square(int colour, int x, int y, int size = 10) { A(22, {colour, 0, x, y, x + size, y + size}); }
  QRgb Pixel(int x, int y) { return view().Surface().pixel(x, y); }
  QRgb BufferPixel(int x, int y) { return Mutable(view().BackBuffer()).Surface().pixel(x, y); }
  const QImage& Buffer() { return Mutable(view().BackBuffer()).Surface(); }
  const QImage& Snapshot() { return Mutable(view().AnchorSnapshot()).Surface(); }
  static CMemDIB& Mutable(const CMemDIB* b) { return const_cast<CMemDIB&>(*b); }
  QImage& WindowImage() { return const_cast<QImage&>(view().Surface()); }
  // Runs a command of the graphics windows' View menu as the menu would (false: not there or
  // disabled).
  bool Trigger(const QString& text) {
    for (QMenu* m : main_.findChildren<QMenu*>())
      if (m->title() == "&View" && m->actions().size() > 6)
        for (QAction* a : m->actions())
          if (a->text() == text) {
            emit m->aboutToShow();
            if (!a->isEnabled()) return false;
            a->trigger();
            return true;
          }
    return false;
  }

 private:
  CKorndMain main_;
  std::vector<CKorndChild*> children_;
  std::vector<int> numbers_;
};

// Five squares along the top row, one before each of four anchors and one after the last.
struct Square_Spot {
  int colour_code;
  QRgb colour;
  int x;
};
constexpr Square_Spot Spots[5] = {
    {Code_Red, Red, 0}, {Code_Green, Green, 20}, {Code_Blue, Blue, 40}, {Code_Yellow, Yellow, 60}, {Code_Magenta, Magenta, 80}};

void draw_anchored_picture(Windows& w) {
  for (int i = 0; i < 5; ++i) {
    w.Square(Spots[i].colour_code, Spots[i].x, 0);
    if (i < 4) {
      ASSERT_EQ(w.B(29, {i + 1}), std::uint32_t(i + 1));  // anchor i + 1
    }
  }
}

// Which squares a picture shows, as a string of the squares' numbers ("0124").
std::string shown(const QImage& picture) {
  std::string s;
  for (int i = 0; i < 5; ++i) {
    const QRgb p = picture.pixel(Spots[i].x + 5, 5);
    if (p == Spots[i].colour) s += char('0' + i);
    else if (p != White) s += '?';  // neither the square nor the background
  }
  return s;
}

}  // namespace

TEST(AnchorView, RepaintsShowThePictureUpToTheSelectedAnchorAndAfterTheLast) {
  struct Repaint {
    const char* name;
    void (*run)(Windows&);
  } repaints[] = {
      {"paint of the invalid window", [](Windows& w) { ASSERT_TRUE(w.Trigger("Re&draw")); }},
      {"everything stale", [](Windows& w) { w.view().ReplayAll(); }},
      {"Replay command", [](Windows& w) { ASSERT_TRUE(w.Trigger("Re&play")); }},
  };
  for (bool buffering : {true, false}) {
    for (const Repaint& r : repaints) {
      SCOPED_TRACE(std::string(r.name) + (buffering ? ", buffered" : ", unbuffered"));
      Windows w;
      if (!buffering) w.view().OnUpdate(11, nullptr, nullptr);
      ASSERT_EQ(w.view().BackBuffer() != nullptr, buffering);
      draw_anchored_picture(w);
      EXPECT_EQ(shown(w.view().Surface()), "01234");
      EXPECT_EQ(w.B(34, {2}), 2u);  // back to anchor 2: the squares 2 and 3 leave the picture
      EXPECT_EQ(w.doc().LastHint(), 260);
      // Whatever the screen lost comes back as the picture at the anchor.
      for (const Square_Spot& s : Spots) w.WindowImage().setPixel(s.x + 5, 5, Cyan);
      r.run(w);
      EXPECT_EQ(shown(w.view().Surface()), "014");
      ASSERT_NE(w.view().AnchorSnapshot(), nullptr);
      EXPECT_EQ(shown(w.Snapshot()), "01");  // up to anchor 2 only
      if (buffering) {
        EXPECT_EQ(shown(w.Buffer()), "014");
      }
      // A surface other than the window's (a page, a copy) is drawn from the list alone.
      QImage page(100, 80, QImage::Format_RGB32);
      page.fill(Cyan);
      KRdc page_dc(&page);
      w.view().Redraw(page_dc, nullptr);
      EXPECT_EQ(shown(page), "014");
      // Forward to anchor 3: square 2 comes back although the hint asks for no repaint.
      EXPECT_EQ(w.B(34, {3}), 3u);
      EXPECT_EQ(w.doc().LastHint(), 4);
      EXPECT_EQ(shown(w.view().Surface()), "0124");
      EXPECT_EQ(shown(w.Snapshot()), "012");
      // No anchor selected: the snapshot goes and the whole list is shown.
      EXPECT_EQ(w.B(34, {0}), 0u);
      EXPECT_EQ(w.view().AnchorSnapshot(), nullptr);
      EXPECT_EQ(shown(w.view().Surface()), "01234");
      w.view().ReplayAll();
      EXPECT_EQ(shown(w.view().Surface()), "01234");
      // From no anchor to one below the last: no going back by number, yet squares leave.
      EXPECT_EQ(w.B(34, {2}), 2u);
      EXPECT_EQ(w.doc().LastHint(), 4);
      EXPECT_EQ(shown(w.view().Surface()), "014");
    }
  }
}

TEST(AnchorView, TheBackBufferCatchesUpItsStaleAreaFromTheSnapshot) {
  Windows w;
  draw_anchored_picture(w);
  w.B(34, {2});
  w.view().ReplayAll();
  const CMemDIB& buffer = *w.view().BackBuffer();
  const CMemDIB& snapshot = *w.view().AnchorSnapshot();
  ASSERT_EQ(buffer.State(), 0u);
  ASSERT_EQ(snapshot.State(), 0u);
  // The snapshot stands for the picture at the anchor: marks written into it show where the
  // buffer takes its pixels from.
  constexpr QRgb Mark = 0xFF123456;
  CMemDIB& s = Windows::Mutable(&snapshot);
  s.Surface().setPixel(41, 41, Mark);  // inside the stale area of the next square, not under it
  s.Surface().setPixel(5, 70, Mark);   // outside it
  w.Square(Code_Cyan, 42, 42, 6);      // after the last anchor: shown, the buffer marked stale
  EXPECT_EQ(buffer.State(), 2u);
  EXPECT_EQ(w.Pixel(45, 45), Cyan);
  ASSERT_TRUE(w.Trigger("Re&draw"));
  w.Pixel(0, 0);  // the paint
  EXPECT_EQ(buffer.State(), 0u);
  EXPECT_EQ(w.BufferPixel(41, 41), Mark);
  EXPECT_EQ(w.BufferPixel(45, 45), Cyan);
  EXPECT_EQ(w.BufferPixel(5, 70), White);
  EXPECT_EQ(w.Pixel(41, 41), Mark);  // the window copies the buffer
  EXPECT_EQ(shown(w.Buffer()), "014");
}

TEST(AnchorView, ASolidRectangleOfNoColourShowsThePictureAtTheAnchorBeneath) {
  struct Row {
    bool buffering, anchor_selected;
    QRgb inside;  // what the cleared rectangle shows
  } rows[] = {
      {true, true, Red}, {false, true, Red}, {true, false, White}, {false, false, White},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.buffering ? "buffered" : "unbuffered") + (r.anchor_selected ? ", anchor" : ""));
    Windows w;
    if (!r.buffering) w.view().OnUpdate(11, nullptr, nullptr);
    w.Square(Code_Red, 0, 0, 40);
    ASSERT_EQ(w.B(29, {1}), 1u);
    if (!r.anchor_selected) {
      ASSERT_EQ(w.B(34, {0}), 0u);
    }
    w.Square(Code_Green, 0, 0, 40);  // after the anchor, over the red square
    w.A(22, {-1, 0, 10, 10, 20, 20});
    struct Probe {
      int x, y;
      QRgb colour;
    } probes[] = {{10, 10, r.inside}, {19, 19, r.inside}, {9, 15, Green}, {20, 15, Green}, {15, 20, Green}};
    for (int pass = 0; pass < 2; ++pass) {  // as drawn, then repainted
      for (const Probe& p : probes) EXPECT_EQ(w.Pixel(p.x, p.y), p.colour) << pass << ": " << p.x << "," << p.y;
      w.view().ReplayAll();
    }
  }
}

TEST(AnchorView, AnchorHintsKeepOrDropTheSnapshot) {
  Windows w;
  draw_anchored_picture(w);
  w.B(34, {2});
  w.view().ReplayAll();
  ASSERT_NE(w.view().AnchorSnapshot(), nullptr);
  struct Row {
    int hint;
    bool snapshot_after;
    bool buffer_after;
    const char* snapshot_shows;  // "" when the snapshot is gone
  } rows[] = {
      {11 | (-1 << 8), true, true, "01"},  // a negative buffering option: nothing
      {16, true, true, "01"},              // storing on or off: nothing
      {17, true, true, "01"},
      {5, true, true, ""},  // the snapshot filled with the background
      {4, true, true, "01"},  // anchor selected again: the snapshot made anew
      {6, false, true, nullptr},
  };
  for (const Row& r : rows) {
    w.view().OnUpdate(r.hint, nullptr, nullptr);
    EXPECT_EQ(w.view().AnchorSnapshot() != nullptr, r.snapshot_after) << r.hint;
    EXPECT_EQ(w.view().BackBuffer() != nullptr, r.buffer_after) << r.hint;
    w.Pixel(0, 0);  // any paint the hint asked for
    EXPECT_TRUE(w.view().Buffering()) << r.hint;
    if (r.snapshot_shows && w.view().AnchorSnapshot()) {
      EXPECT_EQ(shown(w.Snapshot()), r.snapshot_shows) << r.hint;
    }
  }
}

TEST(AnchorView, ClearingTheWindowForgetsTheAnchors) {
  Windows w;
  draw_anchored_picture(w);
  w.B(34, {2});
  w.view().ReplayAll();
  ASSERT_EQ(w.B(27), 1u);
  EXPECT_EQ(w.doc().AnchorCount(), 0);
  EXPECT_EQ(w.B(34, {-1}), 0u);  // no anchor selected
  w.Square(Code_Blue, 40, 0);
  w.view().ReplayAll();
  EXPECT_EQ(shown(w.view().Surface()), "2");
  EXPECT_EQ(w.view().AnchorSnapshot(), nullptr);
}

TEST(AnchorView, RemovingTheAnchorsShowsTheObjectsTheyLeftOut) {
  // Whatever is removed, the last remaining anchor (or none) is selected: nothing is left out.
  struct Row {
    int removed;  // B 29 with 0 or -k
    std::uint32_t reply;
  } rows[] = {{0, 0u}, {-4, 0u}, {-2, 0u}, {-6, std::uint32_t(-2)}};
  for (const Row& r : rows) {
    for (bool buffering : {true, false}) {
      Windows w;
      if (!buffering) w.view().OnUpdate(11, nullptr, nullptr);
      draw_anchored_picture(w);
      w.B(34, {2});
      ASSERT_EQ(shown(w.view().Surface()), "014");
      EXPECT_EQ(w.B(29, {r.removed}), r.reply) << r.removed;
      EXPECT_EQ(w.B(4), 1u);  // the repaint request
      EXPECT_EQ(shown(w.view().Surface()), "01234") << r.removed << (buffering ? " buffered" : "");
    }
  }
}

TEST(AnchorView, FlushingDrawsTheGroupsBeingCollected) {
  Windows w;
  w.Square(Code_Red, 0, 0);
  ASSERT_EQ(w.B(23, {0, -3}), 1u);  // later objects go into the group of segment 3
  w.Square(Code_Green, 20, 0);
  w.Square(Code_Blue, 40, 0);
  EXPECT_EQ(shown(w.view().Surface()), "0");  // collected, not drawn
  ASSERT_TRUE(w.Trigger("&Flushing"));
  EXPECT_EQ(shown(w.view().Surface()), "012");
  EXPECT_EQ(w.doc().ObjectCount(), 1);  // still only in the group
  w.view().ReplayAll();
  EXPECT_EQ(shown(w.view().Surface()), "0");
}

TEST(AnchorView, ABufferingCommandDuringADrawingWaitsForTheFramesActivation) {
  Windows w;
  w.Open(2);
  w.Activate(0);
  ASSERT_TRUE(w.view().Buffering());
  EXPECT_TRUE(w.child().windowIcon().pixmap(16, 16).toImage() ==
              CKorndChild::BufferingIcon(true).pixmap(16, 16).toImage());
  EXPECT_FALSE(CKorndChild::BufferingIcon(true).pixmap(16, 16).toImage() ==
               CKorndChild::BufferingIcon(false).pixmap(16, 16).toImage());
  // The command comes while a timed pause is being drawn: it only waits.
  bool triggered = false;
  QTimer::singleShot(20, [&] { triggered = w.Trigger("&Buffering"); });
  w.A(3, {80});
  ASSERT_TRUE(triggered);
  EXPECT_TRUE(w.view().Buffering());
  EXPECT_NE(w.view().BackBuffer(), nullptr);
  // Another window becomes the active one: the waiting command is applied.
  w.Activate(1);
  EXPECT_FALSE(w.view().Buffering());
  EXPECT_EQ(w.view().BackBuffer(), nullptr);
  EXPECT_TRUE(w.child().windowIcon().pixmap(16, 16).toImage() ==
              CKorndChild::BufferingIcon(false).pixmap(16, 16).toImage());
  w.Activate(0);  // applied once only
  EXPECT_FALSE(w.view().Buffering());
}

TEST(AnchorView, TheFrameIconShowsWhetherTheWindowIsBuffered) {
  Windows w;
  const QImage buffered = CKorndChild::BufferingIcon(true).pixmap(16, 16).toImage();
  const QImage unbuffered = CKorndChild::BufferingIcon(false).pixmap(16, 16).toImage();
  ASSERT_FALSE(buffered == unbuffered);
  auto icon = [&](int i) { return w.child(i).windowIcon().pixmap(16, 16).toImage(); };
  EXPECT_TRUE(icon(0) == buffered);
  w.main().default_buffering = false;  // a window that starts without a buffer
  w.Open(2);
  EXPECT_EQ(w.view(1).BackBuffer(), nullptr);
  EXPECT_TRUE(icon(1) == unbuffered);
  struct Row {
    int hint;
    bool buffered;
  } rows[] = {{11, false}, {11 | (1 << 8), true}, {11 | (-1 << 8), true}, {11 | (1 << 8), true}, {11, false}};
  for (const Row& r : rows) {
    w.view(1).OnUpdate(r.hint, nullptr, nullptr);
    EXPECT_EQ(w.view(1).Buffering(), r.buffered) << r.hint;
    EXPECT_TRUE(icon(1) == (r.buffered ? buffered : unbuffered)) << r.hint;
  }
}
