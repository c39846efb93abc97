// The values the animation settings form starts with: five characters each, two decimals for
// the display time, stars when it does not fit.

#include <gtest/gtest.h>

#include "display/Animate.h"
#include "records/Globals.h"

namespace {

TEST(Animation_Form, FieldsShowTheSettingsInFiveCharacters) {
  struct Row {
    float time;
    std::int32_t loops;
    std::string time_text, loops_text;
  };
  const std::vector<Row> rows{
      {0.75f, 2, " 0.75", "    2"},  {0.1f, 0, " 0.10", "    0"},     {12.345f, -3, "12.35", "   -3"},
      {99.99f, 99999, "99.99", "99999"}, {100.0f, 100000, "*****", "*****"}, {1e30f, -10000, "*****", "*****"},
  };
  for (const Row& row : rows) {
    RESET_GLOBALS();
    Display_Settings.Display_Time = row.time;
    Display_Settings.Number_Of_Loops = row.loops;
    const auto fields = ANIMATION_SETTINGS_FIELDS();
    EXPECT_EQ(fields[0].text, row.time_text) << row.time;
    EXPECT_EQ(fields[1].text, row.loops_text) << row.loops;
    EXPECT_EQ(fields[0].length, 10u);
    EXPECT_EQ(fields[1].length, 10u);
  }
}

}  // namespace
