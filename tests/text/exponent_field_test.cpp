// The fast exponent field writes what the layout engine writes for the same descriptor.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "text/Exponent_Field.h"
#include "text/Fortran_Format.h"

namespace {

std::string fast(float x, Exponent_Field f = {}) {
  std::string out;
  APPEND_EXPONENT_FIELD(out, x, f);
  return out;
}

std::string engine(float x, const char* layout = "(E15.5E2)") { return FORMAT_LINE(layout, {x}); }

std::string layout_of(const Exponent_Field& f) {
  return "(E" + std::to_string(f.width) + "." + std::to_string(f.digits) + "E" + std::to_string(f.exponent) + ")";
}

// x and its nearest neighbours on either side, two steps each way.
std::vector<float> around(float x) {
  std::vector<float> values{x};
  float down = x, up = x;
  for (int i = 0; i < 2; ++i) {
    down = std::nextafter(down, -std::numeric_limits<float>::infinity());
    up = std::nextafter(up, std::numeric_limits<float>::infinity());
    values.push_back(down), values.push_back(up);
  }
  return values;
}

TEST(Exponent_Field, KnownValues) {
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    float x;
    const char* text;
  } cases[] = {
      {1.5f, "    0.15000E+01"},   {-1.5f, "   -0.15000E+01"}, {0.0f, "    0.00000E+00"},
      {1.0e-40f, "    0.99999E-40"}, {3.0e38f, "    0.30000E+39"}, {0.1f, "    0.10000E+00"},
      {9.999995f, "    0.10000E+02"}, {123.125f, "    0.12312E+03"},
  };
  for (const Case& c : cases) EXPECT_EQ(fast(c.x), c.text) << c.x;
  EXPECT_EQ(fast(inf), engine(inf));
  EXPECT_EQ(fast(-0.0f), engine(-0.0f));
  EXPECT_EQ(fast(std::numeric_limits<float>::quiet_NaN()), engine(std::numeric_limits<float>::quiet_NaN()));
}

// Fixed seed; every bit pattern class (tiny, huge, ties of the rounding) comes up.
TEST(Exponent_Field, SameAsLayoutEngineForRandomValues) {
  std::mt19937 random(5577);
  for (int i = 0; i < 200000; ++i) {
    const float x = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
    ASSERT_EQ(fast(x), engine(x)) << std::bit_cast<std::uint32_t>(x);
  }
}

// Values whose d digits are a tie or next to one, for every digit count, over the whole
// exponent range of single floats, with their neighbours: where rounding decides.
TEST(Exponent_Field, SameAsLayoutEngineAtRoundingTies) {
  std::mt19937 random(9121);
  for (int d = 1; d <= 12; ++d) {
    const Exponent_Field field{d + 8, d, 2};
    const std::string layout = layout_of(field);
    std::uniform_int_distribution<long long> mantissa(1, 9);
    for (int e = -46; e <= 39; ++e)
      for (int i = 0; i < 12; ++i) {
        long long n = mantissa(random);
        for (int j = 1; j < std::min(d, 9); ++j) n = n * 10 + static_cast<long long>(random() % 10);
        const float tie = static_cast<float>((static_cast<double>(n) + 0.5) * std::pow(10.0, e - std::min(d, 9)));
        for (float x : around(tie))
          for (float v : {x, -x}) ASSERT_EQ(fast(v, field), engine(v, layout.c_str())) << layout << " " << v;
      }
  }
  // Halves exact in binary: ties the rounding of the exact value breaks to even.
  for (float x : {0.125f, 0.375f, 2.5f, 3.5f, 123.125f, 123.375f, 99999.5f, 1048576.5f, 0.3125f})
    for (int d = 1; d <= 7; ++d) {
      const Exponent_Field field{d + 8, d, 2};
      EXPECT_EQ(fast(x, field), engine(x, layout_of(field).c_str())) << d << " " << x;
    }
}

// The ends of the float range, powers of ten and their neighbours, signed zeros,
// infinities and not-a-number values.
TEST(Exponent_Field, SameAsLayoutEngineAtEdgeMagnitudes) {
  using limits = std::numeric_limits<float>;
  std::vector<float> values{limits::min(), limits::denorm_min(), limits::max(), limits::epsilon(),
                            0.0f,          -0.0f,                limits::infinity(), -limits::infinity(),
                            limits::quiet_NaN(), -limits::quiet_NaN(), 1.0f, 0.1f, 9.99995f, 0.999995f};
  for (int e = -45; e <= 38; ++e)
    for (float x : around(static_cast<float>(std::pow(10.0, e)))) values.push_back(x);
  for (float x : around(limits::min())) values.push_back(x);
  for (const Exponent_Field& field : {Exponent_Field{15, 5, 2}, Exponent_Field{16, 9, 2}, Exponent_Field{12, 5, 1},
                                      Exponent_Field{11, 5, 2}})
    for (float x : values)
      for (float v : {x, -x})
        EXPECT_EQ(fast(v, field), engine(v, layout_of(field).c_str())) << layout_of(field) << " " << v;
}

// A row of fields, every step-th value, is the fields one after another, also where a
// value in the middle takes the layout engine.
TEST(Exponent_Field, RowsOfFields) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<float> values{1.5f, -0.0f, 2.5e-12f, nan, -7.0e33f, 0.0f, 123.125f, 4.0f};
  for (const Exponent_Field& field : {Exponent_Field{}, Exponent_Field{9, 3, 1}})
    for (int step : {1, 2, 3}) {
      std::string row = "x", expected = "x";
      const auto count = static_cast<std::int64_t>((values.size() + step - 1) / step);
      APPEND_EXPONENT_FIELDS(row, values.data(), count, step, field);
      for (std::size_t i = 0; i < values.size(); i += static_cast<std::size_t>(step))
        expected += engine(values[i], layout_of(field).c_str());
      EXPECT_EQ(row, expected) << layout_of(field) << " step " << step;
    }
}

TEST(Exponent_Field, NarrowFieldsAndOtherDigitCounts) {
  const struct Case {
    Exponent_Field field;
    const char* layout;
  } cases[] = {{{11, 5, 2}, "(E11.5E2)"}, {{10, 5, 2}, "(E10.5E2)"}, {{12, 5, 2}, "(E12.5E2)"},
               {{9, 3, 1}, "(E9.3E1)"},   {{14, 7, 3}, "(E14.7E3)"}};
  for (const Case& c : cases)
    for (float x : {1.5f, -1.5f, 2.5e-12f, -7.0e33f, 0.0f})
      EXPECT_EQ(fast(x, c.field), engine(x, c.layout)) << c.layout << " " << x;
}

}  // namespace
