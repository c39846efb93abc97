// The bitmap, inquiry, pixel, show and symbol requests (D, E, F, G, M) of a running kornd,
// through raw request texts and the mapped window block: numbering of bitmaps and symbols,
// replies and slots of each sub-code, the data area texts, files written and read, and that
// bad files and bad counts are refused while the server goes on serving.
#include <gtest/gtest.h>

#include <stdlib.h>  // mkdtemp
#include <unistd.h>  // ftruncate, close

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <tuple>
#include <string>
#include <vector>

#include "File_Bytes.h"
#include "Kornd_Server.h"
#include "platform/Shared_Buffer.h"

namespace {

constexpr std::uint32_t Failed = 0x80000001u;
const std::uint32_t Minus_One = static_cast<std::uint32_t>(-1);

// Direct colour code of a colour value 0x00bbggrr.
std::int32_t direct(std::uint32_t c) { return static_cast<std::int32_t>(0x2000000u | c); }

// One server with window 1 (200 x 100, black on white) and its mapped block.
class Window_Requests : public ::testing::Test {
 protected:
  void Open(const std::string& answers = "") {
    ASSERT_TRUE(k_.Start(answers)) << k_.Errors();
    ASSERT_EQ(k_.Send("I,1,200,100,0,19,5,"), 1u) << k_.Errors();
    b_ = k_.MapWindow(1, holder_);
    ASSERT_NE(b_, nullptr);
  }
  // A window request to window 1 with its sub-code, slots a1..a6 and optionally a data text.
  std::uint32_t Req(char letter, int code, std::vector<int> a = {}, const std::string* data = nullptr) {
    b_->code = code;
    for (std::size_t i = 0; i < 6; ++i) b_->a[i] = i < a.size() ? a[i] : 0;
    if (data) {
      std::memset(b_->data, 0, channel::Data_Size);
      std::memcpy(b_->data, data->data(), std::min(data->size(), channel::Data_Size - 1));
    }
    return k_.Send(std::string{letter, static_cast<char>(1 + 32)});
  }
  std::uint32_t Req(char letter, int code, std::vector<int> a, const std::string& data) { return Req(letter, code, a, &data); }
  std::string Data() const { return std::string(b_->data, strnlen(b_->data, channel::Data_Size)); }
  // Sends colour values through the data buffer (B 20, B 36) and makes bitmap n of them (D 5).
  std::uint32_t MakeBitmap(int n, int w, int h, int depth, const std::vector<std::uint32_t>& values) {
    const int bytes = static_cast<int>(values.size() * 4);
    if (Req('B', 20, {bytes}) != 1) return 0xBAD;
    for (int at = 0; at < bytes; at += 2048) {
      int piece = std::min(2048, bytes - at);
      std::memcpy(b_->data, reinterpret_cast<const char*>(values.data()) + at, static_cast<std::size_t>(piece));
      if (Req('B', 36, {at, piece}) != 1) return 0xBAD;
    }
    return Req('D', 5, {n, depth, w, h});
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  void TearDown() override {
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }

  Kornd_Server k_;
  platform::Shared_Block holder_;
  channel::KRwinblock* b_ = nullptr;
  std::string dir_ = [] {
    std::string t = std::filesystem::temp_directory_path().string() + "/kornd_bitmaps_XXXXXX";
    return mkdtemp(t.data()) ? t : std::string();
  }();
};

}  // namespace

TEST_F(Window_Requests, BitmapNumbersAreHandedOutInOrder) {
  Open("Ignore;No");
  const std::vector<std::uint32_t> px = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};
  ASSERT_EQ(MakeBitmap(0, 2, 2, 24, px), 1u);
  EXPECT_EQ(Data(), "1");
  ASSERT_EQ(MakeBitmap(0, 2, 2, 24, px), 1u);
  EXPECT_EQ(Data(), "2");
  // A failed load into entry 1 keeps what entry 1 holds: the next n = 0 still gives 3.
  write_file(Path("bad.bmp"), Bytes{'B', 'M', 0, 0});
  EXPECT_EQ(Req('D', 1, {1}, Path("bad.bmp")), 0u);
  ASSERT_EQ(Req('D', 4, {1}), 1u);
  EXPECT_EQ(b_->a[2], 2);
  ASSERT_EQ(MakeBitmap(5, 2, 2, 24, px), 1u);
  EXPECT_EQ(Data(), "5");
  ASSERT_EQ(MakeBitmap(0, 2, 2, 24, px), 1u);
  EXPECT_EQ(Data(), "3");  // the first empty entry below the next number

  // D 4 of bitmap 5: display size, pixel size, depth, highest number, file name.
  ASSERT_EQ(Req('D', 4, {5, 0, 0, 0, 0, 0}), 1u);
  EXPECT_EQ(b_->code, 2);
  EXPECT_EQ(b_->a[0], 2);
  EXPECT_EQ(b_->a[2], 2);
  EXPECT_EQ(b_->a[3], 2);
  EXPECT_EQ(b_->a[4], 24);
  EXPECT_EQ(b_->a[5], 5);
  EXPECT_EQ(Data(), "");

  // D 4 of an empty entry, of a number beyond the table and of a negative one.
  for (int n : {4, 6, 70000, -1}) {
    std::string junk(40, 'x');
    ASSERT_EQ(Req('D', 4, {n, 11, 12, 13, 14, 15}, junk), 1u) << n;
    EXPECT_EQ(std::string(b_->data, 11), std::string("0,0,0,null\0", 11)) << n;
    EXPECT_EQ(b_->code, 4);
    EXPECT_EQ(b_->a[5], 15) << n;  // nothing else is written
  }
  EXPECT_EQ(Req('D', 8, {1}), Minus_One);
  EXPECT_EQ(Req('D', -1, {1}), Minus_One);
}

TEST_F(Window_Requests, BitmapValuesAreCheckedAgainstTheBuffer) {
  Open("No;No;No");
  // 8 bytes cannot hold 10 x 10 values: refused, and the buffer is gone afterwards. A window
  // that never had a large buffer keeps a small one to itself (no file comes with it).
  ASSERT_EQ(Req('B', 20, {8}), 1u);
  EXPECT_EQ(k_.client().TAKE_ATTACHED(), -1);
  EXPECT_EQ(Req('D', 5, {0, 24, 10, 10}), 0u);
  EXPECT_EQ(Data(), "0");
  EXPECT_EQ(Req('D', 5, {0, 24, 1, 1}), 0u);  // no buffer any more
  EXPECT_EQ(k_.CountErrors("[Failed to create bitmap.  Abort?]"), 2) << k_.Errors();
  // A huge buffer is refused without ending the server.
  EXPECT_EQ(Req('B', 20, {2147483647}), 0u);
  EXPECT_EQ(Req('B', 20, {-4}), 0u);
  EXPECT_EQ(MakeBitmap(0, 1, 1, 24, {0x00FFFFFF}), 1u);
  EXPECT_EQ(Data(), "1");
}

TEST_F(Window_Requests, ALargeBufferIsHandedOverAndWrittenInPlace) {
  Open();
  std::vector<std::uint32_t> px(40 * 30);
  for (std::size_t i = 0; i < px.size(); ++i) px[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFF;
  const int bytes = static_cast<int>(px.size() * 4);
  // Through pieces, as a client without the shared buffer sends it: the reference bitmap.
  ASSERT_EQ(MakeBitmap(1, 40, 30, 24, px), 1u);
  ASSERT_EQ(Req('D', 2, {1}, Path("pieces.bmp")), 1u);

  // In place: the reply to B 20 brings the buffer, zero-filled, which the client cannot cut.
  ASSERT_EQ(Req('B', 20, {bytes}), 1u);
  const int fd = k_.client().TAKE_ATTACHED();
  ASSERT_GE(fd, 0);
  EXPECT_NE(ftruncate(fd, 16), 0);
  platform::Shared_Buffer shared;
  ASSERT_TRUE(shared.ADOPT(fd, static_cast<std::size_t>(bytes))) << shared.error();
  const auto* zero = static_cast<const std::uint8_t*>(shared.view());
  EXPECT_TRUE(std::all_of(zero, zero + bytes, [](std::uint8_t c) { return c == 0; }));
  std::memcpy(shared.view(), px.data(), static_cast<std::size_t>(bytes));
  ASSERT_EQ(Req('D', 5, {2, 24, 40, 30}), 1u);
  ASSERT_EQ(Req('D', 2, {2}, Path("in_place.bmp")), 1u);
  EXPECT_EQ(read_file(Path("in_place.bmp")), read_file(Path("pieces.bmp")));

  // The next buffers reuse the file, zero-filled again, down to one data area's worth: the
  // client writes even a small list in place instead of sending it in a piece.
  for (int size : {bytes / 2, 2048, 1}) {
    std::memset(shared.view(), 0x5A, static_cast<std::size_t>(bytes));
    ASSERT_EQ(Req('B', 20, {size}), 1u);
    ASSERT_TRUE(shared.ADOPT(k_.client().TAKE_ATTACHED(), static_cast<std::size_t>(size))) << size;
    EXPECT_EQ(shared.view(), zero) << size;  // the same mapping
    EXPECT_TRUE(std::all_of(zero, zero + size, [](std::uint8_t c) { return c == 0; })) << size;
    EXPECT_EQ(zero[size], 0x5A) << size;
  }
  // Written in place, a small buffer makes the same bitmap as its pieces would.
  ASSERT_EQ(Req('B', 20, {4}), 1u);
  ASSERT_TRUE(shared.ADOPT(k_.client().TAKE_ATTACHED(), 4));
  const std::uint32_t red = 0x0000FF;
  std::memcpy(shared.view(), &red, 4);
  ASSERT_EQ(Req('D', 5, {3, 24, 1, 1}), 1u);
  ASSERT_EQ(Req('D', 2, {3}, Path("small.bmp")), 1u);
  ASSERT_EQ(MakeBitmap(4, 1, 1, 24, {red}), 1u);
  ASSERT_EQ(Req('D', 2, {4}, Path("small_pieces.bmp")), 1u);
  EXPECT_EQ(read_file(Path("small.bmp")), read_file(Path("small_pieces.bmp")));
  // A refused size brings none either.
  EXPECT_EQ(Req('B', 20, {-4}), 0u);
  EXPECT_EQ(k_.client().TAKE_ATTACHED(), -1);
}

TEST_F(Window_Requests, ColourCodesBecomeValuesInTheBuffer) {
  Open();
  EXPECT_EQ(Req('D', 6, {0, 1}), 0u);  // no data buffer
  ASSERT_EQ(Req('B', 20, {16}), 1u);
  const std::int32_t codes[4] = {direct(0x0000FF), direct(0x00FF00), direct(0xFF0000), direct(0x123456)};
  std::memcpy(b_->data, codes, sizeof codes);
  b_->code = 6;
  for (auto [first, count, reply] : {std::tuple{1, 4, 0u}, std::tuple{-1, 1, 0u}, std::tuple{0, -1, 0u}, std::tuple{0, 4, 1u}}) {
    std::memcpy(b_->data, codes, sizeof codes);
    b_->code = 6;
    b_->a[0] = first;
    b_->a[1] = count;
    EXPECT_EQ(k_.Send(std::string{'D', 33}), reply) << first << "," << count;
  }
  // The buffer now holds the four colour values: a 2 x 2 bitmap of them, written as a file.
  ASSERT_EQ(Req('D', 5, {0, 24, 2, 2}), 1u);
  const std::string file = Path("codes.bmp");
  ASSERT_EQ(Req('D', 2, {1}, file), 1u);
  Bytes f = read_file(file);
  ASSERT_EQ(f.size(), 54u + 16u);
  // Bottom row first: (0x123456... ) blue, green, red bytes of 0xFF0000 then 0x123456.
  const Bytes bottom(f.begin() + 54, f.begin() + 60), top(f.begin() + 62, f.begin() + 68);
  EXPECT_EQ(bottom, (Bytes{0xFF, 0x00, 0x00, 0x12, 0x34, 0x56}));
  EXPECT_EQ(top, (Bytes{0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00}));
}

TEST_F(Window_Requests, BitmapFilesRoundTripAndBadFilesKeepTheHeldBitmap) {
  Open("Ignore;No;No;No");
  // An 8-bit file of 3 x 2 with 256 colours.
  Bytes good(1078 + 8, 0);
  good[0] = 'B', good[1] = 'M';
  auto put = [](Bytes& b, std::size_t at, std::uint32_t v) { for (int i = 0; i < 4; ++i) b[at + i] = std::uint8_t(v >> (8 * i)); };
  put(good, 2, static_cast<std::uint32_t>(good.size()));
  put(good, 10, 1078);
  put(good, 14, 40), put(good, 18, 3), put(good, 22, 2);
  good[26] = 1, good[28] = 8;
  put(good, 34, 8), put(good, 46, 256);
  for (int i = 0; i < 256; ++i) good[54 + 4 * i] = std::uint8_t(i), good[55 + 4 * i] = std::uint8_t(i * 3);
  for (int i = 0; i < 8; ++i) good[1078 + i] = std::uint8_t(i * 30);
  const std::string in = Path("in.bmp"), out = Path("out.bmp"), bad = Path("bad.bmp");
  write_file(in, good);
  ASSERT_EQ(Req('D', 1, {0}, in), 1u) << k_.Errors();
  EXPECT_EQ(Data(), "1");
  ASSERT_EQ(Req('D', 4, {1}), 1u);
  EXPECT_EQ(Data(), "in.bmp");
  EXPECT_EQ(b_->a[4], 8);
  ASSERT_EQ(Req('D', 2, {1}, out), 1u);
  EXPECT_EQ(read_file(out), good);

  // A malformed file: refused with its box (answered Ignore) and the question (No);
  // bitmap 1 stays as it was and the server goes on.
  Bytes broken = good;
  put(broken, 10, 999999);
  write_file(bad, broken);
  EXPECT_EQ(Req('D', 1, {1}, bad), 0u);
  EXPECT_EQ(k_.CountErrors("[Kornd: Error] [Failed to read bitmap file " + bad + " (3 x 2, 8 BPP, FORMAT = RGB)]"), 1)
      << k_.Errors();
  EXPECT_EQ(k_.CountErrors("[Failed to create bitmap.  Abort?]"), 1);
  ASSERT_EQ(Req('D', 4, {1}), 1u);
  EXPECT_EQ(Data(), "out.bmp");  // the name it was last written to
  EXPECT_EQ(b_->a[2], 3);

  // Saving an empty entry and copying a missing source raise their questions.
  EXPECT_EQ(Req('D', 2, {7}, out), 0u);
  EXPECT_EQ(k_.CountErrors("[Failed to open file.  Abort?]"), 1);
  EXPECT_EQ(Req('D', 3, {0, 9}), 0u);
  EXPECT_EQ(k_.CountErrors("[Invalid bitmap.  Abort?]"), 1);
  EXPECT_EQ(Req('D', 2, {-1}, out), 0u);
  // A copy takes the next number.
  ASSERT_EQ(Req('D', 3, {0, 1}), 1u);
  EXPECT_EQ(Data(), "2");
  EXPECT_EQ(Req('D', 0, {2, 0, 40, 30}), 2u);
  ASSERT_EQ(Req('D', 4, {2}), 1u);
  EXPECT_EQ(b_->code, 40);
  EXPECT_EQ(b_->a[0], 30);
  EXPECT_EQ(Req('D', 0, {3}), 0u);
}

TEST_F(Window_Requests, SizesAndPositions) {
  Open();
  ASSERT_EQ(Req('E', 2, {}), 1u);
  const int sw = b_->a[2], sh = b_->a[3];
  EXPECT_GT(sw, 0);
  EXPECT_EQ(Req('E', -2, {640, 480}), 0u);  // not settable, still reported
  EXPECT_EQ(b_->a[2], sw);
  EXPECT_EQ(b_->a[3], sh);

  ASSERT_EQ(Req('E', 9, {}), 1u);
  const int pw = b_->a[2], ph = b_->a[3];
  EXPECT_EQ(Req('E', -9, {0, 500}), 1u);  // window number, nothing changed
  EXPECT_EQ(b_->a[2], pw);
  EXPECT_EQ(b_->a[3], ph);
  EXPECT_EQ(Req('E', -9, {1000, 800}), 1u);
  EXPECT_EQ(b_->a[2], 1000);
  EXPECT_EQ(b_->a[3], 800);

  EXPECT_EQ(Req('E', -7, {0, 20}), 0u);  // zero width refused, a1 and a2 echoed
  EXPECT_EQ(b_->a[2], 0);
  EXPECT_EQ(b_->a[3], 20);
  EXPECT_EQ(Req('E', -7, {50, 20}), 1u);
  EXPECT_EQ(Req('E', 7, {}), 1u);
  EXPECT_EQ(b_->a[2], 50);
  EXPECT_EQ(b_->a[3], 20);
  EXPECT_EQ(Req('E', -8, {10, 5}), 1u);
  EXPECT_EQ(Req('E', 8, {}), 1u);
  EXPECT_EQ(b_->a[2], 10);
  EXPECT_EQ(b_->a[3], 5);

  EXPECT_EQ(Req('E', -1, {300, 150}), 1u);
  EXPECT_EQ(b_->a[2], 300);
  EXPECT_EQ(b_->a[3], 150);
  EXPECT_EQ(Req('E', -1, {300, 0}), 0u);
  EXPECT_EQ(Req('E', 11, {}), 1u);
  EXPECT_EQ(b_->a[2], 5);
  EXPECT_EQ(Req('E', -11, {7, 8}), 1u);
  EXPECT_EQ(b_->a[3], 8);
  EXPECT_EQ(Req('E', -11, {-7, 8}), 0u);
  EXPECT_EQ(Req('E', -12, {1, 1}), 1u);
  for (int n : {0, 14, -14}) EXPECT_EQ(Req('E', n, {1, 1}), 0u) << n;
  EXPECT_EQ(Req('E', -4, {0, 10}), 0u);
  EXPECT_EQ(Req('E', -5, {120, 80}), 1u);
  EXPECT_EQ(Req('E', 5, {}), 1u);
  EXPECT_EQ(b_->a[2], 120);
  EXPECT_EQ(b_->a[3], 80);
}

TEST_F(Window_Requests, PixelColourAndShowStates) {
  Open();
  ASSERT_EQ(Req('A', 19, {10, 20, direct(0x123456)}), 1u);
  ASSERT_EQ(Req('F', 10, {20}), 1u);
  EXPECT_EQ(b_->a[2], 0x123456);
  ASSERT_EQ(Req('F', 11, {20}), 1u);
  EXPECT_EQ(b_->a[2], 0xFFFFFF);
  ASSERT_EQ(Req('F', -1, {20}), 1u);
  EXPECT_EQ(b_->a[2], -1);
  for (int s : {26, -1, 13, 15, 18, -2}) EXPECT_EQ(Req('G', s, {}), 1u) << s;
  EXPECT_EQ(Req('F', 10, {20}), 1u);  // still serving
}

TEST_F(Window_Requests, SymbolsRecordedSavedLoadedCopiedAndDeleted) {
  Open();
  // M 6 of a missing symbol: 0, with the highest number still written.
  EXPECT_EQ(Req('M', 6, {1, 0, 0, 0, 0, 99}), 0u);
  EXPECT_EQ(b_->a[5], 0);
  EXPECT_EQ(Req('M', 1, {}), 0u);  // no recording open

  ASSERT_EQ(Req('M', 0, {0, 0, 20, 10}), 1u);
  EXPECT_EQ(Data(), "1");
  EXPECT_EQ(Req('M', 0, {0, 0, 20, 10}), 0u);  // one recording at a time
  ASSERT_EQ(Req('A', 19, {3, 4, direct(0x0000FF)}), 1u);  // into the symbol, not the window
  ASSERT_EQ(Req('M', 1, {}), 1u);
  EXPECT_EQ(Data(), "1");
  ASSERT_EQ(Req('F', 3, {4}), 1u);
  EXPECT_EQ(b_->a[2], 0xFFFFFF);

  ASSERT_EQ(Req('M', 6, {1}), 1u);
  EXPECT_EQ(b_->code, 20);
  EXPECT_EQ(b_->a[0], 10);
  const int fw = b_->a[2], fh = b_->a[3];
  EXPECT_EQ(fw % 20, 0);
  EXPECT_GT(fw, 0);
  EXPECT_EQ(fh, fw / 2);
  EXPECT_EQ(b_->a[5], 1);

  const std::string file = Path("sym.emf");
  ASSERT_EQ(Req('M', 3, {1}, file), 1u);
  Bytes emf = read_file(file);
  ASSERT_GE(emf.size(), 108u);
  EXPECT_EQ(std::string(emf.begin() + 40, emf.begin() + 44), " EMF");
  EXPECT_EQ(get32(emf, 32), static_cast<std::uint32_t>(fw));
  EXPECT_EQ(get32(emf, 36), static_cast<std::uint32_t>(fh));

  ASSERT_EQ(Req('M', 2, {4}, file), 1u);
  EXPECT_EQ(Data(), "4");
  EXPECT_EQ(k_.CountErrors("kornd dialog:"), 0);  // an existing name is read without a dialog
  ASSERT_EQ(Req('M', 6, {4}), 1u);
  EXPECT_EQ(b_->code, 20);
  EXPECT_EQ(b_->a[0], 10);
  EXPECT_EQ(Data(), file);
  EXPECT_EQ(b_->a[5], 4);

  // A malformed file is refused and symbol 4 stays.
  Bytes broken = emf;
  broken[44] ^= 0xFF;
  broken[5] = 0x7F;
  write_file(Path("bad.emf"), broken);
  EXPECT_EQ(Req('M', 2, {4}, Path("bad.emf")), 0u);
  ASSERT_EQ(Req('M', 6, {4}), 1u);
  EXPECT_EQ(Data(), file);

  ASSERT_EQ(Req('M', 4, {4, 0}), 1u);  // copy into the first free entry
  EXPECT_EQ(Data(), "2");
  EXPECT_EQ(Req('M', 4, {3, 0}), 0u);  // no picture in 3
  ASSERT_EQ(Req('M', 5, {2}), 1u);
  EXPECT_EQ(Data(), "2");
  EXPECT_EQ(Req('M', 6, {2}), 0u);
  EXPECT_EQ(Req('M', 5, {2}), 0u);
  EXPECT_EQ(Req('M', 3, {2}, file), 0u);
  EXPECT_EQ(Req('M', 8, {}), Minus_One);
  EXPECT_EQ(Req('M', -1, {}), Minus_One);
}

TEST_F(Window_Requests, MarkerSymbols) {
  Open();
  ASSERT_EQ(Req('M', 7, {0, 2, 9, direct(0x00FF00), -100, 4}), 1u);
  EXPECT_EQ(Data(), "1");
  ASSERT_EQ(Req('M', 6, {1}), 1u);
  EXPECT_EQ(b_->code, 9);
  EXPECT_EQ(b_->a[0], 9);
  EXPECT_EQ(Req('M', 7, {0, 2, 9, direct(0x00FF00), -100, 16}), 0u);  // no mix code 16
  EXPECT_EQ(Req('M', 7, {0, 2, 9, direct(0x00FF00), -100, -1}), 0u);
  ASSERT_EQ(Req('M', 7, {0, 1, 0, direct(0x00FF00), -100, 4}), 1u);
  EXPECT_EQ(Data(), "2");
  ASSERT_EQ(Req('M', 6, {2}), 1u);
  EXPECT_EQ(b_->code, b_->a[0]);
  // While a recording is open, a marker cannot go into the recording entry.
  ASSERT_EQ(Req('M', 0, {3, 0, 5, 5}), 3u);
  EXPECT_EQ(Req('M', 7, {3, 2, 9, direct(0x00FF00), -100, 4}), 0u);
  EXPECT_EQ(Req('M', 2, {3}, Path("none.emf")), 0u);
  ASSERT_EQ(Req('M', 1, {}), 1u);
}

TEST_F(Window_Requests, TextBitmapsShowTheTextInTheTextColours) {
  Open();
  ASSERT_EQ(Req('A', 19, {0, 0, -1}), 1u);  // a pixel in the foreground colour
  ASSERT_EQ(Req('F', 0, {0}), 1u);
  const std::uint32_t fg = static_cast<std::uint32_t>(b_->a[2]);
  ASSERT_EQ(Req('F', 5, {5}), 1u);
  const std::uint32_t bg = static_cast<std::uint32_t>(b_->a[2]);
  ASSERT_EQ(Req('D', 7, {0, 0, 60, 30, 2, 0}, std::string("WWW")), 1u);
  EXPECT_EQ(Data(), "1");
  ASSERT_EQ(Req('D', 4, {1}), 1u);
  EXPECT_EQ(b_->a[2], 60);
  EXPECT_EQ(b_->a[3], 30);
  EXPECT_EQ(b_->a[4], 1);
  const std::string file = Path("text.bmp");
  ASSERT_EQ(Req('D', 2, {1}, file), 1u);
  Bytes f = read_file(file);
  ASSERT_EQ(f.size(), 62u + 8u * 30u);
  EXPECT_EQ(get32(f, 10), 62u);
  auto entry = [&f](int i) { return std::uint32_t(f[54 + 4 * i + 2]) | std::uint32_t(f[55 + 4 * i]) << 8 | std::uint32_t(f[54 + 4 * i]) << 16; };
  EXPECT_EQ(entry(0), fg);  // the text
  EXPECT_EQ(entry(1), bg);  // the background
  int text_bits = 0;
  for (int row = 0; row < 30; ++row)
    for (int x = 0; x < 60; ++x) text_bits += (f[62 + 8 * row + x / 8] >> (7 - x % 8) & 1) == 0;
  EXPECT_GT(text_bits, 0);
  EXPECT_LT(text_bits, 60 * 30);
  // A requested number is taken as it is.
  ASSERT_EQ(Req('D', 7, {9, 0, 10, 10, 0, 0}, std::string("x")), 1u);
  EXPECT_EQ(Data(), "9");
}

TEST_F(Window_Requests, NamesWithAStarAskForTheFile) {
  const std::string bmp_file = Path("picked.bmp"), emf_file = Path("picked.emf");
  Open(bmp_file + ";" + emf_file + ";;");
  // Make the two files first: a bitmap and a marker symbol, written under their names.
  ASSERT_EQ(MakeBitmap(0, 2, 1, 24, {0x0000FF, 0x00FF00}), 1u);
  ASSERT_EQ(Req('D', 2, {1}, bmp_file), 1u);
  ASSERT_EQ(Req('M', 7, {0, 2, 5, direct(0x00FF00), -100, 4}), 1u);
  ASSERT_EQ(Req('M', 3, {1}, emf_file), 1u);
  ASSERT_EQ(Req('D', 1, {0}, std::string("*.bmp")), 1u);
  EXPECT_EQ(Data(), "2");
  EXPECT_EQ(k_.CountErrors("kornd dialog: [open file] [*.bmp] answer=" + bmp_file), 1) << k_.Errors();
  ASSERT_EQ(Req('M', 2, {0}, std::string("*.emf")), 1u);
  EXPECT_EQ(Data(), "2");
  EXPECT_EQ(k_.CountErrors("kornd dialog: [open file] [*.emf] answer=" + emf_file), 1) << k_.Errors();
  // A name that names no file asks too; the empty answer cancels: no symbol.
  EXPECT_EQ(Req('M', 2, {0}, Path("missing.emf")), 0u);
  EXPECT_EQ(k_.CountErrors("kornd dialog: [open file] [*.emf] answer="), 2);
}

TEST_F(Window_Requests, CorruptedBitmapFilesAreRefusedAndTheServerGoesOn) {
  std::string answers;
  for (int i = 0; i < 60; ++i) answers += "Ignore;No;";
  Open(answers);
  const std::vector<std::uint32_t> px = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 0x101010, 0x202020};
  ASSERT_EQ(MakeBitmap(0, 3, 2, 8, px), 1u);
  const std::string good_file = Path("good.bmp");
  ASSERT_EQ(Req('D', 2, {1}, good_file), 1u);
  const Bytes good = read_file(good_file);
  std::uint32_t seed = 2024;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
  int refused = 0;
  for (int round = 0; round < 40; ++round) {
    Bytes b = good;
    for (int c = 0; c < 3; ++c) b[next() % 80] = static_cast<std::uint8_t>(next());
    if (round % 4 == 0) b.resize(next() % b.size());
    write_file(Path("fuzz.bmp"), b);
    const std::uint32_t r = Req('D', 1, {1}, Path("fuzz.bmp"));
    ASSERT_TRUE(r == 0u || r == 1u) << "round " << round << ": " << r;
    refused += r == 0;
    ASSERT_TRUE(k_.running());
  }
  EXPECT_GT(refused, 0);
  EXPECT_EQ(k_.CountErrors("answer=Abort"), 0);
  EXPECT_EQ(MakeBitmap(0, 1, 1, 24, {0}), 1u);  // still serving
}

TEST_F(Window_Requests, ABitmapFileThatCannotBeOpenedAsksOnceThenFails) {
  Open(Path("still_missing.bmp") + ";No");
  EXPECT_EQ(Req('D', 1, {0}, Path("missing.bmp")), 0u);
  EXPECT_EQ(Data(), "0");
  EXPECT_EQ(k_.CountErrors("kornd dialog: [open file] [" + Path("missing.bmp") + "]"), 1) << k_.Errors();
  EXPECT_EQ(k_.CountErrors("[Failed to open file.  Abort?] buttons=Yes,No answer=No"), 1) << k_.Errors();
  EXPECT_EQ(k_.CountErrors("Kornd Error-1"), 0);
  EXPECT_EQ(Req('D', 4, {1}), 1u);
  EXPECT_EQ(Data(), "0,0,0,null");
}
