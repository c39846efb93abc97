// Speed of the result readers, each figure beside its reference measured in the same run:
//   - reading every output of a 256^3 single-precision case (64 MiB per output) from the
//     page cache, against `cat FILE > /dev/null`;
//   - cutting a 512^3 field to each of the three planes with nine-fold symmetry, against
//     one read of that output;
//   - parsing ASCII results (MB/s);
//   - opening a gzip-compressed case (uncompressing its working copies), against
//     `gzip -dc FILE > COPY` on the same file;
//   - the combined pictures of the display modes for a 2000 x 2000 field.
// Usage: result_files_bench [folder]   (default: the system's temporary folder)

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sstream>
#include <vector>

#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Display_Arrays.h"
#include "result_files/Module_GZip.h"
#include "result_files/Read_GeoF.h"
#include "result_files/Input_Layer.h"
#include "result_files/Read_Results.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_of(auto&& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double mib(std::uint64_t bytes) { return static_cast<double>(bytes) / (1 << 20); }

void put(std::ofstream& out, const void* data, std::size_t bytes) {
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(bytes));
}

// Geometry of an n x ny x nz single-precision case, record 1 only.
void write_geometry(const std::string& path, std::int32_t nx, std::int32_t ny, std::int32_t nz) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  const std::uint32_t length = 24;
  const float reals[3] = {1e-4f, 0.0f, 0.0f};
  put(out, &length, 4);
  put(out, &nx, 4);
  put(out, &ny, 4);
  put(out, &nz, 4);
  put(out, reals, 12);
  put(out, &length, 4);
}

// A smooth field with some noise, like a phase-field result.
void fill_field(std::vector<float>& values, int output) {
  std::uint32_t noise = 12345u + static_cast<std::uint32_t>(output);
  for (std::size_t c = 0; c < values.size(); ++c)
    values[c] = static_cast<float>(0.5 + 0.5 * std::tanh((static_cast<double>(c % 700) - 350.0) / 40.0 + 0.1 * output) +
                                   1e-6 * ((noise = noise * 1664525u + 1013904223u) >> 26));
}

void write_binary_results(const std::string& path, std::int64_t cells, int outputs) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::vector<float> values(static_cast<std::size_t>(cells));
  const std::uint32_t length = static_cast<std::uint32_t>(8 + 4 * cells);
  const std::int32_t n = static_cast<std::int32_t>(cells);
  for (int k = 1; k <= outputs; ++k) {
    fill_field(values, k);
    const float time = static_cast<float>(k);
    put(out, &length, 4);
    put(out, &time, 4);
    put(out, &n, 4);
    put(out, values.data(), values.size() * 4);
    put(out, &length, 4);
  }
}

void write_ascii_case(const std::string& folder, std::int32_t nx, std::int32_t nz, int outputs) {
  std::ofstream geometry(folder + "/Text_geoF.zlt", std::ios::trunc);
  geometry << nx << " 1 " << nz << " 1.0E-4 0.0 0.0\n'V' 'd' 'r' 'u' 'single'\n";
  std::ofstream out(folder + "/Text_phas.zlt", std::ios::trunc);
  std::vector<float> values(static_cast<std::size_t>(nx) * nz);
  char text[32];
  for (int k = 1; k <= outputs; ++k) {
    fill_field(values, k);
    out << k << ".0 " << values.size() << "\n";
    for (std::size_t c = 0; c < values.size(); ++c) {
      std::snprintf(text, sizeof text, "%.7E", static_cast<double>(values[c]));
      out << text << ((c + 1) % 8 == 0 ? "\n" : " ");
    }
    out << "\n";
  }
}

// Fills the records as the command line does for one file and opens the case.
void open_case(const std::string& result, const std::string& geometry, int format, bool compressed,
               const std::string& folder) {
  CLOSE_RESULT_FILES();
  RESET_GLOBALS();
  auto& r = Result_Set;
  r.Number_Of_Solutions = 1;
  r.Name_Solution.ALLOCATE({Bounds{1, 1}});
  r.Name_To_Be_Displayed.ALLOCATE({Bounds{1, 1}});
  r.Name_Solution(1) = result;
  r.Name_To_Be_Displayed(1) = std::filesystem::path(result).filename().string();
  r.Geometry_File_Name = geometry;
  r.Result_Format = format;
  r.Format_Given = true;
  r.Compressed_Results = compressed;
  r.Temporary_Files_Directory = folder + "/";
  r.Extrema_Mode = 2;  // the start-up scan reads the first output only
  READ_GEOF();
}

double shell_seconds(const std::string& command) {
  return seconds_of([&] {
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
  });
}

void reading_every_output(const std::string& folder) {
  const std::string result = folder + "/Big_phas.zlt", geometry = folder + "/Big_geoF.zlt";
  const std::int64_t cells = 256LL * 256 * 256;
  const int outputs = 8;
  write_geometry(geometry, 256, 256, 256);
  write_binary_results(result, cells, outputs);
  const std::uint64_t bytes = std::filesystem::file_size(result);
  shell_seconds("cat '" + result + "' > /dev/null");  // into the page cache
  double best_cat = 1e9, best_read = 1e9, best_move = 1e9;
  for (int round = 0; round < 3; ++round) {
    best_cat = std::min(best_cat, shell_seconds("cat '" + result + "' > /dev/null"));
    open_case(result, geometry, 1, false, folder);
    UNIT(114).REWIND();
    Result_Set.Time_Step_Number(1) = 0;
    best_read = std::min(best_read, seconds_of([] {
      float time;
      bool end = false;
      while (!end) READ_OUTPUT(1, time, end, false);
    }));
    UNIT(114).REWIND();
    Result_Set.Time_Step_Number(1) = 0;
    Command_State.Time_Step_Command = 1;
    best_move = std::min(best_move, seconds_of([outputs] {
      for (int k = 0; k < outputs; ++k) READ_RESULTS();
    }));
  }
  std::printf("Reading every output of a 256^3 single case (%d outputs, %.0f MiB, page cache):\n", outputs, mib(bytes));
  std::printf("  cat FILE > /dev/null          %8.1f ms  %7.0f MiB/s\n", best_cat * 1e3, mib(bytes) / best_cat);
  std::printf("  READ_OUTPUT, every output     %8.1f ms  %7.0f MiB/s  (%.2f x cat's rate)\n", best_read * 1e3,
              mib(bytes) / best_read, best_cat / best_read);
  std::printf("  next move (read + cut + copy) %8.1f ms  %7.0f MiB/s  (%.2f x cat's rate)\n", best_move * 1e3,
              mib(bytes) / best_move, best_cat / best_move);
  CLOSE_RESULT_FILES();
  std::filesystem::remove(result);
  std::filesystem::remove(geometry);
}

void cutting_with_symmetry(const std::string& folder) {
  const std::string result = folder + "/Cube_phas.zlt", geometry = folder + "/Cube_geoF.zlt";
  write_geometry(geometry, 512, 512, 512);
  write_binary_results(result, 512LL * 512 * 512, 1);
  shell_seconds("cat '" + result + "' > /dev/null");
  Display_Field.Symmetry_Mode = 1;
  open_case(result, geometry, 1, false, folder);
  double best_read = 1e9;
  for (int round = 0; round < 3; ++round) {
    UNIT(114).REWIND();
    Result_Set.Time_Step_Number(1) = 0;
    best_read = std::min(best_read, seconds_of([] {
      float time;
      bool end = false;
      READ_OUTPUT(1, time, end, false);
    }));
  }
  std::printf("Cutting a 512^3 output with nine-fold mirroring (display 1536 x 1536):\n");
  std::printf("  one read of the output (512 MiB)  %8.2f ms\n", best_read * 1e3);
  for (int direction = 1; direction <= 3; ++direction) {
    Display_Field.Cut_Direction = direction;
    Display_Field.Cut_Index = 256;
    Display_Field.Symmetry_Mode = 4;
    ALLOCATE_ARRAYS();
    Command_State.Time_Step_Command = 0;
    double best = 1e9;
    for (int round = 0; round < 5; ++round) best = std::min(best, seconds_of([] { READ_RESULTS(); }));
    std::printf("  cut direction %d + symmetry 4      %8.2f ms  (%.3f of one read)\n", direction, best * 1e3,
                best / best_read);
  }
  CLOSE_RESULT_FILES();
  std::filesystem::remove(result);
  std::filesystem::remove(geometry);
}

void parsing_ascii(const std::string& folder) {
  write_ascii_case(folder, 1024, 1024, 4);
  const std::string result = folder + "/Text_phas.zlt";
  const std::uint64_t bytes = std::filesystem::file_size(result);
  shell_seconds("cat '" + result + "' > /dev/null");
  double best = 1e9;
  for (int round = 0; round < 3; ++round) {
    open_case(result, folder + "/Text_geoF.zlt", 3, false, folder);
    UNIT(114).REWIND();
    Result_Set.Time_Step_Number(1) = 0;
    best = std::min(best, seconds_of([] {
      float time;
      bool end = false;
      while (!end) READ_OUTPUT(1, time, end, false);
    }));
  }
  std::printf("ASCII results (4 outputs of 1024 x 1024 cells, %.0f MiB):\n", mib(bytes));
  std::printf("  READ_OUTPUT, every output     %8.1f ms  %7.0f MB/s\n", best * 1e3, bytes / best / 1e6);
  CLOSE_RESULT_FILES();
  std::filesystem::remove(result);
  std::filesystem::remove(folder + "/Text_geoF.zlt");
}

void opening_compressed(const std::string& folder) {
  const std::string result = folder + "/Zip_phas.zlt", geometry = folder + "/Zip_geoF.zlt";
  write_geometry(folder + "/plain_geoF", 256, 256, 256);
  write_binary_results(folder + "/plain_phas", 256LL * 256 * 256, 3);
  COMPRESS_FILE(folder + "/plain_geoF", geometry);
  COMPRESS_FILE(folder + "/plain_phas", result);
  const std::uint64_t bytes = std::filesystem::file_size(folder + "/plain_phas");
  std::filesystem::remove(folder + "/plain_geoF");
  std::filesystem::remove(folder + "/plain_phas");
  double best_gzip = 1e9, best_open = 1e9;
  for (int round = 0; round < 3; ++round) {
    best_gzip = std::min(best_gzip, shell_seconds("gzip -dc '" + result + "' > '" + folder + "/gzip_copy'"));
    std::filesystem::remove(folder + "/gzip_copy");
    best_open = std::min(best_open, seconds_of([&] { open_case(result, geometry, 1, true, folder); }));
    CLOSE_RESULT_FILES();
  }
  std::printf("Opening a compressed case (%.0f MiB uncompressed):\n", mib(bytes));
  std::printf("  gzip -dc FILE > COPY          %8.1f ms\n", best_gzip * 1e3);
  std::printf("  READ_GEOF, working copies     %8.1f ms  (%.2f x gzip's time)\n", best_open * 1e3, best_open / best_gzip);
  std::filesystem::remove(result);
  std::filesystem::remove(geometry);
}

void combined_pictures() {
  std::printf("Combined pictures of a 2000 x 2000 field:\n");
  struct Mode {
    const char* name;
    Processed_Display_Modes_Type modes;
    int files;
  } modes[] = {{"RGB triangle (3 files)", {false, false, false, false, true}, 3},
               {"Miller indices, random", {false, false, false, true, false}, 3},
               {"difference (2 files)", {false, false, true, false, false}, 2},
               {"logarithm (3 files)", {false, true, false, false, false}, 3},
               {"absolute value (3 files)", {true, false, false, false, false}, 3}};
  for (const auto& mode : modes) {
    RESET_GLOBALS();
    auto& r = Result_Set;
    r.Number_Of_Solutions = mode.files;
    for (auto* a : {&r.Time, &r.Current_Min, &r.Current_Max}) a->ALLOCATE({Bounds{1, mode.files}});
    Result_Geometry = {2000, 1, 2000};
    Display_Field.Cut_Direction = 2;
    Display_Settings.Processed_Display_Modes = mode.modes;
    ALLOCATE_ARRAYS();
    std::uint32_t noise = 7;
    for (int i = 1; i <= mode.files; ++i) {
      r.Current_Min(i) = 1.0f;
      r.Current_Max(i) = 900000.0f;
      float* v = Display_Field.Array_to_be_displayed.ADDRESS(i, 1, 1);
      for (std::int64_t c = 0; c < 2000LL * 2000; ++c) v[c] = static_cast<float>((noise = noise * 1664525u + 1013904223u) >> 12);
    }
    const bool merge = mode.modes.RGB_Triangle || mode.modes.Miller_Indices;
    double best = 1e9;
    for (int round = 0; round < 5; ++round)
      best = std::min(best, seconds_of([merge] { merge ? (void)MERGE_READ_RESULTS() : PROCESS_DISPLAYED_RESULTS(); }));
    std::printf("  %-26s %8.2f ms  (%.2f ms per file)\n", mode.name, best * 1e3, best * 1e3 / mode.files);
    if (!mode.modes.Miller_Indices) continue;
    // Orientation codes come in grains: runs of cells with one code.
    for (int i = 1; i <= mode.files; ++i) {
      float* v = Display_Field.Array_to_be_displayed.ADDRESS(i, 1, 1);
      for (std::int64_t c = 0; c < 2000LL * 2000; ++c)
        v[c] = static_cast<float>(10101 + ((c / 40 + (c / 2000 / 40) * 7) % 50) * 101);
    }
    best = 1e9;
    for (int round = 0; round < 5; ++round) best = std::min(best, seconds_of([] { MERGE_READ_RESULTS(); }));
    std::printf("  %-26s %8.2f ms  (%.2f ms per file)\n", "  the same, grains of 40", best * 1e3, best * 1e3 / mode.files);
  }
  RESET_GLOBALS();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string base = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  const std::string folder = base + "/result_files_bench_" + std::to_string(::getpid());
  std::filesystem::create_directories(folder);
  std::ostringstream console;
  SET_CONSOLE_STREAM(&console);
  try {
    combined_pictures();
    reading_every_output(folder);
    cutting_with_symmetry(folder);
    parsing_ascii(folder);
    opening_compressed(folder);
  } catch (const Program_Stop&) {
    std::fprintf(stderr, "stopped:\n%s\n", console.str().c_str());
    std::filesystem::remove_all(folder);
    return 1;
  }
  std::filesystem::remove_all(folder);
  return 0;
}
