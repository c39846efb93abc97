// Removing one output from a ~1 GB binary single-precision result file with
// Display_ZELTRA -t -k, beside `cp` of the same file (both followed by sync).
// Usage: removal_bench [megabytes] [folder]

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

double seconds_of(const std::string& command) {
  auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1024;
  const std::filesystem::path dir = argc > 2 ? argv[2] : std::filesystem::temp_directory_path() / "zeltra_removal_bench";
  const std::string program = (std::filesystem::canonical("/proc/self/exe").parent_path() / "Display_ZELTRA").string();
  std::filesystem::create_directories(dir);
  const std::string d = dir.string() + "/";
  {
    std::ofstream out(d + "big.dat", std::ios::binary);
    const std::int32_t cells = 1 << 20;
    std::vector<float> values(static_cast<std::size_t>(cells));
    for (std::size_t o = 0; o < megabytes / 4; ++o) {
      for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<float>(i % 977) * 0.001f + o;
      const float time = static_cast<float>(o);
      const std::int32_t length = 8 + 4 * cells;
      out.write(reinterpret_cast<const char*>(&length), 4);
      out.write(reinterpret_cast<const char*>(&time), 4);
      out.write(reinterpret_cast<const char*>(&cells), 4);
      out.write(reinterpret_cast<const char*>(values.data()), static_cast<std::streamsize>(values.size() * 4));
      out.write(reinterpret_cast<const char*>(&length), 4);
    }
  }
  const double mb = static_cast<double>(std::filesystem::file_size(d + "big.dat")) / 1e6;
  const std::size_t middle = megabytes / 8;
  std::printf("result file: %.1f MB, %zu outputs\n", mb, megabytes / 4);
  for (int run = 1; run <= 3; ++run) {
    const double copy = seconds_of("cp '" + d + "big.dat' '" + d + "copy.dat' && sync");
    std::filesystem::remove(d + "copy.dat");
    const double remove_one = seconds_of("cd '" + d + "' && '" + program + "' -t -k" + std::to_string(middle) +
                                         " big.dat 2>/dev/null && sync");
    const double remove_list = seconds_of("cd '" + d + "' && '" + program + "' -t -l2 -l" + std::to_string(middle) +
                                          " -l" + std::to_string(middle + 3) + " big.dat 2>/dev/null && sync");
    std::printf("run %d: cp %.3f s (%.0f MB/s) | remove one output %.3f s (%.2fx cp) | remove three %.3f s (%.2fx cp)\n",
                run, copy, mb / copy, remove_one, remove_one / copy, remove_list, remove_list / copy);
  }
  std::filesystem::remove_all(dir);
  return 0;
}
