// Display_ZELTRA's display run end to end: the program as a process under the front end (-g)
// or the keyboard, a real kornd offscreen, the console, the files written, the exit code and
// what is left behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <signal.h>
#include <sys/mman.h>  // shm_unlink

#include <chrono>
#include <cstring>  // strsignal
#include <sstream>
#include <thread>

#include "platform/Channel_Blocks.h"
#include "platform/Name_Scope.h"
#include "tests/main/Display_Session.h"
#include "tests/main/Window_Colour.h"
#include "tests/main/Acknowledgments_Text.h"
#include "tools/Sample_Case.h"

namespace {

const std::string& Acknowledgments = Acknowledgments_Text;

const std::string Start = "\n\nDisplay ZELTRA\n\n geoF file     : Case_geoF.zlt\n Solution file : Case_phas.zlt\n"
                          " Results in binary (single precision)\n\n\n" +
                          Acknowledgments;

// A 12 x 8 case of five outputs, plain and compressed (in gz/), and a folder for working copies.
struct Case_Folder {
  Scratch_Folder dir;
  Case_Folder() {
    sample::WRITE_GEOMETRY(dir / "Case_geoF.zlt", sample::Encoding::Single, sample::GRID(12, 1, 8, 1e-4));
    sample::WRITE_RESULTS(dir / "Case_phas.zlt", sample::Encoding::Single, sample::GRAIN_GROWTH(12, 8, 5, 0));
    std::filesystem::create_directory(dir.path() / "gz");
    std::filesystem::create_directory(dir.path() / "tmp");
    for (const char* name : {"Case_geoF.zlt", "Case_phas.zlt"})
      sample::GZIP_COPY(dir / name, dir / (std::string("gz/") + name));
  }
  std::string working_copies() const { return listing(dir.path() / "tmp"); }
  static std::string listing(const std::filesystem::path& folder) {
    std::string all;
    for (auto& e : std::filesystem::directory_iterator(folder)) all += e.path().filename().string() + " ";
    return all;
  }
};

const std::vector<std::string> Compressed = {"-g", "-z", "--Temp:tmp/", "gz/Case_phas.zlt"};

// The server is gone: it ended and left no instance block.
void expect_server_gone(Display_Session& session) {
  EXPECT_TRUE(session.server.WaitExit(10000));
  EXPECT_FALSE(SHM_EXISTS(channel::INSTANCE_BLOCK_NAME(session.server.instance())));
}


TEST(Display_Program, FrontEndStartAndEnd) {
  Case_Folder folder;
  Display_Session session(folder.dir, {"-g", "Case_phas.zlt"});
  ASSERT_TRUE(session.server_started);
  // Empty and out-of-range commands do nothing; 24 reports; 129 ends.
  EXPECT_EQ(session.RUN("0 0 0\n0 130 0 0 -5 0\n0 24 0\n0 129 0\n1 0 0\n"), 0);
  EXPECT_EQ(session.CONSOLE(), Start + "\n 'Auto-replot' on\n\n\n");
  expect_server_gone(session);
}

// v+k without a time-temperature table: one warning, the display stays off, and the redraws
// after it (of this output and the next) say nothing more.
TEST(Display_Program, TemperatureWithoutATableWarnsOnce) {
  Case_Folder folder;
  Display_Session session(folder.dir, {"-g", "Case_phas.zlt"});
  ASSERT_TRUE(session.server_started);
  EXPECT_EQ(session.RUN("0 33 0\n1 0 0\n0 24 0\n0 129 0\n"), 0);
  EXPECT_EQ(session.CONSOLE(), Start +
                                   "\n\n Warning: unable to find file: Case_TabF.txt\n"
                                   " Disabling display of 'temperature'\n\n\n"
                                   "\n 'Auto-replot' on\n\n\n");
}

TEST(Display_Program, ANextOutputRepaintsTheField) {
  Case_Folder folder;
  // Two constant outputs: the first at the scale's lowest value, the second at its highest.
  const std::vector<double> low(40 * 30, 0.0), high(40 * 30, 1.0);
  sample::WRITE_GEOMETRY(folder.dir / "Flat_geoF.zlt", sample::Encoding::Single, sample::GRID(40, 1, 30, 1e-4));
  sample::WRITE_RESULTS(folder.dir / "Flat_phas.zlt", sample::Encoding::Single, {{0.5, low}, {1.0, high}});
  Display_Session session(folder.dir, {"-g", "Flat_phas.zlt"});
  ASSERT_TRUE(session.server_started);
  session.SEND("0 24 0\n");
  ASSERT_TRUE(session.WAIT_FOR("'Auto-replot' on"));
  const unsigned first = MAIN_COLOUR(session.server);
  session.SEND("1 0 0\n0 24 0\n");
  ASSERT_TRUE(session.WAIT_FOR("'Auto-replot' off"));
  const unsigned second = MAIN_COLOUR(session.server);
  EXPECT_NE(first, 0u);
  EXPECT_NE(second, 0u);
  EXPECT_NE(first, second);
  // Back to the first output (the last wraps to the first): its colour again.
  session.SEND("1 0 0\n0 24 0\n");
  ASSERT_TRUE(session.WAIT_FOR("'Auto-replot' on\n\n\n 'Auto-replot' off\n\n\n 'Auto-replot' on"));
  EXPECT_EQ(MAIN_COLOUR(session.server), first);
  EXPECT_EQ(session.RUN("0 129 0\n"), 0);
}

TEST(Display_Program, EndOfInputEndsNormallyAndDeletesTheWorkingCopies) {
  Case_Folder folder;
  Display_Session session(folder.dir, Compressed);
  ASSERT_TRUE(session.WAIT_FOR("PAR)\n\n"));
  EXPECT_NE(folder.working_copies(), "");
  session.CLOSE_INPUT();
  EXPECT_EQ(session.WAIT_EXIT(), 0);
  EXPECT_EQ(folder.working_copies(), "");
  expect_server_gone(session);
}

TEST(Display_Program, AnUnreadableCommandEndsWithExitCodeOne) {
  Case_Folder folder;
  Display_Session session(folder.dir, Compressed);
  EXPECT_EQ(session.RUN("0 x 0\n0 129 0\n"), 1);
  EXPECT_TRUE(session.CONSOLE().ends_with("PAR)\n\n\n Unreadable command: x\n\n\n")) << session.CONSOLE();
  EXPECT_EQ(folder.working_copies(), "");
  expect_server_gone(session);
}

TEST(Display_Program, AServerThatGoesEndsTheRunWithExitCodeOne) {
  Case_Folder folder;
  Display_Session session(folder.dir, Compressed);
  // Once the first redraw is done and the program waits for commands, the server goes.
  session.SEND("0 24 0\n");
  ASSERT_TRUE(session.WAIT_FOR("'Auto-replot' on"));
  session.server.Stop();
  EXPECT_EQ(session.RUN("1 0 0\n"), 1);
  EXPECT_NE(session.CONSOLE().find("The window was closed."), std::string::npos) << session.CONSOLE();
  EXPECT_EQ(folder.working_copies(), "");
}

TEST(Display_Program, AServerKilledWhileTheProgramWaitsIsReportedAtTheEnd) {
  Case_Folder folder;
  Display_Session session(folder.dir, Compressed);
  session.SEND("0 24 0\n");
  ASSERT_TRUE(session.WAIT_FOR("'Auto-replot' on"));
  ::kill(session.server.pid(), SIGKILL);
  ASSERT_TRUE(session.server.WaitExit(10000));
  // A command that asks nothing of the server, then the end of input: the end's quit finds it gone.
  EXPECT_EQ(session.RUN("0 24 0\n"), 1);
  EXPECT_TRUE(session.CONSOLE().ends_with("'Auto-replot' off\n\nThe window was closed.\n")) << session.CONSOLE();
  EXPECT_EQ(folder.working_copies(), "");
}

TEST(Display_Program, AFileThatCannotBeOpenedIsReportedWithTheReason) {
  struct Case {
    const char* folder_in_place_of;
    const char* console_end;
  } cases[] = {
      {"Case_geoF.zlt", "\n\n Unable to open file Case_geoF.zlt\n (Is a directory)\n\n\n"},
      {"Case_phas.zlt", "\n\n Unable to open file Case_phas.zlt\n (Is a directory)\n\n\n"},
  };
  for (const Case& c : cases) {
    Case_Folder folder;
    std::filesystem::remove(folder.dir / c.folder_in_place_of);
    std::filesystem::create_directory(folder.dir / c.folder_in_place_of);
    const Display_Run run = RUN_DISPLAY(folder.dir, {"-g", "Case_phas.zlt"}, "0 129 0\n");
    EXPECT_EQ(run.exit_code, 1) << c.folder_in_place_of;
    EXPECT_TRUE(run.console.ends_with(c.console_end)) << run.console;
  }
}

TEST(Display_Program, NoFreeServerInstanceIsSaidAtOnce) {
  Case_Folder folder;
  // Every instance number held by a server whose window is open (in use by a client).
  std::vector<std::unique_ptr<Kornd_Server>> servers;
  for (int n = channel::First_Instance; n <= channel::Last_Server_Instance; ++n) {
    servers.push_back(std::make_unique<Kornd_Server>());
    ASSERT_TRUE(servers.back()->Start("")) << n;
    ASSERT_EQ(servers.back()->Send("I,0,100,100,0,19,5,test"), 1u) << n;
  }
  const Display_Run run = RUN_DISPLAY(folder.dir, {"-g", "Case_phas.zlt"}, "0 129 0\n");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(run.console.ends_with("\nNo instance of kornd is free: all 15 are in use.\n")) << run.console;
}

TEST(Display_Program, AnInterruptEndsTheRunWithExitCodeOne) {
  Case_Folder folder;
  Display_Session session(folder.dir, Compressed);
  ASSERT_TRUE(session.WAIT_FOR("PAR)\n\n"));
  ASSERT_NE(folder.working_copies(), "");
  session.SIGNAL(SIGTERM);
  EXPECT_EQ(session.WAIT_EXIT(), 1);
  EXPECT_EQ(folder.working_copies(), "");
  expect_server_gone(session);
}

// The kornd the program started (a child of it), or -1 when none appears within timeout_ms.
pid_t own_server_of(pid_t program, int timeout_ms = 20000) {
  for (int waited = 0; waited < timeout_ms; waited += 20) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
      std::ifstream stat(entry.path() / "stat");
      std::string pid, name, state;
      pid_t parent = 0;
      if (stat >> pid >> name >> state >> parent && parent == program && name == "(kornd)") return std::stoi(pid);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

// True once the process has ended (gone, or a zombie nobody has reaped yet) within timeout_ms.
bool ends_within(pid_t pid, int timeout_ms) {
  for (int waited = 0; waited < timeout_ms; waited += 20) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string number, name, state;
    if (!(stat >> number >> name >> state) || state == "Z") return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// The shared blocks of this test's server namespace still in /dev/shm.
std::string blocks_of_this_namespace() {
  std::string all;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/shm")) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with(platform::NAME_SCOPE())) all += name + " ";
  }
  return all;
}

// The program blocks the end signals on its own thread (a thread of its own takes them); the
// server it starts must not inherit that, or only SIGKILL would end it.
TEST(Display_Program, AnInterruptEndsTheServerTheProgramStarted) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(strsignal(signal));
    Case_Folder folder;
    Display_Session session(folder.dir, Compressed, {}, Display_Session::Server_Start::By_Program);
    ASSERT_TRUE(session.WAIT_FOR("PAR)\n\n")) << session.CONSOLE();
    const pid_t server = own_server_of(session.pid());
    ASSERT_GT(server, 0);
    session.SIGNAL(signal);
    EXPECT_EQ(session.WAIT_EXIT(), 1);
    EXPECT_EQ(folder.working_copies(), "");
    const bool ended = ends_within(server, 10000);
    EXPECT_TRUE(ended);
    if (!ended) ::kill(server, SIGKILL);
    const std::string left = blocks_of_this_namespace();
    EXPECT_EQ(left, "");
    std::istringstream names(left);
    for (std::string name; names >> name;) ::shm_unlink(("/" + name).c_str());  // the next row starts clean
  }
}

TEST(Display_Program, ImagesOfEveryOutputStartAndEndAtTheCurrentOne) {
  Case_Folder folder;
  Display_Session session(folder.dir, {"-g", "Case_phas.zlt"});
  // Output 3 of 5; default naming; every image; then the current one alone (under the name of
  // its batched image: a single image is not part of a series).
  EXPECT_EQ(session.RUN("1 0 0\n1 0 0\n0 91 0\n0 78 0\n0 77 0\n0 129 0\n"), 0);
  const std::string console = session.CONSOLE();
  const std::vector<std::string> expected = {"Case_phas_00000006.gif", "Case_phas_00000008.gif",
                                             "Case_phas_00000010.gif", "Case_phas_00000002.gif",
                                             "Case_phas_00000004.gif", "Case_phas_00000006.gif"};
  EXPECT_EQ(CREATED_FILES(console), expected) << console;
  for (const auto& name : expected) EXPECT_TRUE(std::filesystem::exists(folder.dir / name)) << name;
  EXPECT_NE(console.find("\nWriting images... please wait\n File: Case_phas_00000006.gif created\n"), std::string::npos);
  EXPECT_NE(console.find(" File: Case_phas_00000004.gif created\nImages written\n\n"), std::string::npos);
  // Only the single image is followed by an empty line.
  EXPECT_TRUE(console.ends_with("Images written\n\n File: Case_phas_00000006.gif created\n\n\n")) << console;
}

// Sends the commands and a report after them; true once that report is on the console.
bool run_and_report(Display_Session& session, const std::string& commands) {
  const auto reports = [&] {
    const std::string console = session.CONSOLE();
    std::size_t n = 0;
    for (std::size_t at = console.find("'Auto-replot' o"); at != std::string::npos; at = console.find("'Auto-replot' o", at + 1)) ++n;
    return n;
  };
  const std::size_t before = reports();
  session.SEND(commands + "0 24 0\n");
  for (int waited = 0; waited < 20000 && reports() == before; waited += 20)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return reports() > before;
}

TEST(Display_Program, ImagesOfEveryOutputAreTheSingleImagesAndTheWindowEndsAsItWas) {
  Case_Folder folder;
  const std::filesystem::path batched = folder.dir.path() / "batched";
  std::filesystem::create_directory(batched);
  std::vector<std::string> names;
  {
    Display_Session session(folder.dir, {"-g", "Case_phas.zlt"});
    ASSERT_TRUE(run_and_report(session, "1 0 0\n"));
    const std::vector<std::int32_t> before = WINDOW_PIXELS(session.server);
    ASSERT_TRUE(run_and_report(session, "0 78 0\n"));
    EXPECT_EQ(WINDOW_PIXELS(session.server), before);
    EXPECT_EQ(session.RUN("0 129 0\n"), 0);
    names = CREATED_FILES(session.CONSOLE());
  }
  ASSERT_EQ(names.size(), 5u);
  for (const std::string& name : names) std::filesystem::rename(folder.dir / name, batched / name);
  // Each output written alone, after the display moved to it (the same order, from output 2),
  // gives the same bytes.
  ::setenv("ZELTRA_TEST_SAVE_NAMES", "single1.gif;single2.gif;single3.gif;single4.gif;single5.gif", 1);
  Display_Session session(folder.dir, {"-g", "Case_phas.zlt"});
  ::unsetenv("ZELTRA_TEST_SAVE_NAMES");  // the program has its own copy
  EXPECT_EQ(session.RUN("1 0 0\n0 77 0\n1 0 0\n0 77 0\n1 0 0\n0 77 0\n1 0 0\n0 77 0\n1 0 0\n0 77 0\n0 129 0\n"), 0);
  ASSERT_EQ(CREATED_FILES(session.CONSOLE()).size(), 5u) << session.CONSOLE();
  for (std::size_t k = 0; k < names.size(); ++k)
    EXPECT_EQ(read_bytes(folder.dir / ("single" + std::to_string(k + 1) + ".gif")), read_bytes((batched / names[k]).string()))
        << names[k];
}

TEST(Display_Program, LastShowsTheLastOutputFirst) {
  Case_Folder folder;
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{"-g", "--Last", "Case_phas.zlt"}, {"-g", "--Last", "-l", "Case_phas.zlt"},
        {"-g", "-l", "Case_phas.zlt"}}) {
    Display_Session session(folder.dir, words);
    EXPECT_EQ(session.RUN("0 91 0\n0 77 0\n0 129 0\n"), 0);
    const std::vector<std::string> files = CREATED_FILES(session.CONSOLE());
    ASSERT_EQ(files.size(), 1u) << session.CONSOLE();
    EXPECT_EQ(files[0], words[1] == "--Last" ? "Case_phas_00000010.gif" : "Case_phas_00000002.gif") << words[1];
    std::filesystem::remove(folder.dir / files[0]);
  }
}

TEST(Display_Program, FrontEndHandsOverToTheKeyboard) {
  Case_Folder folder;
  const std::string fifo = folder.dir / "keys";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  Display_Session session(folder.dir, {"-g", "Case_phas.zlt"}, {"KORND_TEST_INPUT=" + fifo});
  std::ofstream keys(fifo);
  session.SEND("0 126 0\n");
  ASSERT_TRUE(session.WAIT_FOR("\n\n  Key x exits program\n\n"));
  ASSERT_TRUE(session.server_started);
  const std::string console = session.CONSOLE();
  EXPECT_NE(console.find("PAR)\n\n\n Graphical user interface suspended\n\n\n 'Non-graphical interface':"),
            std::string::npos);
  EXPECT_NE(console.find("\n\n  Key g to restore GUI\n"), std::string::npos);
  // Keys from the window now, each while the program waits for it: default naming, the next
  // output, its image; then a right click ends the run.
  auto when_waiting = [&](const std::string& line) {
    const int waits = session.server.CountErrors("kornd input: waiting");
    for (int i = 0; i < 1000 && session.server.CountErrors("kornd input: waiting") == waits; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    keys << line << "\n" << std::flush;
  };
  for (const char* key : {"o", "d", "n", "o", "i"}) when_waiting(std::string("key 1 ") + key);
  ASSERT_TRUE(session.WAIT_FOR(" File: Case_phas_00000004.gif created")) << session.CONSOLE();
  when_waiting("click 1 right 20 20");
  EXPECT_EQ(session.WAIT_EXIT(), 0);
  expect_server_gone(session);
}

}  // namespace
