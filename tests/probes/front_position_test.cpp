// The front-tracking crossing rule on plain samples, and when it interpolates.

#include <gtest/gtest.h>

#include <vector>

#include "main/Globals.h"
#include "probes/Front_Tracking.h"

namespace {

TEST(Front_Position, FirstCrossingOfTheTrackedValue) {
  const float s = 2.5f;  // micrometres between samples
  const float denormal = 1.0e-45f;
  struct Case {
    const char* what;
    std::vector<float> values;
    float target;
    bool interpolate;
    float expected;  // in sample widths, -1 for none
  } cases[] = {
      {"rising step", {0, 0, 1, 1}, 0.5f, true, 1.5f},
      {"falling past a sample above", {1, 1, 0.9f, 0}, 0.5f, true, 2.0f + 0.4f / 0.9f},
      {"a sample equal to the target lies below", {0.5f, 1}, 0.5f, true, 0.0f},
      {"slanted line: the middle", {0, 0.9f, 1}, 0.1f, false, 0.5f},
      {"the same along an axis", {0, 0.9f, 1}, 0.1f, true, 0.1f / 0.9f},
      {"only the first crossing counts", {0, 1, 0, 1}, 0.5f, true, 0.5f},
      {"no crossing", {1, 2, 3}, 0.0f, true, -1.0f},
      {"all at the target", {0.5f, 0.5f, 0.5f}, 0.5f, true, -1.0f},
      {"a step not above 1.0E-40 takes the middle", {0, denormal}, 0.0f, true, 0.5f},
      {"a single sample", {3}, 1.0f, true, -1.0f},
  };
  for (const Case& c : cases) {
    std::vector<float> d;
    for (std::size_t k = 0; k < c.values.size(); ++k) d.push_back(s * static_cast<float>(k));
    const float got = FRONT_POSITION(c.values, d, c.target, c.interpolate);
    if (c.expected < 0)
      EXPECT_EQ(got, -1.0f) << c.what;
    else
      EXPECT_NEAR(got, c.expected * s, 1e-5f) << c.what;
  }
}

TEST(Front_Position, InterpolatedOnlyAlongAnAxis) {
  struct Case {
    int x1, y1, x2, y2;
    bool interpolated;
  } cases[] = {
      {1, 1, 20, 1, true}, {1, 1, 20, 5, true},    // 4 cells across: nearly horizontal
      {1, 1, 20, 6, false}, {6, 1, 1, 6, false},   // 5 cells or more both ways
      {3, 1, 3, 30, true}, {30, 30, 26, 2, true},
  };
  for (const Case& c : cases) {
    Scan_Line = {};
    Scan_Line.Scan_X1 = c.x1, Scan_Line.Scan_Y1 = c.y1, Scan_Line.Scan_X2 = c.x2, Scan_Line.Scan_Y2 = c.y2;
    EXPECT_EQ(FRONT_INTERPOLATED(), c.interpolated) << c.x1 << "," << c.y1 << " - " << c.x2 << "," << c.y2;
  }
}

}  // namespace
