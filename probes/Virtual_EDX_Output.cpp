// Virtual_EDX_Output: the entry of the probe outputs (codes 102 to 114) and the line-scan
// outputs (codes 102 to 109).
//
// Reads:  Command_State.Command_Code, Virtual_EDX_values and Virtual_EDX_distances, Scan_Line,
//         Result_Set, the probes' tables (whether they exist).
// Writes: Output_Settings (names), Scan_Line.Probe_Overlay (only while an image is drawn), the
//         files and the console; a probe that has not run yet runs first.

#include "display/Output_File_Names.h"
#include "probes/All_Outputs.h"
#include "probes/Front_Tracking.h"
#include "probes/Probe_Output_Names.h"
#include "probes/Probe_Outputs.h"
#include "probes/Probe_Results.h"
#include "probes/Probe_Tables.h"
#include "probes/Scan_Line.h"
#include "probes/Scan_Point.h"
#include "probes/Virtual_EDX.h"
#include "probes/Write_Image.h"
#include "records/Command_Codes.h"
#include "records/Globals.h"

namespace {

bool batched() {
  const std::int32_t code = Command_State.Command_Code;
  return code == Command::Line_Scan_Texts || code == Command::Line_Scan_Positions || code == Command::Line_Scan_Curves;
}

// The default name of the line-scan outputs of the current output, then the chosen name.
std::string line_scan_name(std::string_view extension, std::string_view title) {
  SET_DEFAULT_OUTPUT_FILE(1, "_EDX", extension, batched());
  return CHOOSE_PROBE_OUTPUT_NAME(Output_Settings.Default_Output_File_Name, title, batched());
}

// The line is dragged and shown, then sampled for the results marked now; with none marked
// (no probe has chosen any yet) every result is, since a table of zeros for the line just
// dragged would be no scan at all.
void pick_and_scan_line() {
  VIRTUAL_EDX_SELECT(true);
  bool any = false;
  for (std::int32_t i = 1; i <= Result_Set.Number_Of_Solutions; ++i) any = any || SELECTED_RESULT(i);
  if (!any) SELECT_PROBE_RESULTS(false);
  VIRTUAL_EDX_SCAN();
}

// Whether the data that the output of code writes exist.
bool probe_data_exist(std::int32_t code) {
  if (code <= Command::Line_Scan_Marked_Scans) return Virtual_EDX_values.ALLOCATED();
  if (code <= Command::Front_Tracking_Curve) return Front_Tracking_Values.ALLOCATED();
  return Scan_Point_Values.ALLOCATED();
}

// Runs the probe of code when its data do not exist; false when they still do not (a line
// too short was refused), so that no empty output is written.
bool run_missing_probe(std::int32_t code) {
  if (probe_data_exist(code)) return true;
  if (code <= Command::Line_Scan_Marked_Scans) {
    pick_and_scan_line();
  } else if (code <= Command::Front_Tracking_Curve) {
    pick_and_scan_line();
    FRONT_TRACKING();
  } else {
    SCAN_POINT();
  }
  Command_State.Command_Code = code;
  return probe_data_exist(code);
}

}  // namespace

std::vector<std::string> PROBE_RESULT_NAMES() {
  const auto& r = Result_Set;
  std::vector<std::string> names;
  for (std::int32_t i = 1; i <= r.Number_Of_Solutions; ++i) names.push_back(r.Name_To_Be_Displayed(i));
  return names;
}

void WRITE_PROBE_POSITION_IMAGE() {
  Scan_Line.Probe_Overlay = true;
  WRITE_IMAGE();
  Scan_Line.Probe_Overlay = false;
}

void VIRTUAL_EDX_OUTPUT_TXT() {
  const std::string name = line_scan_name("txt", "'Virtual EDX' text output");
  if (name.empty()) return;
  const std::int32_t n = Result_Set.Number_Of_Solutions;
  const std::int64_t rows = std::min<std::int64_t>(
      {Scan_Line.Scan_Samples, Virtual_EDX_values.EXTENT(1), Virtual_EDX_distances.EXTENT(0)});
  WRITE_PROBE_TABLE(name, Line_Scan_Table, PROBE_RESULT_NAMES(), rows, [&](std::int64_t k, std::vector<float>& v) {
    for (std::int32_t i = 1; i <= n; ++i) v[static_cast<std::size_t>(i - 1)] = Virtual_EDX_values(i, k);
    return Virtual_EDX_distances(k);
  });
}

void VIRTUAL_EDX_OUTPUT_POSITION() {
  if (!line_scan_name(IMAGE_EXTENSION(), "'Virtual EDX' position output").empty()) WRITE_PROBE_POSITION_IMAGE();
}

void VIRTUAL_EDX_OUTPUT_CURVE() {
  if (!line_scan_name(IMAGE_EXTENSION(), "'Virtual EDX' curve output").empty()) VIRTUAL_EDX_DISPLAY(false, true);
}

void VIRTUAL_EDX_OUTPUT_SCANS() {
  const std::string name =
      CHOOSE_PROBE_OUTPUT_NAME(PROBE_OUTPUT_STEM() + "_EDX." + IMAGE_EXTENSION(), "'Virtual EDX' scan output");
  if (!name.empty()) VIRTUAL_EDX_DISPLAY_ALL(false, Command_State.Command_Code == Command::Line_Scan_All_Scans ? 1 : 3);
}

void VIRTUAL_EDX_OUTPUT_TXTS() {
  FOR_EVERY_OUTPUT("Writting EDX outputs... please wait", "EDX text outputs written", [] {
    VIRTUAL_EDX_SCAN();
    VIRTUAL_EDX_OUTPUT_TXT();
  });
}

void VIRTUAL_EDX_OUTPUT_POSITIONS() {
  FOR_EVERY_OUTPUT("Writting EDX outputs... please wait", "EDX position outputs written",
                   VIRTUAL_EDX_OUTPUT_POSITION);
}

void VIRTUAL_EDX_OUTPUT_CURVES() {
  FOR_EVERY_OUTPUT("Writting EDX outputs... please wait", "EDX curve outputs written", [] {
    VIRTUAL_EDX_SCAN();
    VIRTUAL_EDX_OUTPUT_CURVE();
  });
}

void VIRTUAL_EDX_OUTPUT() {
  const std::int32_t code = Command_State.Command_Code;
  if (code < Command::Line_Scan_Text || code > Command::Scan_Point_Curve) return;
  if (!run_missing_probe(code)) return;
  using Routine = void (*)();
  static constexpr Routine routines[] = {
      VIRTUAL_EDX_OUTPUT_TXT,       VIRTUAL_EDX_OUTPUT_TXTS,     VIRTUAL_EDX_OUTPUT_POSITION,
      VIRTUAL_EDX_OUTPUT_POSITIONS, VIRTUAL_EDX_OUTPUT_CURVE,    VIRTUAL_EDX_OUTPUT_CURVES,
      VIRTUAL_EDX_OUTPUT_SCANS,     VIRTUAL_EDX_OUTPUT_SCANS,    FRONT_TRACKING_OUTPUT_TXT,
      FRONT_TRACKING_OUTPUT_CURVE,  SCAN_POINT_OUTPUT_TXT,       SCAN_POINT_OUTPUT_POSITION,
      SCAN_POINT_OUTPUT_CURVE};
  routines[code - Command::Line_Scan_Text]();
}
