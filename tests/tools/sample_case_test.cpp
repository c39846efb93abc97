// The fixture writer's byte layouts: every reader test stands on them.

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/Process_Scratch.h"
#include "tools/Sample_Case.h"

namespace fs = std::filesystem;

namespace {

fs::path scratch(const std::string& name) { return PROCESS_SCRATCH("sample_case", name); }

std::vector<unsigned char> bytes_of(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<unsigned char> hex(std::initializer_list<int> values) {
  return std::vector<unsigned char>(values.begin(), values.end());
}

std::vector<unsigned char> slice(const std::vector<unsigned char>& b, std::size_t at, std::size_t n) {
  return std::vector<unsigned char>(b.begin() + at, b.begin() + at + n);
}

sample::Geometry small_geometry(bool info) {
  sample::Geometry g;
  g.nx = 3;
  g.ny = 1;
  g.nz = 2;
  g.spacing = 0.5;
  if (info) g.info = {"1.0", "today", "run", "Linux", "single"};
  return g;
}

TEST(SampleGeometry, BinaryFramingAndSizes) {
  struct Row {
    sample::Encoding encoding;
    bool info;
    std::size_t size;
    std::vector<unsigned char> head;  // first record length and AnzX
  };
  const Row rows[] = {
      {sample::Encoding::Single, true, 90, hex({0x18, 0, 0, 0, 3, 0, 0, 0})},
      {sample::Encoding::Single, false, 32, hex({0x18, 0, 0, 0, 3, 0, 0, 0})},
      {sample::Encoding::Double, true, 102, hex({0x24, 0, 0, 0, 3, 0, 0, 0})},
      {sample::Encoding::Double, false, 44, hex({0x24, 0, 0, 0, 3, 0, 0, 0})},
      {sample::Encoding::Single_Big_Endian, true, 90, hex({0, 0, 0, 0x18, 0, 0, 0, 3})},
      {sample::Encoding::Double_Big_Endian, true, 102, hex({0, 0, 0, 0x24, 0, 0, 0, 3})},
  };
  for (const Row& row : rows) {
    fs::path path = scratch("geometry");
    sample::WRITE_GEOMETRY(path.string(), row.encoding, small_geometry(row.info));
    std::vector<unsigned char> b = bytes_of(path);
    ASSERT_EQ(b.size(), row.size);
    EXPECT_EQ(slice(b, 0, 8), row.head);
    if (row.info) {
      std::size_t text_at = row.size == 90 ? 36 : 48;
      EXPECT_EQ(std::string(b.begin() + text_at, b.begin() + text_at + 20), "1.0       today     ");
    }
  }
}

TEST(SampleResults, SingleRecordLayout) {
  fs::path path = scratch("single");
  sample::WRITE_RESULTS(path.string(), sample::Encoding::Single,
                        {{1.5, {1, 2, 3, 4, 5, 6}}, {2.5, {6, 5, 4, 3, 2, 1}}});
  std::vector<unsigned char> b = bytes_of(path);
  ASSERT_EQ(b.size(), 2u * (16 + 4 * 6));
  EXPECT_EQ(slice(b, 0, 4), hex({32, 0, 0, 0}));  // 8 + 4n
  float time;
  std::memcpy(&time, &b[4], 4);
  EXPECT_EQ(time, 1.5f);
  EXPECT_EQ(slice(b, 8, 4), hex({6, 0, 0, 0}));
  float fourth;  // cell (1,1,2) of a 3 x 1 x 2 grid
  std::memcpy(&fourth, &b[12 + 3 * 4], 4);
  EXPECT_EQ(fourth, 4.0f);
  EXPECT_EQ(slice(b, 36, 4), hex({32, 0, 0, 0}));
  EXPECT_EQ(slice(b, 40, 4), hex({32, 0, 0, 0}));  // second record starts at the record size
}

TEST(SampleResults, DoubleBigEndianRecordLayout) {
  fs::path path = scratch("double_be");
  sample::WRITE_RESULTS(path.string(), sample::Encoding::Double_Big_Endian, {{1.0, {2.0}}});
  std::vector<unsigned char> b = bytes_of(path);
  ASSERT_EQ(b.size(), 20u + 8u);
  EXPECT_EQ(slice(b, 0, 4), hex({0, 0, 0, 20}));  // 12 + 8n
  EXPECT_EQ(slice(b, 4, 8), hex({0x3F, 0xF0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(slice(b, 12, 4), hex({0, 0, 0, 1}));
  EXPECT_EQ(slice(b, 16, 8), hex({0x40, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(SampleResults, ExplicitCellCountIsWrittenAsGiven) {
  fs::path path = scratch("count");
  sample::Output o{1.0, {1, 2}, 5};
  sample::WRITE_RESULTS(path.string(), sample::Encoding::Single, {o});
  std::vector<unsigned char> b = bytes_of(path);
  EXPECT_EQ(slice(b, 8, 4), hex({5, 0, 0, 0}));
}

TEST(SampleResults, GzipCopyHoldsTheWholeFile) {
  fs::path plain = scratch("plain");
  fs::path packed = scratch("packed.gz");
  sample::WRITE_RESULTS(plain.string(), sample::Encoding::Single,
                        sample::GRAIN_GROWTH(20, 10, 3, 1));
  sample::GZIP_COPY(plain.string(), packed.string());
  std::vector<unsigned char> b = bytes_of(packed);
  ASSERT_GE(b.size(), 18u);
  EXPECT_EQ(slice(b, 0, 3), hex({0x1F, 0x8B, 0x08}));
  gzFile in = gzopen(packed.string().c_str(), "rb");
  ASSERT_NE(in, nullptr);
  std::vector<unsigned char> out(bytes_of(plain).size() + 10);
  int n = gzread(in, out.data(), static_cast<unsigned>(out.size()));
  gzclose(in);
  out.resize(n < 0 ? 0 : n);
  EXPECT_EQ(out, bytes_of(plain));
}

TEST(SampleCase, GrainGrowthIsAGrowingGrainStructure) {
  auto phase = sample::GRAIN_GROWTH(60, 40, 5, 0);
  ASSERT_EQ(phase.size(), 5u);
  auto solid = [](const sample::Output& o) {
    int n = 0;
    for (double v : o.values) n += v > 0;
    return n;
  };
  for (std::size_t k = 1; k < phase.size(); ++k) EXPECT_GE(solid(phase[k]), solid(phase[k - 1]));
  EXPECT_LT(solid(phase.front()), 60 * 40);
  EXPECT_EQ(solid(phase.back()), 60 * 40);  // fully grown at the end
}

}  // namespace
