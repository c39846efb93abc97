// Uncompressing a ~200 MB gzip result file: UNCOMPRESS_FILE against `gzip -dc` on the same
// file. Prints the time and rate of each. Usage: gzip_bench [megabytes] [folder]

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "result_files/Module_GZip.h"

namespace {

double seconds_of(auto&& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A smooth field of single-precision values with noise in the low digits, like a
// phase-field result (compresses to roughly half).
void write_field(const std::string& path, std::size_t megabytes) {
  std::ofstream out(path, std::ios::binary);
  std::vector<float> row(1 << 16);
  std::uint32_t noise = 12345;
  std::size_t rows = megabytes * (1 << 20) / (row.size() * sizeof(float));
  for (std::size_t r = 0; r < rows; ++r) {
    for (std::size_t i = 0; i < row.size(); ++i)
      row[i] = static_cast<float>(0.5 + 0.5 * std::tanh((static_cast<double>(i % 700) - 350.0) / 40.0 +
                                                         0.001 * static_cast<double>(r)) +
                                  1e-6 * static_cast<double>((noise = noise * 1664525u + 1013904223u) >> 26));
    out.write(reinterpret_cast<const char*>(row.data()), static_cast<std::streamsize>(row.size() * sizeof(float)));
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200;
  std::filesystem::path dir = argc > 2 ? argv[2] : std::filesystem::temp_directory_path() / "zeltra_gzip_bench";
  std::filesystem::create_directories(dir);
  const std::string plain = dir / "field.dat", packed = dir / "field.dat.gz";
  const std::string ours = dir / "ours.dat", theirs = dir / "theirs.dat";
  write_field(plain, megabytes);
  double size_mb = static_cast<double>(std::filesystem::file_size(plain)) / 1e6;
  double t_compress = seconds_of([&] { COMPRESS_FILE(plain, packed); });
  std::printf("file: %.1f MB plain, %.1f MB gzip\n", size_mb,
              static_cast<double>(std::filesystem::file_size(packed)) / 1e6);
  std::printf("COMPRESS_FILE      %7.3f s  %7.1f MB/s\n", t_compress, size_mb / t_compress);
  for (int run = 1; run <= 3; ++run) {
    double t_ours = seconds_of([&] { UNCOMPRESS_FILE(packed, ours); });
    std::string command = "gzip -dc '" + packed + "' > '" + theirs + "'";
    double t_gzip = seconds_of([&] {
      if (std::system(command.c_str()) != 0) std::fprintf(stderr, "gzip -dc failed\n");
    });
    std::printf("run %d: UNCOMPRESS_FILE %7.3f s %7.1f MB/s | gzip -dc %7.3f s %7.1f MB/s | ratio %.2f\n", run,
                t_ours, size_mb / t_ours, t_gzip, size_mb / t_gzip, t_gzip / t_ours);
  }
  bool same = std::system(("cmp -s '" + ours + "' '" + theirs + "'").c_str()) == 0;
  std::printf("outputs identical: %s\n", same ? "yes" : "NO");
  std::filesystem::remove_all(dir);
  return same ? 0 : 1;
}
