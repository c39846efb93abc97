// Free file names, deletion and renaming: results, console transcripts, failures.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/Console.h"
#include "result_files/Check_File.h"
#include "result_files/Delete_File.h"
#include "platform/Io_Fault.h"
#include "result_files/Move_File.h"
#include "tests/result_files/Scratch_Folder.h"

namespace {

// The name of candidate(marker) in the folder.
std::string taken(const Scratch_Folder& dir, const std::string& marker) { return dir / ("case_" + marker + ".tmp"); }

std::string numbered(int k, int b) {
  std::string m = std::to_string(k);
  return std::string(static_cast<std::size_t>(b) - m.size(), '0') + m;
}

struct Check_Case {
  int b;
  int numbers_taken;                  // markers 1..numbers_taken exist
  std::vector<std::string> also_taken;
  std::string marker;
  bool warned;
};

TEST(Check_File, FirstFreeMarker) {
  const Check_Case cases[] = {
      {2, 0, {}, "01", false},
      {2, 1, {}, "02", false},
      {2, 98, {}, "99", false},
      {2, 99, {}, "ZZ", true},
      {2, 99, {"ZZ", "ZY"}, "ZX", true},
      {2, 99, {"ZZ", "ZY", "ZX", "ZW", "ZV", "ZU", "ZT", "ZS", "ZR", "ZQ", "ZP", "ZO", "ZN", "ZM", "ZL", "ZK",
               "ZJ", "ZI", "ZH", "ZG", "ZF", "ZE", "ZD", "ZC", "ZB", "ZA"},
       "YZ", true},
      {3, 0, {}, "001", false},
      {3, 998, {}, "999", false},
      {1, 9, {}, "Z", true},
  };
  for (const auto& c : cases) {
    Scratch_Folder dir;
    for (int k = 1; k <= c.numbers_taken; ++k) write_bytes(taken(dir, numbered(k, c.b)), "");
    for (const auto& m : c.also_taken) write_bytes(taken(dir, m), "");
    Console_Capture console;
    EXPECT_EQ(CHECK_FILE(dir / "case", c.b, "tmp"), c.marker) << c.b << " " << c.numbers_taken;
    const std::string warning = "\n\n  Warning!: unable to find a 'free' file named:\n  " + (dir / "case_") +
                                std::string(static_cast<std::size_t>(c.b), 'n') + ".tmp\n\n\n";
    EXPECT_EQ(console.text(), c.warned ? warning : "");
  }
}

TEST(Check_File, TrailingBlanksOfTheNameAreIgnored) {
  Scratch_Folder dir;
  write_bytes(dir / "case_01.tmp", "");
  Console_Capture console;
  EXPECT_EQ(CHECK_FILE(dir / "case   ", 2, "tmp"), "02");
}

TEST(Check_File, LastResortUnderscoresOnlyWhenFree) {
  Scratch_Folder dir;
  for (int k = 1; k <= 9; ++k) write_bytes(taken(dir, std::to_string(k)), "");
  for (char c = 'A'; c <= 'Z'; ++c) write_bytes(taken(dir, std::string(1, c)), "");
  const std::string head = "\n\n  Warning!: unable to find a 'free' file named:\n  " + (dir / "case_n.tmp") +
                           "\n\n\n\n\n  Warning!: unable to find a 'free' file named:\n  " + (dir / "case_Z.tmp") + "\n";
  {
    Console_Capture console;
    EXPECT_EQ(CHECK_FILE(dir / "case", 1, "tmp"), "_");
    EXPECT_EQ(console.text(), head + "  Reverting to:\n     " + (dir / "case__.tmp") + "\n\n\n");
  }
  // The underscore name exists as well: handing it out would overwrite a file.
  write_bytes(taken(dir, "_"), "keep");
  Console_Capture console;
  EXPECT_THROW(CHECK_FILE(dir / "case", 1, "tmp"), Program_Stop);
  EXPECT_EQ(console.text(), head + "  Not reverting to (it exists as well):\n     " + (dir / "case__.tmp") + "\n\n\n");
  EXPECT_EQ(read_bytes(taken(dir, "_")), "keep");
}

TEST(Check_File, MarkerLengthOutOfRangeStops) {
  const struct {
    int b;
    const char* text;
  } cases[] = {
      {0, "\n\n Error in routine 'Check_File'!\n ('marker' too short)\n\n\n"},
      {-1, "\n\n Error in routine 'Check_File'!\n ('marker' too short)\n\n\n"},
      {10, "\n\n Error in routine 'Check_File'!\n ('marker' too long)\n\n\n"},
  };
  for (const auto& c : cases) {
    Console_Capture console;
    EXPECT_THROW(CHECK_FILE("case", c.b, "tmp"), Program_Stop);
    EXPECT_EQ(console.text(), c.text);
  }
  Scratch_Folder dir;
  Console_Capture console;
  EXPECT_EQ(CHECK_FILE(dir / "case", 9, "tmp"), "000000001");
}

TEST(Delete_File, ResultAndReport) {
  const struct {
    bool present;
    bool report;
    long fail_unlink;  // 0: the deletion works
    bool result;
    const char* console;  // "%" stands for the name
    bool stops;
  } cases[] = {
      {false, true, 0, false, "", false},
      {false, false, 0, false, "", false},
      {true, false, 0, true, "", false},
      {true, true, 0, true, " File: % deleted\n", false},
      {true, false, 1, false, "", false},
      {true, true, 1, false, "\n Unable to delete file: %\n\n", true},
  };
  for (const auto& c : cases) {
    Scratch_Folder dir;
    const std::string name = dir / "a.dat";
    if (c.present) write_bytes(name, "x");
    Console_Capture console;
    IO_FAULT_ARM(c.fail_unlink, 1, Io_Kind::Other);
    bool result = false;
    bool stopped = false;
    try {
      result = DELETE_FILE(name + "  ", c.report);
    } catch (const Program_Stop&) {
      stopped = true;
    }
    IO_FAULT_ARM(0);
    std::string expected = c.console;
    if (auto at = expected.find('%'); at != std::string::npos) expected.replace(at, 1, name);
    EXPECT_EQ(stopped, c.stops);
    if (!stopped) {
      EXPECT_EQ(result, c.result);
    }
    EXPECT_EQ(console.text(), expected);
    EXPECT_EQ(FILE_EXISTS(name), c.present && !c.result);
  }
}

TEST(Move_File, ResultAndReport) {
  const struct {
    bool from_present;
    bool to_present;
    bool report;
    long fail_rename;
    bool result;
    const char* console;  // "%1" old name, "%2" new name
    bool stops;
  } cases[] = {
      {true, false, true, 0, true, " File: %1 renamed to %2\n", false},
      {true, true, true, 0, true, " File: %1 renamed to %2\n", false},
      {true, true, false, 0, true, "", false},
      {false, false, true, 0, false, "", false},
      {false, true, true, 0, false, "", false},
      // A target that existed before does not make a failed rename a success.
      {true, true, false, 1, false, "", false},
      {true, false, true, 1, false, "\n Unable to rename file: from %1\nto %2\n\n", true},
  };
  for (const auto& c : cases) {
    Scratch_Folder dir;
    const std::string from = dir / "old.dat";
    const std::string to = dir / "new.dat";
    if (c.from_present) write_bytes(from, "old");
    if (c.to_present) write_bytes(to, "new");
    Console_Capture console;
    IO_FAULT_ARM(c.fail_rename, 1, Io_Kind::Other);
    bool result = false;
    bool stopped = false;
    try {
      result = MOVE_FILE(from, to + " ", c.report);
    } catch (const Program_Stop&) {
      stopped = true;
    }
    IO_FAULT_ARM(0);
    std::string expected = c.console;
    if (auto at = expected.find("%1"); at != std::string::npos) expected.replace(at, 2, from);
    if (auto at = expected.find("%2"); at != std::string::npos) expected.replace(at, 2, to);
    EXPECT_EQ(stopped, c.stops);
    if (!stopped) {
      EXPECT_EQ(result, c.result);
    }
    EXPECT_EQ(console.text(), expected);
    const bool moved = c.from_present && c.result;
    EXPECT_EQ(FILE_EXISTS(from), c.from_present && !moved);
    EXPECT_EQ(read_bytes(to), moved ? "old" : (c.to_present ? "new" : ""));
  }
}

TEST(Move_File, RenameIntoMissingFolderFails) {
  Scratch_Folder dir;
  write_bytes(dir / "old.dat", "old");
  Console_Capture console;
  EXPECT_FALSE(MOVE_FILE(dir / "old.dat", dir / "no/such/new.dat", false));
  EXPECT_EQ(read_bytes(dir / "old.dat"), "old");
}

}  // namespace
