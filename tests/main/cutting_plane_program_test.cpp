// The cutting plane of three-dimensional results in Display_ZELTRA run end to end (-g with a
// real kornd offscreen): orientations, moves by one cell, the typed index in its pop-up, the
// range check, and the plane the window then shows.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/main/Answered_Session.h"
#include "tests/main/Window_Colour.h"
#include "tools/Sample_Case.h"

namespace {

using namespace pop_up_answers;

const std::string Replot_On = "\n 'Auto-replot' on\n\n", Replot_Off = "\n 'Auto-replot' off\n\n";

// 100 x 60 x 40 cells whose value grows with z, so that each x-y plane has one colour.
struct Block_Case {
  Scratch_Folder dir;
  Block_Case() {
    constexpr int nx = 100, ny = 60, nz = 40;
    sample::WRITE_GEOMETRY(dir / "Block_geoF.zlt", sample::Encoding::Single, sample::GRID(nx, ny, nz, 1e-4));
    std::vector<double> values(static_cast<std::size_t>(nx) * ny * nz);
    for (std::size_t k = 0; k < values.size(); ++k) values[k] = static_cast<double>(k / (nx * ny) + 1) / nz;
    sample::WRITE_RESULTS(dir / "Block_phas.zlt", sample::Encoding::Single, {{1.0, values}});
  }
};

// What one command adds to the console, the toggle that marks its end left out.
std::string added_by(Answered_Session& s, const std::string& command) {
  const std::string before = s.session.CONSOLE();
  EXPECT_TRUE(s.SEND_AND_SETTLE(command)) << command;
  std::string text = s.session.CONSOLE().substr(before.size());
  for (const std::string& toggle : {Replot_On, Replot_Off})
    if (text.ends_with(toggle)) text.resize(text.size() - toggle.size());
  return text;
}

// The pop-up's answer: the start value cleared, the text typed, Return.
std::vector<Pop_Up_Action> typed(const std::string& text) {
  std::vector<Pop_Up_Action> actions{KEY("Escape")};
  for (auto& a : TEXT(text)) actions.push_back(a);
  actions.push_back(KEY("Return"));
  return actions;
}

std::string plane_text(const std::string& plane, const std::string& axis, int n, int index) {
  auto i4 = [](int v) {
    std::string t = std::to_string(v);
    return std::string(4 - t.size(), ' ') + t;
  };
  return "\nCurrent cutting plane: " + plane + "\n Anz" + axis + " = " + i4(n) + "\n    " + axis + " = " + i4(index) +
         "\n\n";
}

std::string move_text(const std::string& plane, const std::string& n, const std::string& cut) {
  return "\nCurrent cutting plane: " + plane + "\n Number: " + n + "\n Cut: " + cut + "\n\n";
}

std::string warning(const std::string& from, const std::string& to) {
  return "\n\n  Warning: cutting plane coordinate changed from " + from + " to " + to + "\n\n\n";
}

TEST(Cutting_Plane, OrientationsStartInTheMiddleAndTheCurrentOneDoesNothing) {
  struct Row {
    int code;
    std::string text;
  };
  // The case opens on the x-z plane.
  const std::vector<Row> rows{
      {72, ""},
      {71, plane_text("XY", "Z", 40, 20)},
      {71, ""},
      {73, plane_text("YZ", "X", 100, 50)},
      {72, plane_text("XZ", "Y", 60, 30)},
      {72, ""},
  };
  Block_Case folder;
  Answered_Session s(folder.dir, {"-g", "Block_phas.zlt"});
  ASSERT_TRUE(s.session.server_started);
  ASSERT_TRUE(s.SEND_AND_SETTLE(""));  // started and drawn
  for (const Row& row : rows) EXPECT_EQ(added_by(s, "0 " + std::to_string(row.code) + " 0\n"), row.text) << row.code;
  EXPECT_EQ(s.session.RUN("0 129 0\n"), 0);
}

// On the x-y planes: the index typed, moved and corrected, and the plane the window shows.
TEST(Cutting_Plane, MovesWrapTypedIndicesAreCheckedAndTheWindowShowsThePlane) {
  Block_Case folder;
  Answered_Session s(folder.dir, {"-g", "Block_phas.zlt"});
  ASSERT_TRUE(s.session.server_started);
  ASSERT_TRUE(s.SEND_AND_SETTLE(""));  // started and drawn
  ASSERT_EQ(added_by(s, "0 71 0\n"), plane_text("XY", "Z", 40, 20));
  auto colour = [&] { return MAIN_COLOUR(s.session.server); };
  const unsigned middle = colour();

  s.ACT(typed("40"));
  EXPECT_EQ(added_by(s, "0 76 0\n"), "");
  const unsigned top = colour();
  EXPECT_NE(top, middle);
  EXPECT_EQ(added_by(s, "0 74 0\n"), move_text("XY", "  40", "   1"));  // up from N
  const unsigned bottom = colour();
  EXPECT_NE(bottom, top);
  EXPECT_NE(bottom, middle);
  EXPECT_EQ(added_by(s, "0 75 0\n"), move_text("XY", "  40", "  40"));  // down from 1
  EXPECT_EQ(colour(), top);

  s.ACT(typed("0"));
  EXPECT_EQ(added_by(s, "0 76 0\n"), warning("0", "1"));
  EXPECT_EQ(colour(), bottom);
  s.ACT(typed("250"));
  EXPECT_EQ(added_by(s, "0 76 0\n"), warning("250", "40"));
  EXPECT_EQ(colour(), top);
  s.ACT(typed("-7"));
  EXPECT_EQ(added_by(s, "0 76 0\n"), warning("-7", "1"));

  // Letters keep the plane (index 1): the move after them goes on from there.
  s.ACT(typed("ab"));
  EXPECT_EQ(added_by(s, "0 76 0\n"), "");
  EXPECT_EQ(colour(), bottom);
  EXPECT_EQ(added_by(s, "0 74 0\n"), move_text("XY", "  40", "   2"));
  // The pop-up's start value stands, so that Return alone keeps it.
  s.ACT({KEY("Return")});
  EXPECT_EQ(added_by(s, "0 76 0\n"), "");
  EXPECT_EQ(added_by(s, "0 75 0\n"), move_text("XY", "  40", "   1"));

  EXPECT_EQ(s.feeder.Unanswered(), 0);
  EXPECT_EQ(s.feeder.Pending(), 0u);
  EXPECT_EQ(s.session.RUN("0 129 0\n"), 0);
}

TEST(Cutting_Plane, EachOfTenTypedPlanesInARowOpensItsPopUp) {
  Block_Case folder;
  Answered_Session s(folder.dir, {"-g", "Block_phas.zlt"});
  ASSERT_TRUE(s.session.server_started);
  ASSERT_TRUE(s.SEND_AND_SETTLE(""));  // started and drawn
  for (int k = 1; k <= 10; ++k) {
    s.ACT(typed("0"));
    EXPECT_EQ(added_by(s, "0 76 0\n"), warning("0", "1")) << k;
    EXPECT_EQ(s.feeder.Reads(), 3 * k);
  }
  EXPECT_EQ(s.feeder.Unanswered(), 0);
  EXPECT_EQ(s.session.RUN("0 129 0\n"), 0);
}

// One cell across the plane (the x-y plane of a field one cell deep in z): both moves stay on it.
TEST(Cutting_Plane, ASingleCellAcrossThePlaneStaysAtOne) {
  Scratch_Folder dir;
  sample::WRITE_GEOMETRY(dir / "Case_geoF.zlt", sample::Encoding::Single, sample::GRID(12, 3, 1, 1e-4));
  std::vector<double> values(12 * 3);
  for (std::size_t k = 0; k < values.size(); ++k) values[k] = static_cast<double>(k % 12) / 12.0;
  sample::WRITE_RESULTS(dir / "Case_phas.zlt", sample::Encoding::Single, {{1.0, values}});
  Answered_Session s(dir, {"-g", "Case_phas.zlt"});
  ASSERT_TRUE(s.session.server_started);
  ASSERT_TRUE(s.SEND_AND_SETTLE(""));  // started and drawn
  EXPECT_EQ(added_by(s, "0 71 0\n"), plane_text("XY", "Z", 1, 1));
  for (const char* command : {"0 74 0\n", "0 75 0\n", "0 74 0\n"})
    EXPECT_EQ(added_by(s, command), move_text("XY", "   1", "   1")) << command;
  EXPECT_EQ(s.session.RUN("0 129 0\n"), 0);
}

// Results one cell deep in y are two-dimensional: every command of the group is refused with
// its message, and the picture stays as it was.
TEST(Cutting_Plane, TwoDimensionalResultsRefuseTheGroup) {
  struct Row {
    const char* name;
    int nx, nz;
  } rows[] = {{"12 x 1 x 8", 12, 8}, {"60 x 1 x 1", 60, 1}};
  const std::string refused = "\n Cutting planes only available with three-dimensional results\n\n";
  for (const Row& row : rows) {
    Scratch_Folder dir;
    sample::WRITE_GEOMETRY(dir / "Flat_geoF.zlt", sample::Encoding::Single, sample::GRID(row.nx, 1, row.nz, 1e-4));
    std::vector<double> values(static_cast<std::size_t>(row.nx * row.nz));
    for (std::size_t k = 0; k < values.size(); ++k) values[k] = static_cast<double>(k % row.nx) / row.nx;
    sample::WRITE_RESULTS(dir / "Flat_phas.zlt", sample::Encoding::Single, {{1.0, values}});
    Answered_Session s(dir, {"-g", "Flat_phas.zlt"});
    ASSERT_TRUE(s.session.server_started) << row.name;
    ASSERT_TRUE(s.SEND_AND_SETTLE("")) << row.name;
    for (int code = 71; code <= 76; ++code)
      EXPECT_EQ(added_by(s, "0 " + std::to_string(code) + " 0\n"), refused) << row.name << " code " << code;
    EXPECT_EQ(s.session.RUN("0 129 0\n"), 0) << row.name;
    EXPECT_EQ(s.session.CONSOLE().find("PGVSIZ"), std::string::npos) << row.name;
  }
}

}  // namespace
