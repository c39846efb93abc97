// PGPLOT drawing into a real kornd through the /CKR driver, the display's window wrappers and
// device tools: what the driver sends (the client trace), what the window shows (pixels read
// back), picks and typed text through the server's scripted input.

#include <cpgplot.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Client_Run.h"
#include "display/Tools_Graphical.h"
#include "korin_client/Client_State.h"
#include "korin_client/Coordinates.h"
#include "korin_client/KRDRIV.h"
#include "korin_client/Korin.h"
#include "korin_client/Korin_Seams.h"
#include "display/Korin_Stuff.h"
#include "korin_client/Korin_Upper.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "tests/Sanitizer_Reports.h"

namespace {

// The first `words` words of each trace line that starts with `prefix`.
std::vector<std::string> lines_of(const std::vector<std::string>& trace, const std::string& prefix, int words) {
  std::vector<std::string> found;
  for (const std::string& line : trace) {
    if (line.rfind(prefix, 0) != 0) continue;
    std::istringstream in(line);
    std::string word, text;
    for (int i = 0; i < words && in >> word; ++i) text += (i ? " " : "") + word;
    found.push_back(text);
  }
  return found;
}

int count_of(const std::vector<std::string>& trace, const std::string& prefix) {
  return static_cast<int>(lines_of(trace, prefix, 1).size());
}

// Opens /CKR the way the display does: no page prompts, a page begun.
int open_display() {
  const int unit = cpgopen("/CKR");
  cpgask(0);
  cpgpage();
  return unit;
}

// The window pixel of a world point of the selected PGPLOT device.
Device_Point window_pixel(float x, float y) {
  float vx1, vx2, vy1, vy2, wx1, wx2, wy1, wy2;
  cpgqvp(3, &vx1, &vx2, &vy1, &vy2);
  cpgqwin(&wx1, &wx2, &wy1, &wy2);
  const double dx = vx1 + (x - wx1) / (wx2 - wx1) * (vx2 - vx1), dy = vy1 + (y - wy1) / (wy2 - wy1) * (vy2 - vy1);
  return TO_DEVICE(*KRblock(KRDRIV_WINDOW()), dx, dy);
}

// Colour value (0x00bbggrr) of a window pixel, read back by the server.
unsigned pixel_at(float x, float y) {
  cpgupdt();
  const Device_Point p = window_pixel(x, y);
  const int w = KRDRIV_WINDOW();
  KRwincmd1(w, 'F', p.x, p.y);
  return static_cast<unsigned>(KRblock(w)->a[2]) & 0xFFFFFFu;
}

// Calls the driver directly with one opcode.
void driver(int opcode, std::vector<float> rbuf) {
  rbuf.resize(16);
  int nbuf = 0, lchr = 0;
  char chr[16];
  KRDRIV(opcode, rbuf.data(), &nbuf, chr, &lchr, 2, sizeof chr);
}

}  // namespace

TEST(Korin_Driver, JoinedSegmentsColoursAndPages) {
  const Client_Run run = RUN_CLIENT([](std::ostream& out) {
    open_display();
    cpgsvp(0.1f, 0.9f, 0.1f, 0.9f);
    cpgswin(0, 250, 0, 100);
    std::vector<float> x, y;
    for (int i = 0; i < 11; ++i) x.push_back(static_cast<float>(i * 10)), y.push_back(i % 2 ? 20.0f : 10.0f);
    cpgline(11, x.data(), y.data());
    x.clear(), y.clear();
    for (int i = 0; i < 200; ++i) x.push_back(static_cast<float>(i)), y.push_back(i % 2 ? 60.0f : 50.0f);
    cpgline(200, x.data(), y.data());
    cpgupdt();
    const int w = KRDRIV_WINDOW();
    KRwincode(w, 'E', 13);  // marks in the trace around an index the driver must ignore
    driver(15, {300});
    KRwincode(w, 'E', 13);
    float r, g, b;
    cpgscr(0, 1, 0, 0);
    cpgqcr(0, &r, &g, &b);
    out << "before " << r << g << b;
    cpgpage();
    cpgqcr(0, &r, &g, &b);
    out << " after " << r << g << b << "\n";
  });
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(lines_of(run.trace, "N 30", 3), (std::vector<std::string>{"N 30 11", "N 30 128", "N 30 73"}));
  EXPECT_EQ(TRACE_SPAN(run.trace, "E 13", "E 13").size(), 1u);  // nothing between the marks
  EXPECT_EQ(run.output, "before 100 after 000\n");
}

TEST(Korin_Driver, SecondDeviceAndPageViewports) {
  const Client_Run run = RUN_CLIENT([](std::ostream& out) {
    const int first = open_display();
    const int second = open_display();
    out << "windows " << KRDRIV_WINDOW() << "\n";
    cpgslct(first);
    int dpi_x = 96, dpi_y = 96, width = 800, height = 600;
    KRdims(-10, &dpi_x, &dpi_y);
    KRdims(-1, &width, &height);
    for (std::vector<float> page : {std::vector<float>{1000, 700}, std::vector<float>{1000, 800}}) {
      driver(11, page);
      const channel::KRwinblock& b = *KRblock(KRDRIV_WINDOW());
      char text[100];
      std::snprintf(text, sizeof text, "(%.4f, %.4f)-(%.4f, %.4f)\n", b.view_x1, b.view_y1, b.view_x2, b.view_y2);
      out << text;
    }
    cpgslct(second);
    cpgclos();  // only its window goes
    cpgslct(first);
    out << "after close " << KRDRIV_WINDOW() << " " << (KRblock(2) == nullptr) << "\n";
  });
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(run.output, "windows 2\n(0.0300, 0.0543)-(1.3033, 0.9457)\n(0.0792, 0.0300)-(1.2542, 0.9700)\nafter close 1 1\n");
  EXPECT_EQ(count_of(run.trace, "B 16 5"), 1);
}

TEST(Korin_Driver, ImagesMarkersAndTheCursor) {
  Client_Options options;
  options.script = {{"kornd input: waiting", "click 1 right 100 100"},
                    {"client: left now", ""},
                    {"kornd input: waiting", "click 1 left 100 100"}};
  const Client_Run run = RUN_CLIENT(
      [](std::ostream& out) {
        open_display();
        cpgsvp(0.1f, 0.9f, 0.1f, 0.9f);
        cpgswin(0.5f, 4.5f, 0.5f, 3.5f);
        cpgscir(16, 17);
        cpgscr(16, 1, 0, 0);
        cpgscr(17, 0, 0, 1);
        const float cells[12] = {0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1};
        const float tr[6] = {0, 1, 0, 0, 0, 1};
        cpgimag(cells, 4, 3, 1, 4, 1, 3, 0, 1, tr);
        out << std::hex << pixel_at(1, 1) << " " << pixel_at(4, 3) << std::dec << "\n";
        cpgpt1(2, 2, 2);
        cpgpt1(3, 2, 2);
        cpgupdt();
        float x = 0, y = 0;
        char ch = 0;
        cpgcurs(&x, &y, &ch);
        out << ch;
        std::fprintf(stderr, "client: left now\n");
        std::fflush(stderr);
        cpgcurs(&x, &y, &ch);
        out << ch << "\n";
      },
      options);
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(run.output, "ff ff0000\nXA\n");  // red, blue (colour values: red in the lowest byte)
  EXPECT_EQ(lines_of(run.trace, "B 20", 3), std::vector<std::string>{"B 20 48"});
  EXPECT_EQ(count_of(run.trace, "D 5"), 1);
  EXPECT_EQ(count_of(run.trace, "M 0"), 1);
  EXPECT_EQ(count_of(run.trace, "A 12"), 2);
}

namespace {

// A page of every kind of drawing the driver sends: axes and labels, styles and widths, short
// and very long lines, filled polygons and rectangles, markers, an image, colour changes.
void mixed_page() {
  cpgsvp(0.1f, 0.9f, 0.1f, 0.9f);
  cpgswin(0, 100, -1.5f, 1.5f);
  cpgbox("BCNST", 0, 0, "BCNST", 0, 0);
  cpglab("x", "y", "batched or not");
  std::vector<float> x(20000), y(20000);
  for (std::size_t i = 0; i < x.size(); ++i) x[i] = 100.0f * i / x.size(), y[i] = std::sin(x[i] / 3.0f);
  cpgsci(2);
  cpgslw(4);
  cpgline(static_cast<int>(x.size()), x.data(), y.data());  // past what a batch holds
  cpgslw(1);
  for (int k = 0; k < 30; ++k) {
    cpgsls(1 + k % 5);
    cpgsci(3 + k % 10);
    cpgline(40, x.data() + 500 * k, y.data() + 500 * k);
  }
  cpgsls(1);
  cpgsfs(1);
  const float px[4] = {10, 30, 25, 12}, py[4] = {-1, -1.2f, 0.5f, 0.2f};
  cpgpoly(4, px, py);
  cpgscr(16, 0.2f, 0.7f, 0.4f);
  cpgsci(16);
  cpgrect(60, 80, -1.2f, -0.6f);
  for (int k = 0; k < 60; ++k) cpgpt1(1.5f * k + 2, std::cos(k * 0.3f), 2 + k % 6);
  // More than one packet holds: batches fill and go while requests keep coming.
  for (int k = 0; k < 2000; ++k) cpgpt1(0.05f * k, 0.5f * std::sin(k * 0.01f), 1 + k % 3);
  const float cells[6] = {0, 0.5f, 1, 1, 0.5f, 0};
  const float tr[6] = {40, 5, 0, 0.6f, 0, 0.3f};
  cpggray(cells, 3, 2, 1, 3, 1, 2, 0, 1, tr);
  cpgsci(1);
  cpgptxt(50, 1.2f, 15, 0.5f, "text at an angle");
}

// Saves the window's picture as a bitmap file under `path`.
void save_bitmap(const std::string& path) {
  cpgupdt();
  const int w = KRDRIV_WINDOW();
  KRsettext(w, path.c_str());
  channel::KRwinblock* b = KRblock(w);
  b->a[0] = b->a[1] = 0, b->a[2] = 3, b->a[3] = 0;
  KRwincode(w, channel::Control, channel::Control_Save_Picture);
}

// The requests of a trace as "<letter> <code> -> <reply>", without the handshake (its key is
// the time) and the data-area pieces a point list takes when it cannot go in place.
std::vector<std::string> requests_of(const std::vector<std::string>& trace) {
  std::vector<std::string> kept;
  for (const std::string& line : trace) {
    if (line.rfind("K,", 0) == 0 || line.rfind("B 36 ", 0) == 0) continue;
    std::istringstream words(line);
    std::string letter, code;
    words >> letter >> code;
    kept.push_back(letter + " " + code + line.substr(line.rfind(" -> ")));
  }
  return kept;
}

std::string file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace

TEST(Korin_Driver, DrawingInBatchesSendsTheSameRequestsAndMakesTheSamePicture) {
  const std::string folder = (std::filesystem::temp_directory_path() / ("korin_batch_" + std::to_string(::getpid()))).string();
  std::filesystem::create_directories(folder);
  auto draw = [&](bool batching) {
    return RUN_CLIENT([&](std::ostream& out) {
      KRsetbatching(batching);
      open_display();
      cpgbbuf();
      mixed_page();
      out << (KRstate().batch.entries() > 0 ? "waiting" : "sent") << "\n";
      cpgebuf();
      out << KRstate().batch.entries() << " left\n";
      save_bitmap(folder + (batching ? "/batched.bmp" : "/single.bmp"));
    });
  };
  const Client_Run batched = draw(true), single = draw(false);
  ASSERT_EQ(batched.exit_code, 0) << batched.errors;
  ASSERT_EQ(single.exit_code, 0) << single.errors;
  EXPECT_EQ(batched.output, "waiting\n0 left\n");
  EXPECT_EQ(single.output, "sent\n0 left\n");
  // The same requests in the same order, with the same replies.
  EXPECT_EQ(requests_of(batched.trace), requests_of(single.trace));
  EXPECT_GT(count_of(batched.trace, "N 30"), 30);
  EXPECT_GT(count_of(batched.trace, "A 12"), 50);
  const std::string pixels = file_bytes(folder + "/single.bmp");
  EXPECT_GT(pixels.size(), 100000u);
  EXPECT_TRUE(file_bytes(folder + "/batched.bmp") == pixels);
  std::filesystem::remove_all(folder);
}

TEST(Korin_Driver, RedrawsIntoAClearedWindowReuseTheirBitmaps) {
  const Client_Run run = RUN_CLIENT([](std::ostream& out) {
    Graphics_Units.Unit_Display = open_display();
    const float cells[4] = {0, 1, 1, 0};
    const float tr[6] = {0, 1, 0, 0, 0, 1};
    cpgpage();
    cpgswin(0.5f, 2.5f, 0.5f, 2.5f);
    // The redraw of a next output: the window is cleared whole, no new page.
    for (int redraw = 0; redraw < 50; ++redraw) {
      int status = 0;
      KRCLEAR(status, -1);
      KRDRIV_WINDOW_CLEARED();
      cpgimag(cells, 2, 2, 1, 2, 1, 2, 0, 1, tr);
      cpgupdt();
    }
    KRwincmd1(1, 'D', 4, 1);
    out << "highest bitmap " << KRblock(1)->a[5] << "\n";
  });
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(run.output, "highest bitmap 1\n");
}

TEST(Korin_Driver, RedrawsReuseTheirBitmapsAndPopUpsNeverPileUp) {
  const Client_Run run = RUN_CLIENT([](std::ostream& out) {
    Graphics_Units.Unit_Display = open_display();
    const float cells[4] = {0, 1, 1, 0};
    const float tr[6] = {0, 1, 0, 0, 0, 1};
    for (int page = 0; page < 200; ++page) {
      cpgpage();
      cpgswin(0.5f, 2.5f, 0.5f, 2.5f);
      cpgimag(cells, 2, 2, 1, 2, 1, 2, 0, 1, tr);
      cpgimag(cells, 2, 2, 1, 2, 1, 2, 0, 1, tr);
    }
    KRwincmd1(1, 'D', 4, 1);
    out << "highest bitmap " << KRblock(1)->a[5] << "\n";
    for (int i = 0; i < 20; ++i) {
      const int popup = cpgopen("/CKR");
      cpgask(0);
      cpgpage();
      cpgmove(0, 0);
      cpgdraw(1, 1);
      if (i % 2) cpgclos();
      else KORIN_CLOSE(2);
      if (popup <= 0) out << "pop-up " << i << " failed\n";
    }
    SELECT_PGPLOT_UNIT(Graphics_Units.Unit_Display);
    out << "main " << KRDRIV_WINDOW() << " windows " << KRstate().open_windows << "\n";
  });
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(run.output, "highest bitmap 2\nmain 1 windows 1\n");
}

TEST(Korin_Wrappers, CursorInDisplayCellsAndFrameFactors) {
  Client_Options options;
  for (int i = 0; i < 3; ++i) {
    options.script.push_back({"client: click at ", ""});
    options.script.push_back({"kornd input: waiting", "click 1 left {}"});
  }
  const Client_Run run = RUN_CLIENT(
      [](std::ostream& out) {
        Graphics_Units.Unit_Display = open_display();
        // A picture smaller than its view, shown 1:1: clicks land on picture pixels.
        int picture_w = 600, picture_h = 400, view_w = 800, view_h = 600;
        KRdims(-channel::Size_Picture, &picture_w, &picture_h);
        KRdims(-channel::Size_View, &view_w, &view_h);
        KRwincmd1(1, 'B', 15, 1);
        cpgpage();
        cpgsvp(0.2f, 0.8f, 0.2f, 0.8f);
        cpgswin(0, 1, 0, 1);
        Display_Field.Zoom_X_From = 1, Display_Field.Zoom_X_To = 100;
        Display_Field.Zoom_Y_From = 1, Display_Field.Zoom_Y_To = 50;
        for (float x : {0.5f, -0.1f, 1.1f}) {  // the middle, left and right of the viewport
          const Device_Point p = window_pixel(x, 0.5f);
          std::fprintf(stderr, "client: click at %d %d\n", p.x, p.y);
          std::fflush(stderr);
          int ix = 0, iy = 0;
          KORIN_CURSOR(1, ix, iy);
          out << ix << " ";
        }
        view_w = 760, view_h = 586;
        int dpi_x = 96, dpi_y = 96;
        KRdims(-channel::Size_View, &view_w, &view_h);
        KRdims(-channel::Size_Page_Resolution, &dpi_x, &dpi_y);
        KORIN_FRAME_SIZE();
        char text[64];
        std::snprintf(text, sizeof text, "%.3f %.3f", Frame_Factors.Frame_Factor_X, Frame_Factors.Frame_Factor_Y);
        out << text << "\n";
      },
      options);
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(run.output, "50 1 100 35.625 27.469\n");
}

TEST(Korin_Tools, TextInputShowsTheMicroSignAndKeepsOrClearsTheAnswer) {
  Client_Options options;
  options.script = {{"kornd input: dialog Length (\xC2\xB5m):", "text 1 12"},
                    {"kornd input: done text 1 12", "key 1 Return"},
                    {"kornd input: dialog a \xC2\xB5 b \\gm", "text 1 123456"},
                    {"kornd input: done text 1 123456", "key 1 Return"},
                    {"kornd input: dialog c", "key 1 Escape"}};
  const Client_Run run = RUN_CLIENT(
      [](std::ostream& out) {
        open_display();
        std::string answer = "77777";
        for (const char* prompt : {"Length (\\gmm):", "  a \\gm b \\gm  ", "c"}) {
          INPUT_STRING("not shown", prompt, answer);
          out << "[" << answer << "]";
        }
        out << "\n";
      },
      options);
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(run.output, "[12   ][12   ][     ]\n");
}

TEST(Korin_Tools, AnInvalidUnitStopsTheProgram) {
  std::ostringstream console;
  SET_CONSOLE_STREAM(&console);
  EXPECT_THROW(SELECT_PGPLOT_UNIT(-13), Program_Stop);
  SET_CONSOLE_STREAM(nullptr);
  EXPECT_EQ(console.str(), "\n Invalid 'PGPlot unit': -13\n\n");
}

TEST(Korin_Tools, ColourScaleWindowsCloseAndHaloLinesRestoreTheirWidth) {
  const Client_Run run = RUN_CLIENT([](std::ostream& out) {
    Graphics_Units.Unit_Display = open_display();
    open_display();
    open_display();
    const int scale = open_display();
    auto& list = Graphics_Units.Unit_Colour_Scales;
    list.ALLOCATE({Bounds{1, 2}});
    list(1) = -13, list(2) = scale;
    CLOSE_COLOUR_SCALES();
    out << "scale window " << (KRblock(4) == nullptr) << " others " << (KRblock(2) && KRblock(3)) << " list "
        << list.ALLOCATED() << " current " << (Graphics_Units.Unit_Current == Graphics_Units.Unit_Display) << "\n";
    cpgswin(0, 10, 0, 10);
    cpgslw(2);
    const float x[2] = {1, 9}, y[2] = {1, 9};
    KRwincode(1, 'E', 13);
    PLOT_LINE(2, x, y);
    KRwincode(1, 'E', 13);
    int width = 0;
    cpgqlw(&width);
    out << "width " << width << "\n";
  });
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(run.output, "scale window 1 others 1 list 0 current 1\nwidth 2\n");
  std::vector<std::string> widths;
  for (const std::string& line : TRACE_SPAN(run.trace, "E 13", "E 13")) {
    const std::size_t at = line.find(" width ");
    if (line.rfind("A 6", 0) != 0 || at == std::string::npos) continue;
    const std::string w = line.substr(at + 7, line.find(' ', at + 7) - at - 7);
    if (widths.empty() || widths.back() != w) widths.push_back(w);
  }
  // 2, 20, 10, then 2 line-width units of 0.005 inch at the server's page resolution (300 dpi).
  EXPECT_EQ(widths, (std::vector<std::string>{"3", "30", "15", "3"}));
}

TEST(Korin_Driver, SourceDumpCompilesAndRedrawsTheSamePixels) {
  std::string folder_template = (std::filesystem::temp_directory_path() / "korin_dump_XXXXXX").string();
  const std::string folder = ::mkdtemp(folder_template.data());
  std::ofstream(folder + "/answer.txt") << "\n";  // the default file name
  Client_Options options;
  options.environment = {{"KORND_TEST_ANSWERS", ""}};
  const Client_Run run = RUN_CLIENT(
      [&](std::ostream& out) {
        if (::chdir(folder.c_str()) != 0 || !std::freopen("answer.txt", "r", stdin)) return;
        cpgopen("/CKRD");
        cpgask(0);
        cpgpage();
        cpgsvp(0.1f, 0.9f, 0.1f, 0.9f);
        cpgswin(0, 10, 0, 10);
        cpgsci(2);
        cpgmove(1, 1);
        cpgdraw(9, 1);
        cpgdraw(9, 9);
        const float px[3] = {2, 5, 2}, py[3] = {5, 8, 8};
        cpgsci(3);
        cpgpoly(3, px, py);
        // Four quadrants of 12 x 12 cells over (5, 5) - (7, 7): more than a data area's worth
        // of codes, so that they are written into the shared buffer and dumped from there.
        std::vector<float> cells(24 * 24);
        for (int j = 0; j < 24; ++j)
          for (int i = 0; i < 24; ++i) cells[std::size_t(j * 24 + i)] = (i < 12) == (j < 12) ? 0.0f : 1.0f;
        const float tr[6] = {5 - 1.0f / 24, 1.0f / 12, 0, 5 - 1.0f / 24, 0, 1.0f / 12};
        cpggray(cells.data(), 24, 24, 1, 24, 1, 24, 1, 0, tr);
        cpgsci(4);
        cpgpt1(7, 3, 2);
        for (const auto& [x, y] : std::vector<std::pair<float, float>>{{5, 1}, {3, 7.5f}, {5.5f, 5.5f}, {6.5f, 5.5f}, {1, 9}}) {
          const Device_Point p = window_pixel(x, y);
          out << p.x << " " << p.y << " " << pixel_at(x, y) << "\n";
        }
        cpgclos();
      },
      options);
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(COUNT_LINES(run.errors, "Output file name [pgkrdump.c] = "), 1);
  const std::string dump = folder + "/pgkrdump.c";
  ASSERT_TRUE(std::ifstream(dump).good());
  const std::string includes = std::string(" -I'") + ZELTRA_SOURCE_DIR + "' -I'" + ZELTRA_SOURCE_DIR + "/korin_client'";
  const std::string cc = DUMP_CC " " DUMP_FLAGS " -std=c99";
  // As written: a C program against Korin.h.
  ASSERT_EQ(std::system((cc + " -Wall -c" + includes + " '" + dump + "' -o '" + folder + "/plain.o'").c_str()), 0);
  // With the shim that reads its pixels at the pause, linked with the library as the build links.
  ASSERT_EQ(std::system((cc + " -c -include '" DUMP_SHIM_HEADER "'" + includes + " '" + dump + "' -o '" + folder +
                         "/dump.o' && " DUMP_CXX " " DUMP_FLAGS " '" + folder + "/dump.o' '" DUMP_SHIM_LIBRARY "' '" KORIN_LIBRARY
                         "' '" PLATFORM_LIBRARY "' -lrt -lX11 -o '" + folder + "/dump'").c_str()),
            0);
  std::string where, expected;
  std::istringstream lines(run.output);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string x, y, colour;
    words >> x >> y >> colour;
    where += x + " " + y + ";";
    expected += colour + "\n";
  }
  const std::string command = "cd '" + folder + "' && PATH='" ZELTRA_BIN_DIR "':\"$PATH\" QT_QPA_PLATFORM=offscreen DUMP_PIXELS='" +
                              where + "' DUMP_OUT=pixels ./dump 2>errors";
  const int status = std::system(command.c_str());
  std::ifstream errors(folder + "/errors");
  std::stringstream console;
  console << errors.rdbuf();
  FAIL_ON_SANITIZER_REPORT("the dumped program", console.str());
  ASSERT_EQ(status, 0) << console.str();
  std::ifstream redrawn(folder + "/pixels");
  std::stringstream got;
  got << redrawn.rdbuf();
  EXPECT_EQ(got.str(), expected);
  EXPECT_NE(expected.find("255\n"), std::string::npos);  // the red line is among them
  std::system(("rm -rf '" + folder + "'").c_str());
}

TEST(Korin_Driver, DrawingGoesToItsDevicesWindowAndKeptWindowsStay) {
  const Client_Run run = RUN_CLIENT([](std::ostream& out) {
    const int first = open_display();
    const int second = open_display();
    cpgslct(first);
    cpgsvp(0, 1, 0, 1);
    cpgswin(0, 10, 0, 10);
    cpgsci(2);
    cpgmove(1, 5);
    cpgdraw(9, 5);  // still in the line buffer
    KRselect(2);    // the program picks another window through the library
    out << std::hex << pixel_at(5, 5) << std::dec << "\n";  // the flush draws into window 1
    cpgslct(second);
    KRDRIV_KEEP_WINDOW();
    cpgclos();
    out << "kept " << (KRblock(2) != nullptr) << "\n";
    cpgslct(first);
    // Out-of-range cells, indices and markers are dropped, never written past a table.
    KRwincode(1, 'E', 13);
    driver(28, {40, 5, 5, 1});
    driver(26, {0, 1, 1, 0, 10, 0, 10, 1, 0, 0, 0, 1, 0});
    driver(26, {3, 2, 999, -4});
    driver(26, {-1});
    KRwincode(1, 'E', 13);
  });
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(run.output, "ff\nkept 1\n");
  const std::vector<std::string> between = TRACE_SPAN(run.trace, "E 13", "E 13");
  EXPECT_EQ(count_of(between, "A 12"), 0);  // marker 40 placed nothing
  EXPECT_EQ(lines_of(between, "B 20", 3), std::vector<std::string>{"B 20 4"});  // one cell, one code
}
