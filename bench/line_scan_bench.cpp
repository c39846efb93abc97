// The collection pass of the line scans over time (every output of a 1000 x 1000 case of 100
// outputs, a diagonal line, plotted into a GIF) against stepping the same files through all
// their outputs alone. Prints both times and their ratio (goal: at most 1.2).

#include <cpgplot.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>

#include "main/Console.h"
#include "main/Globals.h"
#include "main/Initialise.h"
#include "main/Output_File_Names.h"
#include "probes/Probe_Results.h"
#include "probes/Virtual_EDX.h"
#include "result_files/Read_GeoF.h"
#include "result_files/Read_Results.h"
#include "tests/result_files/Scratch_Folder.h"
#include "tools/Sample_Case.h"

namespace {

constexpr int Cells = 1000, Outputs = 100;

double seconds_of(const auto& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Every output once, from the one shown round to it again.
void read_all_outputs() {
  Command_State.Time_Step_Command = 1;
  for (int k = 0; k < Outputs; ++k) READ_RESULTS();
}

}  // namespace

int main() {
  Scratch_Folder dir;
  std::printf("Writing a %d x %d case of %d outputs...\n", Cells, Cells, Outputs);
  sample::WRITE_GEOMETRY(dir / "Case_geoF.zlt", sample::Encoding::Single, sample::GRID(Cells, 1, Cells, 1e-4));
  sample::WRITE_RESULTS(dir / "Case_conc.zlt", sample::Encoding::Single, sample::GRAIN_GROWTH(Cells, Cells, Outputs, 1));

  std::ostringstream quiet;
  SET_CONSOLE_STREAM(&quiet);
  DEFAULT_SETTINGS();
  START_OUTPUT_SERIES();
  auto& r = Result_Set;
  r.Number_Of_Solutions = 1;
  r.Name_Solution.ALLOCATE({Bounds{1, 1}});
  r.Name_To_Be_Displayed.ALLOCATE({Bounds{1, 1}});
  r.Name_Solution(1) = dir / "Case_conc.zlt";
  r.Name_To_Be_Displayed(1) = "Case_conc.zlt";
  r.Geometry_File_Name = dir / "Case_geoF.zlt";
  r.Extrema_Mode = 2;
  READ_GEOF();
  Command_State.Time_Step_Command = 1;
  READ_RESULTS();
  const int device = cpgopen("/NULL");
  Graphics_Units.Unit_Display = Graphics_Units.Unit_Current = device;
  Scan_Line.Scan_X1 = 1, Scan_Line.Scan_Y1 = 1, Scan_Line.Scan_X2 = Cells, Scan_Line.Scan_Y2 = Cells;
  SELECT_PROBE_RESULTS(false);
  VIRTUAL_EDX_SCAN();
  Output_Settings.Output_File_Name = dir / "scans.gif";

  read_all_outputs();  // the files in the page cache for both
  double reading = 1e30, collecting = 1e30, plotting = 1e30;
  for (int round = 0; round < 3; ++round) {
    reading = std::min(reading, seconds_of(read_all_outputs));
    collecting = std::min(collecting, seconds_of([] { VIRTUAL_EDX_DISPLAY_ALL(false, 1); }));
    plotting = std::min(plotting, seconds_of([] { VIRTUAL_EDX_DISPLAY(false, false); }));
  }
  cpgclos();
  CLOSE_RESULT_FILES();
  SET_CONSOLE_STREAM(nullptr);
  std::printf("reading every output alone: %.3f s\n", reading);
  std::printf("collecting the line scans (%d samples) and plotting them: %.3f s\n", Scan_Line.Scan_Samples,
              collecting);
  std::printf("of which the plot of the %d scans alone: %.3f s\n", Outputs, plotting);
  std::printf("ratio: %.2f (goal: at most 1.2)\n", collecting / reading);
  return 0;
}
