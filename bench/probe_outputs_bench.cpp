// The probes over every output of a 1000 x 1000 case with 100 outputs against reading those
// outputs alone: the scan point (code 101) and the front tracking (code 100) loops, the line
// scans collected over the outputs, and the line-scan table of every output (code 103), each
// beside the same number of output reads in process and beside rfprobe stepping the same
// file as a process of its own (its start-up, which reads the file once for the extrema,
// taken off). In process, without a server: picks and dialogs are replaced by their results
// (a diagonal line, the scan point at the middle); the table pass writes no redraw (two
// panels across with one result), the collection draws its curves into an image file. Best
// of three runs each.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <cpgplot.h>

#include "records/Console.h"
#include "records/Globals.h"
#include "main/Initialise.h"
#include "display/Output_File_Names.h"
#include "probes/Front_Tracking.h"
#include "probes/Probe_Outputs.h"
#include "probes/Probe_Results.h"
#include "probes/Scan_Point.h"
#include "probes/Virtual_EDX.h"
#include "result_files/Read_GeoF.h"
#include "result_files/Read_Results.h"
#include "tools/Sample_Case.h"
#include "bench/Best_Seconds.h"

namespace {

constexpr int N = 1000;
constexpr int Outputs = 100;

constexpr int Runs = 3;  // the best of these counts: the machine is shared

double seconds_of(const auto& run) { return BEST_SECONDS(Runs, run); }

// A front moving across x: 1 behind it, 0 ahead, a ramp of 20 cells between.
void write_case(const std::filesystem::path& dir) {
  sample::WRITE_GEOMETRY(dir / "Bench_geoF.zlt", sample::Encoding::Single, sample::GRID(N, 1, N, 1e-4));
  std::ofstream all(dir / "Bench_phas.zlt", std::ios::binary);
  const std::string one = (dir / "one.zlt").string();
  for (int k = 1; k <= Outputs; ++k) {
    sample::Output o{static_cast<double>(k), {}};
    o.values.reserve(static_cast<std::size_t>(N) * N);
    const double front = 50.0 + 8.0 * k;
    for (int z = 1; z <= N; ++z)
      for (int x = 1; x <= N; ++x) o.values.push_back(std::clamp((front - x) / 20.0, 0.0, 1.0));
    sample::WRITE_RESULTS(one, sample::Encoding::Single, {o});
    all << std::ifstream(one, std::ios::binary).rdbuf();
  }
  std::filesystem::remove(one);
}

void open_case(const std::filesystem::path& dir) {
  RESET_GLOBALS();
  DEFAULT_SETTINGS();
  auto& r = Result_Set;
  r.Number_Of_Solutions = 1;
  r.Name_Solution.ALLOCATE({Bounds{1, 1}});
  r.Name_To_Be_Displayed.ALLOCATE({Bounds{1, 1}});
  r.Name_Solution(1) = (dir / "Bench_phas.zlt").string();
  r.Name_To_Be_Displayed(1) = "Bench_phas.zlt";
  r.Geometry_File_Name = (dir / "Bench_geoF.zlt").string();
  READ_GEOF();
  r.Current_Min(1) = r.Computed_Min(1), r.Current_Max(1) = r.Computed_Max(1);
  Command_State.Time_Step_Command = 1;
  READ_RESULTS();
  Output_Settings.Default_Naming = true;
  Output_Settings.Numbering_Of_Outputs = true;
  START_OUTPUT_SERIES();
  SELECT_PROBE_RESULTS(false);
  // The main display, for the plots that come back to it afterwards.
  Graphics_Units.Unit_Display = Graphics_Units.Unit_Current = cpgopen("/NULL");
  auto& s = Scan_Line;
  s.Scan_X1 = 1, s.Scan_Y1 = 1, s.Scan_X2 = N, s.Scan_Y2 = N;
}

// Seconds of rfprobe reading the case and then stepping `steps` outputs.
double rfprobe_seconds(const std::filesystem::path& dir, int steps) {
  const std::string input = (dir / "steps.txt").string();
  {
    std::ofstream in(input);
    for (int k = 0; k < steps; ++k) in << "n\n";
  }
  const std::string command = std::string(ZELTRA_BIN_DIR) + "/rfprobe " + (dir / "Bench_phas.zlt").string() + " < " +
                              input + " > /dev/null 2>&1";
  double t = 0;
  const double seconds = seconds_of([&] { t = std::system(command.c_str()); });
  return t == 0 ? seconds : -1.0;
}

}  // namespace

int main() {
  const auto dir = std::filesystem::temp_directory_path() / ("probe_outputs_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  write_case(dir);
  std::ostringstream console;
  SET_CONSOLE_STREAM(&console);

  open_case(dir);
  const double reading = seconds_of([] {
    for (int k = 0; k < Outputs; ++k) READ_RESULT(1);
  });
  const double scan_point = seconds_of([] {
    Scan_Line.Scan_X1 = Scan_Line.Scan_X2 = N / 2, Scan_Line.Scan_Y1 = Scan_Line.Scan_Y2 = N / 2;
    STEP_PROBE_OUTPUTS(SCAN_POINT_VALUE);
    PROCESS_SCAN_POINT_SERIES();
    DOWNSIZE_SCAN_POINT_ARRAYS();
  });
  Scan_Line.Scan_X1 = 1, Scan_Line.Scan_Y1 = 1, Scan_Line.Scan_X2 = N, Scan_Line.Scan_Y2 = N;
  VIRTUAL_EDX_SCAN();
  DEFAULT_TRACKED_VALUES();
  const double front = seconds_of([] {
    STEP_PROBE_OUTPUTS([] {
      VIRTUAL_EDX_SCAN();
      FRONT_TRACKING_VALUE();
    });
    DOWNSIZE_FRONT_TRACKING_ARRAYS();
  });
  Display_Settings.Panel_Grid.Panels_Across = 2, Display_Settings.Panel_Grid.Panels_Down = 1;
  const double tables = seconds_of(VIRTUAL_EDX_OUTPUT_TXTS);
  Output_Settings.Output_File_Name = (dir / "scans.gif").string();
  double collection = -1.0;
  try {
    collection = seconds_of([] { VIRTUAL_EDX_DISPLAY_ALL(false, 1); });
  } catch (const Program_Stop&) {
    std::fprintf(stderr, "the collection stopped:\n%s\n", console.str().c_str());
  }
  SET_CONSOLE_STREAM(nullptr);
  CLOSE_RESULT_FILES();

  const double rf_start = rfprobe_seconds(dir, 0), rf_all = rfprobe_seconds(dir, Outputs);
  const double rf_steps = rf_start >= 0 && rf_all >= 0 ? rf_all - rf_start : -1.0;
  std::printf("case %d x %d, %d outputs (%.0f MB)\n", N, N, Outputs,
              static_cast<double>(std::filesystem::file_size(dir / "Bench_phas.zlt")) / 1e6);
  std::printf("reading %d outputs in process:            %7.3f s\n", Outputs, reading);
  if (rf_steps >= 0)
    std::printf("rfprobe stepping %d outputs:              %7.3f s (whole run %.3f s, start-up %.3f s)\n", Outputs, rf_steps,
                rf_all, rf_start);
  else
    std::printf("rfprobe: could not run\n");
  const double base = rf_steps > 0 ? rf_steps : reading;
  auto line = [&](const char* what, double seconds) {
    std::printf("%-41s %7.3f s  %.2f x reading in process, %.2f x rfprobe\n", what, seconds, seconds / reading,
                rf_steps > 0 ? seconds / base : 0.0);
  };
  line("scan point (101) over every output:", scan_point);
  line("front tracking (100) over every output:", front);
  line("line-scan tables (103) of every output:", tables);
  if (collection >= 0) line("line scans collected over the outputs:", collection);
  std::filesystem::current_path("/");
  std::filesystem::remove_all(dir);
  return 0;
}
