// rfprobe: drives the result-file readers from outside, for whole-process tests.
//
//   rfprobe [--format N] [--compressed] [--skip S] [--cut-direction D] [--cut-index I]
//           [--symmetry M] [--symmetry-type T] [--mode rgb|miller|difference|log|abs]
//           [--answers FILE] RESULT_FILE...
//
// Opens the case with READ_GEOF (the geometry file named after the first result file,
// "_geoF.zlt" or ".geoF", as the display derives it), sets the colour limits from the
// extrema, reads the first output of every file as the display's first pass does, then
// runs one command per line of standard input: n next, p previous, f first, l last
// output of every file, "s K" seek output K, "e C" the colour-scale command C (1-5),
// d dump. A dump builds the combined pictures of the display modes as a redraw does,
// then prints every slot from the lowest up: "slot <s>", for a file's slot the lines
// "file <i> output <Time_Step_Number> of <Total_Time_Steps> time <Time>" and
// "min <Current_Min> max <Current_Max>", then one line per y = 1..NY with the values
// x = 1..NX in "%.9g" separated by one blank. The answers to pop-ups come from the --answers
// file, one pop-up per line: "list N K..." picks entries K of a list of N (then OK), "two A|B"
// types A and B into a two-field form. Console messages go to
// standard error. A fatal stop ends with exit code 1 after the working copies are
// deleted.

#include <unistd.h>  // access

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/Server_Answers.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Display_Arrays.h"
#include "result_files/Extrema.h"
#include "result_files/Read_GeoF.h"
#include "result_files/Read_Results.h"

namespace {

// One pop-up's answer of the --answers file, given to the server's answering thread.
void queue_answer(const std::string& line) {
  std::istringstream words(line);
  std::string kind;
  words >> kind;
  if (kind == "list") {
    std::size_t n = 0, k = 0;
    words >> n;
    std::vector<bool> wanted(n, false);
    while (words >> k)
      if (k >= 1 && k <= n) wanted[k - 1] = true;
    server_answers::ACT(pop_up_answers::SELECTION(wanted));
  } else if (kind == "two") {
    std::string rest;
    std::getline(words >> std::ws, rest);
    const std::size_t bar = rest.find('|');
    server_answers::ACT(pop_up_answers::TWO_VALUES(rest.substr(0, bar), bar == std::string::npos ? "" : rest.substr(bar + 1)));
  }
}

bool exists(const std::string& name) { return ::access(name.c_str(), F_OK) == 0; }

bool ends_with(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The geometry file of a case, named after its first result file.
std::string geometry_name(const std::string& first) {
  std::string name;
  if (first.find(".zlt") != std::string::npos || first.find(".ZLT") != std::string::npos) {
    const std::string suffix = first.find(".ZLT") != std::string::npos ? "_GEOF.ZLT" : "_geoF.zlt";
    const auto underscore = first.rfind('_');
    name = (underscore == std::string::npos ? std::string() : first.substr(0, underscore)) + suffix;
  } else {
    name = first;
    if (ends_with(name, ".gz")) name.resize(name.size() - 3);
    if (ends_with(name, ".zip")) name.resize(name.size() - 4);
    const auto dot = name.rfind('.');
    name = (dot == std::string::npos ? std::string() : name.substr(0, dot)) + ".geoF";
  }
  if (!exists(name) && ends_with(first, ".gz") && exists(name + ".gz")) name += ".gz";
  if (!exists(name) && ends_with(first, ".zip") && exists(name + ".zip")) name += ".zip";
  return name;
}

[[noreturn]] void usage(const std::string& why) {
  std::cerr << "rfprobe: " << why << "\n"
            << "usage: rfprobe [--format N] [--compressed] [--skip S] [--cut-direction D] [--cut-index I]\n"
            << "               [--symmetry M] [--symmetry-type T] [--mode rgb|miller|difference|log|abs]\n"
            << "               [--answers FILE] RESULT_FILE...\n";
  std::exit(2);
}

int number(const std::string& option, const char* text) {
  if (!text) usage(option + " needs a number");
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (*text == '\0' || *end != '\0' || value < INT32_MIN || value > INT32_MAX) usage(option + ": bad number " + text);
  return static_cast<int>(value);
}

void print_rows(std::int32_t slot) {
  const auto& f = Display_Field;
  for (int y = 1; y <= f.Display_Size_Y; ++y) {
    for (int x = 1; x <= f.Display_Size_X; ++x)
      std::printf(x == 1 ? "%.9g" : " %.9g", static_cast<double>(f.Array_to_be_displayed(slot, x, y)));
    std::printf("\n");
  }
}

void dump() {
  const auto& r = Result_Set;
  const auto& modes = Display_Settings.Processed_Display_Modes;
  if (modes.RGB_Triangle || modes.Miller_Indices) MERGE_READ_RESULTS();
  else if (modes.Difference_Display || modes.Logarithmic_Display || modes.Absolute_Values) PROCESS_DISPLAYED_RESULTS();
  const auto& slots = Display_Field.Array_to_be_displayed;
  for (std::int64_t s = slots.LOWER(0); s <= slots.UPPER(0); ++s) {
    const int slot = static_cast<int>(s);
    std::printf("slot %d\n", slot);
    if (slot >= 1) {
      std::printf("file %d output %d of %d time %.9g\n", slot, r.Time_Step_Number(slot), r.Total_Time_Steps(slot),
                  static_cast<double>(r.Time(slot)));
      std::printf("min %.9g max %.9g\n", static_cast<double>(r.Current_Min(slot)),
                  static_cast<double>(r.Current_Max(slot)));
    }
    print_rows(slot);
  }
  std::fflush(stdout);
}

void move(std::int32_t command) {
  Command_State.Time_Step_Command = command;
  READ_RESULTS();
}

}  // namespace

int main(int argc, char** argv) {
  RESET_GLOBALS();
  std::vector<std::string> files;
  int cut_direction = 0, cut_index = 0;
  for (int k = 1; k < argc; ++k) {
    const std::string word = argv[k];
    const char* next = k + 1 < argc ? argv[k + 1] : nullptr;
    if (word == "--format") {
      Result_Set.Result_Format = number(word, next), ++k;
      Result_Set.Format_Given = true;
    } else if (word == "--compressed") {
      Result_Set.Compressed_Results = true;
    } else if (word == "--skip") {
      Display_Field.Skip_Factor = number(word, next), ++k;
      if (Display_Field.Skip_Factor < 1) usage("--skip must be at least 1");
    } else if (word == "--cut-direction") {
      cut_direction = number(word, next), ++k;
    } else if (word == "--cut-index") {
      cut_index = number(word, next), ++k;
    } else if (word == "--symmetry") {
      Display_Field.Symmetry_Mode = number(word, next), ++k;
    } else if (word == "--symmetry-type") {
      Display_Field.Symmetry_Type = number(word, next), ++k;
    } else if (word == "--mode") {
      auto& modes = Display_Settings.Processed_Display_Modes;
      const std::string mode = next ? next : "";
      ++k;
      if (mode == "rgb") modes.RGB_Triangle = true;
      else if (mode == "miller") modes.Miller_Indices = true;
      else if (mode == "difference") modes.Difference_Display = true;
      else if (mode == "log") modes.Logarithmic_Display = true;
      else if (mode == "abs") modes.Absolute_Values = true;
      else usage("unknown mode " + mode);
    } else if (word == "--answers") {
      if (!next) usage("--answers needs a file");
      std::ifstream answers(next);
      if (!answers) usage(std::string("cannot read ") + next);
      for (std::string line; std::getline(answers, line);) queue_answer(line);
      ++k;
    } else if (word.rfind("--", 0) == 0) {
      usage("unknown option " + word);
    } else {
      files.push_back(word);
    }
  }
  if (files.empty()) usage("no result file given");

  auto& r = Result_Set;
  r.Number_Of_Solutions = static_cast<std::int32_t>(files.size());
  r.Name_Solution.ALLOCATE({Bounds{1, r.Number_Of_Solutions}});
  r.Name_To_Be_Displayed.ALLOCATE({Bounds{1, r.Number_Of_Solutions}});
  for (int i = 1; i <= r.Number_Of_Solutions; ++i) {
    r.Name_Solution(i) = files[i - 1];
    const auto slash = files[i - 1].find_last_of("/\\");
    r.Name_To_Be_Displayed(i) = slash == std::string::npos ? files[i - 1] : files[i - 1].substr(slash + 1);
  }
  r.Geometry_File_Name = geometry_name(files[0]);

  int exit_code = 0;
  try {
    READ_GEOF();
    for (int i = 1; i <= r.Number_Of_Solutions; ++i) {
      r.Current_Min(i) = r.Computed_Min(i);
      r.Current_Max(i) = r.Computed_Max(i);
    }
    if (cut_direction != 0 || cut_index != 0) {
      if (cut_direction != 0) Display_Field.Cut_Direction = cut_direction;
      if (cut_index != 0) Display_Field.Cut_Index = cut_index;
      ALLOCATE_ARRAYS();
    }
    move(1);  // the first pass of the command loop
    std::string line;
    while (std::getline(std::cin, line)) {
      if (line == "n") move(1);
      else if (line == "p") move(-1);
      else if (line == "f") move(-2);
      else if (line == "l") move(2);
      else if (line == "d") dump();
      else if (line.rfind("s ", 0) == 0) {
        server_answers::TYPE(line.substr(2));
        move(10);
      } else if (line.rfind("e ", 0) == 0) {
        Command_State.Command_Code = std::atoi(line.c_str() + 2);
        EXTREMA();
      }
      else if (!line.empty()) std::cerr << "rfprobe: unknown command '" << line << "'\n";
    }
  } catch (const Program_Stop& stop) {
    exit_code = stop.exit_code;
  }
  CLOSE_RESULT_FILES();
  return exit_code;
}
