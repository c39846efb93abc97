// Printing in process: the page mapping of every view mode (margins, fitted page, printer
// resolutions, the preview's frame), the page drawn by replay and by the back buffer's copy,
// read back pixel by pixel, a page too large to draw, and the window's own printer set-up
// through the print set-up command.

#include <gtest/gtest.h>

#include <QImage>
#include <QPrinter>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndPrint.h"
#include "kornd/CKorndView.h"
#include "kornd/Printer_Settings.h"

#include "Kornd_Window.h"

namespace {

constexpr QRgb White = 0xFFFFFFFF, Blue = 0xFF0000FF, Red = 0xFFFF0000;

// A graphics window of w x h pixels registered as window n: a blue rectangle over the whole
// picture (so the drawing bounds are the picture), a red rectangle (50, 50)-(150, 100) on it.
class Window : public Kornd_Window {
 public:
  explicit Window(int n = 1, int w = 300, int h = 200, bool blue = true) : Kornd_Window(n, w, h) {
    if (blue) A(22, {0x2FF0000, 0, 0, 0, w, h});   // blue (0x00bbggrr)
    A(22, {13, 0, 50, 50, 150, 100});    // red
  }
  ~Window() { KorndApp()->SetWindowDoc(doc().WindowNumber(), nullptr); }
};

// The PDF printer of these tests (300 dpi, letter, landscape) as the application's selection.
class Print_Test : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("kornd_print_test." + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
    CKorndApp* app = KorndApp();
    saved_metrics_ = app->page_metrics;
    saved_defaults_ = app->printer_defaults;
    app->page_metrics.no_printer = false;
    setenv("KORND_PDF_PRINTER", (dir_ / "default.pdf").c_str(), 1);
    Printer_Settings s;
    s.valid = true;
    s.output_file = QString::fromStdString((dir_ / "default.pdf").string());
    s.landscape = true;
    app->CopyPrinterSettings(s);
  }
  void TearDown() override {
    KorndApp()->page_metrics = saved_metrics_;
    KorndApp()->printer_defaults = saved_defaults_;
    unsetenv("KORND_PDF_PRINTER");
    std::filesystem::remove_all(dir_);
  }
  std::filesystem::path dir_;
  PageMetrics saved_metrics_;
  Printer_Settings saved_defaults_;
};

TEST(PrintMapping, PerViewMode) {
  // A 300 x 200 client on a landscape letter page: printable 3180 x 2430 at 300 dpi with 5 mm
  // margins (60 pixels), so outside mode 1 the page is 3180 x 2120.
  const KRrect none, bounds{42, 42, 158, 108}, view_rect{10, 20, 110, 70};
  struct Row {
    int mode, dpi;
    bool preview, buffer_ready;
    KRrect window;
    Print_Mapping m;
    const char* what;
  } rows[] = {
      {1, 300, false, true, none, {1, {0, 0}, {1, 1}, {60, 60}, {3180, 2430}, {60, 60, 3240, 2490}, true},
       "mode 1, equal resolution: the back buffer at the page's corner"},
      {1, 300, false, false, none, {1, {0, 0}, {1, 1}, {60, 60}, {3180, 2430}, {60, 60, 3240, 2490}, false},
       "mode 1 without an up-to-date buffer: replayed"},
      {1, 300, true, true, none, {1, {0, 0}, {1, 1}, {60, 60}, {3180, 2430}, {60, 60, 3240, 2490}, false},
       "mode 1 preview: never the buffer"},
      {1, 600, false, true, none, {7, {0, 0}, {3180, 2430}, {120, 120}, {6360, 4860}, {120, 120, 6480, 4980}, false},
       "mode 1 at 600 dpi: page size x 300 / 600"},
      {2, 300, false, false, {0, 0, 450, 300}, {7, {0, 0}, {450, 300}, {60, 60}, {3180, 2120}, {60, 60, 3240, 2180}, false},
       "mode 2: isotropic"},
      {3, 300, false, false, bounds, {8, {42, 42}, {116, 66}, {60, 60}, {3180, 2120}, {60, 60, 3240, 2180}, false},
       "mode 3: anisotropic"},
      {3, 300, true, false, bounds, {8, {38, 38}, {124, 74}, {56, 56}, {3188, 2128}, {56, 56, 3244, 2184}, false},
       "mode 3 preview: 4 pixels more on every side"},
      {4, 300, false, false, none, {8, {0, 0}, {300, 200}, {60, 60}, {3180, 2120}, {60, 60, 3240, 2180}, false},
       "mode 4 without a window: the picture"},
      {5, 300, false, false, view_rect, {8, {10, 20}, {100, 50}, {60, 60}, {3180, 2120}, {60, 60, 3240, 2180}, false},
       "mode 5: anisotropic"},
  };
  for (const Row& r : rows) {
    Print_Page_Input in;
    in.mode = r.mode;
    in.printer_dpi_x = in.printer_dpi_y = r.dpi;
    in.horzres = 11 * r.dpi, in.vertres = 17 * r.dpi / 2;
    in.client_width = 300, in.client_height = 200;
    in.picture = {0, 0, 300, 200};
    in.window = r.window;
    in.preview = r.preview, in.buffer_ready = r.buffer_ready;
    EXPECT_EQ(CKorndPrint::PageMapping(in), r.m) << r.what;
  }
}

TEST(PrintMapping, PreviewFrameScalesWithTheView) {
  // Two logical units per client pixel: the window grows by 8 units, the page by 4 pixels.
  Print_Page_Input in;
  in.mode = 4;
  in.horzres = 3300, in.vertres = 2550;
  in.client_width = 150, in.client_height = 100;
  in.scale_x = in.scale_y = 2;
  in.picture = {0, 0, 300, 200};
  in.preview = true;
  const Print_Mapping m = CKorndPrint::PageMapping(in);
  EXPECT_EQ(m.window_org, (KRpoint{-8, -8}));
  EXPECT_EQ(m.window_ext, (KRpoint{316, 216}));
  EXPECT_EQ(m.page, (KRrect{56, 56, 3244, 2184}));
}

TEST_F(Print_Test, TheWindowOfEachModeComesFromTheView) {
  // Only the red rectangle: drawing bounds (42, 42)-(158, 108); a 300 x 100 client, so the page
  // is 3180 x 1060 at 300 dpi (6360 x 2120 at 600) and covers the 300 x 200 viewport union
  // with a 600 x 200 window.
  Window w(1, 300, 200, false);
  w.view().view_mode.OnSize(300, 100, w.doc());
  ASSERT_EQ(w.doc().Bounds(), (KRrect{42, 42, 158, 108}));
  const KRrect zoom{10, 20, 110, 70};
  w.view().SetViewMode(5, &zoom);
  struct Row {
    int mode, dpi;
    KRrect window;
  } rows[] = {
      {2, 300, {0, 0, 600, 200}}, {2, 600, {0, 0, 600, 200}}, {3, 300, {42, 42, 158, 108}},
      {4, 300, {0, 0, 300, 200}}, {5, 300, {10, 20, 110, 70}}, {1, 300, {}},
  };
  for (const Row& r : rows)
    EXPECT_EQ(CKorndPrint::PageInput(w.doc(), r.mode, 11 * r.dpi, 17 * r.dpi / 2, r.dpi, r.dpi, false).window, r.window)
        << r.mode << " at " << r.dpi;
  // The view itself is left as it was.
  EXPECT_EQ(w.view().view_mode.mode, 5);
  EXPECT_EQ(w.view().view_mode.view_rect, zoom);
  EXPECT_EQ(w.view().view_mode.creation_resolution_x, 300);
}

// Colour of the page pixel, opaque.
QRgb at(const QImage& page, int x, int y) { return page.pixel(x, y) | 0xFF000000u; }

struct Probe {
  int x, y;
  QRgb colour;
  const char* what;
};

TEST_F(Print_Test, MarginsAndThePreviewFrameOnTheReplayedPage) {
  Window w;
  w.view().view_mode.OnSize(300, 200, w.doc());
  w.view().SetViewMode(3, nullptr);
  ASSERT_EQ(w.doc().Bounds(), (KRrect{0, 0, 300, 200}));
  // The drawing bounds onto the page (60, 60)-(3240, 2180): 10.6 pixels per unit.
  const QImage page = CKorndPrint::RenderPage(w.doc(), 3, 3300, 2550, 300, 300, false);
  ASSERT_EQ(page.size(), QSize(3300, 2550));
  const Probe printed[] = {
      {59, 60, White, "left margin"},       {60, 59, White, "top margin"},
      {60, 60, Blue, "page corner"},        {3239, 2179, Blue, "last page pixel"},
      {3240, 2179, White, "right of page"}, {3239, 2180, White, "below page"},
      {1120, 855, Red, "the rectangle's middle (100, 75)"},
      {588, 855, Blue, "left of the rectangle's edge at 590"},
      {592, 855, Red, "inside its left edge"},
  };
  for (const Probe& p : printed) EXPECT_EQ(at(page, p.x, p.y), p.colour) << p.what;
  // The preview: the page grown to (56, 56)-(3244, 2184), the window by 4 units on every side,
  // so a frame of background (4 view pixels, about 41 page pixels here) runs around the
  // drawing bounds, which end at about 97 and 3203 across, 97 and 2143 down.
  const QImage preview = CKorndPrint::RenderPage(w.doc(), 3, 3300, 2550, 300, 300, true);
  ASSERT_EQ(preview.size(), QSize(3300, 2550));
  const Probe previewed[] = {
      {56, 1000, White, "frame, left"},        {94, 1000, White, "frame, left inner edge"},
      {101, 1000, Blue, "bounds, left"},       {3198, 1000, Blue, "bounds, right"},
      {3206, 1000, White, "frame, right"},     {3243, 1000, White, "frame, right outer edge"},
      {1000, 93, White, "frame, top"},         {1000, 101, Blue, "bounds, top"},
      {1000, 2139, Blue, "bounds, bottom"},    {1000, 2147, White, "frame, bottom"},
      {1132, 864, Red, "the rectangle's middle"},
  };
  for (const Probe& p : previewed) EXPECT_EQ(at(preview, p.x, p.y), p.colour) << p.what;
}

TEST_F(Print_Test, ModeOneByTheBackBufferAndAtAnotherResolution) {
  Window w;
  w.view().SetViewMode(1, nullptr);
  ASSERT_TRUE(w.view().Buffering());
  // At the server's resolution the page is the back buffer's copy, elsewhere a replay.
  EXPECT_TRUE(CKorndPrint::PageMapping(CKorndPrint::PageInput(w.doc(), 1, 3300, 2550, 300, 300, false)).copy_buffer);
  EXPECT_FALSE(CKorndPrint::PageMapping(CKorndPrint::PageInput(w.doc(), 1, 6600, 5100, 600, 600, false)).copy_buffer);
  struct Row {
    int dpi;
    int margin;     // pixels
    int scale;      // printer pixels per picture pixel, at least 1
  } rows[] = {{300, 60, 1}, {600, 120, 2}, {150, 30, 1}};
  for (const Row& r : rows) {
    const QImage page = CKorndPrint::RenderPage(w.doc(), 1, 11 * r.dpi, 17 * r.dpi / 2, r.dpi, r.dpi, false);
    ASSERT_FALSE(page.isNull()) << r.dpi;
    const int o = r.margin;
    // Picture pixel (x, y) lands at margin + x * printer dpi / 300 (rounded down).
    const auto dev = [&](int v) { return o + v * r.dpi / 300; };
    EXPECT_EQ(at(page, o - 1, o), White) << r.dpi;
    EXPECT_EQ(at(page, o, o), Blue) << r.dpi;
    EXPECT_EQ(at(page, dev(49), dev(75)), Blue) << r.dpi;
    EXPECT_EQ(at(page, dev(50), dev(75)), Red) << r.dpi;
    EXPECT_EQ(at(page, dev(149), dev(99)), Red) << r.dpi;
    EXPECT_EQ(at(page, dev(150), dev(75)), Blue) << r.dpi;
    EXPECT_EQ(at(page, dev(299), dev(199)), Blue) << r.dpi;
    EXPECT_EQ(at(page, dev(300) + r.scale, dev(100)), White) << r.dpi;
  }
}

TEST_F(Print_Test, APageTooLargeIsRefusedWithABox) {
  Window w;
  testing::internal::CaptureStderr();
  const QImage page = CKorndPrint::RenderPage(w.doc(), 3, 40000, 30000, 4800, 4800, false);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(page.isNull());
  EXPECT_NE(err.find("The page of 40000 x 30000 pixels is too large to be printed."), std::string::npos) << err;
  // Just below the limit a page is drawn.
  EXPECT_FALSE(CKorndPrint::RenderPage(w.doc(), 3, 8192, 8192, 300, 300, false).isNull());
}

TEST_F(Print_Test, EachWindowKeepsItsOwnPrinterSetUp) {
  Window one(1), two(2);
  // Both start with a copy of the application's selection.
  EXPECT_EQ(one.doc().PrinterSettings(), KorndApp()->printer_defaults);
  const std::string a = (dir_ / "a.pdf").string(), b = (dir_ / "b.pdf").string();
  // What the print set-up dialog takes for each window.
  Printer_Settings s1 = one.doc().PrinterSettings(), s2 = two.doc().PrinterSettings();
  ASSERT_EQ(PARSE_PRINT_ANSWER(QString::fromStdString("orientation=portrait,file=" + a), "/", s1), Print_Answer::Ok);
  ASSERT_EQ(PARSE_PRINT_ANSWER(QString::fromStdString("file=" + b), "/", s2), Print_Answer::Ok);
  one.doc().SetPrinterSettings(s1);
  two.doc().SetPrinterSettings(s2);
  // Printing window 2 puts its set-up into the application and leaves window 1's alone.
  ASSERT_TRUE(CKorndPrint::OnFilePrint(two.doc()));
  EXPECT_EQ(KorndApp()->printer_defaults.output_file.toStdString(), b);
  EXPECT_EQ(one.doc().PrinterSettings(), s1);
  EXPECT_TRUE(std::filesystem::exists(b));
  EXPECT_FALSE(std::filesystem::exists(a));
  ASSERT_TRUE(CKorndPrint::OnFilePrint(one.doc()));
  EXPECT_TRUE(std::filesystem::exists(a));
  EXPECT_FALSE(KorndApp()->printer_defaults.landscape);
  EXPECT_EQ(two.doc().PrinterSettings(), s2);
  EXPECT_TRUE(two.doc().PrinterSettings().landscape);
}

TEST(PrintAnswers, SeamAnswerSyntax) {
  Printer_Settings base;
  base.valid = true;
  base.output_file = "/old.pdf";
  base.landscape = true;
  struct Row {
    const char* answer;
    Print_Answer result;
    const char* file;
    bool landscape;
    int dpi;
  } rows[] = {
      {"", Print_Answer::Ok, "/old.pdf", true, 300},
      {"OK", Print_Answer::Ok, "/old.pdf", true, 300},
      {"ok", Print_Answer::Ok, "/old.pdf", true, 300},
      {"Cancel", Print_Answer::Cancel, "/old.pdf", true, 300},
      {"file=out.pdf", Print_Answer::Ok, "/work/out.pdf", true, 300},
      {"file=/tmp/x.pdf,orientation=portrait,dpi=600", Print_Answer::Ok, "/tmp/x.pdf", false, 600},
      {"dpi=2400", Print_Answer::Ok, "/old.pdf", true, 2400},
      {"dpi=2401", Print_Answer::Cancel, "/old.pdf", true, 300},
      {"dpi=0", Print_Answer::Cancel, "/old.pdf", true, 300},
      {"orientation=sideways", Print_Answer::Cancel, "/old.pdf", true, 300},
      {"file=/tmp/y.pdf,colour=blue", Print_Answer::Cancel, "/old.pdf", true, 300},  // nothing taken
      {"/tmp/z.pdf", Print_Answer::Cancel, "/old.pdf", true, 300},
  };
  for (const Row& r : rows) {
    Printer_Settings s = base;
    EXPECT_EQ(PARSE_PRINT_ANSWER(r.answer, "/work", s), r.result) << r.answer;
    EXPECT_EQ(s.output_file.toStdString(), r.file) << r.answer;
    EXPECT_EQ(s.landscape, r.landscape) << r.answer;
    EXPECT_EQ(s.resolution, r.dpi) << r.answer;
  }
}

}  // namespace
