// Damaged cases: bytes of good geometry and result files changed at random (fixed
// seeds). Opening and stepping through them must end in a clean stop or go on; never
// in a crash, a hang or another exception.

#include <gtest/gtest.h>

#include <random>

#include "tests/result_files/Case_Fixture.h"

namespace {

class Corrupt_Files : public Case_Fixture {};

void damage(const std::string& path, std::mt19937& random, int changes) {
  std::string bytes = read_bytes(path);
  if (bytes.empty()) return;
  for (int k = 0; k < changes; ++k) {
    const std::size_t at = random() % bytes.size();
    bytes[at] = static_cast<char>(random() & 0xFF);
  }
  if (random() % 4 == 0) bytes.resize(random() % bytes.size());  // cut short too
  write_bytes(path, bytes);
}

TEST_F(Corrupt_Files, NeverCrash) {
  const Encoding encodings[] = {Encoding::Single, Encoding::Double, Encoding::Ascii, Encoding::Single_Big_Endian,
                                Encoding::Double_Big_Endian};
  int opened = 0, stopped = 0;
  for (unsigned seed = 1; seed <= 150; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    CLOSE_RESULT_FILES();
    RESET_GLOBALS();
    clear_console();
    const Encoding encoding = encodings[seed % 5];
    write_case(encoding, {3, 2, 2, 1e-4}, {ramp_outputs(3, 12), ramp_outputs(3, 12)});
    damage(random() % 3 == 0 ? geometry_path() : result_path(1 + random() % 2), random, 1 + random() % 4);
    const int given = static_cast<int>(random() % 8);  // 0: not given
    Result_Set.Extrema_Mode = 1 + static_cast<int>(random() % 3);
    Display_Field.Symmetry_Mode = 1 + static_cast<int>(random() % 4);
    if (!open(given)) {
      ++stopped;
      continue;
    }
    ++opened;
    for (int command : {1, 1, 1, -1, 2, -2, 0, 1, 2, 1}) {
      if (!move(command)) break;
    }
  }
  EXPECT_GT(opened, 10);
  EXPECT_GT(stopped, 10);
}

}  // namespace
