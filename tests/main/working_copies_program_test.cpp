// Working copies of a compressed case after a run killed with SIGKILL, through the whole
// program: Display_ZELTRA -z beside a real kornd (offscreen). The killed run's copies stay
// until the next run in that folder removes them; the copies of a run that is still going
// are left alone.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <set>
#include <string>

#include "tests/main/Display_Session.h"
#include "tools/Sample_Case.h"

namespace {

using sample::Encoding;

// The names in folder.
std::set<std::string> names_in(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.insert(e.path().filename().string());
  return names;
}

// A compressed case in gz/ named Case_<field>.zlt, two fields of three outputs.
void write_compressed_case(const Scratch_Folder& dir) {
  std::filesystem::create_directories(dir.path() / "gz");
  std::filesystem::create_directories(dir.path() / "tmp");
  sample::WRITE_GEOMETRY(dir / "geo", Encoding::Single, sample::GRID(12, 1, 8, 1e-4));
  sample::GZIP_COPY(dir / "geo", dir / "gz/Case_geoF.zlt");
  for (int field : {0, 1}) {
    const std::string name = field == 0 ? "phas" : "conc";
    sample::WRITE_RESULTS(dir / name, Encoding::Single, sample::GRAIN_GROWTH(12, 8, 3, field));
    sample::GZIP_COPY(dir / name, dir / ("gz/Case_" + name + ".zlt"));
    std::filesystem::remove(dir / name);
  }
  std::filesystem::remove(dir / "geo");
}

const std::vector<std::string> Words{"-g", "-z", "--Temp:tmp/", "gz/Case_phas.zlt", "gz/Case_conc.zlt"};

// Starts the display on the case and waits until it obeys commands (its copies are made).
bool running(Display_Session& session) {
  if (!session.server_started) return false;
  session.SEND("0 24 0\n");
  return session.WAIT_FOR("'Auto-replot' o");
}

TEST(Working_Copies_Program, TheNextRunRemovesTheCopiesOfAKilledRun) {
  Scratch_Folder dir;
  write_compressed_case(dir);
  {
    Display_Session killed(dir, Words);
    ASSERT_TRUE(running(killed)) << killed.CONSOLE();
    // The result copies are in use (the geometry copy is gone once the geometry was read).
    EXPECT_EQ(names_in(dir.path() / "tmp"), (std::set<std::string>{"DP_ZELTRA_01_01.tmp", "DP_ZELTRA_02_01.tmp"}));
    killed.SIGNAL(SIGKILL);
    EXPECT_EQ(killed.WAIT_EXIT(), -1);
  }
  ASSERT_EQ(names_in(dir.path() / "tmp").size(), 2u);  // what a kill leaves

  Display_Session next(dir, Words);
  ASSERT_TRUE(running(next)) << next.CONSOLE();
  // The next run took the first names again: the abandoned copies were removed before.
  EXPECT_EQ(names_in(dir.path() / "tmp"), (std::set<std::string>{"DP_ZELTRA_01_01.tmp", "DP_ZELTRA_02_01.tmp"}));
  EXPECT_EQ(next.RUN("0 129 0\n"), 0) << next.CONSOLE();
  EXPECT_TRUE(names_in(dir.path() / "tmp").empty());
}

TEST(Working_Copies_Program, TheCopiesOfARunThatIsStillGoingStay) {
  Scratch_Folder dir;
  write_compressed_case(dir);
  Display_Session going(dir, Words);
  ASSERT_TRUE(running(going)) << going.CONSOLE();
  {
    Display_Session killed(dir, Words);
    ASSERT_TRUE(running(killed)) << killed.CONSOLE();
    killed.SIGNAL(SIGKILL);
    EXPECT_EQ(killed.WAIT_EXIT(), -1);
  }
  ASSERT_EQ(names_in(dir.path() / "tmp").size(), 4u);

  // A third run removes the killed run's copies only, and its own at its end.
  Display_Session next(dir, Words);
  ASSERT_TRUE(running(next)) << next.CONSOLE();
  EXPECT_EQ(next.RUN("0 129 0\n"), 0) << next.CONSOLE();
  EXPECT_EQ(names_in(dir.path() / "tmp"), (std::set<std::string>{"DP_ZELTRA_01_01.tmp", "DP_ZELTRA_02_01.tmp"}));

  // The run that was going still reads its copies, and removes them at its end.
  EXPECT_EQ(going.RUN("1 0 0\n2 0 0\n0 129 0\n"), 0) << going.CONSOLE();
  EXPECT_TRUE(names_in(dir.path() / "tmp").empty());
}

}  // namespace
