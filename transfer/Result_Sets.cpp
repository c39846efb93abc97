// Result_Sets: whole-set mode (-w, -r): the known extensions, the set's stem, and the loop
// that converts, clears of outputs, lists or renames every file of the set in both naming
// schemes (UNIX: stem.ext; Windows: stem_ext.zlt) and their G and _1DExt families.
//
// Reads: the existence of the candidate names. Writes: through the routines it calls.
// Global records: Extensions (built here), Results_To_Kick_Out (grown here), Transfer_Files
// (the stems), Transfer_Options (geometry input per extension).
//
// Renaming never replaces a file: when a set has a file under both names of a pair, nothing
// of the set is renamed and the run stops with a message. Each file of a set is handled once,
// although the list names some extensions twice.

#include <new>  // std::bad_alloc
#include <string>
#include <unordered_set>
#include <vector>

#include "records/Allocation_Checks.h"
#include "records/Console.h"
#include "result_files/Check_File.h"
#include "result_files/Move_File.h"
#include "transfer/Transfer_ZELTRA.h"

namespace {

constexpr int Pairs = 6;

// CTN_FILL: one more extension.
void CTN_FILL(const std::string& text) { Extensions.push_back(NAME_WITHOUT_BLANKS(text)); }

struct Candidate {
  std::string input, output, geometry;
  bool scaled;  // the set's own ratio applies (the plain forms only)
};

// The six name pairs of extension e for input stem s and output stem o.
std::array<Candidate, Pairs> candidates(const std::string& s, const std::string& o, const std::string& e) {
  return {{{s + "." + e, o + "." + e, s + ".geoF", true},
           {s + "_" + e + ".zlt", o + "_" + e + ".zlt", s + "_geoF.zlt", true},
           {s + "G." + e, o + "G." + e, "", false},
           {s + "G_" + e + ".zlt", o + "G_" + e + ".zlt", "", false},
           {s + "_1DExt." + e, o + "_1DExt." + e, "", false},
           {s + "_1DExt_" + e + ".zlt", o + "_1DExt_" + e + ".zlt", "", false}}};
}

bool ends_with(const std::string& text, const std::string& ending) {
  return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// Cuts a known extension (and the character before it) off an existing file's name.
void find_stems() {
  auto& files = Transfer_Files;
  std::string name = NAME_WITHOUT_BLANKS(files.Working_Input);
  if (!FILE_EXISTS(name)) return;  // a bare stem, used as typed
  const bool same = name == NAME_WITHOUT_BLANKS(files.Output_File);
  if (ends_with(name, ".zlt")) name.resize(name.size() - 4);
  for (const std::string& e : Extensions)
    if (ends_with(name, e)) {
      name.resize(name.size() > e.size() ? name.size() - e.size() - 1 : 0);
      break;
    }
  files.Working_Input = name;
  if (same) files.Output_File = name;
}

// Stops before anything is renamed when a pair has a file under both of its names.
void refuse_overwriting_renames(const std::string& stem) {
  for (const std::string& e : Extensions) {
    const auto names = candidates(stem, stem, e);
    for (int pair = 0; pair < Pairs; pair += 2)
      if (FILE_EXISTS(names[pair].input) && FILE_EXISTS(names[pair + 1].input))
        TRANSFER_STOP({" Unable to rename file: from " + names[pair].input,
                       "to " + names[pair + 1].input + " (both exist: nothing of the set was renamed)"});
  }
}

// True when the set has a file that the mode acts on (the geometry file only converts and
// renames).
bool set_has_files(const std::string& stem) {
  const auto& parse = Transfer_Parse;
  const bool geometry_used = !(parse.Remove_One || parse.Remove_List || parse.Times);
  for (const std::string& e : Extensions) {
    if (e == "geoF" && !geometry_used) continue;
    for (const Candidate& c : candidates(stem, stem, e))
      if (FILE_EXISTS(c.input)) return true;
  }
  return false;
}

}  // namespace

void BUILD_EXTENSIONS() {
  int status = 0;
  try {
    Extensions.clear();
    Extensions.reserve(1029);
    const char* const stems[5] = {"conc", "cPha", "cLiq", "cpha", "frac"};
    for (int i = 0; i <= 99; ++i) {
      const std::string plain = std::to_string(i);
      const std::string two = (i < 10 ? "0" : "") + plain;
      for (const char* stem : stems) CTN_FILL(stem + plain);
      for (const char* stem : stems) CTN_FILL(stem + two);
    }
    for (const char* e : {"driv", "frac", "dGsp", "intf", "intT", "korn", "krum", "millx", "milly", "millz",
                          "mueS", "numR", "orie", "phas", "prs", "rex", "sxxCV", "syyCV", "szzCV", "temp",
                          "temp0", "uxCV", "uyCV", "uzCV", "vel", "v_x", "v_y", "v_z", "geoF"})
      CTN_FILL(e);
  } catch (const std::bad_alloc&) {
    status = 1;
  }
  CHECK_ALLOCATION_ERROR("Extensions", status);
  CHECK_ALLOCATION_SIZE("Extensions", static_cast<std::int64_t>(Extensions.size()), 1029);
}

void EXTRA_RESULT_TO_KICK_OUT(std::int32_t number) {
  int status = 0;
  try {
    Results_To_Kick_Out.push_back(number);
  } catch (const std::bad_alloc&) {
    status = 1;
  }
  CHECK_ALLOCATION_ERROR("Results_To_Kick_Out", status);
}

void TRANSFER_WHOLE_SET() {
  BUILD_EXTENSIONS();
  find_stems();
  const auto& files = Transfer_Files;
  const auto& parse = Transfer_Parse;
  const std::string s = NAME_WITHOUT_BLANKS(files.Working_Input);
  const std::string o = NAME_WITHOUT_BLANKS(files.Output_File);
  if (!set_has_files(s)) {
    CONSOLE_EMPTY();
    CONSOLE_LINE(" No file of the set " + s + " found");
    CONSOLE_EMPTY();
    Transfer_Parse.Run_Failed = true;
    return;
  }
  if (parse.Rename) refuse_overwriting_renames(s);
  // conc10 .. conc99 (and the other numbered families) stand twice in the list: a file must
  // be converted, cleared of outputs or renamed once, never a second time.
  std::unordered_set<std::string> handled;
  for (const std::string& e : Extensions) {
    if (!handled.insert(e).second) continue;
    const bool geometry = e == "geoF";
    Transfer_Options.Geometry_Input = geometry;
    const auto names = candidates(s, o, e);
    if (parse.Remove_One) {
      if (geometry) continue;
      for (const Candidate& c : names) {
        std::int32_t k = Result_To_Kick_Out;  // every file gets the number given
        KICK_OUT_OUTPUT(c.input, k, true);
      }
    } else if (parse.Remove_List) {
      if (geometry) continue;
      for (const Candidate& c : names) SEQUENTIAL_KICK_OUT(c.input);
    } else if (parse.Rename) {
      for (int pair = 0; pair < Pairs; pair += 2)
        if (!MOVE_FILE(names[pair].input, names[pair + 1].input, true))
          MOVE_FILE(names[pair + 1].input, names[pair].input, true);
    } else if (parse.Times) {
      if (geometry) continue;
      for (const Candidate& c : names) LIST_OUTPUT_TIMES(c.input);
    } else {
      for (const Candidate& c : names)
        TRANSFER_FILE(c.input, c.output, c.scaled ? Rescale_Ratio : Rescale_Ratio_Type{}, c.scaled ? c.geometry : "");
    }
  }
}
