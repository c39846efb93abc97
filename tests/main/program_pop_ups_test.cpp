// Display_ZELTRA's pop-ups through the whole program: the front end (-g) sends the commands,
// a real kornd shows the list and the form, and its scripted input answers them with clicks
// and keys; what was picked and typed shows on the console. A test whose answers run out
// fails at once and ends the program.

#include <sys/stat.h>

#include <gtest/gtest-spi.h>  // EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/Server_Answers.h"
#include "tests/main/Display_Session.h"
#include "tools/Sample_Case.h"

namespace {

using namespace pop_up_answers;

// Three results of one 12 x 8 case.
struct Three_Results {
  Scratch_Folder dir;
  Three_Results() {
    sample::WRITE_GEOMETRY(dir / "Case_geoF.zlt", sample::Encoding::Single, sample::GRID(12, 1, 8, 1e-4));
    int seed = 0;
    for (const char* name : {"Case_phas.zlt", "Case_conc.zlt", "Case_temp.zlt"})
      sample::WRITE_RESULTS(dir / name, sample::Encoding::Single, sample::GRAIN_GROWTH(12, 8, 2, seed++));
  }
};

const std::vector<std::string> Words = {"-g", "Case_phas.zlt", "Case_conc.zlt", "Case_temp.zlt"};
const std::string Adjusting = "Adjusting number of panels to match number of solutions";

int count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

std::string local_scale(const char* name) { return std::string(" ") + name + ": using local min. and max. for scale\n"; }

TEST(Program_Pop_Ups, ListPickAndPanelFormAnsweredInTheRealWindows) {
  Three_Results folder;
  struct Row {
    const char* name;
    std::string commands;
    std::vector<Pop_Up_Action> actions;
    std::vector<std::string> shown, not_shown;
    int adjusted;  // "Adjusting ..." lines after start-up
  } rows[] = {
      {"the list: the second and third result",
       "0 3 0\n",
       SELECTION({false, true, true}),
       {local_scale("Case_conc.zlt"), local_scale("Case_temp.zlt")},
       {local_scale("Case_phas.zlt")},
       0},
      {"the list: the first alone",
       "0 3 0\n",
       SELECTION({true, false, false}),
       {local_scale("Case_phas.zlt")},
       {local_scale("Case_conc.zlt"), local_scale("Case_temp.zlt")},
       0},
      {"the form: 1 x 2 panels hold too few pictures", "0 21 0\n", FORM_VALUES("1", "2", false), {}, {}, 1},
      {"the form: 3 x 1 panels hold them all", "0 21 0\n", FORM_VALUES("3", "1", false), {}, {}, 0},
      {"a list, then a form", "0 3 0\n0 21 0\n",
       [] {
         std::vector<Pop_Up_Action> a = SELECTION({false, false, true});
         for (const Pop_Up_Action& f : FORM_VALUES("2", "1", true)) a.push_back(f);
         return a;
       }(),
       {local_scale("Case_temp.zlt")},
       {local_scale("Case_phas.zlt"), local_scale("Case_conc.zlt")},
       1},
  };
  for (const Row& row : rows) {
    const std::string fifo = folder.dir / "input";
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Display_Session session(folder.dir, Words, {"KORND_TEST_INPUT=" + fifo});
    ASSERT_TRUE(session.server_started) << row.name;
    Answer_Feeder feeder(session.server, fifo);
    for (const Pop_Up_Action& a : row.actions) feeder.Act(a);
    ASSERT_TRUE(session.WAIT_FOR("PAR)\n")) << row.name << session.CONSOLE();
    const int adjusted_at_start = count(session.CONSOLE(), Adjusting);
    EXPECT_EQ(session.RUN(row.commands), 0) << row.name;
    const std::string console = session.CONSOLE();
    for (const std::string& text : row.shown) EXPECT_NE(console.find(text), std::string::npos) << row.name << console;
    for (const std::string& text : row.not_shown) EXPECT_EQ(console.find(text), std::string::npos) << row.name << console;
    EXPECT_EQ(count(console, Adjusting) - adjusted_at_start, row.adjusted) << row.name << console;
    EXPECT_EQ(feeder.Pending(), 0u) << row.name << ": an answer was left unused";
    EXPECT_EQ(feeder.Unanswered(), 0) << row.name << ": a pop-up read found no answer";
    EXPECT_EQ(feeder.Reads(), static_cast<int>(row.actions.size())) << row.name;
  }
}

}  // namespace

// The list (command 3) reads the pointer with nothing queued: the feeder fails the test with
// the read's line and stops the server, and the program, which lost its server, ends.
TEST(Program_Pop_Ups, AnswersThatRunOutFailTheTestAndEndTheProgram) {
  Three_Results folder;
  const std::string fifo = folder.dir / "input";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  Display_Session session(folder.dir, Words, {"KORND_TEST_INPUT=" + fifo});
  ASSERT_TRUE(session.server_started);
  ASSERT_TRUE(session.WAIT_FOR("PAR)\n")) << session.CONSOLE();
  const auto start = std::chrono::steady_clock::now();
  int exit_code = 0;
  EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(
      {
        Answer_Feeder feeder(session.server, fifo);
        session.SEND("0 3 0\n");
        exit_code = session.WAIT_EXIT(60000);
      },
      "(\"kornd input: waiting");
  EXPECT_EQ(exit_code, 1) << session.CONSOLE();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}
