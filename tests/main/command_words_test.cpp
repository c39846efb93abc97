// The command words and what they set, read in the test's own process: every table row
// starts from fresh records and compares the fields its words touch.

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "main/Command_Line_Parts.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "main/Read_Command_Line.h"
#include "tests/result_files/Scratch_Folder.h"
#include "tools/Sample_Case.h"

namespace {

using Fields = std::map<std::string, std::string>;

// The fields the command line sets, by name.
Fields command_line_fields() {
  const auto& set = Result_Set;
  const auto& grid = Display_Settings.Panel_Grid;
  const auto yes = [](bool b) { return std::string(b ? "on" : "off"); };
  return {{"format", std::to_string(set.Result_Format)},
          {"format given", yes(set.Format_Given)},
          {"compressed", yes(set.Compressed_Results)},
          {"files", std::to_string(set.Number_Of_Solutions)},
          {"extrema", std::to_string(set.Extrema_Mode)},
          {"minimum", std::to_string(set.Global_Minimum)},
          {"maximum", std::to_string(set.Global_Maximum)},
          {"temp", set.Temporary_Files_Directory},
          {"symmetry", std::to_string(Display_Field.Symmetry_Mode)},
          {"symmetry type", std::to_string(Display_Field.Symmetry_Type)},
          {"skip", std::to_string(Display_Field.Skip_Factor)},
          {"enhanced 1D", yes(Display_Field.Enhanced_1D)},
          {"panels", std::to_string(grid.Panels_Across) + "x" + std::to_string(grid.Panels_Down)},
          {"rows", yes(grid.Row_Major_Panels)},
          {"length scale", yes(Display_Settings.Display_Length_Scale)},
          {"wedge", yes(Display_Settings.Wedge_Win9X)},
          {"vector", std::to_string(Vector_Settings.Vector_Mode)},
          {"gui", yes(Command_State.GUI_Active)},
          {"gui started", yes(Command_State.GUI_Started)},
          {"animate", yes(Startup_Options.Animate_At_Start)},
          {"last", yes(Startup_Options.Last_At_Start)},
          {"miller", yes(Startup_Options.Miller_At_Start)},
          {"position", std::to_string(Startup_Options.Window_Position_X) + "," +
                           std::to_string(Startup_Options.Window_Position_Y)}};
}

// Every field of expected must hold; the others keep their values before the words.
void expect_fields(const Fields& expected, const Fields& before, const std::string& label) {
  const Fields now = command_line_fields();
  for (const auto& [name, value] : now) {
    const auto wanted = expected.find(name);
    EXPECT_EQ(value, wanted != expected.end() ? wanted->second : before.at(name)) << label << ": " << name;
  }
}

std::string joined(const std::vector<std::string>& words) {
  std::string all;
  for (const auto& w : words) all += w + " ";
  return all;
}

// The fields right after the words (before the checks that follow the last word).
const Fields& fields_before_words() {
  static const Fields before = [] {
    RESET_GLOBALS();
    READ_OPTION_WORDS({}, "");
    return command_line_fields();
  }();
  return before;
}

TEST(Command_Options, ValuesBeforeTheWords) {
  RESET_GLOBALS();
  Result_Set.Result_Format = 3;  // left over from an earlier reading
  Display_Settings.Panel_Grid.Panels_Across = 4;
  READ_OPTION_WORDS({}, "");
  const Fields now = command_line_fields();
  const Fields expected = {{"format", "1"}, {"files", "1"}, {"extrema", "1"}, {"symmetry", "1"},
                           {"symmetry type", "1"}, {"skip", "1"}, {"panels", "0x0"}, {"rows", "on"},
                           {"vector", "0"}, {"gui", "off"}, {"position", "-1,-1"}, {"compressed", "off"}};
  for (const auto& [name, value] : expected) EXPECT_EQ(now.at(name), value) << name;
  EXPECT_EQ(Solution_Counter, 0);
}

TEST(Command_Options, OneTableOfWordsAndOutcomes) {
  const struct {
    std::vector<std::string> words;
    Fields fields;
  } cases[] = {
      {{"-p2x3"}, {{"panels", "2x3"}}},
      {{"-q2x3"}, {{"panels", "2x3"}, {"rows", "off"}}},
      {{"-P2X3"}, {{"panels", "2x3"}}},
      {{"-q2x3", "-p4x1"}, {{"panels", "4x1"}, {"rows", "off"}}},
      {{"-m3.5"}, {{"files", "3"}}},
      {{"-m7a"}, {{"files", "7"}, {"format", "3"}, {"format given", "on"}}},
      {{"-ab"}, {{"format", "1"}, {"format given", "on"}}},
      {{"-da"}, {{"format", "2"}, {"format given", "on"}}},
      {{"-a", "-b"}, {{"format", "1"}, {"format given", "on"}}},
      {{"-fl"}, {{"extrema", "3"}}},
      {{"-f"}, {{"extrema", "2"}}},
      {{"-z"}, {{"compressed", "on"}}},
      {{"-s"}, {{"symmetry", "2"}}},
      {{"-4"}, {{"symmetry", "2"}}},
      {{"-s3"}, {{"symmetry", "3"}}},
      {{"-39"}, {{"symmetry", "4"}}},
      {{"-m14"}, {{"files", "14"}}},
      {{"-m13"}, {{"files", "13"}}},
      {{"-m19"}, {{"files", "19"}}},
      {{"-p12x3"}, {{"panels", "12x3"}}},
      {{"-m7", "-4"}, {{"files", "7"}, {"symmetry", "2"}}},
      {{"-4m7"}, {{"files", "7"}, {"symmetry", "2"}}},
      // The 9 of w9 is part of the wedge option, not a symmetry digit.
      {{"-w9"}, {{"wedge", "on"}}},
      {{"-W9"}, {{"wedge", "on"}}},
      {{"-9w9"}, {{"wedge", "on"}, {"symmetry", "4"}}},
      {{"-w"}, {}},
      {{"--Vector_3D"}, {{"vector", "2"}}},
      {{"--vector_3d"}, {{"vector", "1"}}},
      {{"--Vector"}, {{"vector", "1"}}},
      {{"--1D"}, {{"enhanced 1D", "on"}}},
      {{"--10"}, {{"enhanced 1D", "on"}}},
      {{"--Thin"}, {{"enhanced 1D", "on"}}},
      {{"--Translation"}, {{"symmetry type", "2"}}},
      {{"--Translation2"}, {}},
      {{"--Symmetry:2"}, {{"symmetry type", "2"}}},
      {{"--Skip:3"}, {{"skip", "3"}}},
      {{"--Min:-1e-3"}, {{"minimum", std::to_string(-0.001f)}}},
      {{"--Max:0.8"}, {{"maximum", std::to_string(0.8f)}}},
      {{"--Temp:D:\\tmp"}, {{"temp", "D:\\tmp"}}},
      {{"--Position:100x50"}, {{"position", "100,50"}}},
      {{"--position:100x50", "--miller", "--check"}, {}},
      {{"--Miller"}, {{"miller", "on"}, {"extrema", "2"}}},
      {{"--Animate", "--LAST", "--scale"}, {{"animate", "on"}, {"last", "on"}, {"length scale", "on"}}},
      {{"-g"}, {{"gui", "on"}}},
      {{"-g", "--No_GUI"}, {}},
      {{"--No_GUI", "-g"}, {{"gui", "on"}}},
      {{"-g", "--keyboard"}, {}},
      {{"--Unknown", "-k", "-"}, {}},
      {{"\"-s\"", "\""}, {{"symmetry", "2"}}},
      {{"'-s'"}, {}},  // single quotes stay: a file name
  };
  const Fields& before = fields_before_words();
  for (const auto& c : cases) {
    RESET_GLOBALS();
    const Option_Results results = READ_OPTION_WORDS(c.words, "");
    expect_fields(c.fields, before, joined(c.words));
    EXPECT_FALSE(results.minimum_given && results.maximum_given);
  }
}

TEST(Command_Options, FileNamesInOrder) {
  const struct {
    std::vector<std::string> words;
    std::string start_folder;
    std::vector<std::string> names;
    std::string files;
  } cases[] = {
      {{"a_phas.zlt", "b_phas.zlt"}, "", {"a_phas.zlt", "b_phas.zlt"}, "1"},
      {{"a.zlt", "-m5", "b.zlt"}, "", {"a.zlt", "b.zlt"}, "5"},
      {{"-m3", "x.zlt"}, "", {"x.zlt"}, "3"},
      {{"x.zlt", "-m3"}, "", {"x.zlt"}, "3"},
      {{"-iIn", "-OOut", "\"my file\"", ""}, "", {"-iIn", "-OOut", "my file"}, "1"},
      {{"-a", "conc.zlt"}, "runs/", {"runs/conc.zlt"}, "1"},
      {{"-m2000000000", "one"}, "", {"one"}, "2000000000"},
  };
  for (const auto& c : cases) {
    RESET_GLOBALS();
    const Option_Results results = READ_OPTION_WORDS(c.words, c.start_folder);
    EXPECT_EQ(results.names, c.names) << joined(c.words);
    EXPECT_EQ(Solution_Counter, static_cast<std::int32_t>(c.names.size())) << joined(c.words);
    EXPECT_EQ(command_line_fields().at("files"), c.files) << joined(c.words);
  }
}

TEST(Command_Words, LinesAndPromptsGiveTheWords) {
  const struct {
    std::vector<std::string> arguments;
    std::string input;
    std::vector<std::string> words;
    std::string start_folder;
    std::string console;  // after the words were gathered
  } cases[] = {
      {{"-n4"}, "-a\n  two words \nx.zlt\n-s\nnot read\n", {"-a", "  two words ", "x.zlt", "-s"}, "", ""},
      {{"-N2"}, "a\nb\n", {"a", "b"}, "", ""},
      // A huge count takes the lines that come.
      {{"-n2000000000"}, "a\nb", {"a", "b"}, "", ""},
      {{"-n4", "a.zlt"}, "ignored\n", {"-n4", "a.zlt"}, "", ""},
      {{"-n0"}, "ignored\n", {"-n0"}, "", ""},
      {{"runs/Case_geoF.zlt"}, "-a   conc.zlt\n", {"-a", "conc.zlt"}, "runs/",
       "\nCommand line parameters?\n\n"},
      {{"D:\\runs\\CASE_GEOF.ZLT"}, " x\n", {"x"}, "D:\\runs\\", "\nCommand line parameters?\n\n"},
      {{}, "-s  \"a\"  b\n", {"-s", "\"a\"", "b"}, "", "\nCommand line parameters?\n\n"},
      {{"a", "b"}, "", {"a", "b"}, "", ""},
      // The typed line is taken whole: cut at a fixed length it would lose or cut the words
      // past the cut without a word said.
      {{}, std::string(496, ' ') + "-a a.zlt b.zlt\n", {"-a", "a.zlt", "b.zlt"}, "", "\nCommand line parameters?\n\n"},
  };
  for (const auto& c : cases) {
    Console_Capture console;
    std::istringstream in(c.input);
    const Command_Words gathered = GATHER_COMMAND_WORDS(c.arguments, in);
    EXPECT_EQ(gathered.words, c.words) << joined(c.arguments);
    EXPECT_EQ(gathered.start_folder, c.start_folder) << joined(c.arguments);
    EXPECT_EQ(console.text(), c.console) << joined(c.arguments);
  }
}

// A small case in a scratch folder: geometry and result files with absolute names.
struct Case_Folder {
  Scratch_Folder dir;
  std::vector<std::string> results;
  explicit Case_Folder(int files) {
    sample::WRITE_GEOMETRY(dir / "Case_geoF.zlt", sample::Encoding::Single, sample::GRID(2, 1, 2, 1e-4));
    for (int i = 1; i <= files; ++i) {
      results.push_back(dir / ("Case_f" + std::to_string(i) + ".zlt"));
      sample::WRITE_RESULTS(results.back(), sample::Encoding::Single, sample::GRAIN_GROWTH(2, 2, 1, 0));
    }
  }
};

TEST(Command_Line_Checks, FinalSettingsAfterTheLastWord) {
  const struct {
    std::vector<std::string> options;
    int files;
    Fields fields;
  } cases[] = {
      {{}, 1, {{"panels", "1x1"}}},
      {{"--Endian", "-d"}, 1, {{"format", "7"}, {"format given", "on"}, {"panels", "1x1"}}},
      {{"--Endian"}, 1, {{"format", "6"}, {"panels", "1x1"}}},
      {{"--Min:0.2"}, 1, {{"minimum", std::to_string(0.2f)}, {"panels", "1x1"}}},
      {{"--Min:0.2", "--Max:0.8"}, 1,
       {{"minimum", std::to_string(0.2f)}, {"maximum", std::to_string(0.8f)}, {"extrema", "4"}, {"panels", "1x1"}}},
      {{"-m3"}, 2, {{"files", "2"}, {"panels", "2x1"}}},
      {{}, 2, {{"files", "2"}, {"panels", "2x1"}}},
      {{}, 8, {{"files", "8"}, {"panels", "3x3"}}},
      {{}, 10, {{"files", "10"}, {"panels", "4x3"}}},
      {{"--Vector"}, 5, {{"files", "5"}, {"vector", "1"}, {"panels", "2x2"}}},
      {{"--Vector_3D"}, 4, {{"files", "4"}, {"vector", "2"}, {"panels", "1x1"}}},
      {{"-q1x5"}, 3, {{"files", "3"}, {"panels", "1x5"}, {"rows", "off"}}},
      {{"-g"}, 1, {{"gui", "on"}, {"gui started", "on"}, {"panels", "1x1"}}},
  };
  const Fields& before = fields_before_words();
  for (const auto& c : cases) {
    Case_Folder folder(c.files);
    std::vector<std::string> words = c.options;
    words.insert(words.end(), folder.results.begin(), folder.results.end());
    RESET_GLOBALS();
    Console_Capture console;
    READ_COMMAND_LINE(words);
    expect_fields(c.fields, before, joined(c.options) + std::to_string(c.files));
    ASSERT_EQ(Result_Set.Name_Solution.SIZE(), c.files);
    ASSERT_EQ(Result_Set.Name_To_Be_Displayed.SIZE(), c.files);
    for (int i = 1; i <= c.files; ++i) {
      EXPECT_EQ(Result_Set.Name_Solution(i), folder.results[static_cast<std::size_t>(i - 1)]);
      EXPECT_EQ(Result_Set.Name_To_Be_Displayed(i), "Case_f" + std::to_string(i) + ".zlt");
    }
    EXPECT_EQ(Result_Set.Geometry_File_Name, folder.dir / "Case_geoF.zlt");
  }
}

}  // namespace
