// Printing through a running server: the print request (B 6) and the File menu's print, print
// preview and print set-up commands (through the input seam), with the dialogs answered by the
// answers seam. Pages go to the PDF printer; each PDF is checked with pdfinfo (one page, its
// size) and rasterised with pdftoppm to read the printed picture back.

#include <gtest/gtest.h>

#include <QPrinterInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "Kornd_Server.h"

namespace {

namespace fs = std::filesystem;

// Standard output of a command ("" when it cannot run).
std::string run(const std::string& command) {
  std::string out;
  FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
  if (p == nullptr) return out;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
  pclose(p);
  return out;
}

// The value of a pdfinfo field ("Pages", "Page size"), "" when absent.
std::string pdf_info(const fs::path& pdf, const std::string& field) {
  const std::string info = run("pdfinfo '" + pdf.string() + "'");
  const std::size_t at = info.find(field + ":");
  if (at == std::string::npos) return "";
  std::size_t from = info.find_first_not_of(' ', at + field.size() + 1);
  return info.substr(from, info.find('\n', from) - from);
}

// A page rasterised by pdftoppm: RGB pixels, row after row.
struct Raster {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  std::uint32_t at(int x, int y) const {
    const std::size_t i = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
    return std::uint32_t(rgb[i]) << 16 | std::uint32_t(rgb[i + 1]) << 8 | rgb[i + 2];
  }
};

Raster rasterise(const fs::path& pdf, int dpi) {
  Raster r;
  const fs::path prefix = pdf.parent_path() / (pdf.stem().string() + "_page");
  run("pdftoppm -r " + std::to_string(dpi) + " -singlefile '" + pdf.string() + "' '" + prefix.string() + "'");
  std::ifstream in(prefix.string() + ".ppm", std::ios::binary);
  std::string magic;
  int maxval = 0;
  in >> magic >> r.width >> r.height >> maxval;
  in.get();
  if (magic != "P6" || maxval != 255 || r.width <= 0 || r.height <= 0) return Raster{};
  r.rgb.resize(std::size_t(r.width) * std::size_t(r.height) * 3);
  in.read(reinterpret_cast<char*>(r.rgb.data()), std::streamsize(r.rgb.size()));
  return in ? r : Raster{};
}

constexpr std::uint32_t White = 0xFFFFFF, Red = 0xFF0000, Blue = 0x0000FF;

// The colour named when every channel is within 3 of it (the rasteriser's scaling rounds).
std::uint32_t named(std::uint32_t c) {
  for (std::uint32_t n : {White, Red, Blue}) {
    bool near = true;
    for (int shift : {0, 8, 16}) near = near && std::abs(int(c >> shift & 0xFF) - int(n >> shift & 0xFF)) <= 3;
    if (near) return n;
  }
  return c;
}

class Print_Requests : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kornd_print_requests." + std::to_string(getpid()));
    fs::create_directories(dir_);
    fifo_ = (dir_ / "input").string();
    ASSERT_EQ(mkfifo(fifo_.c_str(), 0600), 0);
  }
  void TearDown() override {
    if (fd_ >= 0) close(fd_);
    fs::remove_all(dir_);
  }
  // Starts the server; with a PDF printer its default file is default.pdf in the test folder.
  void Start(const std::string& answers, bool pdf_printer = true, const std::vector<std::string>& args = {}) {
    if (pdf_printer) setenv("KORND_PDF_PRINTER", (dir_ / "default.pdf").c_str(), 1);
    setenv("KORND_TEST_INPUT", fifo_.c_str(), 1);
    ASSERT_TRUE(k_.Start(answers, args)) << k_.Errors();
    unsetenv("KORND_TEST_INPUT");
    unsetenv("KORND_PDF_PRINTER");
    fd_ = open(fifo_.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd_, 0);
  }
  // Opens window w (300 x 200) in view mode 1 with a blue picture and a red rectangle
  // (50, 50)-(150, 100).
  void OpenWindow(int w) {
    ASSERT_EQ(k_.Send("I," + std::to_string(w) + ",300,200,0,19,5,"), std::uint32_t(w)) << k_.Errors();
    channel::KRwinblock* b = k_.MapWindow(w, blocks_[std::size_t(w)]);
    ASSERT_NE(b, nullptr);
    windows_[std::size_t(w)] = b;
    ASSERT_EQ(Req(w, 'A', 22, {0x2FF0000, 0, 0, 0, 300, 200}), std::uint32_t(w));
    ASSERT_EQ(Req(w, 'A', 22, {13, 0, 50, 50, 150, 100}), std::uint32_t(w));
    ASSERT_EQ(Req(w, 'B', 15, {1}), std::uint32_t(w));
  }
  std::uint32_t Req(int w, char letter, int code, std::vector<int> a = {}) {
    channel::KRwinblock* b = windows_[std::size_t(w)];
    b->code = code;
    for (std::size_t i = 0; i < 6; ++i) b->a[i] = i < a.size() ? a[i] : 0;
    return k_.Send(std::string{letter, static_cast<char>(w + 32)});
  }
  // Runs a menu command of window w; true once done, false when refused or disabled.
  bool Command(int w, const std::string& text) {
    const std::string line = "command " + std::to_string(w) + " " + text;
    const int done = k_.CountErrors("kornd input: done " + line), bad = k_.CountErrors("kornd input: bad " + line);
    const std::string sent = line + "\n";
    if (write(fd_, sent.data(), sent.size()) != ssize_t(sent.size())) return false;
    for (int i = 0; i < 1000; ++i) {
      if (k_.CountErrors("kornd input: done " + line) > done) return true;
      if (k_.CountErrors("kornd input: bad " + line) > bad) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  std::string pdf(const std::string& name) const { return (dir_ / name).string(); }
  // The folder's files but the input FIFO (PDFs and any temporary left behind).
  std::vector<std::string> Pdfs() const {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(dir_))
      if (e.path().filename() != "input" && !e.is_directory()) out.push_back(e.path().filename().string());
    return out;
  }

  Kornd_Server k_;
  fs::path dir_;
  std::string fifo_;
  int fd_ = -1;
  std::array<platform::Shared_Block, 3> blocks_;  // windows 1 and 2
  std::array<channel::KRwinblock*, 3> windows_{};
};

}  // namespace

TEST_F(Print_Requests, PrintRequestPrintsOnePage) {
  Start("file=" + pdf("b6.pdf"));
  OpenWindow(1);
  ASSERT_EQ(Req(1, 'B', 6), 1u) << k_.Errors();
  EXPECT_EQ(k_.CountErrors("kornd dialog: [print] [PDF, " + pdf("default.pdf") +
                           ", landscape, 300 dpi] answer=file=" + pdf("b6.pdf")), 1)
      << k_.Errors();
  ASSERT_TRUE(fs::exists(pdf("b6.pdf"))) << k_.Errors();
  EXPECT_EQ(Pdfs(), std::vector<std::string>{"b6.pdf"});  // no temporary left
  EXPECT_EQ(pdf_info(pdf("b6.pdf"), "Pages"), "1");
  EXPECT_EQ(pdf_info(pdf("b6.pdf"), "Page size").substr(0, 14), "792 x 612 pts ");
  // At 30 dpi a printer pixel is a tenth: the picture at (6, 6)-(36, 26), the red rectangle
  // at (11, 11)-(21, 16), paper around.
  const Raster r = rasterise(pdf("b6.pdf"), 30);
  ASSERT_EQ(r.width, 330);
  ASSERT_EQ(r.height, 255);
  struct Probe {
    int x, y;
    std::uint32_t colour;
    const char* what;
  } probes[] = {
      {3, 3, White, "margin"},        {8, 8, Blue, "picture"},          {16, 13, Red, "rectangle"},
      {33, 23, Blue, "picture end"},  {40, 13, White, "right of it"},   {16, 30, White, "below it"},
  };
  for (const Probe& p : probes) EXPECT_EQ(named(r.at(p.x, p.y)), p.colour) << p.what;
  EXPECT_EQ(Req(1, 'B', 0), 1u);  // still serving
}

TEST_F(Print_Requests, TheWindowsMarginsAndThePrintersPage) {
  Start("file=" + pdf("margins.pdf"));
  OpenWindow(1);
  // The PDF printer's landscape letter page at 300 dpi; the page metrics less 59-pixel margins.
  struct Row {
    int n;
    int a3, a4;
  } rows[] = {{12, 3300, 2550}, {13, 300, 300}, {9, 3182, 2432}, {11, 5, 5}};
  for (const Row& r : rows) {
    ASSERT_EQ(Req(1, 'E', r.n), 1u) << r.n;
    EXPECT_EQ(windows_[1]->a[2], r.a3) << r.n;
    EXPECT_EQ(windows_[1]->a[3], r.a4) << r.n;
  }
  ASSERT_EQ(Req(1, 'E', -11, {10, 15}), 1u);
  ASSERT_EQ(Req(1, 'B', 6), 1u);
  // Margins of 10 x 300 / 25 = 120 and 15 x 300 / 25 = 180 pixels: at 30 dpi the picture at
  // (12, 18)-(42, 38), the red rectangle at (17, 23)-(27, 28).
  const Raster r = rasterise(pdf("margins.pdf"), 30);
  ASSERT_EQ(r.width, 330);
  struct Probe {
    int x, y;
    std::uint32_t colour;
    const char* what;
  } probes[] = {
      {10, 25, White, "left margin"}, {20, 16, White, "top margin"}, {13, 19, Blue, "picture corner"},
      {22, 25, Red, "rectangle"},     {44, 25, White, "right of it"}, {22, 40, White, "below it"},
  };
  for (const Probe& p : probes) EXPECT_EQ(named(r.at(p.x, p.y)), p.colour) << p.what;
}

TEST_F(Print_Requests, MarginsLeavingNoRoomPrintNothing) {
  Start("file=" + pdf("none.pdf") + ";OK;file=" + pdf("some.pdf"));
  OpenWindow(1);
  // 106 mm x 300 / 25 = 1272 pixels on each side of 2550 leave 6 pixels; 107 mm leave none.
  ASSERT_EQ(Req(1, 'E', -11, {5, 107}), 1u);
  ASSERT_EQ(Req(1, 'B', 6), 1u);
  EXPECT_EQ(k_.CountErrors("[The print margins leave no room on the page.] buttons=OK"), 1) << k_.Errors();
  EXPECT_EQ(k_.CountErrors("[Cannot print to"), 0) << k_.Errors();
  EXPECT_TRUE(Pdfs().empty());
  ASSERT_EQ(Req(1, 'E', -11, {5, 106}), 1u);
  ASSERT_EQ(Req(1, 'B', 6), 1u);
  EXPECT_EQ(Pdfs(), std::vector<std::string>{"some.pdf"}) << k_.Errors();
}

// The l and L switches choose the default printer's orientation; without either a page at least
// as wide as high is landscape.
class Print_Orientation : public Print_Requests, public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(Print_Orientation, SwitchesTurnThePage) {
  const bool portrait = GetParam() == std::vector<std::string>{"-L"};
  Start("file=" + pdf("turned.pdf"), true, GetParam());
  OpenWindow(1);
  ASSERT_EQ(Req(1, 'E', 12), 1u);
  EXPECT_EQ(windows_[1]->a[2], portrait ? 2550 : 3300);
  EXPECT_EQ(windows_[1]->a[3], portrait ? 3300 : 2550);
  ASSERT_EQ(Req(1, 'E', 9), 1u);
  EXPECT_EQ(windows_[1]->a[2], portrait ? 2432 : 3182);
  EXPECT_EQ(windows_[1]->a[3], portrait ? 3182 : 2432);
  ASSERT_EQ(Req(1, 'B', 6), 1u);
  EXPECT_EQ(pdf_info(pdf("turned.pdf"), "Page size").substr(0, 14), portrait ? "612 x 792 pts " : "792 x 612 pts ");
}

INSTANTIATE_TEST_SUITE_P(Switches, Print_Orientation,
                         ::testing::Values(std::vector<std::string>{}, std::vector<std::string>{"-l"},
                                           std::vector<std::string>{"-L"}));

TEST_F(Print_Requests, CancelPrintsNothing) {
  Start("Cancel;Cancel");
  OpenWindow(1);
  EXPECT_EQ(Req(1, 'B', 6), 1u);
  ASSERT_TRUE(Command(1, "&Print..."));
  EXPECT_EQ(k_.CountErrors("kornd dialog: [print] ["), 2);
  EXPECT_TRUE(Pdfs().empty());
  EXPECT_EQ(Req(1, 'B', 0), 1u);  // a cancelled print does not stop the serving
}

TEST_F(Print_Requests, AFileThatCannotBeWrittenIsReported) {
  const std::string bad = pdf("missing/folder/page.pdf");
  Start("file=" + bad + ";OK");
  OpenWindow(1);
  EXPECT_EQ(Req(1, 'B', 6), 1u);
  EXPECT_EQ(k_.CountErrors("kornd box: [Graphics Window #" + std::to_string(k_.instance()) + "] [Cannot print to " + bad +
                           ".] buttons=OK answer=OK"),
            1)
      << k_.Errors();
  EXPECT_TRUE(Pdfs().empty());
  EXPECT_EQ(Req(1, 'B', 0), 1u);
}

TEST_F(Print_Requests, EachWindowKeepsItsPrinterSetUp) {
  Start("orientation=portrait,file=" + pdf("one.pdf") + ";file=" + pdf("two.pdf") + ";OK;OK;OK");
  OpenWindow(1);
  OpenWindow(2);
  ASSERT_TRUE(Command(1, "P&rint Setup..."));
  ASSERT_TRUE(Command(2, "P&rint Setup..."));
  EXPECT_EQ(Req(2, 'B', 6), 2u);
  EXPECT_EQ(Req(1, 'B', 6), 1u);
  ASSERT_TRUE(Command(2, "&Print..."));
  // Window 1 printed portrait into its own file after window 2 had printed; window 2 printed
  // landscape into its file both times.
  EXPECT_EQ(k_.CountErrors("kornd dialog: [print] [PDF, " + pdf("two.pdf") + ", landscape, 300 dpi] answer=OK"), 2)
      << k_.Errors();
  EXPECT_EQ(k_.CountErrors("kornd dialog: [print] [PDF, " + pdf("one.pdf") + ", portrait, 300 dpi] answer=OK"), 1)
      << k_.Errors();
  EXPECT_EQ(pdf_info(pdf("one.pdf"), "Page size").substr(0, 14), "612 x 792 pts ");
  EXPECT_EQ(pdf_info(pdf("two.pdf"), "Page size").substr(0, 14), "792 x 612 pts ");
  EXPECT_FALSE(fs::exists(pdf("default.pdf")));
}

TEST_F(Print_Requests, ACancelledSetUpKeepsTheWindowsSetUp) {
  Start("orientation=portrait,dpi=150;Cancel;orientation=landscape,colour=red;OK");
  OpenWindow(1);
  ASSERT_TRUE(Command(1, "P&rint Setup..."));
  ASSERT_TRUE(Command(1, "P&rint Setup..."));  // cancelled
  ASSERT_TRUE(Command(1, "P&rint Setup..."));  // not understood: cancelled too
  EXPECT_EQ(k_.CountErrors("kornd dialog: [print setup] [PDF, " + pdf("default.pdf") + ", portrait, 150 dpi]"), 2)
      << k_.Errors();
  EXPECT_EQ(Req(1, 'B', 6), 1u);
  EXPECT_EQ(k_.CountErrors("kornd dialog: [print] [PDF, " + pdf("default.pdf") + ", portrait, 150 dpi] answer=OK"), 1)
      << k_.Errors();
  EXPECT_EQ(pdf_info(pdf("default.pdf"), "Page size").substr(0, 14), "612 x 792 pts ");
}

TEST_F(Print_Requests, PreviewOpenAsksBeforeQuitting) {
  // The preview stays open (OK): quitting asks "Close preview" and asks again; Cancel stops.
  Start("OK;OK;OK;Cancel");
  OpenWindow(1);
  ASSERT_TRUE(Command(1, "Print Pre&view"));
  EXPECT_EQ(k_.CountErrors("kornd dialog: [print preview] [PDF, " + pdf("default.pdf") + ", landscape, 300 dpi]"), 1)
      << k_.Errors();
  k_.Send("L,1,");
  EXPECT_EQ(k_.CountErrors("kornd box: [" ) - k_.CountErrors("[Close preview]"), 2) << k_.Errors();
  EXPECT_EQ(k_.CountErrors("[Close preview]"), 1) << k_.Errors();
  EXPECT_TRUE(Pdfs().empty());  // a preview writes no file
}

TEST_F(Print_Requests, ClosedPreviewLetsTheServerQuit) {
  Start("Close;OK");
  OpenWindow(1);
  ASSERT_TRUE(Command(1, "Print Pre&view"));
  k_.Send("L,1,");
  EXPECT_TRUE(k_.WaitExit(10000)) << k_.Errors();
  EXPECT_EQ(k_.CountErrors("[Close preview]"), 0) << k_.Errors();
}

TEST_F(Print_Requests, PreviewClosesWithItsWindow) {
  Start("OK;OK");
  OpenWindow(1);
  OpenWindow(2);
  ASSERT_TRUE(Command(1, "Print Pre&view"));
  const std::string line = "close 1\n";
  ASSERT_EQ(write(fd_, line.data(), line.size()), ssize_t(line.size()));
  for (int i = 0; i < 500 && k_.CountErrors("kornd input: done close 1") == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(Req(2, 'B', 0), 2u);
  k_.Send("L,1,");
  EXPECT_TRUE(k_.WaitExit(10000)) << k_.Errors();
  EXPECT_EQ(k_.CountErrors("[Close preview]"), 0) << k_.Errors();
}

TEST_F(Print_Requests, WithoutAPrinterNothingPrints) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "this machine has a printer";
  Start("file=" + pdf("never.pdf"), false);
  OpenWindow(1);
  EXPECT_EQ(Req(1, 'B', 6), 1u);
  EXPECT_FALSE(Command(1, "&Print..."));
  EXPECT_FALSE(Command(1, "Print Pre&view"));
  EXPECT_FALSE(Command(1, "P&rint Setup..."));
  EXPECT_EQ(k_.CountErrors("kornd dialog: [print"), 0);
  EXPECT_TRUE(Pdfs().empty());
}
