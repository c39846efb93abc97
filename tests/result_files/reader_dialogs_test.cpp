// The readers ask through the dialogs they are given (result_files/Reader_Dialogs.h): which
// dialog each seek and colour-scale command asks, with what, and what it does with the answer;
// the display's pop-ups are the dialogs of every program linking the display; a run without
// dialogs asks nothing.

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "display/Colour_Scale.h"
#include "display/Select_Time_Step.h"
#include "display/Tools_Graphical.h"
#include "result_files/Extrema.h"
#include "result_files/Reader_Dialogs.h"
#include "tests/result_files/Case_Fixture.h"

namespace {

// What the recording dialogs were asked (one line per call) and what they answer.
struct Recorder {
  std::vector<std::string> calls;
  std::vector<bool> files;            // the list of files
  std::vector<bool> outputs;          // the list of outputs
  std::string typed;                  // the typed line
  std::array<std::string, 2> fields;  // the two-field form
} recorder;

Reader_Dialogs recording_dialogs() {
  return {
      .select_strings =
          [](std::string_view title, const std::vector<std::string>& entries, bool, bool) {
            recorder.calls.push_back(std::string(title) + " of " + std::to_string(entries.size()));
            return recorder.files;
          },
      .select_time_step =
          [](std::int32_t outputs, const std::optional<std::vector<float>>&, std::int32_t solution,
             bool single_choice, bool list_only) {
            recorder.calls.push_back("outputs " + std::to_string(outputs) + " of file " + std::to_string(solution) +
                                     (list_only ? " listed" : single_choice ? " pick one" : " pick"));
            return recorder.outputs;
          },
      .input_string =
          [](std::string_view title, std::string_view prompt, std::string& answer) {
            recorder.calls.push_back(std::string(title) + " " + std::string(prompt));
            answer = recorder.typed;
          },
      .read_two_strings =
          [](std::string_view title, const std::array<std::string, 2>&, std::array<Text_Field, 2>& values) {
            recorder.calls.push_back("form " + std::string(title));
            for (int k = 0; k < 2; ++k) values[k].text = recorder.fields[k];
          },
      .set_colour_scale = [] { recorder.calls.push_back("colour scale"); },
  };
}

class Reader_Dialogs_Test : public Case_Fixture {
 protected:
  void SetUp() override {
    Case_Fixture::SetUp();
    saved_ = READER_DIALOGS();
    recorder = {};
    SET_READER_DIALOGS(recording_dialogs());
    write_case(Encoding::Single, {3, 1, 2, 1e-4}, {ramp_outputs(8, 6), ramp_outputs(8, 6), ramp_outputs(8, 6)});
    Result_Set.Extrema_Mode = 1;
    ASSERT_TRUE(open(1));
    ASSERT_TRUE(move(1));
  }
  void TearDown() override {
    SET_READER_DIALOGS(saved_);
    Case_Fixture::TearDown();
  }
  int output_shown(int i) const { return static_cast<int>(shown(i, 1)) / 100; }
  std::array<int, 3> outputs_shown() const { return {output_shown(1), output_shown(2), output_shown(3)}; }

  Reader_Dialogs saved_;
};

TEST(Reader_Dialogs_Setup, TheDisplaysPopUpsAnswerInAProgramLinkingTheDisplay) {
  const Reader_Dialogs& dialogs = READER_DIALOGS();
  EXPECT_EQ(dialogs.select_strings, &SELECT_STRINGS);
  EXPECT_EQ(dialogs.select_time_step, &SELECT_TIME_STEP);
  EXPECT_EQ(dialogs.input_string, &INPUT_STRING);
  EXPECT_EQ(dialogs.read_two_strings, &READ_TWO_STRINGS);
  EXPECT_EQ(dialogs.set_colour_scale, &SET_COLOUR_SCALE);
}

// Each seek command from output 1 of three files of 8 outputs.
TEST_F(Reader_Dialogs_Test, SeekCommandsAskAndMove) {
  const std::vector<bool> none(3, false);
  const std::vector<bool> third_output{false, false, true, false, false, false, false, false};
  struct Case {
    int command;
    std::vector<bool> files;
    std::string typed;
    std::vector<bool> outputs;
    std::vector<std::string> calls;
    std::array<int, 3> shown;
  };
  const Case cases[] = {
      {10, none, "5", {}, {"'Seek' time step Number:"}, {5, 5, 5}},
      {10, none, "x", {}, {"'Seek' time step Number:"}, {1, 1, 1}},
      {12, none, "", third_output, {"outputs 8 of file 1 pick one"}, {3, 3, 3}},
      {11, none, "", {}, {"outputs 8 of file 1 listed"}, {1, 1, 1}},
      {13, {false, true, true}, "6", {}, {"Select solution(s) of 3", "'Seek' time step Number:"}, {1, 6, 6}},
      {13, none, "6", {}, {"Select solution(s) of 3"}, {1, 1, 1}},
      {14, {true, false, true}, "", {}, {"Select solution(s) of 3", "outputs 8 of file 1 listed", "outputs 8 of file 3 listed"}, {1, 1, 1}},
      {15, {false, false, true}, "", third_output, {"Select solution(s) of 3", "outputs 8 of file 3 pick one"}, {1, 1, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("command " + std::to_string(c.command) + " typed '" + c.typed + "'");
    ASSERT_TRUE(move(-2));  // back to the first output of every file
    ASSERT_EQ(outputs_shown(), (std::array<int, 3>{1, 1, 1}));
    recorder.calls.clear();
    recorder.files = c.files;
    recorder.typed = c.typed;
    recorder.outputs = c.outputs;
    ASSERT_TRUE(move(c.command));
    EXPECT_EQ(recorder.calls, c.calls);
    EXPECT_EQ(outputs_shown(), c.shown);
  }
}

// The limit commands ask which files, the typed ones their form for the first file chosen, and
// a stepwise scale is rebuilt after every one of them.
TEST_F(Reader_Dialogs_Test, LimitCommandsAskAndRebuildAStepwiseScale) {
  struct Case {
    int code;
    bool stepwise;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {1, false, {"Select solution(s) of 3", "form \\fiCase_f2.zlt"}},
      {1, true, {"Select solution(s) of 3", "form \\fiCase_f2.zlt", "colour scale"}},
      {2, false, {"Select solution(s) of 3", "form \\fiCase_f2.zlt"}},
      {3, true, {"Select solution(s) of 3", "colour scale"}},
      {4, false, {"Select solution(s) of 3"}},
      {5, true, {"Select solution(s) of 3", "colour scale"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("code " + std::to_string(c.code) + (c.stepwise ? " stepwise" : " smooth"));
    recorder.calls.clear();
    recorder.files = {false, true, true};
    recorder.fields = {"2.5", "9"};
    Display_Settings.Stepwise_Colour_Scale = c.stepwise;
    Command_State.Command_Code = c.code;
    EXTREMA();
    EXPECT_EQ(recorder.calls, c.calls);
    EXPECT_EQ(Result_Set.Selected_Solutions(1), false);
    EXPECT_EQ(Result_Set.Selected_Solutions(3), true);
  }
  // The typed minimum and maximum went to both chosen files.
  Command_State.Command_Code = 1;
  EXTREMA();
  for (int i : {2, 3}) {
    EXPECT_EQ(Result_Set.Current_Min(i), 2.5f);
    EXPECT_EQ(Result_Set.Current_Max(i), 9.0f);
  }
}

// Without dialogs (a run that has no display) every file is chosen, a typed number or a list
// picks nothing, forms keep their preset values, and nothing is asked or redrawn.
TEST_F(Reader_Dialogs_Test, WithoutDialogsNothingIsAsked) {
  SET_READER_DIALOGS({});
  for (int command : {10, 11, 12, 13, 14, 15}) {
    SCOPED_TRACE("command " + std::to_string(command));
    ASSERT_TRUE(move(command));
    EXPECT_EQ(outputs_shown(), (std::array<int, 3>{1, 1, 1}));
    EXPECT_EQ(Result_Set.Seek_Step, Not_Set);
  }
  for (int i = 1; i <= 3; ++i) {
    Result_Set.Current_Min(i) = -1.0f;
    Result_Set.Current_Max(i) = 1.0f;
  }
  const float first_min = Result_Set.Current_Min(1);
  Display_Settings.Stepwise_Colour_Scale = true;
  Command_State.Command_Code = 1;  // the form keeps what it shows: the limits stay
  EXTREMA();
  EXPECT_EQ(Result_Set.Current_Min(1), first_min);
  Command_State.Command_Code = 4;  // global limits for every file
  EXTREMA();
  for (int i = 1; i <= 3; ++i) {
    EXPECT_TRUE(Result_Set.Selected_Solutions(i));
    EXPECT_EQ(Result_Set.Current_Min(i), Result_Set.Computed_Min(i));
    EXPECT_EQ(Result_Set.Current_Max(i), Result_Set.Computed_Max(i));
  }
  EXPECT_TRUE(recorder.calls.empty());
}

}  // namespace
