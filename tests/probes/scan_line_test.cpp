// The line across the zoom window: its preset, the typed coordinate, and the shortcut of a
// field one cell high (no pop-up, no redraw).

#include <gtest/gtest.h>

#include "records/Command_Codes.h"
#include "probes/Scan_Line.h"
#include "tests/probes/Field_Case.h"

namespace {

class Line_Across : public Field_Case {};

TEST_F(Line_Across, PresetAndTypedCoordinate) {
  make_field(1, 80, 100, [](int, int, int) { return 0.0f; });
  EXPECT_EQ(LINESCAN_PRESET(Command::Line_Scan_X), "  51                ");  // NINT(50.5)
  EXPECT_EQ(LINESCAN_PRESET(Command::Line_Scan_Y), "  41                ");
  struct Case {
    std::int32_t code;
    const char* typed;
    std::int32_t value;
  } cases[] = {
      {Command::Line_Scan_X, "", 50},   {Command::Line_Scan_X, "abc", 50}, {Command::Line_Scan_X, "0", 1},
      {Command::Line_Scan_X, "-7", 1},  {Command::Line_Scan_X, "37", 37},  {Command::Line_Scan_X, "101", 100},
      {Command::Line_Scan_X, "99999999999", 50},  // no 32-bit number: as unreadable
      {Command::Line_Scan_Y, "", 40},   {Command::Line_Scan_Y, "500", 80},
  };
  for (const Case& c : cases) EXPECT_EQ(LINESCAN_COORDINATE(c.code, c.typed), c.value) << c.typed;
}

TEST_F(Line_Across, FieldOneCellHighNeedsNoQuestion) {
  make_field(1, 30, 1, [](int, int, int) { return 0.0f; });
  zoom(4, 20, 1, 5);
  Command_State.Command_Code = Command::Line_Scan_X;
  VIRTUAL_EDX_LINESCAN();
  EXPECT_EQ(Scan_Line.Scan_X1, 4);
  EXPECT_EQ(Scan_Line.Scan_X2, 20);
  EXPECT_EQ(Scan_Line.Scan_Y1, 1);
  EXPECT_EQ(Scan_Line.Scan_Y2, 1);
  EXPECT_EQ(Graphics_Units.Unit_Pop_Up, No_Device);
  EXPECT_EQ(console(), "");
}

}  // namespace
