// Picture files through a running server: B 12 saves a window with its bitmaps (by file name)
// and symbols (by their bits, also one loaded from a file), B 11 loads it into another window,
// which then shows the same pixels even after the symbol's file is gone; refused files and
// empty windows through the requests.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "File_Bytes.h"
#include "Kornd_Server.h"
#include "platform/Channel_Blocks.h"

namespace {

std::int32_t direct(std::uint32_t c) { return static_cast<std::int32_t>(0x2000000u | c); }

class Pictures : public ::testing::Test {
 protected:
  void Open(const std::string& answers, bool with_input = false) {
    if (with_input) {
      // The test input seam: "command <w> <menu text>" lines reach the server's menus.
      ASSERT_EQ(mkfifo(fifo_.c_str(), 0600), 0);
      setenv("KORND_TEST_INPUT", fifo_.c_str(), 1);
    }
    const bool started = k_.Start(answers);
    unsetenv("KORND_TEST_INPUT");
    ASSERT_TRUE(started) << k_.Errors();
    if (with_input) {
      fd_ = open(fifo_.c_str(), O_WRONLY | O_CLOEXEC);
      ASSERT_GE(fd_, 0);
    }
    for (int w : {1, 2}) {
      ASSERT_EQ(k_.Send("I," + std::to_string(w) + ",200,100,0,19,5,"), std::uint32_t(w)) << k_.Errors();
      b_[w] = k_.MapWindow(w, holder_[w]);
      ASSERT_NE(b_[w], nullptr);
    }
  }
  std::uint32_t Req(int w, char letter, int code, std::vector<int> a = {}, const std::string& data = {}) {
    channel::KRwinblock& b = *b_[w];
    b.code = code;
    for (std::size_t i = 0; i < 6; ++i) b.a[i] = i < a.size() ? a[i] : 0;
    std::memset(b.data, 0, channel::Data_Size);
    std::memcpy(b.data, data.data(), std::min(data.size(), channel::Data_Size - 1));
    return k_.Send(std::string{letter, static_cast<char>(w + 32)});
  }
  std::int32_t Pixel(int w, int x, int y) {
    EXPECT_EQ(Req(w, 'F', x, {y}), std::uint32_t(w));
    return b_[w]->a[2];
  }
  std::uint32_t MakeBitmap(int n, std::uint32_t colour) {
    const std::vector<std::uint32_t> values(8, colour);
    if (Req(1, 'B', 20, {32}) != 1) return 0xBAD;
    std::memcpy(b_[1]->data, values.data(), 32);
    b_[1]->code = 36, b_[1]->a[0] = 0, b_[1]->a[1] = 32;
    if (k_.Send(std::string{'B', 33}) != 1) return 0xBAD;
    return Req(1, 'D', 5, {n, 24, 4, 2});
  }
  // Runs a menu command of window w and waits until the server reports it done.
  bool Command(int w, const std::string& text) {
    const std::string line = "command " + std::to_string(w) + " " + text;
    const int before = k_.CountErrors("kornd input: done " + line);
    const std::string sent = line + "\n";
    if (write(fd_, sent.data(), sent.size()) != ssize_t(sent.size())) return false;
    for (int i = 0; i < 500; ++i) {
      if (k_.CountErrors("kornd input: done " + line) > before) return true;
      if (k_.CountErrors("kornd input: bad " + line) > 0) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  void TearDown() override {
    if (fd_ >= 0) {
      close(fd_);
      unlink(fifo_.c_str());
    }
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  Kornd_Server k_;
  platform::Shared_Block holder_[3];
  channel::KRwinblock* b_[3] = {};
  std::string fifo_ = std::filesystem::temp_directory_path().string() + "/kornd_pictures_input_" + std::to_string(getpid());
  int fd_ = -1;
  std::string dir_ = [] {
    std::string t = std::filesystem::temp_directory_path().string() + "/kornd_pictures_XXXXXX";
    return mkdtemp(t.data()) ? t : std::string();
  }();
};

}  // namespace

TEST_F(Pictures, SavedWithBitmapsAndSymbolsLoadedIntoAnotherWindow) {
  Open("No");
  // Symbol 1 recorded in the window, symbol 2 loaded from its file.
  ASSERT_EQ(Req(1, 'M', 0, {0, 0, 20, 10}), 1u);
  ASSERT_EQ(Req(1, 'A', 22, {direct(0x0000FF), 0, 0, 0, 20, 10}), 1u);
  ASSERT_EQ(Req(1, 'M', 1), 1u);
  ASSERT_EQ(Req(1, 'M', 3, {1}, Path("sym.emf")), 1u);
  ASSERT_EQ(Req(1, 'M', 2, {2}, Path("sym.emf")), 1u);
  // Bitmap 1 written to a file (so it has a name), bitmap 2 without one.
  ASSERT_EQ(MakeBitmap(1, 0x00FF00), 1u);
  ASSERT_EQ(Req(1, 'D', 2, {1}, Path("b1.bmp")), 1u);
  ASSERT_EQ(MakeBitmap(2, 0xFF0000), 1u);  // the window number
  // A line, symbol 2 at (50, 50), bitmap 1 at (100, 60).
  ASSERT_EQ(Req(1, 'A', 11, {10, 90}), 1u);
  ASSERT_EQ(Req(1, 'A', 20, {190, 90}), 1u);
  b_[1]->combined_number = 2;
  ASSERT_EQ(Req(1, 'A', 12, {50, 50}), 1u);
  b_[1]->bitmap_number = 1, b_[1]->bitmap_rop = 0;
  ASSERT_EQ(Req(1, 'A', 13, {100, 60}), 1u);
  // The picture of window 1 on a grid: it shows the symbol's red and the bitmap's green.
  std::vector<std::int32_t> before;
  for (int y = 0; y < 100; y += 2)
    for (int x = 0; x < 200; x += 2) before.push_back(Pixel(1, x, y));
  EXPECT_NE(std::count(before.begin(), before.end(), 0x0000FF), 0);
  EXPECT_NE(std::count(before.begin(), before.end(), 0x00FF00), 0);

  ASSERT_EQ(Req(1, 'B', 12, {0, 0, 0, 0}, Path("pic")), 1u) << k_.Errors();
  EXPECT_EQ(k_.CountErrors("[Save the bitmap #2 to a file]"), 1) << k_.Errors();
  const Bytes b = read_file(Path("pic.krd"));
  ASSERT_GT(b.size(), 2400u);
  // Bitmap 1 by its name only; then symbols 1 and 2, both by their bits.
  std::size_t at = 2344;
  ASSERT_EQ(get32(b, at), 1u);
  ASSERT_EQ(b[at + 4], 6);
  EXPECT_EQ(std::string(b.begin() + std::ptrdiff_t(at) + 5, b.begin() + std::ptrdiff_t(at) + 11), "b1.bmp");
  at += 4 + 7 + 20;
  EXPECT_EQ(get32(b, at), 0u);
  at += 4;
  for (std::uint32_t symbol : {1u, 2u}) {
    ASSERT_EQ(get32(b, at), symbol);
    const std::uint32_t size = get32(b, at + 4);
    EXPECT_GT(size, 108u) << symbol;
    at += 8 + size;
  }
  EXPECT_EQ(get32(b, at), 0u);

  std::filesystem::remove(Path("sym.emf"));
  EXPECT_EQ(Req(2, 'B', 11, {0}, Path("pic.krd")), 2u) << k_.Errors();
  std::vector<std::int32_t> after;
  for (int y = 0; y < 100; y += 2)
    for (int x = 0; x < 200; x += 2) after.push_back(Pixel(2, x, y));
  EXPECT_EQ(after, before);
  EXPECT_EQ(k_.CountErrors("kornd dialog:"), 0) << k_.Errors();
}

TEST_F(Pictures, RefusedFilesAndEmptyWindowsThroughRequests) {
  Open("");
  // Window 2 is empty: nothing to save, and an existing file is kept.
  { std::ofstream(Path("old.krd")) << "old"; }
  EXPECT_EQ(Req(2, 'B', 12, {0, 0, 1, 0}, Path("old.krd")), 0u);
  EXPECT_EQ(read_file(Path("old.krd")), (Bytes{'o', 'l', 'd'}));
  ASSERT_EQ(Req(1, 'A', 19, {5, 5, direct(0x123456)}), 1u);
  ASSERT_EQ(Req(1, 'B', 12, {0, 0, 1, 0}, Path("one.krd")), 1u);
  Bytes b = read_file(Path("one.krd"));
  ASSERT_GT(b.size(), 4u);
  b[3] = 0x97;
  { std::ofstream(Path("old-version.krd"), std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size())); }
  EXPECT_EQ(Req(2, 'B', 11, {0}, Path("old-version.krd")), 2u);
  EXPECT_EQ(k_.CountErrors("[Invakid file  (Ver: 0997 != 0998) ]"), 1) << k_.Errors();
  EXPECT_EQ(Pixel(2, 5, 5), 0xFFFFFF);
  // The good file: its pixel appears in window 2; a pixel read right after drawing sees it.
  EXPECT_EQ(Req(2, 'B', 11, {0}, Path("one.krd")), 2u);
  EXPECT_EQ(Pixel(2, 5, 5), 0x123456);
  ASSERT_EQ(Req(2, 'A', 19, {6, 5, direct(0x654321)}), 2u);
  EXPECT_EQ(Pixel(2, 6, 5), 0x654321);
}

TEST_F(Pictures, SaveAsAsksWithTheFiltersAndNeverHarmsAnExistingFile) {
  Open(Path("keep.krd") + ";" + Path("saved") + ";" + Path("copy.emf") + ";Cancel", true);
  const std::string filters =
      "[Kornd Files (*.krd; *.emf; *.bmp)|*.krd;*.emf;*.bmp|KRD Files (*.krd)|*.krd|Metafiles (*.emf)|*.emf|"
      "Bitmap Files (*.bmp)|*.bmp|All Files (*.*)|*.*]";
  // An empty window has nothing to save: "Save As" onto an existing file writes nothing and
  // keeps it. The dialog starts from the window's title cut at the first of " #%;/\".
  ASSERT_EQ(k_.Send("I,3,200,100,0,19,5,Ni;Al 600K"), 3u) << k_.Errors();
  { std::ofstream(Path("keep.krd")) << "old"; }
  ASSERT_TRUE(Command(3, "Save &As...")) << k_.Errors();
  EXPECT_EQ(k_.CountErrors("kornd dialog: [save file] [Ni.krd] [Save As] " + filters + " answer=" + Path("keep.krd")), 1)
      << k_.Errors();
  EXPECT_EQ(read_file(Path("keep.krd")), (Bytes{'o', 'l', 'd'}));
  // Window 1 saved under a name without extension: the picture file gets ".krd" and the
  // window that name, which a later save of a copy starts from.
  ASSERT_EQ(Req(1, 'A', 19, {5, 5, direct(0x123456)}), 1u);
  ASSERT_TRUE(Command(1, "Save &As...")) << k_.Errors();
  const Bytes saved = read_file(Path("saved.krd"));
  ASSERT_GT(saved.size(), 4u);
  EXPECT_EQ(std::string(saved.begin(), saved.begin() + 2), "KR");
  ASSERT_EQ(Req(1, 'B', 12, {0, 0, 0, 0}, ""), 1u) << k_.Errors();
  EXPECT_EQ(k_.CountErrors("kornd dialog: [save file] [" + Path("saved.krd") + "] [Save Copy As] " + filters +
                           " answer=" + Path("copy.emf")),
            1)
      << k_.Errors();
  const Bytes copy = read_file(Path("copy.emf"));
  ASSERT_GT(copy.size(), 108u);
  EXPECT_EQ(get32(copy, 40), 0x464D4520u);
  // The picture goes in at a pixel per logical unit of the area it covers.
  const auto tiles = stretch_records(copy);
  ASSERT_FALSE(tiles.empty());
  for (const auto& t : tiles) {
    EXPECT_EQ(t[8], t[16]);
    EXPECT_EQ(t[9], t[17]);
  }
  // A cancelled dialog writes nothing and leaves the picture file as it was.
  ASSERT_TRUE(Command(1, "Save &As...")) << k_.Errors();
  EXPECT_EQ(read_file(Path("saved.krd")), saved);
  EXPECT_EQ(k_.CountErrors("kornd dialog: [save file]"), 4) << k_.Errors();
}

TEST_F(Pictures, AFailedSaveAsIsShownWithTheFileAndTheReason) {
  const std::string path = Path("gone/pic.krd");
  Open(path + ";Retry;Ignore", true);
  ASSERT_EQ(Req(1, 'A', 19, {5, 5, direct(0x123456)}), 1u);
  ASSERT_TRUE(Command(1, "Save &As...")) << k_.Errors();
  // Retry tries once more; Ignore gives up and the server goes on serving.
  const std::string box = "kornd box: [Kornd: Error] [Cannot write file " + path +
                          ":\\nNo such file or directory.] buttons=Abort,Retry,Ignore answer=";
  EXPECT_EQ(k_.CountErrors(box + "Retry"), 1) << k_.Errors();
  EXPECT_EQ(k_.CountErrors(box + "Ignore"), 1) << k_.Errors();
  EXPECT_FALSE(std::filesystem::exists(Path("gone")));
  EXPECT_EQ(Pixel(1, 5, 5), 0x123456);
}

TEST_F(Pictures, PictureFilesOnTheCommandLineOpenWindows) {
  // A picture of one red pixel, made by a first server.
  Open("");
  ASSERT_EQ(Req(1, 'A', 19, {7, 8, direct(0x0000FF)}), 1u);
  ASSERT_EQ(Req(1, 'B', 12, {0, 0, 1, 0}, Path("red.krd")), 1u);
  k_.Stop();
  Bytes old = read_file(Path("red.krd"));
  old[3] = 0x97;
  { std::ofstream(Path("old.krd"), std::ios::binary).write(reinterpret_cast<const char*>(old.data()), std::streamsize(old.size())); }
  // The refused file opens no window; the good one opens one, with its picture. The pictures
  // open before the availability line is written, so the server is offered to clients (Start
  // waits for that line) whatever their windows wrote into the instance block.
  Kornd_Server s;
  ASSERT_TRUE(s.Start("", {Path("old.krd"), "-B", Path("red.krd")})) << s.Errors();
  EXPECT_EQ(s.InstanceLine().rfind("0," + std::to_string(s.pid()) + ",", 0), 0u);
  platform::Shared_Block holder;
  channel::KRwinblock* b = s.MapWindow(1, holder);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->width, 200);
  EXPECT_EQ(s.Send(WINDOW_REQUEST(*b, 1, 'F', 7, {8})), 1u);
  EXPECT_EQ(b->a[2], 0x0000FF);
  EXPECT_FALSE(SHM_EXISTS(channel::WINDOW_BLOCK_NAME(s.instance(), 2)));
  const std::string text = s.Errors();
  EXPECT_NE(text.find("[Invakid file  (Ver: 0997 != 0998) ]"), std::string::npos) << text;
}
