// The rules of the information commands: cell pointers both ways (64-bit, ghost layers and
// cells outside the display refused), the typed pointer, angles, Miller codes and the
// default comparison criterion.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "probes/Data_Information.h"
#include "text/Fortran_Format.h"
#include "tests/probes/Field_Case.h"

namespace {

class Information_Rules : public Field_Case {
 protected:
  void geometry(std::int32_t nx, std::int32_t ny, std::int32_t nz, std::int32_t cut_direction, std::int32_t cut_index) {
    auto& g = Result_Geometry;
    g.AnzX = nx, g.AnzY = ny, g.AnzZ = nz;
    auto& f = Display_Field;
    f.Cut_Direction = cut_direction, f.Cut_Index = cut_index;
    const std::int32_t across = cut_direction == 3 ? ny : nx, down = cut_direction == 1 ? ny : nz;
    f.Display_Size_X = across, f.Display_Size_Y = down;
  }
};

TEST_F(Information_Rules, PointerOfACellAndBack) {
  struct Case {
    std::int32_t nx, ny, nz;
    Cell_Index cell;
    std::int64_t pointer;
  } cases[] = {
      {10, 10, 10, {1, 1, 1}, 158},                            // 12 + 1 + 144 + 1
      {10, 10, 10, {0, 0, 0}, 1},                              // the first ghost cell
      {10, 1, 7, {3, 1, 2}, 12 * 2 + 3 + 1},                   // two-dimensional: no y term
      {1000, 1000, 2200, {1000, 1000, 2200}, 2'209'811'801},  // beyond 2^31
  };
  for (const Case& c : cases) {
    geometry(c.nx, c.ny, c.nz, c.ny > 1 ? 1 : 2, 1);
    EXPECT_EQ(CELL_POINTER(c.cell), c.pointer) << c.nx << "x" << c.ny << "x" << c.nz;
    const Cell_Index back = DECODE_CELL_POINTER(c.pointer);
    EXPECT_EQ(back.X, c.cell.X);
    EXPECT_EQ(back.Z, c.cell.Z);
    EXPECT_EQ(back.Y, c.ny > 1 ? c.cell.Y : 1);  // the plane's own index for two dimensions
  }
}

TEST_F(Information_Rules, PointedCellByPlane) {
  struct Case {
    std::int32_t cut_direction, cut_index;
    Cell_Index cell;
    bool named;
    std::int32_t x, y;
    bool off_plane;
  } cases[] = {
      {1, 4, {2, 3, 4}, true, 2, 3, false},
      {1, 4, {2, 3, 5}, true, 2, 3, true},
      {2, 3, {2, 3, 4}, true, 2, 4, false},
      {2, 3, {2, 7, 4}, true, 2, 4, true},  // another Y: projected onto the x-z plane
      {3, 2, {2, 3, 4}, true, 3, 4, false},
      {1, 4, {0, 3, 4}, false, 0, 0, false},   // ghost layers on every side
      {1, 4, {11, 3, 4}, false, 0, 0, false},
      {1, 4, {2, 0, 4}, false, 0, 0, false},
      {1, 4, {2, 3, 11}, false, 0, 0, false},
  };
  for (const Case& c : cases) {
    geometry(10, 10, 10, c.cut_direction, c.cut_index);
    const std::optional<Pointed_Cell> p = POINTED_CELL(CELL_POINTER(c.cell));
    ASSERT_EQ(p.has_value(), c.named) << c.cut_direction << " " << c.cell.X << c.cell.Y << c.cell.Z;
    if (!p) continue;
    EXPECT_EQ(p->x, c.x);
    EXPECT_EQ(p->y, c.y);
    EXPECT_EQ(p->off_plane, c.off_plane);
  }
  geometry(10, 10, 10, 1, 1);
  for (std::int64_t pointer : {std::int64_t{0}, std::int64_t{-5}, std::int64_t{12 * 12 * 12 + 1}, INT64_MAX})
    EXPECT_FALSE(POINTED_CELL(pointer).has_value()) << pointer;
  // A displayed field smaller than the simulation (sub-sampled) names none of the cells beyond it.
  Display_Field.Display_Size_X = 5;
  EXPECT_TRUE(POINTED_CELL(CELL_POINTER({5, 1, 1})).has_value());
  EXPECT_FALSE(POINTED_CELL(CELL_POINTER({6, 1, 1})).has_value());
}

TEST_F(Information_Rules, TypedPointer) {
  struct Case {
    const char* typed;
    std::optional<std::int64_t> value;
  } cases[] = {
      {"158", 158}, {"  158      ", 158}, {"+158", 158}, {"-3", -3}, {"158,2", 158}, {"158 9", 158},
      {"3000000000", 3'000'000'000}, {"", std::nullopt}, {"   ", std::nullopt}, {"abc", std::nullopt},
      {"15x", std::nullopt}, {"1.5", std::nullopt}, {"+", std::nullopt}, {"++1", std::nullopt},
      {"99999999999999999999999", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(READ_POINTER_TEXT(c.typed), c.value) << "'" << c.typed << "'";
}

TEST_F(Information_Rules, TurnBetweenSides) {
  const float quarter = std::numbers::pi_v<float> / 4;
  struct Case {
    std::int32_t x1, y1, x2, y2, x3, y3;
    std::optional<float> angle;
  } cases[] = {
      {1, 1, 10, 10, 10, 1, -quarter},                       // up and right against the horizontal
      {1, 10, 10, 1, 10, 10, quarter},                       // down and right
      {5, 5, 8, 5, 12, 5, 0.0f},                             // third point beyond the second
      {5, 5, 8, 5, 1, 5, std::numbers::pi_v<float>},         // opposite side of the vertex
      {5, 5, 5, 9, 5, 5, std::nullopt},                      // second side of zero length
      {5, 5, 5, 5, 9, 9, std::nullopt},
      {1, 1, 4, 1, 1, 7, 2 * quarter},                       // counter-clockwise is positive
  };
  for (const Case& c : cases) {
    const std::optional<float> a = TURN_ANGLE(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3);
    ASSERT_EQ(a.has_value(), c.angle.has_value());
    if (a) {
      EXPECT_NEAR(*a, *c.angle, 1e-6f);
    }
  }
  // Long parallel sides must not take the cosine past 1 (no number).
  const std::optional<float> flat = TURN_ANGLE(0, 0, 3, 7, 3000, 7000);
  ASSERT_TRUE(flat.has_value());
  EXPECT_FALSE(std::isnan(*flat));
}

TEST_F(Information_Rules, MillerCodes) {
  struct Case {
    float value;
    const char* text;
  } cases[] = {
      {-1.0f, ": interface!"}, {-0.6f, ": interface!"}, {0.0f, ": liquid!"}, {0.4f, ": liquid!"},
      {10203.0f, ":  01 02 03"}, {999999.0f, ":  99 99 99"}, {5.0f, ":  00 00 05"},
      {1000000.0f, ": unable to process! 1000000."},
  };
  for (const Case& c : cases) EXPECT_EQ(MILLER_TEXT(c.value), c.text) << c.value;
}

TEST_F(Information_Rules, DefaultCriterion) {
  struct Case {
    float minimum, maximum;
    const char* preset;
  } cases[] = {
      {100.0f, 100.5f, " 1.005E+00"},  // a narrow range: a hundredth of the maximum
      {10.0f, 50.0f, " 4.000E-01"},    // a hundredth of the range
      {0.0f, 0.0f, " 0.000E+00"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FORMAT_LINE("(ES10.3)", {COMPARISON_CRITERION(c.minimum, c.maximum)}), c.preset) << c.minimum;
}

}  // namespace
