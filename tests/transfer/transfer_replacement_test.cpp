// The conversion mode replacing users' files, run as users run it: permission bits and
// owner kept, symbolic links followed and kept, files the user may not write refused with
// the file unchanged, names near the system's limit converted, and messages that name the
// user's files only; with unnamed working files and with named ones.

#include <gtest/gtest.h>
#include <sys/stat.h>  // stat, chmod
#include <unistd.h>    // chown, symlink, readlink

#include <climits>     // NAME_MAX
#include <string>
#include <vector>

#include "tests/result_files/File_Status.h"
#include "tests/result_files/Scratch_Folder.h"
#include "tests/transfer/Program_Process.h"
#include "tools/Sample_Case.h"

namespace {

const Program_Start Unnamed{};
const Program_Start Named{{{"ZELTRA_TEST_NAMED_WORKING_FILES", "1"}}};

std::vector<sample::Output> three_outputs() {
  return {{0.0, {1, 2, 3, 4}}, {0.5, {0.001, -2.5, 1e7, 123456.7}}, {1.0, {5, 6, 7, 8}}};
}

// The console names none of the program's own working files.
void expect_only_users_names(const std::string& console) {
  for (const char* internal : {"Transfer_ZELTRA_0", "_tmp", "/proc/"})
    EXPECT_EQ(console.find(internal), std::string::npos) << internal << " in:\n" << console;
}

// What the file becomes when converted with words (the same conversion on a copy).
std::string converted(const Scratch_Folder& dir, const std::string& file, std::vector<std::string> words) {
  std::filesystem::copy_file(dir / file, dir / "reference");
  words.push_back("reference");
  Ended_Program run = RUN_PROGRAM(dir.path(), words);
  EXPECT_EQ(run.exit_code(), 0) << run.console;
  std::string bytes = read_bytes(dir / "reference");
  std::filesystem::remove(dir / "reference");
  return bytes;
}

TEST(Transfer_Replacement, KeepsPermissionBitsAndOwner) {
  const struct {
    std::vector<std::string> words;
    std::string file;  // the file replaced
    mode_t mode;
    uid_t owner;
    gid_t group;
  } cases[] = {
      {{"-t", "Sim.conc1"}, "Sim.conc1", 0600, 0, 0},
      {{"-t", "Sim.conc1", "Out"}, "Out", 0600, 0, 0},
      {{"-t", "Sim.conc1"}, "Sim.conc1", 0640, Other_User, Other_Group},
      {{"-t", "-z", "Sim.conc1", "Sim.conc1"}, "Sim.conc1", 0604, Other_User, Other_Group},
      {{"-t", "-k2", "Sim.conc1"}, "Sim.conc1", 0600, Other_User, Other_Group},
      {{"-t", "-m", "Sim.conc1", "Sim.conc2", "Sim.conc1"}, "Sim.conc1", 0600, Other_User, Other_Group},
  };
  for (const Program_Start& how : {Unnamed, Named}) {
    for (const auto& c : cases) {
      Scratch_Folder dir;
      for (const char* name : {"Sim.conc1", "Sim.conc2", "Out"})
        sample::WRITE_RESULTS(dir / name, sample::Encoding::Single, three_outputs());
      const std::string before = dir.listing();
      ASSERT_EQ(::chown((dir / c.file).c_str(), c.owner, c.group), 0);
      ASSERT_EQ(::chmod((dir / c.file).c_str(), c.mode), 0);
      const std::string old_bytes = read_bytes(dir / c.file);
      Ended_Program run = RUN_PROGRAM(dir.path(), c.words, how);
      EXPECT_EQ(run.exit_code(), 0) << c.words[1] << run.console;
      EXPECT_NE(read_bytes(dir / c.file), old_bytes) << c.words[1];
      EXPECT_EQ(mode_of(dir / c.file), c.mode) << c.words[1];
      EXPECT_EQ(status_of(dir / c.file).st_uid, c.owner) << c.words[1];
      EXPECT_EQ(status_of(dir / c.file).st_gid, c.group) << c.words[1];
      EXPECT_EQ(dir.listing(), before);
    }
  }
}

TEST(Transfer_Replacement, FollowsSymbolicLinksAndKeepsThem) {
  const struct {
    std::vector<std::string> words;
    const char* link;
    const char* to;
    const char* converted_file;                 // the file the link leads to
    std::vector<std::string> conversion;        // the same conversion on a plain copy
  } cases[] = {
      {{"-t", "L"}, "L", "data/Sim.conc1", "data/Sim.conc1", {"-t"}},
      {{"-t", "-z", "L", "L"}, "L", "data/Sim.conc1", "data/Sim.conc1", {"-t", "-z"}},
      {{"-t", "-k1", "L"}, "L", "data/Sim.conc1", "data/Sim.conc1", {"-t", "-k1"}},
      {{"-t", "-b", "Sim.conc1", "L"}, "L", "data/Sim.conc1", "data/Sim.conc1", {}},
      // A link to a file still to be made: the file is made, the link stays.
      {{"-t", "-b", "Sim.conc1", "L"}, "L", "data/new", "data/new", {}},
  };
  for (const Program_Start& how : {Unnamed, Named}) {
    for (const auto& c : cases) {
      Scratch_Folder dir;
      std::filesystem::create_directory(dir / "data");
      sample::WRITE_RESULTS(dir / "Sim.conc1", sample::Encoding::Single, three_outputs());
      std::filesystem::copy_file(dir / "Sim.conc1", dir / "data/Sim.conc1");
      ASSERT_EQ(::chmod((dir / "data/Sim.conc1").c_str(), 0600), 0);
      ASSERT_EQ(::symlink(c.to, (dir / c.link).c_str()), 0);
      const std::string expected =
          c.conversion.empty() ? read_bytes(dir / "Sim.conc1") : converted(dir, "data/Sim.conc1", c.conversion);
      Ended_Program run = RUN_PROGRAM(dir.path(), c.words, how);
      EXPECT_EQ(run.exit_code(), 0) << run.console;
      EXPECT_EQ(link_of(dir / c.link), c.to);
      EXPECT_EQ(read_bytes(dir / c.converted_file), expected) << c.words[1];
      if (c.converted_file == std::string("data/Sim.conc1")) {
        EXPECT_EQ(mode_of(dir / c.converted_file), 0600u);
      }
      EXPECT_EQ(dir.listing(), "L Sim.conc1 data");
    }
  }
}

// Run as another user: what that user may not write is refused before anything is written.
TEST(Transfer_Replacement, AnotherUserIsRefusedWhatItMayNotWrite) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  const struct {
    std::vector<std::string> words;
    std::string refused;  // the file named in the message; "" when the run succeeds
  } cases[] = {
      {{"-t", "Sim.conc1"}, "Sim.conc1"},                      // root's file
      {{"-t", "-b", "Own.conc1"}, "Own.conc1"},                // the user's own read-only file
      {{"-t", "-z", "Sim.conc1", "Sim.conc1"}, "Sim.conc1"},
      {{"-t", "-k1", "Sim.conc1"}, "Sim.conc1"},
      {{"-t", "-l1", "-l2", "Sim.conc1"}, "Sim.conc1"},
      {{"-t", "-z", "Own.conc1", "ro/o.zlt"}, "ro/o.zlt"},     // a folder the user may not write
      {{"-t", "-m", "Own.conc1", "Own.conc1", "Sim.conc1"}, "Sim.conc1"},
      {{"-t", "Mine.conc1"}, ""},                        // the user's own writable file
  };
  for (const Program_Start& as : {Unnamed, Named}) {
    for (const auto& c : cases) {
      Scratch_Folder dir;
      std::filesystem::create_directory(dir / "ro");
      for (const char* name : {"Sim.conc1", "Own.conc1", "Mine.conc1"})
        sample::WRITE_RESULTS(dir / name, sample::Encoding::Single, three_outputs());
      for (const char* name : {"Own.conc1", "Mine.conc1"})
        ASSERT_EQ(::chown((dir / name).c_str(), Other_User, Other_Group), 0);
      ASSERT_EQ(::chmod((dir / "Own.conc1").c_str(), 0444), 0);
      ASSERT_EQ(::chmod((dir / "Mine.conc1").c_str(), 0600), 0);
      ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
      const std::string before = dir.listing();
      const std::string old_bytes = read_bytes(dir / "Sim.conc1");
      const mode_t old_mode = mode_of(dir / "Sim.conc1");
      Program_Start how = as;
      how.as_other_user = true;
      Ended_Program run = RUN_PROGRAM(dir.path(), c.words, how);
      expect_only_users_names(run.console);
      EXPECT_EQ(dir.listing(), before);
      EXPECT_EQ(read_bytes(dir / "Sim.conc1"), old_bytes);
      EXPECT_EQ(read_bytes(dir / "Own.conc1"), old_bytes);
      EXPECT_EQ(mode_of(dir / "Own.conc1"), 0444u);
      EXPECT_EQ(mode_of(dir / "Sim.conc1"), old_mode);
      if (c.refused.empty()) {
        EXPECT_EQ(run.exit_code(), 0) << run.console;
        EXPECT_NE(read_bytes(dir / "Mine.conc1"), old_bytes);
        EXPECT_EQ(mode_of(dir / "Mine.conc1"), 0600u);
        EXPECT_EQ(status_of(dir / "Mine.conc1").st_uid, Other_User);
        continue;
      }
      EXPECT_EQ(run.exit_code(), 1) << c.words[1];
      EXPECT_TRUE(run.console.ends_with("\n Unable to open: " + c.refused + "\n (Permission denied)\n\n"))
          << run.console;
    }
  }
}

TEST(Transfer_Replacement, NamesNearTheSystemsLimit) {
  for (const Program_Start& how : {Unnamed, Named}) {
    for (std::size_t length : {std::size_t{250}, std::size_t{NAME_MAX}}) {
      for (const std::vector<std::string>& options : {std::vector<std::string>{"-t"}, {"-t", "-z"}}) {
        Scratch_Folder dir;
        const std::string name(length, 'n');
        sample::WRITE_RESULTS(dir / name, sample::Encoding::Single, three_outputs());
        const std::string expected = converted(dir, name, options);
        std::vector<std::string> words = options;
        words.push_back(name);
        words.push_back(name);
        Ended_Program run = RUN_PROGRAM(dir.path(), words, how);
        EXPECT_EQ(run.exit_code(), 0) << length << run.console;
        EXPECT_EQ(read_bytes(dir / name), expected);
        EXPECT_EQ(dir.listing(), name);
      }
    }
  }
}

TEST(Transfer_Replacement, MessagesNameTheUsersFiles) {
  const struct {
    std::vector<std::string> words;
    std::string message;
  } cases[] = {
      {{"-t", "-y", "--Temp:nothere/", "Sim.gz", "Out"},
       "\n\n Unable to create a working file in: nothere/\n (No such file or directory)\n\n\n"},
      {{"-t", "-y", "Cut.gz", "Out"},
       "\n\n Error while attempting to uncompress Cut.gz\n Cut.gz: unexpected end of file\n\n\n"},
      {{"-t", "-z", "Sim.conc1", "folder"}, "\n Unable to open: folder\n (Is a directory)\n\n"},
  };
  for (const Program_Start& how : {Unnamed, Named}) {
    for (const auto& c : cases) {
      Scratch_Folder dir;
      std::filesystem::create_directory(dir / "folder");
      sample::WRITE_RESULTS(dir / "Sim.conc1", sample::Encoding::Single, three_outputs());
      sample::GZIP_COPY(dir / "Sim.conc1", dir / "Sim.gz");
      const std::string gz = read_bytes(dir / "Sim.gz");
      write_bytes(dir / "Cut.gz", gz.substr(0, gz.size() / 2));
      const std::string before = dir.listing();
      Ended_Program run = RUN_PROGRAM(dir.path(), c.words, how);
      EXPECT_EQ(run.exit_code(), 1);
      EXPECT_TRUE(run.console.ends_with(c.message)) << run.console;
      expect_only_users_names(run.console);
      EXPECT_EQ(dir.listing(), before);
    }
  }
}

}  // namespace

TEST(Transfer_Replacement, AWorkingCopyWithoutRoomNamesItsFolderAndTheTempOption) {
  Scratch_Folder dir;
  std::vector<sample::Output> outputs;
  for (int k = 0; k < 10; ++k) outputs.push_back({0.5 * k, std::vector<double>(1000, 1.0 + k)});
  sample::WRITE_RESULTS(dir / "plain", sample::Encoding::Single, outputs);
  sample::GZIP_COPY(dir / "plain", dir / "Sim.conc1.gz");
  std::filesystem::create_directory(dir.path() / "work");
  Program_Start small_files;
  small_files.file_size_limit = 16 * 1024;  // the uncompressed copy needs 40 kB
  const Ended_Program run =
      RUN_PROGRAM(dir.path(), {"-t", "-y", "--Temp:work/", "Sim.conc1.gz", "Out.txt"}, small_files);
  EXPECT_EQ(run.exit_code(), 1);
  EXPECT_TRUE(run.console.ends_with("\n\n Error while attempting to uncompress Sim.conc1.gz\n"
                                    " working copy in work: File too large\n"
                                    " Another folder for working copies can be given with --Temp:<folder>\n\n\n"))
      << run.console;
  EXPECT_EQ(dir.listing(), "Sim.conc1.gz plain work");
  EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "work"));
}
