// The view modes on the screen, in process with a real main frame and child frame: what the
// window's surface shows in each mode, the zoom-in selection with its rubber band and Back, the
// scroll bars and the mouse wheel of the bitmap mode, the buffers' marks on a mode change,
// resizing, the server's resolution, the Mode menu's states and Fit Frame.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <memory>
#include <vector>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndChild.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndMain.h"
#include "kornd/CKorndView.h"

namespace {

constexpr QRgb White = 0xFFFFFFFF, Red = 0xFFFF0000, Blue = 0xFF0000FF;

// A graphics window of a picture size in a main frame, its view given a client size.
class Window {
 public:
  Window(int pw, int ph, int cw, int ch) : main_(KorndApp()) {
    auto doc = std::make_unique<CKorndDoc>();
    doc_ = doc.get();
    child_ = new CKorndChild(std::move(doc), 5);
    doc_->SetWindowNumber(1);
    KorndApp()->SetWindowDoc(1, doc_);
    doc_->SetBackground(0xFFFFFF);
    doc_->SetPageSize(pw, ph, true);
    doc_->SetColors(pw, ph, 0, 19);
    KorndApp()->main_frame = &main_;  // the frame whose panes and size the view changes
    main_.resize(1000, 800);
    main_.MdiArea()->addSubWindow(child_);
    main_.show();
    child_->show();
    main_.MdiArea()->setActiveSubWindow(child_);
    Client(cw, ch);
    view().Surface();  // the first paint
  }
  ~Window() {
    KorndApp()->SetWindowDoc(1, nullptr);
    KorndApp()->main_frame = nullptr;
  }
  // Resizes the child frame until the view's client area has the size.
  void Client(int cw, int ch) {
    for (int i = 0; i < 3 && view().size() != QSize(cw, ch); ++i)
      child_->resize(child_->size() + (QSize(cw, ch) - view().size()));
    ASSERT_EQ(view().size(), QSize(cw, ch));
  }
  CKorndView& view() { return *child_->View(); }
  CKorndDoc& doc() { return *doc_; }
  CKorndMain& main() { return main_; }
  CKorndChild& child() { return *child_; }
  std::uint32_t A(int code, std::vector<int> a = {}) {
    channel::KRwinblock& b = *doc_->block();
    b.code = code;
    for (std::size_t i = 0; i < 6; ++i) b.a[i] = i < a.size() ? a[i] : 0;
    return doc_->ExecuteCommand('A');
  }
  QRgb Pixel(int x, int y) { return view().Surface().pixel(x, y); }
  bool Command(const QString& text) { return main_.TriggerCommand(child_, text); }
  QAction* Action(const QString& text) {
    for (QMenu* m : main_.findChildren<QMenu*>())
      for (QAction* a : m->actions())
        if (a->text() == text && (m->title() == "&Mode" || m->title() == "&Window")) return a;
    return nullptr;
  }
  void Mouse(QEvent::Type type, Qt::MouseButton button, int x, int y) {
    const QPointF p(x, y);
    QMouseEvent e(type, p, p, view().mapToGlobal(p), button,
                  type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&view(), &e);
  }
  // A left-button drag of the zoom-in selection from (x1, y1) to (x2, y2).
  void Drag(int x1, int y1, int x2, int y2) {
    Mouse(QEvent::MouseButtonPress, Qt::LeftButton, x1, y1);
    Mouse(QEvent::MouseMove, Qt::NoButton, (x1 + x2) / 2, (y1 + y2) / 2);
    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, x2, y2);
  }

 private:
  CKorndMain main_;
  CKorndChild* child_;
  CKorndDoc* doc_;
};

struct Pixel_Row {
  int x, y;  // on the window's surface
  QRgb colour;
};

void ExpectPixels(Window& w, const std::vector<Pixel_Row>& rows, const char* what) {
  for (const Pixel_Row& r : rows) EXPECT_EQ(w.Pixel(r.x, r.y), r.colour) << what << " at " << r.x << ", " << r.y;
}

// The server's resolution for the lifetime of the guard.
class Resolution {
 public:
  explicit Resolution(int dpi) : saved_x_(KorndApp()->page_metrics.resolution_x), saved_y_(KorndApp()->page_metrics.resolution_y) {
    KorndApp()->page_metrics.resolution_x = KorndApp()->page_metrics.resolution_y = dpi;
  }
  ~Resolution() {
    KorndApp()->page_metrics.resolution_x = saved_x_;
    KorndApp()->page_metrics.resolution_y = saved_y_;
  }

 private:
  int saved_x_, saved_y_;
};

}  // namespace

TEST(ModesOnScreen, TotalShowsTheWholePictureStretchedOntoTheClient) {
  Window w(600, 400, 300, 200);
  w.A(22, {13, 0, 100, 100, 300, 300});  // red, picture units
  w.A(22, {16, 0, 560, 360, 600, 400});  // blue in the picture's far corner
  ASSERT_TRUE(w.Command("&Total"));
  EXPECT_EQ(w.view().view_mode.mode, 4);
  EXPECT_EQ(w.view().Surface().size(), QSize(300, 200));
  EXPECT_EQ(w.view().view_mode.view_rect, (KRrect{0, 0, 600, 400}));
  ExpectPixels(w, {{47, 100, White}, {53, 100, Red}, {147, 100, Red}, {153, 100, White}, {100, 47, White},
                   {100, 147, Red}, {100, 153, White}, {290, 190, Blue}, {298, 198, Blue}},
               "halved");
  // A resized client: the surface follows it and the picture is drawn anew at the new scale.
  w.Client(150, 100);
  EXPECT_EQ(w.view().Surface().size(), QSize(150, 100));
  ExpectPixels(w, {{22, 50, White}, {27, 50, Red}, {73, 50, Red}, {78, 50, White}, {148, 98, Blue}}, "quartered");
}

TEST(ModesOnScreen, IsotropicKeepsTheAspectAndFitShowsTheDrawingBounds) {
  Window w(600, 400, 300, 300);
  w.A(22, {13, 0, 100, 100, 200, 200});
  EXPECT_EQ(w.view().view_mode.mode, 2);
  // The picture's union is covered with the client's square shape: two units a pixel both ways.
  EXPECT_EQ(w.view().view_mode.view_rect, (KRrect{0, 0, 600, 600}));
  ExpectPixels(w, {{75, 47, White}, {75, 53, Red}, {75, 97, Red}, {75, 103, White}, {47, 75, White},
                   {53, 75, Red}, {97, 75, Red}, {103, 75, White}, {150, 250, White}},
               "a square stays square");
  ASSERT_TRUE(w.Command("&Fit"));
  const KRrect bounds = w.doc().Bounds();
  ASSERT_FALSE(bounds.IsEmpty());
  EXPECT_EQ(w.view().view_mode.view_rect, bounds);
  // The bounds reach 8 units beyond the square on every side: the square fills the client
  // but for a margin of 8 / 116 of it.
  ASSERT_EQ(bounds.right - bounds.left, 116);
  ExpectPixels(w, {{10, 150, White}, {30, 150, Red}, {150, 150, Red}, {270, 150, Red}, {290, 150, White},
                   {150, 10, White}, {150, 290, White}},
               "drawing bounds");
}

TEST(ModesOnScreen, FitLeavesOutObjectsWithoutBounds) {
  // A move to the picture's corner after the square: the Fit mode shows the square's bounds
  // (92, 92)-(208, 208) on a 232 x 232 client, two pixels a unit, the square 16 pixels in.
  Window w(600, 400, 232, 232);
  w.A(22, {13, 0, 100, 100, 200, 200});
  w.A(11, {0, 0});
  ASSERT_TRUE(w.Command("&Fit"));
  EXPECT_EQ(w.view().view_mode.view_rect, (KRrect{92, 92, 208, 208}));
  ExpectPixels(w, {{13, 116, White}, {18, 116, Red}, {213, 116, Red}, {218, 116, White},
                   {116, 13, White}, {116, 18, Red}, {116, 213, Red}, {116, 218, White}},
               "the square, not shifted");
}

TEST(ModesOnScreen, ZoomRectanglesStretchAndBackReturnsThroughThem) {
  Window w(600, 400, 300, 200);
  w.A(22, {13, 0, 100, 100, 300, 300});
  ASSERT_TRUE(w.Command("&Total"));
  EXPECT_FALSE(w.Command("B&ack"));  // nothing to go back to: disabled
  // Back with an empty stack changes nothing.
  const KRrect total = w.view().view_mode.view_rect;
  w.view().OnBack();
  EXPECT_EQ(w.view().view_mode.mode, 4);
  EXPECT_EQ(w.view().view_mode.view_rect, total);
  // First zoom: client (50, 50)-(150, 100) is the picture's (100, 100)-(300, 200).
  ASSERT_TRUE(w.Command("&Zoom in"));
  EXPECT_EQ(w.main().PaneText(0), QString("ZoomIn"));
  EXPECT_EQ(w.view().cursor().shape(), Qt::CrossCursor);
  w.Drag(50, 50, 150, 100);
  EXPECT_FALSE(w.view().ZoomArmed());
  EXPECT_EQ(w.main().PaneText(0), QString());
  EXPECT_EQ(w.view().view_mode.mode, 5);
  const KRrect first{100, 100, 300, 200};
  EXPECT_EQ(w.view().view_mode.view_rect, first);
  ExpectPixels(w, {{3, 3, Red}, {296, 196, Red}}, "zoomed into the red square");
  // Second zoom, from the first one's picture: 1.5 pixels a unit across, 2 down.
  ASSERT_TRUE(w.Command("&Zoom in"));
  w.Drag(150, 100, 0, 0);  // corners in any order
  EXPECT_EQ(w.view().view_mode.view_rect, (KRrect{100, 100, 200, 150}));
  EXPECT_EQ(w.view().view_mode.stack.size(), 2u);
  struct Back_Row {
    int mode;
    KRrect shown;
    bool back_enabled;
  } backs[] = {{5, first, true}, {4, total, false}};
  for (const Back_Row& b : backs) {
    ASSERT_TRUE(w.Command("B&ack"));
    EXPECT_EQ(w.view().view_mode.mode, b.mode);
    EXPECT_EQ(w.view().view_mode.view_rect, b.shown);
    emit qobject_cast<QMenu*>(w.Action("B&ack")->parent())->aboutToShow();
    EXPECT_EQ(w.Action("B&ack")->isEnabled(), b.back_enabled);
  }
  EXPECT_EQ(w.doc().ViewMode(), 4);
  ExpectPixels(w, {{47, 100, White}, {53, 100, Red}}, "the whole picture again");
}

TEST(ModesOnScreen, SmallOrCancelledRubberBandsDoNotZoom) {
  Window w(600, 400, 300, 200);
  ASSERT_TRUE(w.Command("&Total"));
  struct Row {
    const char* what;
    int x1, y1, x2, y2;
  } rows[] = {{"the same point", 50, 50, 50, 50}, {"one pixel apart", 50, 50, 51, 51}, {"two down", 80, 80, 80, 82}};
  for (const Row& r : rows) {
    ASSERT_TRUE(w.Command("&Zoom in"));
    w.Drag(r.x1, r.y1, r.x2, r.y2);
    EXPECT_EQ(w.view().view_mode.mode, 4) << r.what;
    EXPECT_FALSE(w.view().ZoomArmed()) << r.what;
    EXPECT_NE(w.view().cursor().shape(), Qt::CrossCursor) << r.what;
  }
  // Three pixels apart is a zoom.
  ASSERT_TRUE(w.Command("&Zoom in"));
  w.Drag(50, 50, 53, 50);
  EXPECT_EQ(w.view().view_mode.mode, 5);
  // A right press disarms the selection.
  ASSERT_TRUE(w.Command("&Zoom in"));
  w.Mouse(QEvent::MouseButtonPress, Qt::RightButton, 10, 10);
  EXPECT_FALSE(w.view().ZoomArmed());
  EXPECT_EQ(w.main().PaneText(0), QString());
  w.Drag(10, 10, 200, 150);  // no longer armed: no zoom
  EXPECT_EQ(w.view().view_mode.stack.size(), 1u);
  // A zoom rectangle of no size grows to 2 x 2 units.
  const KRrect dot{40, 30, 40, 30};
  w.view().SetViewMode(5, &dot);
  EXPECT_EQ(w.view().view_mode.view_rect, (KRrect{39, 29, 41, 31}));
  EXPECT_EQ(w.view().view_mode.window_mapping.window_ext, (KRpoint{2, 2}));
}

TEST(ModesOnScreen, BitmapModeScrollsThePictureOneToOne) {
  Window w(600, 400, 300, 200);
  w.A(22, {13, 0, 100, 100, 300, 300});
  ASSERT_TRUE(w.Command("&Bitmap"));
  QScrollBar* h = w.child().HorizontalBar();
  QScrollBar* v = w.child().VerticalBar();
  EXPECT_TRUE(h->isVisible());
  EXPECT_TRUE(v->isVisible());
  EXPECT_EQ(w.view().Surface().size(), QSize(600, 400));  // the whole picture
  EXPECT_EQ(h->maximum(), 600 - w.view().width());
  EXPECT_EQ(v->maximum(), 400 - w.view().height());
  ExpectPixels(w, {{99, 150, White}, {100, 150, Red}, {299, 150, Red}, {300, 150, White}}, "one to one");
  // The bars move the shown part; the picture points under the client follow.
  h->setValue(90);
  v->setValue(40);
  EXPECT_EQ(w.view().view_mode.scroll, (KRpoint{90, 40}));
  EXPECT_EQ(w.view().ToLogical({10, 60}), (KRpoint{100, 100}));
  EXPECT_EQ(w.view().view_mode.view_rect, (KRrect{90, 40, 90 + w.view().width(), 40 + w.view().height()}));
  const QImage shown = w.view().grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown.pixel(9, 60), White);
  EXPECT_EQ(shown.pixel(10, 60), Red);
  // The wheel scrolls down by three lines a notch, and never past the picture.
  const QPointF at(20, 20);
  QWheelEvent down(at, w.view().mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
  QApplication::sendEvent(&w.view(), &down);
  EXPECT_EQ(w.view().view_mode.scroll.y, 40 + 3 * v->singleStep());
  for (int i = 0; i < 50; ++i) QApplication::sendEvent(&w.view(), &down);
  EXPECT_EQ(w.view().view_mode.scroll.y, 400 - w.view().height());
  // Another mode: no bars, the surface back at the client size.
  ASSERT_TRUE(w.Command("&Total"));
  EXPECT_FALSE(h->isVisible());
  EXPECT_FALSE(v->isVisible());
  EXPECT_EQ(w.view().Surface().size(), w.view().size());
}

TEST(ModesOnScreen, BitmapModeOfANarrowPictureDoesNotScrollAcross) {
  Window w(200, 400, 300, 200);
  ASSERT_TRUE(w.Command("&Bitmap"));
  EXPECT_FALSE(w.child().HorizontalBar()->isVisible());
  EXPECT_TRUE(w.child().VerticalBar()->isVisible());
  w.view().view_mode.scroll = {50, 30};
  w.view().ClampScroll(false);
  EXPECT_EQ(w.view().view_mode.scroll, (KRpoint{0, 30}));
  EXPECT_EQ(w.main().PaneText(2), QString::asprintf("(0, 30) - (%d, %d)", w.view().width(), 30 + w.view().height()));
}

TEST(ModesOnScreen, ModeChangesMarkTheBuffersForSizeOrWholeRepaint) {
  Window w(600, 400, 300, 200);
  w.A(22, {13, 0, 100, 100, 300, 300});
  struct Row {
    const char* command;
    bool size;  // 0x4: the size may change (to or from the bitmap mode), else 0x8 only
  } rows[] = {{"&Total", false}, {"&Bitmap", true}, {"&Fit", true}, {"&Isotropic", false}, {"&Isotropic", false},
              {"&Bitmap", true}, {"&Bitmap", false}, {"&Total", true}};
  for (const Row& r : rows) {
    w.view().ReplayAll();  // the back buffer up to date
    ASSERT_NE(w.view().BackBuffer(), nullptr);
    ASSERT_EQ(w.view().BackBuffer()->State(), 0u) << r.command;
    ASSERT_TRUE(w.Command(r.command));
    const unsigned state = w.view().BackBuffer()->State();
    EXPECT_EQ((state & 0x4) != 0, r.size) << r.command;
    EXPECT_NE(state & 0x8, 0u) << r.command;
  }
  // The buffer follows the device extent.
  w.Pixel(0, 0);
  EXPECT_EQ(w.view().BackBuffer()->Width(), w.view().Surface().width());
  EXPECT_EQ(w.view().BackBuffer()->Height(), w.view().Surface().height());
}

TEST(ModesOnScreen, AViewKeepsItsPixelSizeWhenTheResolutionChanges) {
  Window w(600, 400, 300, 200);
  w.A(22, {13, 0, 0, 0, 600, 400});  // the whole picture red
  ASSERT_TRUE(w.Command("&Total"));
  EXPECT_EQ(w.view().view_mode.window_mapping.viewport_ext, (KRpoint{300, 200}));
  ExpectPixels(w, {{290, 190, Red}}, "at the view's own resolution");
  {
    Resolution dpi(600);
    w.view().OnUpdate(10, nullptr, nullptr);
    EXPECT_EQ(w.view().view_mode.window_mapping.viewport_ext, (KRpoint{150, 100}));
    ExpectPixels(w, {{140, 90, Red}, {160, 50, White}, {50, 110, White}, {290, 190, White}}, "at twice the resolution");
  }
  w.view().OnUpdate(10, nullptr, nullptr);
  EXPECT_EQ(w.view().view_mode.window_mapping.viewport_ext, (KRpoint{300, 200}));
}

TEST(ModesOnScreen, ModeMenuChecksTheModeAndEnablesWhatApplies) {
  Window w(600, 400, 300, 200);
  struct Row {
    const char* command;
    int mode;
  } rows[] = {{"&Bitmap", 1}, {"&Isotropic", 2}, {"&Fit", 3}, {"&Total", 4}};
  const char* texts[] = {"&Bitmap", "&Isotropic", "&Fit", "&Total", "&Zoom in"};
  for (const Row& r : rows) {
    ASSERT_TRUE(w.Command(r.command));
    EXPECT_EQ(w.view().view_mode.mode, r.mode);
    w.main().UpdateViewMenu();  // as when the menu opens
    for (int i = 0; i < 5; ++i) EXPECT_EQ(w.Action(texts[i])->isChecked(), i + 1 == r.mode) << r.command << texts[i];
  }
  ASSERT_TRUE(w.Command("&Zoom in"));
  w.Drag(10, 10, 100, 100);
  w.main().UpdateViewMenu();
  EXPECT_TRUE(w.Action("&Zoom in")->isChecked());
  EXPECT_TRUE(w.Action("B&ack")->isEnabled());
  EXPECT_EQ(w.Action("&Fit")->statusTip(), QString("Zoom window in fitting mode"));
  // Without objects and without a back buffer there is nothing to fit.
  w.view().OnUpdate(11, nullptr, nullptr);  // buffering off
  ASSERT_EQ(w.view().BackBuffer(), nullptr);
  w.main().UpdateViewMenu();
  EXPECT_FALSE(w.Action("&Isotropic")->isEnabled());
  EXPECT_FALSE(w.Action("&Fit")->isEnabled());
  EXPECT_TRUE(w.Action("&Total")->isEnabled());
  w.A(22, {13, 0, 10, 10, 20, 20});
  w.main().UpdateViewMenu();
  EXPECT_TRUE(w.Action("&Isotropic")->isEnabled());
  EXPECT_TRUE(w.Action("&Fit")->isEnabled());
}

TEST(ModesOnScreen, FitFrameShrinksABitmapViewToThePicture) {
  struct Row {
    const char* mode;
    int pw, ph;
    QSize client;  // after Fit Frame
  } rows[] = {{"&Bitmap", 200, 100, {200, 100}}, {"&Bitmap", 250, 500, {250, 200}}, {"&Total", 200, 100, {300, 200}}};
  for (const Row& r : rows) {
    Window w(r.pw, r.ph, 300, 200);
    ASSERT_TRUE(w.Command(r.mode));
    ASSERT_TRUE(w.Command("&Fit Frame"));
    EXPECT_EQ(w.view().size(), r.client) << r.mode << " " << r.pw << " x " << r.ph;
  }
}

TEST(ModesOnScreen, MousePositionsArePicturePoints) {
  Window w(600, 400, 300, 200);
  ASSERT_TRUE(w.Command("&Total"));
  struct Row {
    int x, y;
    KRpoint logical;
  } rows[] = {{0, 0, {0, 0}}, {10, 20, {20, 40}}, {150, 100, {300, 200}}, {299, 199, {598, 398}}};
  for (const Row& r : rows) {
    w.Mouse(QEvent::MouseMove, Qt::NoButton, r.x, r.y);
    EXPECT_EQ(w.view().input.mouse, r.logical) << r.x << ", " << r.y;
    EXPECT_EQ(w.view().ToClient(r.logical), (KRpoint{r.x, r.y}));
  }
  EXPECT_TRUE(w.main().PaneText(1).endsWith("u=598, v=398")) << w.main().PaneText(1).toStdString();
  w.Mouse(QEvent::MouseButtonPress, Qt::LeftButton, 50, 60);
  EXPECT_EQ(w.view().input.last_click, (KRpoint{100, 120}));
}

TEST(ModesOnScreen, AWindowWithoutClientAreaKeepsItsPicture) {
  Window w(600, 400, 300, 200);
  w.A(22, {13, 0, 100, 100, 300, 300});
  ASSERT_TRUE(w.Command("&Total"));
  w.child().resize(w.child().width(), w.child().height() - w.view().height());  // no height left
  ASSERT_EQ(w.view().height(), 0);
  EXPECT_EQ(w.view().Surface().size(), QSize(300, 200));
  EXPECT_EQ(w.view().ReadPixel(150, 150), 0x0000FF);  // red, as a picture point
  EXPECT_EQ(w.view().ReadPixel(50, 50), 0xFFFFFF);
  EXPECT_EQ(w.view().ReadPixel(600, 0), -1);  // off the surface
}

TEST(ModesOnScreen, CopiesTakeTheShownPartOrAPictureRectangle) {
  Window w(600, 400, 300, 200);
  w.A(22, {13, 0, 100, 100, 300, 300});
  ASSERT_TRUE(w.Command("&Total"));
  // A picture rectangle, stretched to the client size: all red.
  const KRrect red{100, 100, 300, 300};
  ASSERT_EQ(w.view().CopyToClipboard(&red, 5, false), 5);
  const CKRDIB* b = w.doc().Bitmap(5);
  ASSERT_NE(b, nullptr);
  ASSERT_EQ(QSize(b->Width(), b->Height()), QSize(300, 200));
  struct Row {
    int x, y;
  } corners[] = {{0, 0}, {299, 0}, {0, 199}, {299, 199}, {150, 100}};
  for (const Row& c : corners) EXPECT_EQ(b->PixelColour(c.x, c.y), 0x0000FFu) << c.x << ", " << c.y;
  // The bitmap mode copies the part the scroll bars show.
  ASSERT_TRUE(w.Command("&Bitmap"));
  w.child().HorizontalBar()->setValue(100);
  w.child().VerticalBar()->setValue(100);
  ASSERT_EQ(w.view().CopyToClipboard(nullptr, 6, false), 6);
  b = w.doc().Bitmap(6);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(QSize(b->Width(), b->Height()), w.view().size());
  EXPECT_EQ(b->PixelColour(0, 0), 0x0000FFu);  // the picture's (100, 100)
  ASSERT_GT(w.view().width(), 200);
  EXPECT_EQ(b->PixelColour(199, 0), 0x0000FFu);  // (299, 100), the square's last column
  EXPECT_EQ(b->PixelColour(200, 0), 0xFFFFFFu);
}

TEST(ModesOnScreen, ResizingDuringAPausedReplayAsksToAbortOnlyWhileInquiring) {
  Window w(600, 400, 300, 200);
  ASSERT_TRUE(w.Command("&Total"));
  w.A(3, {300});  // a pause, performed by the Replay command
  w.A(22, {13, 0, 100, 100, 300, 300});
  struct Row {
    bool inquiring;
    int pending;  // the question the next reply asks
    QSize client;
  } rows[] = {{false, 0, {240, 160}}, {true, IDS_ABORT, {300, 200}}};
  for (const Row& r : rows) {
    if (w.view().Inquiring() != r.inquiring) w.view().OnInquiring();
    w.doc().SetPendingMessage(0);
    bool in_replay = false;
    QTimer::singleShot(30, [&] {
      in_replay = w.view().InReplay();
      w.Client(r.client.width(), r.client.height());
    });
    ASSERT_TRUE(w.Command("Re&play"));
    EXPECT_TRUE(in_replay) << r.inquiring;
    EXPECT_EQ(w.doc().PendingMessage(), r.pending) << r.inquiring;
    // Afterwards the surface has the new size and the whole picture at the new scale.
    EXPECT_EQ(w.view().Surface().size(), r.client) << r.inquiring;
    const int x = r.client.width() / 3;  // the picture's x = 200, inside the red square
    EXPECT_EQ(w.Pixel(x, r.client.height() / 2), Red) << r.inquiring;
    EXPECT_EQ(w.Pixel(r.client.width() - 2, 2), White) << r.inquiring;
  }
}
