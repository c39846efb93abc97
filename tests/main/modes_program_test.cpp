// The output-time lists, the display-mode switches and the removal of the output shown,
// through the whole program: Display_ZELTRA -g beside a real kornd (offscreen), its pop-ups
// answered through the server's input seam, on small cases written here.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "result_files/Module_GZip.h"
#include "tests/Server_Answers.h"
#include "tests/main/Display_Session.h"
#include "tools/Sample_Case.h"

namespace {

using sample::Encoding;

// Display_ZELTRA with its pop-ups answered from a queue.
struct Answered_Session {
  std::string fifo;
  Display_Session session;
  Answer_Feeder feeder;
  Answered_Session(const Scratch_Folder& dir, const std::vector<std::string>& words)
      : fifo(make_fifo(dir)), session(dir, words, {"KORND_TEST_INPUT=" + fifo}), feeder(session.server, fifo) {}
  static std::string make_fifo(const Scratch_Folder& dir) {
    const std::string name = dir / "answers";
    ::mkfifo(name.c_str(), 0600);
    return name;
  }
  void act(const std::vector<Pop_Up_Action>& actions) {
    for (const Pop_Up_Action& a : actions) feeder.Act(a);
  }
  // The whole run: commands, then the end.
  int run(const std::string& commands) { return session.RUN(commands + "0 129 0\n"); }
  std::string console() const { return session.CONSOLE(); }
};

// Outputs 1..count of a 12 x 8 field, output k at k seconds (its image name ends _0000k000).
std::vector<sample::Output> outputs(int count, int field = 0, int first = 1) {
  std::vector<sample::Output> all = sample::GRAIN_GROWTH(12, 8, count + first - 1, field);
  all.erase(all.begin(), all.begin() + (first - 1));
  for (std::size_t k = 0; k < all.size(); ++k) all[k].time = static_cast<double>(k + first);
  return all;
}

std::string bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A case of result files named Case_<name>.zlt in folder, each with `count` outputs.
void write_case(const std::string& folder, const std::vector<std::string>& names, int count,
                Encoding encoding = Encoding::Single) {
  sample::WRITE_GEOMETRY(folder + "/Case_geoF.zlt", encoding, sample::GRID(12, 1, 8, 1e-4));
  for (std::size_t i = 0; i < names.size(); ++i)
    sample::WRITE_RESULTS(folder + "/Case_" + names[i] + ".zlt", encoding, outputs(count, static_cast<int>(i)));
}

// The bytes of a result file of `count` outputs without output `removed`, as the sample
// writer writes it.
std::string without_output(const Scratch_Folder& dir, int count, int removed, int field = 0) {
  std::vector<sample::Output> kept = outputs(count, field);
  kept.erase(kept.begin() + (removed - 1));
  const std::string name = dir / "expected.zlt";
  sample::WRITE_RESULTS(name, Encoding::Single, kept);
  return bytes(name);
}


std::size_t occurrences(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

const std::string Image_Of_Shown = "0 91 0\n0 77 0\n";  // default naming on, then the image

// ---------------------------------------------------------------- output times

TEST(Output_Times, ListingNamesEveryOutputAndKeepsTheFileWhereItWas) {
  struct Row {
    const char* what;
    std::string to_output;  // the moves from output 1
    const char* next_image;  // of the output after the one shown
  } rows[] = {
      {"from the first output", "", "Sample_phas_00000002.gif"},
      {"from the fourth output", "1 0 0\n1 0 0\n1 0 0\n", "Sample_phas_00000005.gif"},
      {"from the last output", "2 0 0\n", "Sample_phas_00000001.gif"},
  };
  std::string listing = "\n Output time(s) for Sample_phas.zlt:\n";
  for (int k = 1; k <= 9; ++k) listing += "  " + std::to_string(k) + ": 0." + std::to_string(k) + "0000E-02 s\n";
  listing += " 10: 0.10000E-01 s\n";
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Scratch_Folder dir;
    sample::WRITE_GEOMETRY(dir / "Sample_geoF.zlt", Encoding::Single, sample::GRID(12, 1, 8, 1e-4));
    sample::WRITE_RESULTS(dir / "Sample_phas.zlt", Encoding::Single, sample::GRAIN_GROWTH(12, 8, 10, 0));
    Answered_Session run(dir, {"-g", "Sample_phas.zlt"});
    ASSERT_TRUE(run.session.server_started);
    // The listing, then the next output and its image.
    EXPECT_EQ(run.run(row.to_output + "11 0 0\n1 0 0\n" + Image_Of_Shown), 0);
    EXPECT_NE(run.console().find(listing), std::string::npos) << run.console();
    EXPECT_EQ(CREATED_FILES(run.console()), std::vector<std::string>{row.next_image});
    EXPECT_EQ(run.feeder.Reads(), 0);  // the listing asks nothing
  }
}

TEST(Output_Times, AnOutputPickedFromTheListIsShown) {
  struct Row {
    const char* what;
    std::string to_output;
    int picked;
    std::vector<std::string> images;  // the output picked, then the next
  } rows[] = {
      {"from the first output", "", 3, {"Case_phas_00003000.gif", "Case_phas_00004000.gif"}},
      {"from a later output", "1 0 0\n1 0 0\n1 0 0\n1 0 0\n", 3, {"Case_phas_00003000.gif", "Case_phas_00004000.gif"}},
      {"the last output", "", 10, {"Case_phas_00010000.gif", "Case_phas_00001000.gif"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Scratch_Folder dir;
    write_case(dir.path(), {"phas"}, 10);
    Answered_Session run(dir, {"-g", "Case_phas.zlt"});
    ASSERT_TRUE(run.session.server_started);
    std::vector<bool> wanted(10, false);
    wanted[row.picked - 1] = true;
    run.act(pop_up_answers::SELECTION(wanted, false, true));
    EXPECT_EQ(run.run(row.to_output + "12 0 0\n" + Image_Of_Shown + "1 0 0\n0 77 0\n"), 0);
    EXPECT_EQ(CREATED_FILES(run.console()), row.images) << run.console();
    EXPECT_EQ(run.feeder.Reads(), 2);  // the pick and "OK"
    EXPECT_EQ(run.feeder.Unanswered(), 0);
  }
}

// ---------------------------------------------------------------- display modes

TEST(Display_Modes_Program, SwitchesReportOnTheConsole) {
  struct Row {
    const char* what;
    std::vector<std::string> files;
    std::vector<std::string> options;
    std::string commands;
    std::string console_end;
  } rows[] = {
      {"triangle with two files", {"a", "b"}, {}, "0 48 0\n",
       "\n\n 'RGB triangle' display mode only available with 3 result files\n\n"},
      {"triangle with four files", {"a", "b", "c", "d"}, {}, "0 48 0\n",
       "\n\n 'RGB triangle' display mode only available with 3 result files\n\n"},
      {"triangle on and off", {"a", "b", "c"}, {}, "0 48 0\n0 48 0\n",
       "\n 'RGB triangle' display mode toggled on\n\n\n 'RGB triangle' display mode toggled off\n\n"},
      {"difference under Miller", {"a", "b"}, {}, "0 49 0\n0 50 0\n",
       "\n 'Miller Indices' display mode toggled on\n\n\n\n Currently not available\n\n"},
      {"3D vectors end the 2D ones", {"a", "b", "c", "d", "e"}, {}, "0 54 0\n0 55 0\n",
       "\n Display of 'vectors' off\n\n"},
      {"logarithm, absolute values, difference", {"a", "b"}, {}, "0 51 0\n0 52 0\n0 50 0\n",
       "\n Display of 'rescaled result' on\n\n\n Display of absolute value of results on\n\n"
       "\n Display of 'difference' on\n\n"},
      {"Miller at the start", {"a"}, {"--Miller"}, "",
       "PAR)\n\n\n 'Miller Indices' display mode toggled on\n\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Scratch_Folder dir;
    write_case(dir.path(), row.files, 2);
    std::vector<std::string> words{"-g"};
    words.insert(words.end(), row.options.begin(), row.options.end());
    for (const std::string& f : row.files) words.push_back("Case_" + f + ".zlt");
    Display_Session session(dir, words);
    ASSERT_TRUE(session.server_started);
    EXPECT_EQ(session.RUN(row.commands + "0 129 0\n"), 0);
    EXPECT_TRUE(session.CONSOLE().ends_with(row.console_end + "\n")) << session.CONSOLE();
  }
}

// ---------------------------------------------------------------- removing the output shown

TEST(Remove_Output_Program, OnlyTheFilesAnsweredYesLoseTheOutput) {
  Scratch_Folder dir;
  write_case(dir.path(), {"phas", "conc"}, 8);
  const std::string second = bytes(dir / "Case_conc.zlt");
  Answered_Session run(dir, {"-g", "Case_phas.zlt", "Case_conc.zlt"});
  ASSERT_TRUE(run.session.server_started);
  run.act({pop_up_answers::KEY("y"), pop_up_answers::KEY("n")});
  EXPECT_EQ(run.run("1 0 0\n1 0 0\n1 0 0\n1 0 0\n0 127 0\n1 0 0\n" + Image_Of_Shown), 0);
  EXPECT_EQ(bytes(dir / "Case_phas.zlt"), without_output(dir, 8, 5, 0));
  EXPECT_EQ(bytes(dir / "Case_conc.zlt"), second);
  EXPECT_EQ(occurrences(run.console(), " Output removed from "), 1u);
  EXPECT_NE(run.console().find("\n Output removed from Case_phas.zlt\n"), std::string::npos);
  EXPECT_EQ(run.feeder.Reads(), 2);
  EXPECT_EQ(run.feeder.Unanswered(), 0);
}

TEST(Remove_Output_Program, TheDisplayGoesOnAtTheOutputThatTookTheRemovedOnesPlace) {
  const std::string to_fifth = "1 0 0\n1 0 0\n1 0 0\n1 0 0\n";  // the moves from output 1
  struct Row {
    const char* what;
    std::string option;
    std::string to_output;
    int removed;
    std::vector<std::string> images;  // the output shown after the removal, then the next
  } rows[] = {
      {"output 5 of 8", "", to_fifth, 5, {"Case_phas_00006000.gif", "Case_phas_00007000.gif"}},
      {"output 8 of 8", "", "2 0 0\n", 8, {"Case_phas_00001000.gif", "Case_phas_00002000.gif"}},
      {"output 1 of 8", "", "", 1, {"Case_phas_00002000.gif", "Case_phas_00003000.gif"}},
      // Only the first output was counted at the start: the file still holds more.
      {"output 1 of 8, limits of the first output", "-f", "", 1, {"Case_phas_00002000.gif", "Case_phas_00003000.gif"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Scratch_Folder dir;
    write_case(dir.path(), {"phas"}, 8);
    std::vector<std::string> words{"-g", "Case_phas.zlt"};
    if (!row.option.empty()) words.insert(words.begin() + 1, row.option);
    Answered_Session run(dir, words);
    ASSERT_TRUE(run.session.server_started);
    run.act({pop_up_answers::KEY("y")});
    EXPECT_EQ(run.run(row.to_output + "0 127 0\n" + Image_Of_Shown + "1 0 0\n0 77 0\n"), 0);
    EXPECT_EQ(CREATED_FILES(run.console()), row.images) << run.console();
    EXPECT_EQ(bytes(dir / "Case_phas.zlt"), without_output(dir, 8, row.removed));
  }
}

TEST(Remove_Output_Program, CompressedResultsChangeTheCopyAndThenTheArchive) {
  Scratch_Folder dir;
  std::filesystem::create_directories(dir.path() / "gz");
  std::filesystem::create_directories(dir.path() / "tmp");
  write_case(dir.path(), {"phas"}, 8);
  for (const char* name : {"Case_geoF.zlt", "Case_phas.zlt"})
    sample::GZIP_COPY(dir / name, dir / (std::string("gz/") + name));
  Answered_Session run(dir, {"-g", "-z", "--Temp:tmp/", "gz/Case_phas.zlt"});
  ASSERT_TRUE(run.session.server_started);
  run.act({pop_up_answers::KEY("y")});
  EXPECT_EQ(run.run("1 0 0\n1 0 0\n1 0 0\n1 0 0\n0 127 0\n" + Image_Of_Shown + "1 0 0\n0 77 0\n"), 0);
  EXPECT_EQ(CREATED_FILES(run.console()), (std::vector<std::string>{"gz/Case_phas_00006000.gif", "gz/Case_phas_00007000.gif"}))
      << run.console();
  UNCOMPRESS_FILE(dir / "gz/Case_phas.zlt", dir / "unpacked.zlt");
  EXPECT_EQ(bytes(dir / "unpacked.zlt"), without_output(dir, 8, 5));
  EXPECT_NE(run.console().find("\n Output removed from gz/Case_phas.zlt\n"), std::string::npos) << run.console();
  EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "tmp"));  // no working file is left behind
}

TEST(Remove_Output_Program, RefusedCasesAskNothingAndChangeNothing) {
  struct Row {
    const char* what;
    Encoding encoding;
    int outputs;
    std::string message;
  } rows[] = {
      {"ASCII results", Encoding::Ascii, 3,
       "\n Feature not available with ASCII file(s) please convert it (them) to binary\n\n"},
      {"results of the other byte order", Encoding::Single_Big_Endian, 3,
       "\n Feature not available with  'non-native' file(s) please convert it (them)\n\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Scratch_Folder dir;
    write_case(dir.path(), {"phas"}, row.outputs, row.encoding);
    const std::string before = bytes(dir / "Case_phas.zlt");
    Answered_Session run(dir, {"-g", "Case_phas.zlt"});
    ASSERT_TRUE(run.session.server_started);
    EXPECT_EQ(run.run("0 127 0\n"), 0);
    EXPECT_TRUE(run.console().ends_with(row.message + "\n")) << run.console();
    EXPECT_EQ(bytes(dir / "Case_phas.zlt"), before);
    EXPECT_EQ(run.feeder.Reads(), 0);
  }
}

TEST(Remove_Output_Program, AFileKeepsItsOnlyOutput) {
  Scratch_Folder dir;
  write_case(dir.path(), {"phas"}, 1);
  const std::string before = bytes(dir / "Case_phas.zlt");
  Answered_Session run(dir, {"-g", "Case_phas.zlt"});
  ASSERT_TRUE(run.session.server_started);
  run.act({pop_up_answers::KEY("y")});
  EXPECT_EQ(run.run("0 127 0\n" + Image_Of_Shown), 0);
  EXPECT_EQ(bytes(dir / "Case_phas.zlt"), before);
  EXPECT_NE(run.console().find(" Unable to remove every output of file: "), std::string::npos) << run.console();
  EXPECT_NE(run.console().find("\n Output not removed from Case_phas.zlt\n\n"), std::string::npos)
      << run.console();
  EXPECT_EQ(occurrences(run.console(), " Output removed from "), 0u);
  // The display reads on.
  EXPECT_EQ(CREATED_FILES(run.console()), std::vector<std::string>{"Case_phas_00001000.gif"});
}

TEST(Remove_Output_Program, AFileGivenTwiceIsAskedAboutAndLosesTheOutputOnce) {
  struct Row {
    const char* what;
    const char* second;  // the second name of Case_conc.zlt
    void (*make)(const std::filesystem::path& file, const std::filesystem::path& second);
  } rows[] = {
      {"the same name twice", "Case_conc.zlt", [](const auto&, const auto&) {}},
      {"a symbolic link", "link.zlt", [](const auto&, const auto& link) { std::filesystem::create_symlink("Case_conc.zlt", link); }},
      {"a hard link", "link.zlt", [](const auto& file, const auto& link) { std::filesystem::create_hard_link(file, link); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Scratch_Folder dir;
    write_case(dir.path(), {"conc"}, 5);
    row.make(dir / "Case_conc.zlt", dir / row.second);
    Answered_Session run(dir, {"-g", "-m2", "Case_conc.zlt", row.second});
    ASSERT_TRUE(run.session.server_started);
    run.act({pop_up_answers::KEY("y")});
    EXPECT_EQ(run.run("1 0 0\n0 127 0\n"), 0) << run.console();
    EXPECT_EQ(run.feeder.Reads(), 1);  // one question
    EXPECT_EQ(run.feeder.Unanswered(), 0);
    EXPECT_EQ(bytes(dir / "Case_conc.zlt"), without_output(dir, 5, 2));
    EXPECT_EQ(bytes(dir / row.second), without_output(dir, 5, 2));
    EXPECT_EQ(occurrences(run.console(), " Output removed from "), 1u) << run.console();
    EXPECT_EQ(occurrences(run.console(), " Output not removed"), 0u) << run.console();
  }
}

TEST(Remove_Output_Program, AnOutputThatIsNoLongerAtTheTimeShownStays) {
  Scratch_Folder dir;
  write_case(dir.path(), {"phas"}, 5);
  Answered_Session run(dir, {"-g", "Case_phas.zlt"});
  ASSERT_TRUE(run.session.server_started);
  run.act({pop_up_answers::KEY("y")});
  // Output 2 (t = 2 s) is shown; then another program takes the first output out of the file.
  run.session.SEND("1 0 0\n0 24 0\n");
  ASSERT_TRUE(run.session.WAIT_FOR("'Auto-replot' o"));
  std::vector<sample::Output> later = outputs(5);
  later.erase(later.begin());
  sample::WRITE_RESULTS(dir / "rewritten.zlt", Encoding::Single, later);
  std::filesystem::rename(dir / "rewritten.zlt", dir / "Case_phas.zlt");
  const std::string before = bytes(dir / "Case_phas.zlt");
  EXPECT_EQ(run.run("0 127 0\n"), 0) << run.console();
  EXPECT_EQ(bytes(dir / "Case_phas.zlt"), before);
  EXPECT_NE(run.console().find("\n Output 2 of Case_phas.zlt is no longer the one at t = 2.00000 s\n\n"),
            std::string::npos)
      << run.console();
  EXPECT_NE(run.console().find("\n Output not removed from Case_phas.zlt\n"), std::string::npos);
  EXPECT_EQ(occurrences(run.console(), " Output removed from "), 0u);
}

TEST(Remove_Output_Program, LongNamesAreUsedWhole) {
  Scratch_Folder dir;
  // A folder name that alone passes 100 characters.
  const std::string folder = std::string(60, 'f') + "/" + std::string(60, 'g');
  std::filesystem::create_directories(dir.path() / folder);
  write_case(dir / folder, {"phas"}, 4);
  Answered_Session run(dir, {"-g", folder + "/Case_phas.zlt"});
  ASSERT_TRUE(run.session.server_started);
  run.act({pop_up_answers::KEY("y")});
  EXPECT_EQ(run.run("1 0 0\n0 127 0\n"), 0);
  EXPECT_EQ(bytes(dir / (folder + "/Case_phas.zlt")), without_output(dir, 4, 2));
  EXPECT_NE(run.console().find("\n Output removed from " + folder + "/Case_phas.zlt\n"), std::string::npos)
      << run.console();
}

}  // namespace
