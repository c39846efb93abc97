// Probe_Output_Names: stems, time fields and the chosen names of the probe outputs.
//
// Reads:  Result_Set.Name_Solution(1).
// Writes: Output_Settings (default and chosen output names).

#include "probes/Probe_Output_Names.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "display/Output_File_Names.h"
#include "records/Globals.h"

std::string PROBE_OUTPUT_STEM() { return OUTPUT_BASE_NAME(Result_Set.Name_Solution(1)); }

std::string IMAGE_EXTENSION() {
  std::string ext = Output_Settings.Image_Extension;
  ext.erase(ext.find_last_not_of(' ') + 1);
  return ext;
}

std::string MILLISECONDS_FIELD(float seconds) {
  const float milliseconds = seconds * 1000.0f;
  // Beyond what 64 bits hold the time is no output time; the field says so plainly.
  if (!(std::fabs(milliseconds) < 9.0e18f)) return "********";
  char text[32];
  std::snprintf(text, sizeof text, "%08lld", static_cast<long long>(std::trunc(milliseconds)));
  return text;
}

std::string CHOOSE_PROBE_OUTPUT_NAME(const std::string& default_name, std::string_view title, bool batched) {
  auto& out = Output_Settings;
  out.Default_Output_File_Name = default_name;
  if (batched)
    out.Output_File_Name = out.Default_Output_File_Name;
  else
    INPUT_FILE_NAME(title);
  std::string name = out.Output_File_Name;
  name.erase(name.find_last_not_of(' ') + 1);
  return name;
}
