// The fast exponent field writes what the layout engine writes for the same descriptor.

#include <gtest/gtest.h>

#include <bit>
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
