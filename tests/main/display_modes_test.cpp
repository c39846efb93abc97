// The display-mode switches on an opened case, in process, drawn on the null device: the
// flags, the panel grid and the colour scale each switch leaves, and the refusals.

#include <cpgplot.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "main/Command_Loop.h"
#include "main/Display_Modes.h"
#include "main/Initialise.h"
#include "tests/result_files/Case_Fixture.h"

namespace {

constexpr std::int32_t Rgb = 48, Miller = 49, Difference = 50, Logarithm = 51, Absolute = 52, Vectors_2D = 54,
                       Vectors_3D = 55;

struct Grid {
  std::int32_t across, down;
  bool operator==(const Grid&) const = default;
};

class Display_Modes : public Case_Fixture {
 protected:
  void TearDown() override {
    if (device_ > 0) cpgclos();
    device_ = 0;
    Case_Fixture::TearDown();
  }

  // files result files of 6 x 4 cells, three outputs each, opened and on their first output,
  // shown on grid with colour scale `scale`.
  void start(int files, Grid grid, std::int32_t scale = 1) {
    write_case(Encoding::Single, sample::GRID(6, 4, 1, 1e-4), std::vector(files, ramp_outputs(3, 24)));
    DEFAULT_SETTINGS();  // before the case opens, as at start-up
    Display_Settings.Auto_Resize = false;
    ASSERT_TRUE(open());
    auto& r = Result_Set;
    const Bounds each{1, files};
    for (auto* a : {&Isoline_Data.Display_Isolines, &Isoline_Data.Display_Contours, &Selected_Solutions_SOS})
      a->ALLOCATE({each});
    Isoline_Data.Isoline_Number.ALLOCATE({each});
    Previous_Time_Stamp.ALLOCATE({each});
    for (int i = 1; i <= files; ++i) r.Current_Min(i) = r.Computed_Min(i), r.Current_Max(i) = r.Computed_Max(i);
    device_ = cpgopen("/NULL");
    Graphics_Units.Unit_Display = Graphics_Units.Unit_Current = device_;
    ASSERT_TRUE(move(1));
    Command_State.Time_Step_Command = 0;
    Display_Settings.Panel_Grid.Panels_Across = grid.across;
    Display_Settings.Panel_Grid.Panels_Down = grid.down;
    Display_Settings.Colour_Scale_Number = scale;
    clear_console();
  }

  // Each code as the command loop dispatches it.
  void run(const std::vector<std::int32_t>& codes) {
    for (std::int32_t code : codes) {
      Command_State.Command_Code = code;
      try {
        DISPATCH_COMMAND(code);
      } catch (const Program_Stop&) {
        ADD_FAILURE() << "code " << code << " stopped the program:" << console();
        return;
      }
      Command_State.Command_Code = 0;
    }
  }

  static Grid grid() { return {Display_Settings.Panel_Grid.Panels_Across, Display_Settings.Panel_Grid.Panels_Down}; }
  static const Processed_Display_Modes_Type& modes() { return Display_Settings.Processed_Display_Modes; }

  int device_ = 0;
};

// What a sequence of switches leaves: grid and colour scale.
TEST_F(Display_Modes, GridAndScaleAfterEachSequence) {
  struct Row {
    const char* what;
    int files;
    Grid from;
    std::vector<std::int32_t> codes;
    Grid grid;
    std::int32_t scale;
  } rows[] = {
      {"triangle on", 3, {2, 2}, {Rgb}, {1, 1}, -1},
      {"triangle on and off", 3, {2, 2}, {Rgb, Rgb}, {2, 2}, 1},
      {"Miller keeps the grid", 3, {2, 2}, {Miller}, {2, 2}, -1},
      {"difference on 1 x 1", 2, {1, 1}, {Difference}, {1, 3}, 1},
      {"difference on 2 x 1", 2, {2, 1}, {Difference}, {3, 1}, 1},
      {"difference on 2 x 2", 2, {2, 2}, {Difference}, {2, 2}, 1},
      {"difference off", 2, {1, 1}, {Difference, Difference}, {1, 1}, 1},
      {"logarithm keeps the grid", 2, {2, 1}, {Logarithm}, {2, 1}, 1},
      {"2D vectors, five files", 5, {1, 1}, {Vectors_2D}, {2, 2}, 1},
      {"3D vectors, five files", 5, {1, 1}, {Vectors_3D}, {2, 1}, 1},
      {"3D vectors, eleven files", 11, {1, 1}, {Vectors_3D}, {3, 3}, 1},
      {"vectors off", 5, {1, 1}, {Vectors_2D, Vectors_2D}, {1, 1}, 1},
      // Modes switched in any order end as they started.
      {"Miller, triangle, triangle, Miller", 3, {2, 2}, {Miller, Rgb, Rgb, Miller}, {2, 2}, 1},
      {"triangle, Miller, triangle, Miller", 3, {2, 2}, {Rgb, Miller, Rgb, Miller}, {2, 2}, 1},
      {"difference, logarithm, logarithm", 2, {1, 1}, {Difference, Logarithm, Logarithm}, {1, 1}, 1},
      {"vectors under the triangle", 3, {2, 2}, {Vectors_2D, Rgb, Rgb, Vectors_2D}, {2, 2}, 1},
      {"logarithm ended by the triangle", 3, {3, 1}, {Logarithm, Rgb, Rgb}, {3, 1}, 1},
      {"absolute values, logarithm, both off", 2, {2, 1}, {Absolute, Logarithm, Absolute, Logarithm}, {2, 1}, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    start(row.files, row.from);
    run(row.codes);
    EXPECT_EQ(grid(), row.grid);
    EXPECT_EQ(Display_Settings.Colour_Scale_Number, row.scale);
    TearDown();
    SetUp();
  }
}

TEST_F(Display_Modes, RefusalsChangeNothing) {
  struct Row {
    const char* what;
    int files;
    std::vector<std::int32_t> before;
    std::int32_t code;
    const char* message;
  } rows[] = {
      {"triangle with two files", 2, {}, Rgb, " 'RGB triangle' display mode only available with 3 result files"},
      {"triangle with four files", 4, {}, Rgb, " 'RGB triangle' display mode only available with 3 result files"},
      {"difference under Miller", 2, {Miller}, Difference, " Currently not available"},
      {"logarithm under Miller", 3, {Miller}, Logarithm, " Currently not available"},
      {"absolute values under the triangle", 3, {Rgb}, Absolute, " Currently not available"},
      {"vectors under the triangle", 3, {Rgb}, Vectors_2D, " Currently not available"},
      {"difference with three files", 3, {}, Difference, " Available only with two results!"},
      {"2D vectors with two files", 2, {}, Vectors_2D, " Available only with at least three results!"},
      {"3D vectors with three files", 3, {}, Vectors_3D, " Available only with at least four results!"},
      // The file count is named first, whatever colour mode is on.
      {"difference with one file under Miller", 1, {Miller}, Difference, " Available only with two results!"},
      {"2D vectors with one file under Miller", 1, {Miller}, Vectors_2D, " Available only with at least three results!"},
      {"3D vectors with one file under Miller", 1, {Miller}, Vectors_3D, " Available only with at least four results!"},
      {"3D vectors with three files under the triangle", 3, {Rgb}, Vectors_3D,
       " Available only with at least four results!"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    start(row.files, {2, 2});
    run(row.before);
    const Processed_Display_Modes_Type flags = modes();
    const Grid kept = grid();
    const std::int32_t scale = Display_Settings.Colour_Scale_Number, vectors = Vector_Settings.Vector_Mode;
    clear_console();
    run({row.code});
    EXPECT_EQ(console(), std::string("\n\n") + row.message + "\n\n");
    EXPECT_EQ(grid(), kept);
    EXPECT_EQ(Display_Settings.Colour_Scale_Number, scale);
    EXPECT_EQ(Vector_Settings.Vector_Mode, vectors);
    EXPECT_EQ(modes().RGB_Triangle, flags.RGB_Triangle);
    EXPECT_EQ(modes().Miller_Indices, flags.Miller_Indices);
    EXPECT_EQ(modes().Difference_Display, flags.Difference_Display);
    EXPECT_EQ(modes().Logarithmic_Display, flags.Logarithmic_Display);
    EXPECT_EQ(modes().Absolute_Values, flags.Absolute_Values);
    TearDown();
    SetUp();
  }
}

TEST_F(Display_Modes, SwitchesReportTheirStateAndTurnOffWhatTheyCannotShowWith) {
  start(2, {1, 1});
  run({Logarithm, Absolute});
  EXPECT_EQ(console(), "\n Display of 'rescaled result' on\n\n\n Display of absolute value of results on\n\n");
  EXPECT_TRUE(modes().Logarithmic_Display);
  EXPECT_TRUE(modes().Absolute_Values);
  clear_console();
  run({Difference});
  EXPECT_EQ(console(), "\n Display of 'difference' on\n\n");
  EXPECT_TRUE(modes().Difference_Display);
  EXPECT_FALSE(modes().Logarithmic_Display);
  EXPECT_TRUE(modes().Absolute_Values);
  // The difference picture is slot 0: file 1 minus file 2 of the same ramp.
  EXPECT_EQ(shown(0, 3, 2), 0.0f);
}

TEST_F(Display_Modes, VectorsOnlySwitchOffUnderAnotherVectorKey) {
  start(5, {1, 1});
  run({Vectors_2D});
  EXPECT_EQ(Vector_Settings.Vector_Mode, 1);
  EXPECT_NE(console().find("\n Display of 'vectors' on\n\n"), std::string::npos);
  clear_console();
  run({Vectors_3D});
  EXPECT_EQ(Vector_Settings.Vector_Mode, 0);
  EXPECT_EQ(console(), "\n Display of 'vectors' off\n\n");
  EXPECT_EQ(grid(), (Grid{1, 1}));
  clear_console();
  run({Vectors_3D});
  EXPECT_EQ(Vector_Settings.Vector_Mode, 2);
  EXPECT_NE(console().find("\n Display of 'vectors' on (3D mode!)\n\n"), std::string::npos);
}

TEST_F(Display_Modes, ColourModesReadTheOutputAgainIntoTheirPictures) {
  start(3, {2, 2});
  run({Rgb});
  EXPECT_EQ(console(), "\n 'RGB triangle' display mode toggled on\n\n");
  EXPECT_EQ(Display_Field.Array_to_be_displayed.LOWER(0), 0);
  // Three equal files at equal times: every cell has a colour of the cube (0 to 215).
  const float colour = shown(0, 2, 2);
  EXPECT_GE(colour, 0.0f);
  EXPECT_LE(colour, 215.0f);
  clear_console();
  run({Rgb, Miller});
  EXPECT_EQ(console(), "\n 'RGB triangle' display mode toggled off\n\n\n 'Miller Indices' display mode toggled on\n\n");
  EXPECT_EQ(Display_Field.Array_to_be_displayed.LOWER(0), -3);
}

}  // namespace
