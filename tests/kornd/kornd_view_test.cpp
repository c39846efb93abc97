// The view's drawing paths, in process with a real main frame and child frame: storing and
// buffering on and off, the back buffer's stale rectangle caught up at the next paint, clipped
// repaints that carry the pen, the update hints, and the window View menu's commands (Replay
// performs the pauses again and never replays inside itself); the picture preview's size,
// caption and painting.
#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QImage>
#include <QMdiArea>
#include <QMenu>
#include <QTimer>

#include <cstdlib>
#include <memory>
#include <vector>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndChild.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndMain.h"
#include "kornd/CKorndPreviewDlg.h"
#include "kornd/CDib.h"
#include "kornd/CKorndView.h"

namespace {

constexpr QRgb White = 0xFFFFFFFF, Black = 0xFF000000, Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF;

// A 100 x 80 graphics window, black on white, in a main frame whose menus drive it.
class Window {
 public:
  explicit Window(bool buffering = true) : main_(KorndApp()) {
    auto doc = std::make_unique<CKorndDoc>();
    doc_ = doc.get();
    child_ = new CKorndChild(std::move(doc), 5);
    doc_->SetWindowNumber(1);
    KorndApp()->SetWindowDoc(1, doc_);
    doc_->SetBackground(0xFFFFFF);
    doc_->SetPageSize(100, 80, true);
    doc_->SetColors(100, 80, 0, 19);
    main_.MdiArea()->addSubWindow(child_);
    main_.show();
    child_->show();
    main_.MdiArea()->setActiveSubWindow(child_);
    // A client area of the picture's size shows it 1:1.
    for (int i = 0; i < 3 && view().size() != QSize(100, 80); ++i)
      child_->resize(child_->size() + (QSize(100, 80) - view().size()));
    view().Surface();  // the first paint
    if (!buffering) view().OnUpdate(11, nullptr, nullptr);
  }
  CKorndView& view() { return *child_->View(); }
  CKorndDoc& doc() { return *doc_; }
  std::uint32_t A(int code, std::vector<int> a = {}) {
    channel::KRwinblock& b = *doc_->block();
    b.code = code;
    for (std::size_t i = 0; i < 6; ++i) b.a[i] = i < a.size() ? a[i] : 0;
    return doc_->ExecuteCommand('A');
  }
  QRgb Pixel(int x, int y) { return view().Surface().pixel(x, y); }
  QRgb BufferPixel(int x, int y) { return const_cast<CMemDIB*>(view().BackBuffer())->Surface().pixel(x, y); }
  // What a screen area that lost its pixels looks like: written straight into the surface.
  void Spoil(QImage& image, int x, int y, QRgb colour) { image.setPixel(x, y, colour); }
  QImage& WindowImage() { return const_cast<QImage&>(view().Surface()); }
  // An action of a graphics window's menu (the View menu unless named).
  QAction* Command(const QString& text, const QString& menu = "&View") {
    for (QMenu* m : main_.findChildren<QMenu*>())
      if (m->title() == menu)
        for (QAction* a : m->actions())
          if (a->text() == text && m->actions().size() > 6) return a;
    return nullptr;
  }
  void Trigger(const QString& text, const QString& menu = "&View") {
    QAction* a = Command(text, menu);
    ASSERT_NE(a, nullptr) << text.toStdString();
    emit qobject_cast<QMenu*>(a->parent())->aboutToShow();  // as when the menu opens
    ASSERT_TRUE(a->isEnabled()) << text.toStdString();
    a->trigger();
  }

 private:
  CKorndMain main_;
  CKorndChild* child_;
  CKorndDoc* doc_;
};

}  // namespace

TEST(ViewStoring, WithoutBufferARepaintWithoutStoringLeavesTheBackground) {
  Window w(false);
  ASSERT_EQ(w.view().BackBuffer(), nullptr);
  w.A(22, {13, 0, 10, 10, 20, 20});
  w.Trigger("S&toring");
  EXPECT_FALSE(w.doc().Storing());
  w.A(22, {14, 0, 30, 30, 40, 40});
  EXPECT_EQ(w.Pixel(15, 15), Red);
  EXPECT_EQ(w.Pixel(35, 35), Green);  // drawn at once, not kept
  w.Trigger("Re&draw");
  EXPECT_EQ(w.Pixel(15, 15), White);  // nothing is drawn without storing
  EXPECT_EQ(w.Pixel(35, 35), White);
  w.Trigger("S&toring");
  w.Trigger("Re&draw");
  EXPECT_EQ(w.Pixel(15, 15), Red);
  EXPECT_EQ(w.Pixel(35, 35), White);
}

TEST(ViewStoring, WithBufferAnUnstoredObjectGoesIntoTheBufferAtOnce) {
  Window w;
  ASSERT_NE(w.view().BackBuffer(), nullptr);
  w.A(22, {13, 0, 10, 10, 20, 20});
  w.doc().SetStoring(false);
  w.A(22, {14, 0, 30, 30, 40, 40});
  EXPECT_EQ(w.BufferPixel(35, 35), Green);
  w.Trigger("Re&draw");
  EXPECT_EQ(w.Pixel(35, 35), Green);
  EXPECT_EQ(w.Pixel(15, 15), Red);
  EXPECT_EQ(w.doc().ObjectCount(), 1);
}

TEST(ViewBuffer, BufferingOffRepaintsByReplayWithTheSamePicture) {
  Window w;
  w.A(11, {5, 5});
  w.A(20, {90, 70});
  w.A(22, {13, 0, 10, 40, 30, 60});
  w.A(21, {0, 0, 50, 10, 80, 30});
  w.A(20, {5, 75});
  w.Trigger("Re&draw");
  const QImage buffered = w.view().Surface().copy();
  w.Trigger("&Buffering");
  EXPECT_EQ(w.view().BackBuffer(), nullptr);
  w.Spoil(w.WindowImage(), 20, 50, Blue);
  w.Trigger("Re&draw");
  EXPECT_EQ(w.view().Surface(), buffered);
  w.Trigger("&Buffering");
  EXPECT_NE(w.view().BackBuffer(), nullptr);
  w.Spoil(w.WindowImage(), 20, 50, Blue);
  w.Trigger("Re&draw");
  EXPECT_EQ(w.view().Surface(), buffered);
}

TEST(ViewBuffer, StaleRectangleIsCaughtUpAtTheNextPaint) {
  Window w;
  ASSERT_EQ(w.view().BackBuffer()->State(), 0u);
  w.A(22, {13, 0, 10, 10, 20, 20});
  const CMemDIB& b = *w.view().BackBuffer();
  EXPECT_EQ(b.State(), 2u);
  const KRrect d = b.Dirty();
  EXPECT_TRUE(d.left <= 10 && d.top <= 10 && d.right >= 20 && d.bottom >= 20 && d.right < 30 && d.bottom < 30)
      << d.left << " " << d.top << " " << d.right << " " << d.bottom;
  EXPECT_EQ(w.BufferPixel(15, 15), White);  // not yet in the buffer
  EXPECT_EQ(w.Pixel(15, 15), Red);          // but on the screen at once
  // Only the stale area is replayed: a pixel outside it stays as the buffer holds it.
  w.Spoil(const_cast<CMemDIB&>(b).Surface(), 60, 60, Blue);
  w.Trigger("Re&draw");
  w.Pixel(0, 0);  // the paint
  EXPECT_EQ(b.State(), 0u);
  EXPECT_EQ(w.BufferPixel(15, 15), Red);
  EXPECT_EQ(w.BufferPixel(60, 60), Blue);
  EXPECT_EQ(w.Pixel(60, 60), Blue);  // the repaint copies the buffer
}

TEST(ViewReplay, AClippedRepaintCarriesThePenOfObjectsOutsideIt) {
  Window w(false);
  w.A(11, {10, 10});
  w.A(20, {90, 10});  // outside the repainted area
  w.A(20, {90, 70});  // crosses it: must start at (90, 10)
  QImage& s = w.WindowImage();
  for (int y = 30; y < 50; ++y)
    for (int x = 80; x < 100; ++x) s.setPixel(x, y, White);
  const KRrect area{85, 35, 95, 45};
  w.view().InvalidateWindow(&area, true);
  EXPECT_EQ(w.Pixel(90, 40), Black);
  EXPECT_EQ(w.Pixel(89, 40), White);
  EXPECT_EQ(w.Pixel(91, 40), White);
  EXPECT_EQ(w.Pixel(85, 32), White);  // outside the area nothing was drawn again
}

TEST(ViewHints, EachCodeHasItsEffect) {
  Window w;
  w.A(22, {13, 0, 10, 10, 20, 20});
  w.Trigger("Re&draw");
  w.Pixel(0, 0);
  struct Row {
    int hint;
    bool buffer_after;
    unsigned state_bits;  // bits the buffer holds after the hint (when it exists)
  } rows[] = {
      {11 | (-1 << 8), true, 0},  // negative parameter: nothing
      {11, false, 0},             // buffering off
      {11 | (1 << 8), true, 0},   // buffering on: made and brought up to date
      {2, true, 0x8},             // background: everything stale
      {18, true, 0x8},
      {10, true, 0x8},
      {16, true, 0},  // storing on or off: nothing
      {17, true, 0},
  };
  for (const Row& r : rows) {
    w.Trigger("Re&draw");
    w.Pixel(0, 0);
    w.view().OnUpdate(r.hint, nullptr, nullptr);
    EXPECT_EQ(w.view().BackBuffer() != nullptr, r.buffer_after) << r.hint;
    if (w.view().BackBuffer()) {
      EXPECT_EQ(w.view().BackBuffer()->State(), r.state_bits) << r.hint;
    }
    EXPECT_TRUE(w.doc().Storing()) << r.hint;
  }
  // 8: the whole window is painted again (a spoiled pixel comes back from the buffer).
  w.Spoil(w.WindowImage(), 15, 15, Blue);
  EXPECT_EQ(w.Pixel(15, 15), Blue);
  w.view().OnUpdate(8, nullptr, nullptr);
  EXPECT_EQ(w.Pixel(15, 15), Red);
  // 12 sets the modes 1-4 (others nothing), 19 zooms to the viewport rectangle.
  struct Mode_Row {
    int hint, mode;
  } modes[] = {{12 | (3 << 8), 3}, {12 | (9 << 8), 3}, {12 | (4 << 8), 4}, {19, 5}, {12 | (1 << 8), 1}};
  for (const Mode_Row& m : modes) {
    w.view().OnUpdate(m.hint, nullptr, nullptr);
    EXPECT_EQ(w.view().view_mode.mode, m.mode) << m.hint;
  }
  // 13: the cursor.
  struct Cursor_Row {
    int id;
    Qt::CursorShape shape;
  } cursors[] = {{32515, Qt::CrossCursor}, {0, Qt::ArrowCursor}, {32513, Qt::IBeamCursor}, {32512, Qt::ArrowCursor}};
  for (const Cursor_Row& c : cursors) {
    w.view().OnUpdate(13 | (c.id << 8), nullptr, nullptr);
    EXPECT_EQ(w.view().cursor().shape(), c.shape) << c.id;
  }
}

TEST(ViewReplay, ReplayPerformsPausesAndAPaintDuringItDoesNotReplay) {
  Window w;
  w.A(3, {80});  // a pause of 80 ms (waited now, once)
  w.A(22, {13, 0, 10, 10, 20, 20});
  w.Trigger("Re&draw");
  ASSERT_EQ(w.Pixel(15, 15), Red);
  // A repaint passes over the pause.
  QElapsedTimer t;
  t.start();
  w.view().ReplayAll();
  EXPECT_LT(t.elapsed(), 60);
  // The Replay command performs it. A paint while it waits is no replay of its own (which
  // would draw the red square that the paused replay has not reached yet) but waits for the
  // end of the running one.
  bool in_replay = false;
  QRgb during = 0;
  QTimer::singleShot(20, [&] {
    in_replay = w.view().InReplay();
    w.Trigger("Re&draw");
    during = w.Pixel(15, 15);
  });
  t.restart();
  w.Trigger("Re&play");
  EXPECT_GE(t.elapsed(), 75);
  EXPECT_TRUE(in_replay);
  EXPECT_EQ(during, White);
  EXPECT_EQ(w.Pixel(15, 15), Red);
}

TEST(ViewMenu, CommandsAndTheirStatesFollowTheWindow) {
  Window w;
  QAction* replay = w.Command("Re&play");
  ASSERT_NE(replay, nullptr);
  QAction* storing = w.Command("S&toring");
  QAction* buffering = w.Command("&Buffering");
  QAction* inquiring = w.Command("&Inquiring");
  ASSERT_TRUE(storing && buffering && inquiring);
  auto* menu = qobject_cast<QMenu*>(replay->parent());
  ASSERT_NE(menu, nullptr);
  emit menu->aboutToShow();
  EXPECT_FALSE(replay->isEnabled());  // no objects yet
  EXPECT_FALSE(w.Command("Re&draw")->isEnabled());
  EXPECT_FALSE(w.Command("&Clear All")->isEnabled());
  EXPECT_TRUE(storing->isChecked());
  EXPECT_TRUE(buffering->isChecked());
  EXPECT_FALSE(inquiring->isChecked());
  w.A(22, {13, 0, 10, 10, 20, 20});
  w.Trigger("&Inquiring");
  w.Trigger("&Buffering");
  w.Trigger("S&toring");
  emit menu->aboutToShow();
  EXPECT_TRUE(replay->isEnabled());
  EXPECT_TRUE(w.view().Inquiring());
  EXPECT_TRUE(inquiring->isChecked());
  EXPECT_EQ(w.view().BackBuffer(), nullptr);
  EXPECT_FALSE(buffering->isChecked());
  EXPECT_FALSE(w.doc().Storing());
  EXPECT_FALSE(storing->isChecked());
}

namespace {

TEST(Preview, SizeOfTheShownBitmap) {
  struct Row {
    int width, height, screen_width, screen_height;
    double zoom;
    int shown_width, shown_height;
  } rows[] = {
      {64, 32, 800, 600, 159.0 / 32, 318, 159},       // the larger of 191/64 and 159/32
      {128, 128, 800, 600, 1.0, 128, 128},            // not small: as it is
      {127, 200, 800, 600, 2.0, 254, 400},            // narrower than 128: 254/127 beats 327/200
      {200, 100, 800, 600, 2.27, 454, 227},
      {799, 599, 800, 600, 1.0, 799, 599},            // below the screen on both sides
      {800, 500, 800, 600, 0.8, 640, 400},            // as wide as the screen: 0.8 of it
      {1000, 2000, 800, 600, 0.24, 240, 480},         // the smaller factor
      {64, 4000, 1000, 1000, 2.984375 * 800 / 11937, 12, 800},  // enlarged, then reduced: the zoom is both
      {64, 32, 0, 0, 159.0 / 32, 318, 159},           // no screen known: no reduction
  };
  for (const Row& r : rows) {
    const CKorndPreviewDlg::Sizing s = CKorndPreviewDlg::SizeFor(r.width, r.height, r.screen_width, r.screen_height);
    EXPECT_NEAR(s.zoom, r.zoom, 1e-9) << r.width << " x " << r.height;
    EXPECT_NEAR(s.width, r.shown_width, r.width == 64 && r.height == 4000 ? 1 : 0) << r.width << " x " << r.height;
    EXPECT_NEAR(s.height, r.shown_height, r.width == 64 && r.height == 4000 ? 1 : 0) << r.width << " x " << r.height;
  }
}

TEST(Preview, CaptionIsTheTitleOrTheSizeAndZoom) {
  struct Row {
    const char* title;
    int width, height;
    double zoom;
    const char* caption;
  } rows[] = {
      {"", 64, 32, 159.0 / 32, " 64 x 32 (5.0x)"}, {"BMP# 0", 64, 32, 159.0 / 32, "BMP# 0"},
      {"", 200, 200, 1.0, " 200 x 200"},           {"", 200, 200, 1.04, " 200 x 200"},
      {"", 200, 200, 1.06, " 200 x 200 (1.1x)"},   {"", 1000, 2000, 0.24, " 1000 x 2000 (0.2x)"},
      {"", 100, 100, 0.049, ""},                   {"BMP# 0", 100, 100, 0.04, ""},  // zoom rounds to 0
  };
  for (const Row& r : rows)
    EXPECT_EQ(CKorndPreviewDlg::Caption(r.title, r.width, r.height, r.zoom).toStdString(), r.caption) << r.zoom;
}

TEST(Preview, DialogShowsTheWholeBitmapInItsClientArea) {
  // left half red, right half blue (colour values 0x00bbggrr)
  std::vector<std::uint32_t> values(64 * 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x) values[std::size_t(y * 64 + x)] = x < 32 ? 0x0000FF : 0xFF0000;
  CDib dib;
  ASSERT_TRUE(dib.FromValues(values.data(), 64, 32, 24));
  const int before = CKorndPreviewDlg::OpenCount();
  {
    CKorndPreviewDlg dialog("", &dib, nullptr);
    EXPECT_EQ(CKorndPreviewDlg::OpenCount(), before + 1);
    EXPECT_TRUE(dialog.Showable());
    EXPECT_EQ(dialog.size(), QSize(318, 159));
    EXPECT_EQ(dialog.windowTitle(), QString(" 64 x 32 (5.0x)"));
    const QImage shown = dialog.grab().toImage();
    EXPECT_EQ(shown.pixel(0, 0), Red);
    EXPECT_EQ(shown.pixel(157, 158), Red);
    EXPECT_EQ(shown.pixel(160, 0), Blue);
    EXPECT_EQ(shown.pixel(317, 158), Blue);
  }
  EXPECT_EQ(CKorndPreviewDlg::OpenCount(), before);
  CDib empty;
  CKorndPreviewDlg nothing("BMP# 0", &empty, nullptr);
  EXPECT_FALSE(nothing.Showable());
  CKorndPreviewDlg plain("", nullptr, nullptr);
  EXPECT_TRUE(plain.Showable()) << "without a bitmap the plain dialog is shown";
}

}  // namespace

TEST(ViewWindows, ASecondWindowShowsTheDocumentAndClosingOneKeepsIt) {
  Window w;
  w.A(22, {13, 0, 10, 10, 20, 20});
  w.Trigger("&New Window", "&Window");
  ASSERT_EQ(w.doc().Views().size(), 2u);
  CKorndView& second = *w.doc().View();  // the new window is the active one
  ASSERT_NE(&second, &w.view());
  ASSERT_NE(second.Frame(), w.view().Frame());
  EXPECT_TRUE(second.Frame()->windowTitle().endsWith(":2"));
  QCoreApplication::processEvents();
  auto shown = [](CKorndView& v, int x, int y) {
    const KRpoint p = v.view_mode.ToClient({x, y});
    return v.Surface().pixel(p.x, p.y);
  };
  EXPECT_EQ(shown(second, 15, 15), Red);
  // A new object reaches both windows.
  w.A(22, {14, 0, 30, 30, 40, 40});
  EXPECT_EQ(w.Pixel(35, 35), Green);
  EXPECT_EQ(shown(second, 35, 35), Green);
  // Closing one window leaves the document open in the other.
  second.Frame()->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(w.doc().Views().size(), 1u);
  EXPECT_EQ(w.doc().View(), &w.view());
  EXPECT_FALSE(w.doc().released());
  w.A(22, {13, 0, 50, 50, 60, 60});
  EXPECT_EQ(w.Pixel(55, 55), Red);
}
