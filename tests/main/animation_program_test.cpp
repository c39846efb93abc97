// The animation of Display_ZELTRA run end to end (-g with a real kornd offscreen): the outputs
// it shows one after the other, where it ends, its console lines and its settings form.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/main/Answered_Session.h"
#include "tests/main/Window_Colour.h"
#include "tools/Sample_Case.h"

namespace {

using namespace pop_up_answers;

constexpr int Outputs = 5;
const std::string Case_Name = "Flat_phas.zlt";
const std::string End = "End of animation\n\n";

// Five outputs, each one value everywhere (0, 0.25 .. 1), so that each shows a colour of its own.
// The second file, when asked for, holds the first three of them, with one cell at 0 and one
// at 1 so that its colour scale is the first file's: both panels show the same colour while
// they stand on the same output.
constexpr int Second_File_Outputs = 3;
const std::string Second_Name = "Flat_conc.zlt";

struct Flat_Case {
  Scratch_Folder dir;
  explicit Flat_Case(bool second_file = false) {
    sample::WRITE_GEOMETRY(dir / "Flat_geoF.zlt", sample::Encoding::Single, sample::GRID(40, 1, 30, 1e-4));
    std::vector<sample::Output> outputs;
    for (int k = 0; k < Outputs; ++k)
      outputs.push_back({k + 1.0, std::vector<double>(40 * 30, k / (Outputs - 1.0))});
    sample::WRITE_RESULTS(dir / Case_Name, sample::Encoding::Single, outputs);
    if (!second_file) return;
    outputs.resize(Second_File_Outputs);
    for (auto& output : outputs) output.values[0] = 0.0, output.values[1] = 1.0;
    sample::WRITE_RESULTS(dir / Second_Name, sample::Encoding::Single, outputs);
  }
};

// The output each colour stands for, learnt from the first output on by stepping through
// `count` outputs; the program stands on the first output again afterwards.
std::map<unsigned, int> learn_colours(Answered_Session& s, int count = Outputs) {
  std::map<unsigned, int> output_of;
  EXPECT_TRUE(s.SEND_AND_SETTLE("-2 0 0\n"));
  for (int k = 1; k <= count; ++k) {
    if (k > 1) {
      EXPECT_TRUE(s.SEND_AND_SETTLE("1 0 0\n"));
    }
    output_of[MAIN_COLOUR(s.session.server)] = k;
  }
  EXPECT_TRUE(s.SEND_AND_SETTLE("-2 0 0\n"));
  EXPECT_EQ(output_of.size(), static_cast<std::size_t>(count)) << "the outputs must differ in colour";
  return output_of;
}

std::vector<int> outputs_shown(const std::vector<unsigned>& colours, const std::map<unsigned, int>& output_of) {
  std::vector<int> outputs;
  for (unsigned c : colours) {
    const auto found = output_of.find(c);
    outputs.push_back(found == output_of.end() ? -1 : found->second);
  }
  return outputs;
}

// The console from the animation's first line on.
std::string animation_text(const std::string& console) {
  const std::size_t at = console.rfind("\n(Minimal)");
  return at == std::string::npos ? std::string() : console.substr(at);
}

struct Run_Case {
  std::string name;
  int code;
  int start;                 // the output shown when it starts
  std::string loops;         // typed into the form with a display time of 0.25 s; empty: no form
  std::vector<int> shown;    // from the starting output on
  std::string console;
};

void PrintTo(const Run_Case& row, std::ostream* out) { *out << row.name; }

class Animation_Runs : public ::testing::TestWithParam<Run_Case> {};

TEST_P(Animation_Runs, ShowTheOutputsInTurnAndEndOnTheLast) {
  const Run_Case& row = GetParam();
  Flat_Case folder;
  Answered_Session s(folder.dir, {"-g", Case_Name});
  ASSERT_TRUE(s.session.server_started);
  const std::map<unsigned, int> output_of = learn_colours(s);
  for (int k = 1; k < row.start; ++k) ASSERT_TRUE(s.SEND_AND_SETTLE("1 0 0\n"));
  if (!row.loops.empty()) {
    s.ACT(TWO_VALUES("0.25", row.loops));
    ASSERT_TRUE(s.SEND_AND_SETTLE("0 20 0\n"));
    EXPECT_EQ(s.feeder.Pending(), 0u);
  }
  const std::vector<unsigned> colours = SHOWN_COLOURS(s.session, "0 " + std::to_string(row.code) + " 0\n", End);
  EXPECT_EQ(outputs_shown(colours, output_of), row.shown);
  EXPECT_EQ(animation_text(s.session.CONSOLE()), row.console);
  // The redraw after it shows the output reached last.
  ASSERT_TRUE(s.SEND_AND_SETTLE(""));
  EXPECT_EQ(output_of.at(MAIN_COLOUR(s.session.server)), row.shown.back());
  EXPECT_EQ(s.feeder.Unanswered(), 0);
  EXPECT_EQ(s.session.RUN("0 129 0\n"), 0);
}

const std::string Quarter = "\n(Minimal) display time for each image: 0.25 s\n";

INSTANTIATE_TEST_SUITE_P(
    Codes, Animation_Runs,
    ::testing::Values(
        Run_Case{"TwoLoopsFromThree", 18, 3, "2", {3, 4, 5, 1, 2, 3, 4, 5, 1, 2, 3},
                 Quarter + "Animation stops after 2 loops\n" + End},
        Run_Case{"NoLoopsStillShowsTwo", 18, 3, "0", {3, 4, 5}, Quarter + "Animation stops after 0 loops\n" + End},
        Run_Case{"NegativeLoopsStillShowTwo", 18, 5, "-3", {5, 1, 2},
                 Quarter + "Animation stops after-3 loops\n" + End},
        Run_Case{"UntilTheEndFromOne", 19, 1, "9", {1, 2, 3, 4, 5}, Quarter + End},
        Run_Case{"UntilTheEndAtTheDefaultTime", 19, 4, "", {4, 5},
                 "\n(Minimal) display time for each image: 0.75 s\n" + End},
        // From the last output the first pass returns to it before any file ends.
        Run_Case{"UntilTheEndStopsAfterItsLoops", 19, 5, "1", {5, 1, 2, 3, 4, 5}, Quarter + End}),
    [](const auto& info) { return info.param.name; });

// "--Animate" runs the animation to the end at once; "--Last" beside it is not carried out.
TEST(Animation_Start, AnimateWithLastOnlyAnimates) {
  Flat_Case folder;
  Answered_Session s(folder.dir, {"-g", "--Animate", "--Last", Case_Name});
  ASSERT_TRUE(s.session.server_started);
  const std::vector<unsigned> colours = SHOWN_COLOURS(s.session, "", End);
  EXPECT_EQ(animation_text(s.session.CONSOLE()), "\n(Minimal) display time for each image: 0.75 s\n" + End);
  const std::map<unsigned, int> output_of = learn_colours(s);
  EXPECT_EQ(outputs_shown(colours, output_of), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(s.session.RUN("0 129 0\n"), 0);
}

// Up to the end stops as soon as any file has no further output: the second file ends at its
// third output, the first would go on to its fifth.
TEST(Animation_Start, UntilTheEndStopsAtTheFirstFileThatEnds) {
  Flat_Case folder(true);
  Answered_Session s(folder.dir, {"-g", Case_Name, Second_Name});
  ASSERT_TRUE(s.session.server_started);
  const std::map<unsigned, int> output_of = learn_colours(s, Second_File_Outputs);
  const std::vector<unsigned> colours = SHOWN_COLOURS(s.session, "0 19 0\n", End);
  EXPECT_EQ(outputs_shown(colours, output_of), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(animation_text(s.session.CONSOLE()), "\n(Minimal) display time for each image: 0.75 s\n" + End);
  EXPECT_EQ(s.session.RUN("0 129 0\n"), 0);
}

// The form starts with the display time in five characters (" 0.75") and the loops in five
// ("    2"), in fields of ten: what is typed after them is cut off at ten characters. After
// " 0.75", "e00001" keeps " 0.75e0000" (at least five characters before) and "e0001" gives
// 7.5 (at most five); the loops, one character taken back, keep "    -00000" after
// "-000001" (at least four blanks) and give -1 after "-00001" (at most four).
TEST(Animation_Settings, TheFormStartsWithFiveCharacterValues) {
  struct Row {
    std::string after_time, after_loops, time_shown, loops_shown;
    bool wait_for_end;  // the second row's animation would wait its 7.5 s: its first lines are enough
  };
  const std::vector<Row> rows{{"e00001", "-000001", " 0.75", " 0", true}, {"e0001", "-00001", " 7.50", "-1", false}};
  Flat_Case folder;
  Answered_Session s(folder.dir, {"-g", Case_Name});
  ASSERT_TRUE(s.session.server_started);
  for (const Row& row : rows) {
    std::vector<Pop_Up_Action> actions{CLICK(2.5f, 1.5f, 5.0f, 2.25f)};
    for (auto& a : TEXT(row.after_time)) actions.push_back(a);
    actions.push_back(KEY("Tab"));
    actions.push_back(KEY("Backspace"));
    for (auto& a : TEXT(row.after_loops)) actions.push_back(a);
    actions.push_back(KEY("Tab"));
    actions.push_back(KEY("Return"));
    s.ACT(actions);
    ASSERT_TRUE(s.SEND_AND_SETTLE("0 20 0\n"));
    ASSERT_TRUE(s.SEND_AND_WAIT("0 18 0\n", "loops\n"));
    const std::string text = animation_text(s.session.CONSOLE());
    EXPECT_EQ(text.substr(0, text.find("loops\n") + 6), "\n(Minimal) display time for each image:" +
                                                            row.time_shown + " s\nAnimation stops after" +
                                                            row.loops_shown + " loops\n")
        << row.after_time;
    if (row.wait_for_end) {
      ASSERT_TRUE(s.session.WAIT_FOR(End)) << row.after_time;
    }
  }
  EXPECT_EQ(s.feeder.Pending(), 0u);
}

// Typed settings one after the other: each shows in the console line of the next animation
// (no loops: two pictures each). What does not read keeps the value before.
TEST(Animation_Settings, TypedValuesAreCheckedAndKeptWhenTheyDoNotRead) {
  struct Row {
    std::string time, loops, time_shown, loops_shown;
  };
  const std::vector<Row> rows{
      {"0.05", "0", " 0.10", " 0"},   // the shortest time is 0.1 s
      {"abc", "x", " 0.10", " 0"},    // letters keep both
      {"0.3", "", " 0.30", " 0"},     // an empty field does not read
      {"nan", "-1", " 0.30", "-1"},   // a time that is not a number is no time
      {"inf", "0", " 0.30", " 0"},
      {"-inf", "0", " 0.30", " 0"},
      {"0.1", "0", " 0.10", " 0"},
  };
  Flat_Case folder;
  Answered_Session s(folder.dir, {"-g", Case_Name});
  ASSERT_TRUE(s.session.server_started);
  for (const Row& row : rows) {
    s.ACT(TWO_VALUES(row.time, row.loops));
    ASSERT_TRUE(s.SEND_AND_SETTLE("0 20 0\n")) << row.time;
    ASSERT_TRUE(s.SEND_AND_WAIT("0 18 0\n", End)) << row.time;
    EXPECT_EQ(animation_text(s.session.CONSOLE()), "\n(Minimal) display time for each image:" + row.time_shown +
                                                       " s\nAnimation stops after" + row.loops_shown + " loops\n" + End)
        << row.time;
  }
  EXPECT_EQ(s.feeder.Pending(), 0u);
  EXPECT_EQ(s.session.RUN("0 129 0\n"), 0);
}

// A display time of 100 s or more does not fit its five characters; an enormous one is waited
// for (as good as) forever, not cut short by a deadline that overflows.
TEST(Animation_Settings, LongDisplayTimesShowStarsAndAreWaitedFor) {
  for (const std::string time : {"100", "1e30", "3e38"}) {
    Flat_Case folder;
    Answered_Session s(folder.dir, {"-g", Case_Name});
    ASSERT_TRUE(s.session.server_started);
    s.ACT(TWO_VALUES(time, "0"));
    ASSERT_TRUE(s.SEND_AND_SETTLE("0 20 0\n"));
    s.session.SEND("0 18 0\n");
    ASSERT_TRUE(s.session.WAIT_FOR("\n(Minimal) display time for each image:***** s\nAnimation stops after 0 loops\n"))
        << time;
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(s.session.CONSOLE().find("End of animation"), std::string::npos) << time;
    EXPECT_EQ(s.session.WAIT_EXIT(0), -2) << time;
  }
}

}  // namespace
