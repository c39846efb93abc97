// Extrema and average of one result over a 4000 x 4000 window (command 120, console output
// included, sent to a discarded stream) against the system Python's numpy min, max and mean
// of the same single-precision array read from a raw file. Best of several runs each.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "records/Command_Codes.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Display_Arrays.h"
#include "probes/Data_Information.h"
#include "bench/Best_Seconds.h"

namespace {

constexpr int N = 4000;
constexpr int Runs = 7;

double best_seconds(const auto& run) { return BEST_SECONDS(Runs, run); }

}  // namespace

int main() {
  const auto dir = std::filesystem::temp_directory_path() / ("info_extrema_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  auto& r = Result_Set;
  r.Number_Of_Solutions = 1;
  for (auto* a : {&r.Time, &r.Current_Min, &r.Current_Max}) a->ALLOCATE({Bounds{1, 1}});
  r.Name_To_Be_Displayed.ALLOCATE({Bounds{1, 1}});
  r.Name_To_Be_Displayed(1) = "field";
  Result_Geometry.AnzX = N, Result_Geometry.AnzY = N, Result_Geometry.AnzZ = 1;
  Result_Geometry.Grid_Spacing = 1.0e-4f;
  Display_Field.Cut_Direction = 1, Display_Field.Cut_Index = 1;
  ALLOCATE_ARRAYS();
  float* plane = Display_Field.Array_to_be_displayed.ADDRESS(1, 1, 1);
  std::uint32_t state = 12345;
  for (std::int64_t k = 0; k < std::int64_t{N} * N; ++k) {
    state = state * 1664525u + 1013904223u;
    plane[k] = static_cast<float>(state >> 8) / 16777216.0f * 100.0f;
  }
  const std::string raw = (dir / "field.f32").string();
  std::ofstream(raw, std::ios::binary).write(reinterpret_cast<const char*>(plane), std::int64_t{N} * N * 4);

  std::ostringstream discard;
  SET_CONSOLE_STREAM(&discard);
  Command_State.Command_Code = Command::Info_Extrema;
  const double ours = best_seconds([&] {
    discard.str("");
    DATA_INFORMATION();
  });
  SET_CONSOLE_STREAM(nullptr);
  const Window_Statistics s = WINDOW_STATISTICS(1);
  std::printf("code 120 on %d x %d: %.2f ms (min %.6g, max %.6g, average %.7g)\n", N, N, ours * 1e3, s.minimum,
              s.maximum, s.average);

  const std::string script = "import time,numpy as np\n"
                             "a=np.fromfile('" + raw + "',dtype=np.float32)\n"
                             "b=1e30\n"
                             "for i in range(" + std::to_string(Runs) + "):\n"
                             " t=time.perf_counter(); lo=a.min(); hi=a.max(); m=a.mean(); b=min(b,time.perf_counter()-t)\n"
                             "print('%.2f %.6g %.6g %.7g'%(b*1e3,lo,hi,m))\n";
  const std::string script_file = (dir / "extrema.py").string();
  std::ofstream(script_file) << script;
  const std::string command = "/usr/bin/python3 " + script_file + " 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  char line[256] = {};
  if (pipe != nullptr && std::fgets(line, sizeof line, pipe) != nullptr) {
    double ms = 0, lo = 0, hi = 0, mean = 0;
    std::sscanf(line, "%lf %lf %lf %lf", &ms, &lo, &hi, &mean);
    std::printf("numpy min, max, mean: %.2f ms (min %.6g, max %.6g, mean %.7g)\n", ms, lo, hi, mean);
    std::printf("ratio (ours / numpy): %.2f\n", ours * 1e3 / ms);
  } else {
    std::printf("numpy: not available (/usr/bin/python3 with numpy)\n");
  }
  if (pipe != nullptr) ::pclose(pipe);
  std::filesystem::remove_all(dir);
  return 0;
}
