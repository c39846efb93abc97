// The writers of the conversion that replace a user's file besides TRANSFER_FILE: output
// removal and matrix composition, with every boundary call failed in turn. Each failure
// stops with the files as they were (contents and mode) and no working file left or
// registered; once the run passes, the file is replaced and keeps its mode. With unnamed
// working files, then named ones.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "records/Console.h"
#include "records/Globals.h"
#include "platform/Interrupt_Cleanup.h"
#include "platform/Io_Fault.h"
#include "result_files/Module_GZip.h"
#include "result_files/Working_File.h"
#include "result_files/gzip_stream.h"
#include "tests/result_files/Scratch_Folder.h"
#include "tools/Sample_Case.h"
#include "transfer/Transfer_ZELTRA.h"

namespace {

namespace fs = std::filesystem;

std::string registered_paths() {
  std::string all;
  for (int slot = 0; slot < platform::Cleanup_Slots; ++slot) all += platform::CLEANUP_PATH(slot);
  return all;
}

// Writes a result file of three outputs (compressed when asked), mode 0640.
void write_case(const Scratch_Folder& dir, const std::string& name, double offset, bool compressed) {
  const std::vector<sample::Output> outputs = {
      {0.0, {1 + offset, 2, 3}}, {0.5, {4 + offset, 5, 6}}, {1.0, {7 + offset, 8, 9}}};
  sample::WRITE_RESULTS(dir / "plain", sample::Encoding::Single, outputs);
  if (compressed)
    COMPRESS_FILE(dir / "plain", dir / name);
  else
    fs::copy_file(dir / "plain", dir / name);
  fs::remove(dir / "plain");
  fs::permissions(dir / name, fs::perms(0640));
}

// Runs the writer with call n, n + 1, ... failing until it passes.
void fail_each_call_in_turn(const Scratch_Folder& dir, const std::string& replaced, const std::function<void()>& run) {
  const std::string listing = dir.listing();
  const std::string before = read_bytes(dir / replaced);
  for (long n = 1;; ++n) {
    Console_Capture console;
    IO_FAULT_ARM(n, -1);
    bool stopped = false;
    try {
      run();
    } catch (const Program_Stop&) {
      stopped = true;
    }
    const long calls = IO_FAULT_CALLS();
    IO_FAULT_ARM(0);
    EXPECT_EQ(dir.listing(), listing) << n;
    EXPECT_EQ(registered_paths(), "") << n;
    EXPECT_EQ(fs::status(dir / replaced).permissions(), fs::perms(0640)) << n;
    if (!stopped) {
      EXPECT_LT(calls, n);
      EXPECT_NE(read_bytes(dir / replaced), before);
      return;
    }
    EXPECT_EQ(read_bytes(dir / replaced), before) << n;
    ASSERT_LT(n, 200);
  }
}

TEST(Replacing_Writers, InjectedFaultsLoseNothing) {
  gzip_set_pause([](int) {});
  for (bool named : {false, true}) {
    NAMED_WORKING_FILES_ONLY(named);
    for (bool compressed : {false, true}) {
      Scratch_Folder dir;
      RESET_TRANSFER_STATE();
      Temporary_Directory = dir.path().string() + "/";
      SET_TEMPORARY_FILE_NAMES();
      Transfer_Options.Input_Compressed = compressed;
      write_case(dir, "Sim.conc1", 0, compressed);
      write_case(dir, "Sim.conc2", 10, compressed);
      write_case(dir, "Sim.frac", 20, compressed);
      fail_each_call_in_turn(dir, "Sim.frac", [&] {
        std::int32_t k = 2;
        KICK_OUT_OUTPUT(dir / "Sim.frac", k, false);
      });
      fail_each_call_in_turn(dir, "Sim.conc2", [&] {
        COMPUTE_MATRIX_COMPOSITION({dir / "Sim.conc1", dir / "Sim.conc2"}, dir / "Sim.conc2");
      });
    }
  }
  NAMED_WORKING_FILES_ONLY(false);
  gzip_set_pause(nullptr);
  RESET_TRANSFER_STATE();
}

}  // namespace
