// The probes over every output of a 1000 x 1000 case of 100 outputs, each against reading the
// same outputs alone in the same loop: the scan point (code 101's pass), front tracking (code
// 100's pass: a line scan and the fronts at each output) and the batched line-scan tables of
// code 103. Goal: each at most 1.2 times its reading time.

#include <chrono>
#include <cstdio>
#include <sstream>

#include "main/Console.h"
#include "main/Globals.h"
#include "main/Output_File_Names.h"
#include "probes/All_Outputs.h"
#include "probes/Front_Tracking.h"
#include "probes/Probe_Outputs.h"
#include "probes/Probe_Results.h"
#include "probes/Scan_Point.h"
#include "probes/Virtual_EDX.h"
#include "result_files/Read_GeoF.h"
#include "result_files/Read_Results.h"
#include "tests/result_files/Scratch_Folder.h"
#include "tools/Sample_Case.h"

namespace {

constexpr int N = 1000, Outputs = 100;

double seconds_of(const auto& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void report(const char* what, double probe, double reading) {
  std::printf("%-44s %8.3f s   reading alone %8.3f s   ratio %5.2f\n", what, probe, reading, probe / reading);
}

}  // namespace

int main() {
  Scratch_Folder dir;
  std::printf("Writing a %d x %d case of %d outputs...\n", N, N, Outputs);
  sample::WRITE_GEOMETRY(dir / "Case_geoF.zlt", sample::Encoding::Single, sample::GRID(N, 1, N, 1e-4));
  sample::WRITE_RESULTS(dir / "Case_phas.zlt", sample::Encoding::Single, sample::GRAIN_GROWTH(N, N, Outputs, 0));

  std::ostringstream quiet;
  SET_CONSOLE_STREAM(&quiet);
  auto& r = Result_Set;
  r.Number_Of_Solutions = 1;
  r.Name_Solution.ALLOCATE({Bounds{1, 1}});
  r.Name_To_Be_Displayed.ALLOCATE({Bounds{1, 1}});
  r.Name_Solution(1) = dir / "Case_phas.zlt";
  r.Name_To_Be_Displayed(1) = "Case_phas.zlt";
  r.Geometry_File_Name = dir / "Case_geoF.zlt";
  Display_Field.Skip_Factor = 1;
  READ_GEOF();
  Command_State.Time_Step_Command = 1;
  READ_RESULTS();
  SELECT_PROBE_RESULTS(false);
  Output_Settings.Default_Naming = true;

  int visited = 0;
  const auto nothing = [] {};
  STEP_PROBE_OUTPUTS([&] { ++visited; });  // the files in the page cache for every pass alike
  std::printf("outputs visited per pass: %d\n", visited);
  const double read_steps = seconds_of([&] { STEP_PROBE_OUTPUTS(nothing); });

  Scan_Line.Scan_X1 = Scan_Line.Scan_Y1 = N / 2;
  const double point = seconds_of([] { STEP_PROBE_OUTPUTS(SCAN_POINT_VALUE); });
  report("scan point, every output", point, read_steps);

  Scan_Line.Scan_X1 = 1, Scan_Line.Scan_Y1 = N / 2, Scan_Line.Scan_X2 = N, Scan_Line.Scan_Y2 = N / 2;
  VIRTUAL_EDX_SCAN();
  DEFAULT_TRACKED_VALUES();
  const double front = seconds_of([] {
    STEP_PROBE_OUTPUTS([] {
      VIRTUAL_EDX_SCAN();
      FRONT_TRACKING_VALUE();
    });
  });
  report("front tracking (line scan + fronts), every output", front, read_steps);

  Command_State.Command_Code = 103;
  const double read_loop = seconds_of([&] { FOR_EVERY_OUTPUT("", "", nothing); });
  Command_State.Command_Code = 103;
  const double tables = seconds_of([] { VIRTUAL_EDX_OUTPUT_TXTS(); });
  report("code 103: line scan and its table, every output", tables, read_loop);

  CLOSE_RESULT_FILES();
  SET_CONSOLE_STREAM(nullptr);
  return 0;
}
