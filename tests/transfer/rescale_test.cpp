// Rescaling by a ratio: reduced ratios, cell counts, spacing and field values.

#include <gtest/gtest.h>

#include <vector>

#include "transfer/Module_Rescale.h"

namespace {

TEST(Reduce_Scale_Ratio, LowestTermsWithPrimesUpTo97) {
  const struct {
    Rescale_Ratio_Type in, out;
  } cases[] = {
      {{12, 18}, {2, 3}}, {{-4, 6}, {2, 3}},   {{97, 194}, {1, 2}},     {{7, 7}, {1, 1}},
      {{6, 4}, {3, 2}},   {{2, 2}, {1, 1}},    {{202, 303}, {202, 303}}, {{1, 1}, {1, 1}},
      {{3, -9}, {1, 3}},  {{1024, 2}, {512, 1}},
  };
  for (const auto& c : cases) {
    Rescale_Ratio_Type r = c.in;
    REDUCE_SCALE_RATIO(r);
    EXPECT_EQ(r.n, c.out.n) << c.in.n << "/" << c.in.p;
    EXPECT_EQ(r.p, c.out.p) << c.in.n << "/" << c.in.p;
  }
}

TEST(Rescaled_Cells, FlatDirectionsKeepOneCell) {
  const struct {
    Cell_Counts counts;
    Rescale_Ratio_Type ratio;
    std::int32_t cells;
  } cases[] = {
      {{5, 4, 1}, {1, 2}, 4}, {{4, 1, 1}, {2, 3}, 2}, {{1, 4, 1}, {2, 1}, 8},
      {{2, 2, 2}, {3, 2}, 27}, {{1, 1, 1}, {5, 3}, 1}, {{101, 1, 1}, {3, 2}, 151},
  };
  for (const auto& c : cases) EXPECT_EQ(RESCALED_ZELTRA_CELLS(c.counts, c.ratio), c.cells);
}

TEST(Rescale_Geometry, CountsAndSpacing) {
  const struct {
    Cell_Counts counts;
    float spacing;
    Rescale_Ratio_Type ratio;
    Cell_Counts new_counts;
    float new_spacing;
  } cases[] = {
      {{101, 1, 1}, 1.0e-4f, {3, 2}, {151, 1, 1}, 6.6666667e-5f},
      {{100, 50, 1}, 1.0e-4f, {1, 2}, {50, 25, 1}, 2.0e-4f},
      {{100, 50, 1}, 1.0e-4f, {2, 1}, {200, 100, 1}, 5.0e-5f},
  };
  for (const auto& c : cases) {
    float spacing = c.spacing;
    Cell_Counts counts{};
    RESCALE_ZELTRA_GEOMETRY(spacing, c.counts, counts, c.ratio);
    EXPECT_EQ(counts, c.new_counts);
    EXPECT_EQ(spacing, c.new_spacing);
  }
}

struct Data_Case {
  Cell_Counts counts;
  std::vector<float> field;  // capacity = size
  Rescale_Ratio_Type ratio;
  std::int32_t status;
  std::int32_t new_cells;
  std::vector<float> expected;  // the whole field afterwards
};

TEST(Rescale_Data, ValuesAndStatus) {
  const std::vector<float> four{1, 2, 3, 4};
  const Data_Case cases[] = {
      {{4, 1, 1}, four, {1, 2}, 0, 2, {1.5f, 3.5f, 3, 4}},
      {{4, 1, 1}, {1, 2, 3, 4, 0, 0, 0, 0}, {2, 1}, 0, 8, {1, 1, 2, 2, 3, 3, 4, 4}},
      {{4, 1, 1}, four, {2, 3}, 0, 2, {1.3333334f, 2.6666667f, 3, 4}},
      {{1, 4, 1}, four, {1, 2}, 0, 2, {1.5f, 3.5f, 3, 4}},
      {{1, 4, 1}, four, {2, 3}, 0, 2, {1.3333334f, 2.6666667f, 3, 4}},
      {{1, 1, 4}, four, {1, 2}, 0, 2, {1.5f, 3.5f, 3, 4}},
      {{2, 2, 1}, four, {1, 2}, 0, 1, {2.5f, 2, 3, 4}},
      {{1, 1, 1}, {7.25f}, {5, 3}, 0, 1, {7.25f}},
      {{4, 1, 1}, four, {1, 1}, 1, 4, four},
      {{4, 1, 1}, four, {0, 2}, -1, -666, four},
      {{4, 1, 1}, four, {2, 0}, -1, -666, four},
      {{4, 1, 1}, four, {2, 1}, -3, -666, four},  // field sized for the old cells only
      {{2, 1, 1}, {0.1f, 0.1f}, {3, 3}, 0, 2, {0.1f, 0.1f}},  // 3 copies: exact after rounding
  };
  for (const auto& c : cases) {
    std::vector<float> field = c.field;
    std::int32_t status = 99, new_cells = 99;
    RESCALE_ZELTRA_DATA(status, field, c.counts, c.ratio, new_cells);
    EXPECT_EQ(status, c.status) << c.ratio.n << "/" << c.ratio.p;
    EXPECT_EQ(new_cells, c.new_cells);
    EXPECT_EQ(field, c.expected) << c.ratio.n << "/" << c.ratio.p;
  }
}

TEST(Rescale_Data, TwoByTwoSplitsIntoBlocks) {
  std::vector<float> field(16, 0.0f);
  field[0] = 1, field[1] = 2, field[2] = 3, field[3] = 4;
  std::int32_t status = 0, cells = 0;
  RESCALE_ZELTRA_DATA(status, field, {2, 2, 1}, {2, 1}, cells);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(cells, 16);
  EXPECT_EQ(field, (std::vector<float>{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}));
}

TEST(Rescale_Problem, RefusesUnusableRatios) {
  const struct {
    Cell_Counts counts;
    Rescale_Ratio_Type ratio;
    const char* problem;
  } cases[] = {
      {{4, 1, 1}, {1, 2}, ""},
      {{4, 1, 1}, {1, 4}, ""},
      {{4, 1, 1}, {1, 5}, "no whole cell is left along a direction"},
      {{4, 1, 1}, {0, 5}, "ratio terms must be at least 1"},
      {{100000, 100000, 1}, {1, 1}, "the rescaled field is too large"},
      {{2000000, 1, 1}, {2000, 1}, "the rescaled field is too large"},
      {{1, 1, 1}, {1000, 1}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(RESCALE_PROBLEM(c.counts, c.ratio), c.problem);
}

}  // namespace
