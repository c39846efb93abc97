// Bitmaps in process: ".bmp" files byte for byte (headers, masks, colour tables, pixel offset),
// the colour reduction for table depths, 16-bit masks after the display, refusal of malformed
// files with their message (and no crash on corrupted bytes), mirrored and transparent drawing,
// the AND/OR reduction a bitmap keeps for its next draw, the back buffer's whole fills.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "kornd/Bmp_File.h"
#include "kornd/CDib.h"
#include "kornd/CKorndApp.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CMemDIB.h"
#include "kornd/KRdc.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& b, std::size_t at, std::uint32_t v) { bmp::PUT32(b.data() + at, v); }

// A ".bmp" file: 40-byte header, `colours` table entries, the given pixel bytes.
Bytes bmp_file(int w, int h, int bits, std::uint32_t colours, const Bytes& pixels, std::uint32_t size_image,
               std::uint32_t compression = 0) {
  const std::size_t offset = 54 + 4 * std::size_t(colours);
  Bytes b(offset + pixels.size(), 0);
  b[0] = 'B', b[1] = 'M';
  put32(b, 2, static_cast<std::uint32_t>(b.size()));
  put32(b, 10, static_cast<std::uint32_t>(offset));
  bmp::Info_Header info;
  info.width = w, info.height = h, info.bit_count = static_cast<std::uint16_t>(bits);
  info.compression = compression, info.size_image = size_image, info.clr_used = colours;
  bmp::PUT_INFO(b.data() + 14, info);
  for (std::uint32_t i = 0; i < colours; ++i) {  // a table that differs in every entry
    b[54 + 4 * i] = static_cast<std::uint8_t>(i);
    b[55 + 4 * i] = static_cast<std::uint8_t>(255 - i);
    b[56 + 4 * i] = static_cast<std::uint8_t>(i * 7);
  }
  std::copy(pixels.begin(), pixels.end(), b.begin() + static_cast<std::ptrdiff_t>(offset));
  return b;
}

class Files : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return QDir(dir_.path()).filePath(QString::fromStdString(name)).toStdString(); }
  std::string Write(const std::string& name, const Bytes& b) const {
    std::string p = Path(name);
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    return p;
  }
  Bytes Read(const std::string& p) const {
    std::ifstream f(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), {});
  }
  QTemporaryDir dir_;
};

// Reads a file, capturing the boxes; returns their text.
std::string read_boxes(CDib& d, const std::string& path, bool* ok) {
  testing::internal::CaptureStderr();
  *ok = d.ReadFile(QString::fromStdString(path));
  return testing::internal::GetCapturedStderr();
}

}  // namespace

TEST_F(Files, EightBitFileWith256ColoursRoundTripsByteForByte) {
  Bytes pixels(8 * 3);  // 5 pixels a row, padded to 8
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 11);
  Bytes file = bmp_file(5, 3, 8, 256, pixels, static_cast<std::uint32_t>(pixels.size()));
  std::string in = Write("in.bmp", file);
  CDib d;
  bool ok = false;
  read_boxes(d, in, &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(d.FileName(), "in.bmp");
  ASSERT_TRUE(d.WriteFile(QString::fromStdString(Path("out.bmp"))));
  Bytes out = Read(Path("out.bmp"));
  EXPECT_EQ(out, file);
  EXPECT_EQ(bmp::GET32(out.data() + 10), 1078u);
  EXPECT_EQ(d.FileName(), "out.bmp");
}

TEST_F(Files, StoredImageSizeZeroIsRecomputed) {
  const Bytes pixels = {1, 2, 0, 0, 3, 0, 0, 0};  // 8-bit 2 x 2, rows padded to 4
  Bytes file = bmp_file(2, 2, 8, 4, pixels, 0);
  CDib d;
  bool ok = false;
  read_boxes(d, Write("zero.bmp", file), &ok);
  ASSERT_TRUE(ok);
  // Bottom-up: the first stored row is the bottom row.
  EXPECT_EQ(d.PixelValue(0, 1), 1u);
  EXPECT_EQ(d.PixelValue(1, 1), 2u);
  EXPECT_EQ(d.PixelValue(0, 0), 3u);
  EXPECT_EQ(bmp::GET32(d.HeaderBlock().data() + 20), 8u);
  EXPECT_EQ(d.TableColour(1), (1u * 7) | (254u << 8) | (1u << 16));
}

TEST(BitmapFromValues, FileHeadersOfDirectDepths) {
  const std::uint32_t values[6] = {0x0000FF, 0x00FF00, 0xFF0000, 0x000000, 0xFFFFFF, 0x123456};
  struct Row { int depth; std::uint32_t offset, size, compression; };
  for (const Row& r : {Row{24, 54, 54 + 12 * 2, 0}, Row{32, 66, 66 + 12 * 2, 3}}) {
    CDib d;
    ASSERT_TRUE(d.FromValues(values, 3, 2, r.depth));
    Bytes f = d.FileBytes();
    ASSERT_GE(f.size(), 54u);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(bmp::GET32(f.data() + 2), r.size) << r.depth;
    EXPECT_EQ(bmp::GET32(f.data() + 6), 0u);
    EXPECT_EQ(bmp::GET32(f.data() + 10), r.offset) << r.depth;
    bmp::Info_Header h = bmp::GET_INFO(f.data() + 14);
    EXPECT_EQ(h.size, 40);
    EXPECT_EQ(h.width, 3);
    EXPECT_EQ(h.height, 2);
    EXPECT_EQ(h.planes, 1);
    EXPECT_EQ(h.bit_count, r.depth);
    EXPECT_EQ(h.compression, r.compression);
    EXPECT_EQ(h.size_image, r.size - r.offset);
    if (r.depth == 32) {
      EXPECT_EQ(bmp::GET32(f.data() + 54), 0xFF0000u);
      EXPECT_EQ(bmp::GET32(f.data() + 58), 0x00FF00u);
      EXPECT_EQ(bmp::GET32(f.data() + 62), 0x0000FFu);
    }
    // Positive height: values from the top row down; the file holds the bottom row first.
    EXPECT_EQ(d.PixelColour(0, 0), 0x0000FFu);
    EXPECT_EQ(d.PixelColour(2, 1), 0x123456u);
    const std::uint8_t* bottom_first = f.data() + r.offset;
    EXPECT_EQ(bottom_first[0], 0x00);  // black: first pixel of the bottom row
    EXPECT_EQ(bottom_first[r.depth / 8 * 2 + 0], 0x12);  // 0x00bbggrr = 0x123456: blue 0x12 first
  }
}

TEST(BitmapFromValues, NegativeHeightRunsFromTheBottomRowUp) {
  const std::uint32_t values[4] = {1, 2, 3, 4};
  CDib d;
  ASSERT_TRUE(d.FromValues(values, 2, -2, 24));
  EXPECT_EQ(d.Height(), 2);
  EXPECT_EQ(d.PixelColour(0, 1), 1u);
  EXPECT_EQ(d.PixelColour(1, 0), 4u);
}

TEST(ColourReduction, OneBitFromTwoColoursSmallerFirst) {
  struct Row { std::vector<std::uint32_t> values; std::vector<std::uint32_t> table, indices; };
  const Row rows[] = {
      {{0xFFFFFF, 0x000000, 0xFFFFFF}, {0x000000, 0xFFFFFF}, {1, 0, 1}},
      {{0x000000, 0xFFFFFF, 0x000000}, {0x000000, 0xFFFFFF}, {0, 1, 0}},
      {{0x0000FF, 0x0000FF}, {0x0000FF}, {0, 0}},
      // three colours: the threshold; 128 + 128 + 128 = 384 gives 0, one more gives 1
      {{0xFFFFFF, 0x808080, 0x808081, 0x000001}, {0x000000, 0xFFFFFF}, {1, 0, 1, 0}},
  };
  for (const Row& r : rows) {
    std::vector<std::uint32_t> v = r.values;
    EXPECT_EQ(CDib::ReduceColours(v, 1, 0), r.table);
    EXPECT_EQ(v, r.indices);
  }
}

TEST(ColourReduction, OneBitBitmapShowsEachPixelInItsOwnColour) {
  for (auto v : {std::vector<std::uint32_t>{0x00FF00, 0x0000FF, 0x0000FF}, std::vector<std::uint32_t>{0x0000FF, 0x00FF00, 0x00FF00}}) {
    CDib d;
    ASSERT_TRUE(d.FromValues(v.data(), 3, 1, 1));
    EXPECT_EQ(d.ColourCount(), 2u);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(d.PixelColour(x, 0), v[std::size_t(x)]) << x;
  }
}

TEST(ColourReduction, TableSortedByUseAndQuantisedWhenFull) {
  std::vector<std::uint32_t> v = {0xAA, 0xAA, 0xAA, 0xBB, 0xCC, 0xCC};
  EXPECT_EQ(CDib::ReduceColours(v, 8, 0), (std::vector<std::uint32_t>{0xBB, 0xCC, 0xAA}));
  EXPECT_EQ(v, (std::vector<std::uint32_t>{2, 2, 2, 0, 1, 1}));

  // 300 distinct colours do not fit 256 entries: 8 levels per channel (q x 255 / 7).
  std::vector<std::uint32_t> many;
  for (std::uint32_t i = 0; i < 300; ++i) many.push_back(i * 0x010203 & 0xFFFFFF);
  for (int i = 0; i < 50; ++i) many.push_back(0xFFFFFF);
  std::vector<std::uint32_t> idx = many;
  std::vector<std::uint32_t> table = CDib::ReduceColours(idx, 8, 0);
  ASSERT_LE(table.size(), 256u);
  const std::uint32_t levels[8] = {0, 36, 72, 109, 145, 182, 218, 255};
  for (std::uint32_t c : table)
    for (int shift : {0, 8, 16}) EXPECT_NE(std::find(levels, levels + 8, c >> shift & 0xFF), levels + 8) << std::hex << c;
  EXPECT_EQ(table.back(), 0xFFFFFFu);  // the most used colour comes last
  EXPECT_EQ(idx.back(), table.size() - 1);

  // Depth 4: 4 levels per channel (q x 255 / 3), at most 16 entries.
  std::vector<std::uint32_t> four = many;
  std::vector<std::uint32_t> table4 = CDib::ReduceColours(four, 4, 0);
  ASSERT_LE(table4.size(), 16u);
  for (std::uint32_t c : table4)
    for (int shift : {0, 8, 16}) EXPECT_EQ((c >> shift & 0xFF) % 85, 0u) << std::hex << c;
  for (std::uint32_t i : four) EXPECT_LT(i, table4.size());

  CDib d;
  ASSERT_TRUE(d.FromValues(many.data(), 35, 10, 8));
  EXPECT_EQ(d.ColourCount(), table.size());
  EXPECT_EQ(bmp::GET32(d.HeaderBlock().data() + 32), table.size());
  EXPECT_EQ(d.PixelColour(34, 9), 0xFFFFFFu);
}

// An 8-bit bitmap of few colours is indexed in one pass of its own: its table and pixels must
// be what the reduction makes of the same values.
TEST(ColourReduction, EightBitBitmapHoldsTheReductionsTableAndIndices) {
  struct Case {
    const char* name;
    int width;
    std::vector<std::uint32_t> values;
  };
  const Case cases[] = {
      // The last run decides the order: 0xCC has 3 pixels against 0xAA's 2.
      {"last run counts", 3, {0xAA, 0xBB, 0xAA, 0xBB, 0xBB, 0xBB, 0xCC, 0xCC, 0xCC}},
      {"runs across rows", 3, {0x11, 0x11, 0x22, 0x22, 0x22, 0x22, 0x33, 0x11, 0x11}},
      {"ties keep the order of appearance", 2, {0x05, 0x06, 0x07, 0x06, 0x07, 0x05}},
      {"high byte ignored", 2, {0xFF000001, 0x00000001, 0x00000002, 0x7F000002, 0x00000002, 0x00000003}},
      {"one colour", 3, {0x123456, 0x123456, 0x123456}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int height = static_cast<int>(c.values.size()) / c.width;
    std::vector<std::uint32_t> indices = c.values;
    const std::vector<std::uint32_t> table = CDib::ReduceColours(indices, 8, 0);
    CDib d;
    ASSERT_TRUE(d.FromValues(c.values.data(), c.width, height, 8));
    ASSERT_EQ(d.ColourCount(), table.size());
    for (std::uint32_t i = 0; i < table.size(); ++i) EXPECT_EQ(d.TableColour(i), table[i]) << i;
    // Values run from the top row down; the bitmap is read by its own rows.
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < c.width; ++x)
        EXPECT_EQ(d.PixelValue(x, y), indices[std::size_t(y) * std::size_t(c.width) + std::size_t(x)]) << x << "," << y;
  }
}

TEST(BitmapFromValues, SixteenBitMasksFollowTheDisplay) {
  DisplayInfo& info = KorndApp()->display_info;
  const DisplayInfo keep = info;
  const std::uint32_t v[1] = {0};
  struct Row { int bits; std::uint32_t format, red, green, blue; };
  for (const Row& r : {Row{16, 0x050605, 0xF800, 0x07E0, 0x001F}, Row{32, 0x080808, 0x7C00, 0x03E0, 0x001F},
                       Row{16, 0x050505, 0x7C00, 0x03E0, 0x001F}}) {
    info.bitspixel = r.bits;
    info.color_bits = r.format;
    CDib d;
    ASSERT_TRUE(d.FromValues(v, 1, 1, 16));
    EXPECT_EQ(bmp::GET32(d.HeaderBlock().data() + 40), r.red);
    EXPECT_EQ(bmp::GET32(d.HeaderBlock().data() + 44), r.green);
    EXPECT_EQ(bmp::GET32(d.HeaderBlock().data() + 48), r.blue);
  }
  info = keep;
}

TEST(BitmapFromValues, BadSizesAndDepthsAreRefusedWithTheirBox) {
  const std::uint32_t v[4] = {};
  struct Row { int w, h, depth; const char* text; };
  for (const Row& r : {Row{0, 2, 24, "[Kornd: Invalid bitmap size = (0 x 2)]"}, Row{2, 0, 24, "[Kornd: Invalid bitmap size = (2 x 0)]"},
                       Row{2, 2, 7, "[Kornd: Invalid bitmap depth 7]"}}) {
    CDib d;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(d.FromValues(v, r.w, r.h, r.depth));
    std::string boxes = testing::internal::GetCapturedStderr();
    EXPECT_NE(boxes.find(r.text), std::string::npos) << boxes;
    EXPECT_TRUE(d.IsEmpty());
  }
}

TEST_F(Files, MalformedFilesAreRefusedWithTheirMessage) {
  const Bytes pixels(4 * 3, 0);
  const Bytes good = bmp_file(3, 3, 8, 2, pixels, 12);
  struct Row { const char* name; Bytes bytes; std::string text; };
  Bytes not_bm = good;
  not_bm[1] = 'X';
  Bytes far_offset = good;
  put32(far_offset, 10, 5000);
  Bytes rle = bmp_file(3, 3, 8, 2, pixels, 12, 1);
  Bytes short_pixels(good.begin(), good.end() - 1);
  Bytes big_table = good;
  put32(big_table, 46, 300);
  Bytes v5 = good;
  put32(v5, 14, 124);
  const Row rows[] = {
      {"short.bmp", Bytes(good.begin(), good.begin() + 13), "Cannot open bitmap file %1"},
      {"notbm.bmp", not_bm, "File %1 is not a bitmapfile"},
      {"offset.bmp", far_offset, "Failed to read bitmap file %1 (3 x 3, 8 BPP, FORMAT = RGB)"},
      {"rle.bmp", rle, "Failed to read bitmap file %1 (3 x 3, 8 BPP, FORMAT = RLE8)"},
      {"cut.bmp", short_pixels, "Failed to read bitmap file %1 (3 x 3, 8 BPP, FORMAT = RGB)"},
      {"table.bmp", big_table, "Failed to read bitmap file %1 (3 x 3, 8 BPP, FORMAT = RGB)"},
      {"v5.bmp", v5, "Failed to read bitmap file %1 (3 x 3, 8 BPP, FORMAT = RGB)"},
  };
  for (const Row& r : rows) {
    std::string path = Write(r.name, r.bytes);
    CDib d;
    bool ok = true;
    std::string boxes = read_boxes(d, path, &ok);
    EXPECT_FALSE(ok) << r.name;
    EXPECT_TRUE(d.IsEmpty()) << r.name;
    std::string text = QString::fromStdString(r.text).arg(QString::fromStdString(path)).toStdString();
    EXPECT_NE(boxes.find("kornd box: [Kornd: Error] [" + text + "] buttons=Abort,Retry,Ignore"), std::string::npos)
        << r.name << "\n" << boxes;
  }
}

TEST_F(Files, CorruptedBytesNeverCrashTheReader) {
  Bytes pixels(8 * 4);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i);
  const Bytes good = bmp_file(7, 4, 8, 16, pixels, 0);
  std::mt19937 rng(5577);
  int refused = 0, read = 0;
  for (int round = 0; round < 300; ++round) {
    Bytes b = good;
    int changes = 1 + static_cast<int>(rng() % 4);
    for (int c = 0; c < changes; ++c) b[rng() % 70] = static_cast<std::uint8_t>(rng());  // headers and table
    if (rng() % 5 == 0) b.resize(rng() % b.size());
    CDib d;
    bool ok = false;
    std::string boxes = read_boxes(d, Write("fuzz.bmp", b), &ok);
    if (ok) {
      ++read;
      EXPECT_EQ(d.Bits().size(), d.Stride() * std::uint64_t(d.Height())) << "round " << round;
      EXPECT_FALSE(d.Image().isNull());
    } else {
      ++refused;
      EXPECT_TRUE(d.IsEmpty());
      EXPECT_NE(boxes.find("kornd box: [Kornd: Error]"), std::string::npos) << "round " << round;
    }
  }
  EXPECT_GT(refused, 0);
  EXPECT_GT(read, 0);
}

TEST(BitmapDrawing, NegativeWidthMirrorsInTheSameArea) {
  const std::uint32_t v[3] = {0x0000FF, 0x00FF00, 0xFF0000};  // red, green, blue
  CDib d;
  ASSERT_TRUE(d.FromValues(v, 3, 1, 24));
  QImage s(6, 1, QImage::Format_RGB32);
  s.fill(Qt::white);
  KRdc dc(&s);
  d.DrawTransparent(dc, 0, 0, 3, 1, 0x00CC0020, false, -1);
  d.DrawTransparent(dc, 6, 0, -3, 1, 0x00CC0020, false, -1);
  const QRgb expect[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF0000FF, 0xFF00FF00, 0xFFFF0000};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(s.pixel(x, 0), expect[x]) << x;
}

TEST(BitmapDrawing, TransparentColourLeavesTheTarget) {
  const std::uint32_t v[4] = {0xFFFFFF, 0x000000, 0x0000FF, 0xFFFFFF};
  struct Row { int depth; std::int32_t colour; QRgb expect[4]; };
  const Row rows[] = {
      {24, 0xFFFFFF, {0xFF00FF00, 0xFF000000, 0xFFFF0000, 0xFF00FF00}},
      {24, 0x000000, {0xFFFFFFFF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF}},
      {8, 0xFFFFFF, {0xFF00FF00, 0xFF000000, 0xFFFF0000, 0xFF00FF00}},
  };
  for (const Row& r : rows) {
    CDib d;
    ASSERT_TRUE(d.FromValues(v, 4, 1, r.depth));
    QImage s(4, 1, QImage::Format_RGB32);
    s.fill(QColor(0, 255, 0));
    KRdc dc(&s);
    d.DrawTransparent(dc, 0, 0, 4, 1, 0x00CC0020, true, r.colour);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(s.pixel(x, 0), r.expect[x]) << r.depth << " " << x;
  }
}

TEST(BitmapDrawing, RasterOperationsCombineWithTheTarget) {
  const std::uint32_t v[1] = {0x0F0F0F};
  CDib d;
  ASSERT_TRUE(d.FromValues(v, 1, 1, 32));
  // Source 0x0F0F0F on 0x303030.
  struct Row { std::uint32_t rop; QRgb expect; };
  for (const Row& r : {Row{0x00CC0020, 0xFF0F0F0F}, Row{0x00EE0086, 0xFF3F3F3F}, Row{0x008800C6, 0xFF000000},
                       Row{0x00660046, 0xFF3F3F3F}, Row{0x00330008, 0xFFF0F0F0}, Row{0x00000042, 0xFF000000}}) {
    QImage s(1, 1, QImage::Format_RGB32);
    s.fill(QColor(0x30, 0x30, 0x30));
    KRdc dc(&s);
    d.DrawTransparent(dc, 0, 0, 1, 1, r.rop, false, -1);
    EXPECT_EQ(s.pixel(0, 0), r.expect) << std::hex << r.rop;
  }
}

// Made smaller with AND or OR, each destination pixel combines its block of source pixels. The
// reduction a bitmap keeps for its next draw is never the wrong one: each draw equals the draw
// of a fresh copy, whatever size, mirroring or operation came before, and after its pixels change.
TEST(BitmapDrawing, AndOrReductionFollowsSizeMirrorOperationAndPixels) {
  const std::uint32_t v[8] = {0xF0F0F0, 0x0F0F0F, 0xFFFFFF, 0x00FF00, 0x000000, 0x808080, 0xFFFFFF, 0x0000FF};
  // Drawn on white with AND and on black with OR, the target shows the reduced picture itself.
  auto draw = [](CDib& d, int w, int h, std::uint32_t rop) {
    QImage s(6, 2, QImage::Format_RGB32);
    s.fill(rop == 0x008800C6 ? Qt::white : Qt::black);
    KRdc dc(&s);
    d.DrawTransparent(dc, w < 0 ? -w : 0, h < 0 ? -h : 0, w, h, rop, false, -1);
    return s;
  };
  CDib kept;
  ASSERT_TRUE(kept.FromValues(v, 4, 2, 24));
  const std::uint32_t And = 0x008800C6, Or = 0x00EE0086;
  // The rows the hand can check: the first source row only (height 2 -> 1 combines both rows).
  QImage once = draw(kept, 2, 1, And);
  EXPECT_EQ(once.pixel(0, 0), 0xFF000000u);  // F0F0F0 & 0F0F0F & 000000 & 808080
  EXPECT_EQ(once.pixel(1, 0), 0xFF000000u);  // FFFFFF & 00FF00 & FFFFFF & 0000FF (as 0xFF0000 red)
  once = draw(kept, 2, 1, Or);
  EXPECT_EQ(once.pixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(once.pixel(1, 0), 0xFFFFFFFFu);
  once = draw(kept, 2, 2, And);  // rows apart: 2 x 2 blocks become 2 x 1
  EXPECT_EQ(once.pixel(0, 0), 0xFF000000u);  // F0F0F0 & 0F0F0F
  EXPECT_EQ(once.pixel(1, 0), 0xFF00FF00u);  // FFFFFF & 00FF00
  EXPECT_EQ(once.pixel(1, 1), 0xFFFF0000u);  // FFFFFF & 0000FF: red
  struct Row { int w, h; std::uint32_t rop; };
  const Row rows[] = {{2, 1, And}, {3, 1, And}, {2, 1, Or}, {-2, 1, And}, {2, -1, Or},
                      {-3, -2, And}, {1, 1, Or}, {2, 1, And}, {4, 1, Or}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.w << " x " << r.h << " rop " << std::hex << r.rop);
    CDib fresh;
    ASSERT_TRUE(fresh.CopyFrom(kept));
    EXPECT_EQ(draw(kept, r.w, r.h, r.rop), draw(fresh, r.w, r.h, r.rop));
  }
  // Changed pixels: the same size again shows them.
  kept.SetPixelValue(0, 0, 0x000000);
  CDib fresh;
  ASSERT_TRUE(fresh.CopyFrom(kept));
  EXPECT_EQ(draw(kept, 4, 1, Or), draw(fresh, 4, 1, Or));
  EXPECT_EQ(draw(kept, 2, 1, Or).pixel(0, 0), 0xFF8F8F8Fu);  // 000000 | 0F0F0F | 000000 | 808080
  EXPECT_EQ(draw(kept, 3, 1, Or), draw(fresh, 3, 1, Or));
}

TEST(BitmapCopy, CopyTakesHeaderPixelsAndName) {
  const std::uint32_t v[2] = {0x010203, 0x040506};
  CDib a, b;
  ASSERT_TRUE(a.FromValues(v, 2, 1, 8));
  a.SetFileName("a.bmp");
  ASSERT_TRUE(b.CopyFrom(a));
  EXPECT_EQ(b.FileBytes(), a.FileBytes());
  EXPECT_EQ(b.FileName(), "a.bmp");
  CDib empty;
  EXPECT_FALSE(b.CopyFrom(empty));
  EXPECT_TRUE(b.IsEmpty());
}

TEST(BitmapMemory, LargeBitmapsAskAndYesMakesThemSmaller) {
  EXPECT_EQ(CheckBitmapMemory(std::uint64_t(64) << 20), 1);  // at the limit: no question
  CDib d;
  testing::internal::CaptureStderr();
  ASSERT_TRUE(d.Create(5000, 5000, 32, 0, 0xFFFFFF));  // 95 MB: answered Yes (the first button)
  std::string boxes = testing::internal::GetCapturedStderr();
  EXPECT_NE(boxes.find("% of memory in use] [Bitmap size exceeds the physical memory size (or 64 Mb).\\nContinue with a "
                       "smaller size?\\nSelect Cancel to Continue.] buttons=Yes,No,Cancel answer=Yes"),
            std::string::npos)
      << boxes;
  EXPECT_EQ(d.ShrinkFactor(), 2);
  EXPECT_EQ(d.Width(), 2500);
  EXPECT_EQ(d.Height(), 2500);
  EXPECT_EQ(d.Bits().size(), 2500u * 2500u * 4u);
  EXPECT_EQ(d.PixelColour(2499, 2499), 0xFFFFFFu);
}

TEST(BackBuffer, StateWordAndDirtyRectangle) {
  CMemDIB m;
  EXPECT_EQ(m.State(), 12u);
  EXPECT_FALSE(m.Create(0, 5, -1));
  EXPECT_EQ(m.State(), 12u);
  ASSERT_TRUE(m.Create(10, 5, -1));
  EXPECT_EQ(m.State(), 8u);
  EXPECT_EQ(m.Surface().pixel(9, 4), 0xFF000000u);  // black without a fill colour
  m.ClearDirty();
  const KRrect a{1, 1, 3, 3}, b{5, 0, 6, 2}, empty{4, 4, 4, 4};
  m.Invalidate(0, &a, nullptr);
  m.Invalidate(0x10, &b, nullptr);
  EXPECT_EQ(m.State(), 0x12u);
  EXPECT_EQ(m.Dirty(), (KRrect{1, 0, 6, 3}));
  m.Invalidate(0, &empty, nullptr);  // an empty rectangle changes nothing more
  EXPECT_EQ(m.Dirty(), (KRrect{1, 0, 6, 3}));
  const std::int32_t white = 0xFFFFFF;
  m.Invalidate(1, nullptr, &white);
  EXPECT_EQ(m.State(), 0x1Bu);
  EXPECT_EQ(m.Surface().pixel(0, 0), 0xFFFFFFFFu);
  m.ClearDirty();
  EXPECT_EQ(m.State(), 0u);
  EXPECT_TRUE(m.Dirty().IsAllZero());
}

// A whole fill after objects drawn without bounds may be left out only while the surface is
// still plain in that colour: whatever drew on it since, it is filled again.
TEST(BackBuffer, AWholeFillFollowsEveryWayOfDrawingOnTheSurface) {
  struct Row {
    const char* way;
    void (*draw)(CMemDIB& m, KRdc* taken_before);
  };
  const Row rows[] = {
      {"through its painting layer", [](CMemDIB& m, KRdc*) { m.Dc()->SetPixel(1, 1, 0x000000); }},
      {"on its surface", [](CMemDIB& m, KRdc*) { m.Surface().setPixel(2, 0, 0xFF000000); }},
      {"through a layer taken before the fill",
       [](CMemDIB& m, KRdc* layer) {
         layer->SetPixel(0, 2, 0x000000);
         m.Drawn();
       }},
  };
  const std::int32_t white = 0xFFFFFF, red = 0x0000FF;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.way);
    CMemDIB m;
    ASSERT_TRUE(m.Create(4, 3, white));
    KRdc* layer = m.Dc();
    m.Invalidate(0, nullptr, &white);
    r.draw(m, layer);
    m.Invalidate(0, nullptr, &white);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) EXPECT_EQ(m.Surface().pixel(x, y), 0xFFFFFFFFu) << x << "," << y;
    m.Invalidate(0, nullptr, &red);  // another colour: filled anew
    EXPECT_EQ(m.Surface().pixel(3, 2), 0xFFFF0000u);
  }
}

TEST(BitmapDrawing, WorldTransformMovesAndStretchesThePicture) {
  const std::uint32_t v[2] = {0x0000FF, 0x00FF00};
  CDib d;
  ASSERT_TRUE(d.FromValues(v, 2, 1, 24));
  QImage s(8, 2, QImage::Format_RGB32);
  s.fill(Qt::white);
  KRdc dc(&s);
  KRxform xf;
  xf.eM11 = 2, xf.eDx = 3;  // twice as wide, three pixels to the right
  dc.SetTransform(&xf);
  d.DrawTransparent(dc, 0, 0, 2, 1, 0x00CC0020, false, -1);
  const QRgb row[8] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFF0000, 0xFFFF0000, 0xFF00FF00, 0xFF00FF00, 0xFFFFFFFF};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(s.pixel(x, 0), row[x]) << x;
  EXPECT_EQ(s.pixel(3, 1), 0xFFFFFFFFu);
}

TEST(TextBitmap, TextColourNoneTakesTheForeground) {
  CKorndDoc doc;
  doc.SetPageSize(300, 300, true);
  doc.SetColors(300, 300, 0, 19);
  doc.Environment().SetDefaults(doc);
  const std::int32_t fg = doc.Environment().Role(1), bg = doc.Environment().Role(2);
  struct Row { std::int32_t text, back; std::uint32_t entry0, entry1; };
  for (const Row& r : {Row{0x0000FF, 0x00FF00, 0x0000FF, 0x00FF00},
                       Row{-1, -1, static_cast<std::uint32_t>(fg), static_cast<std::uint32_t>(bg)}}) {
    doc.Environment().SetRole(7, r.text);
    doc.Environment().SetRole(8, r.back);
    const int n = doc.TextBitmap(0, 40, 20, 0, 0, "Ab");
    ASSERT_GT(n, 0);
    CKRDIB* b = doc.Bitmap(n);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->BitCount(), 1);
    EXPECT_EQ(b->TableColour(0), r.entry0);
    EXPECT_EQ(b->TableColour(1), r.entry1);
  }
  EXPECT_EQ(doc.TextBitmap(-3, 40, 20, 0, 0, "x"), -3);
}

TEST_F(Files, BitfieldMasksDecideTheChannels) {
  // 32-bit BI_BITFIELDS with blue in the high byte and red in the low byte.
  Bytes file(66 + 4, 0);
  file[0] = 'B', file[1] = 'M';
  put32(file, 2, 70);
  put32(file, 10, 66);
  bmp::Info_Header info;
  info.width = 1, info.height = 1, info.bit_count = 32, info.compression = 3, info.size_image = 4;
  bmp::PUT_INFO(file.data() + 14, info);
  put32(file, 54, 0x0000FF);  // red
  put32(file, 58, 0x00FF00);  // green
  put32(file, 62, 0xFF0000);  // blue
  put32(file, 66, 0x000010);  // red 0x10
  CDib d;
  bool ok = false;
  read_boxes(d, Write("bgr.bmp", file), &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(d.PixelColour(0, 0), 0x000010u);
  EXPECT_EQ(d.Image().pixel(0, 0), 0xFF100000u);
  EXPECT_EQ(d.FileBytes(), file);
}
