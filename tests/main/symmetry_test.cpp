// The symmetry commands: the messages, the display size and zoom, and the arrays kept or rebuilt.

#include <gtest/gtest.h>

#include "records/Command_Codes.h"
#include "main/Tools_General.h"
#include "result_files/Display_Arrays.h"
#include "tests/result_files/Case_Fixture.h"

namespace {

class Symmetry : public Case_Fixture {
 protected:
  void open_case() {
    write_case(Encoding::Single, sample::GRID(4, 3, 1, 1.0e-4), {ramp_outputs(2, 12)});
    ASSERT_TRUE(open());
    Display_Field.Cut_Direction = 1;
    ALLOCATE_ARRAYS();
    ASSERT_TRUE(move(1));
    clear_console();
  }
  void command(std::int32_t code) {
    Command_State.Command_Code = code;
    TOGGLE_SYMMETRY();
    EXPECT_EQ(Command_State.Command_Code, Command::Replot);
  }
};

TEST_F(Symmetry, CyclingPrintsEachStateAndEndsOff) {
  open_case();
  const std::pair<int, int> sizes[] = {{8, 6}, {12, 3}, {12, 9}, {4, 3}};
  for (const auto& [nx, ny] : sizes) {
    command(Command::Cycle_Symmetry);
    EXPECT_EQ(Display_Field.Display_Size_X, nx);
    EXPECT_EQ(Display_Field.Display_Size_Y, ny);
  }
  EXPECT_EQ(Display_Field.Symmetry_Mode, 1);
  EXPECT_EQ(console(),
            "\n Four-folded symmetry toggled on\n\n\n Three-folded symmetry toggled on\n\n"
            "\n Nine-folded symmetry toggled on\n\n\n Symmetry toggled off\n\n");
  EXPECT_EQ(shown(1, 4, 3), 111.0f);  // the output shown again
}

TEST_F(Symmetry, KindChangeKeepsTheArrays) {
  open_case();
  const float* before = Display_Field.Array_to_be_displayed.data();
  command(Command::Symmetry_Kind);
  EXPECT_EQ(Display_Field.Symmetry_Type, 2);
  EXPECT_EQ(Display_Field.Array_to_be_displayed.data(), before);
  EXPECT_EQ(console(), "\n 'Translation' of domain for symmetry\n\n");
  EXPECT_EQ(shown(1, 2, 1), 101.0f);
  command(Command::Symmetry_Kind);
  EXPECT_EQ(Display_Field.Symmetry_Type, 1);
}

TEST_F(Symmetry, ThreeFoldedAfterAZoomShowsTheWholeWiderField) {
  open_case();
  auto& f = Display_Field;
  f.Zoom_X_From = 2, f.Zoom_X_To = 3, f.Zoom_Y_From = 2, f.Zoom_Y_To = 2;
  command(Command::Three_Folded);
  EXPECT_EQ(f.Symmetry_Mode, 3);
  EXPECT_EQ(std::vector<int>({f.Zoom_X_From, f.Zoom_X_To, f.Zoom_Y_From, f.Zoom_Y_To}),
            std::vector<int>({1, 12, 1, 3}));
  command(Command::Three_Folded);
  EXPECT_EQ(f.Symmetry_Mode, 1);
  command(Command::Four_Folded);
  command(Command::Nine_Folded);
  EXPECT_EQ(f.Symmetry_Mode, 4);
  EXPECT_EQ(console(),
            "\n Three-folded symmetry toggled on\n\n\n Symmetry toggled off\n\n"
            "\n Four-folded symmetry toggled on\n\n\n Nine-folded symmetry toggled on\n\n");
}

}  // namespace
