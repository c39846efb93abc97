// Conversion speed on a ~200 MB binary single-precision result file: binary -> ASCII and
// back with Display_ZELTRA -t, side by side with a NumPy script doing the same
// (numpy.fromfile + numpy.savetxt, numpy.loadtxt back); and binary single <-> double
// against `cp` of the same file. Prints times and rates.
// Usage: transfer_bench [megabytes] [folder]   (needs /usr/bin/python3 with numpy)

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Best of two runs: the machine may be busy with other work.
double seconds_of(const std::string& command) {
  double best = 1e30;
  for (int run = 0; run < 2; ++run) {
    auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

// Outputs of 2^20 cells each: a smooth front with noise, binary single-precision records.
void write_result_file(const std::string& path, std::size_t megabytes) {
  std::ofstream out(path, std::ios::binary);
  const std::int32_t cells = 1 << 20;
  std::vector<float> values(static_cast<std::size_t>(cells));
  std::uint32_t noise = 7;
  const std::size_t outputs = std::max<std::size_t>(1, megabytes / 4);
  for (std::size_t o = 0; o < outputs; ++o) {
    for (std::size_t i = 0; i < values.size(); ++i) {
      noise = noise * 1664525u + 1013904223u;
      values[i] = static_cast<float>(0.5 + 0.5 * std::tanh((static_cast<double>(i % 1024) - 512.0 + o) / 30.0) +
                                     1e-3 * static_cast<double>(noise >> 24));
    }
    const float time = static_cast<float>(o) * 0.5f;
    const std::int32_t length = 8 + 4 * cells;
    out.write(reinterpret_cast<const char*>(&length), 4);
    out.write(reinterpret_cast<const char*>(&time), 4);
    out.write(reinterpret_cast<const char*>(&cells), 4);
    out.write(reinterpret_cast<const char*>(values.data()), static_cast<std::streamsize>(values.size() * 4));
    out.write(reinterpret_cast<const char*>(&length), 4);
  }
}

const char* Numpy_Script = R"(
import sys, numpy
cells = 1 << 20
mode, source, target = sys.argv[1:4]
if mode == "to_text":
    raw = numpy.fromfile(source, dtype=numpy.float32)
    records = raw.reshape(-1, cells + 4)[:, 3:cells + 3]
    numpy.savetxt(target, records.reshape(-1, 5), fmt="%15.7E")
else:
    values = numpy.loadtxt(source, dtype=numpy.float32)
    values.tofile(target)
)";

}  // namespace

int main(int argc, char** argv) {
  const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200;
  const std::filesystem::path dir =
      argc > 2 ? argv[2] : std::filesystem::temp_directory_path() / "zeltra_transfer_bench";
  const std::string program = (std::filesystem::canonical("/proc/self/exe").parent_path() / "Display_ZELTRA").string();
  std::filesystem::create_directories(dir);
  const std::string d = dir.string() + "/";
  write_result_file(d + "single.dat", megabytes);
  std::ofstream(d + "numpy_convert.py") << Numpy_Script;
  const double mb = static_cast<double>(std::filesystem::file_size(d + "single.dat")) / 1e6;
  const std::string run = "cd '" + d + "' && '" + program + "' -t ";
  const std::string quiet = " 2>/dev/null";

  std::printf("result file: %.1f MB binary single precision\n", mb);
  const std::string fresh = "cd '" + d + "' && rm -f ";  // every run writes a new file
  const double ours_text = seconds_of(fresh + "ours.txt; " + run + "single.dat ours.txt" + quiet);
  const double ours_back = seconds_of(fresh + "ours.dat; " + run + "-a -b ours.txt ours.dat" + quiet);
  const double numpy_text = seconds_of(fresh + "np.txt; /usr/bin/python3 numpy_convert.py to_text single.dat np.txt");
  const double numpy_back = seconds_of(fresh + "np.dat; /usr/bin/python3 numpy_convert.py to_binary np.txt np.dat");
  const double text_mb = static_cast<double>(std::filesystem::file_size(d + "ours.txt")) / 1e6;
  std::printf("binary -> ASCII  Display_ZELTRA %7.2f s (%6.1f MB/s in) | NumPy %7.2f s | NumPy/ours %.1fx\n",
              ours_text, mb / ours_text, numpy_text, numpy_text / ours_text);
  std::printf("ASCII -> binary  Display_ZELTRA %7.2f s (%6.1f MB/s in) | NumPy %7.2f s | NumPy/ours %.1fx\n",
              ours_back, text_mb / ours_back, numpy_back, numpy_back / ours_back);
  // Seven significant digits in the text: the text, not the binary, survives a round trip.
  seconds_of(run + "ours.dat ours2.txt" + quiet);
  const bool same = std::system(("cmp -s '" + d + "ours.txt' '" + d + "ours2.txt'").c_str()) == 0;
  std::printf("ASCII -> binary -> ASCII byte-identical: %s\n", same ? "yes" : "NO");

  const double to_double = seconds_of(fresh + "double.dat; " + run + "-f single.dat double.dat" + quiet);
  const double to_single = seconds_of(fresh + "single2.dat; " + run + "-d -b double.dat single2.dat" + quiet);
  const double copy = seconds_of(fresh + "copy.dat; cp single.dat copy.dat && sync");
  std::printf("single -> double %7.2f s (%6.1f MB/s in) | double -> single %7.2f s (%6.1f MB/s out)\n", to_double,
              mb / to_double, to_single, mb / to_single);
  std::printf("cp + sync        %7.2f s (%6.1f MB/s) | ours / cp rate: %.2f and %.2f\n", copy, mb / copy,
              copy / to_double, copy / to_single);
  std::filesystem::remove_all(dir);
  return same ? 0 : 1;
}
