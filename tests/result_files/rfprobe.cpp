// rfprobe: drives the result-file readers from outside, for whole-process tests.
//
//   rfprobe [--format N] [--compressed] [--skip S] [--cut-direction D] [--cut-index I]
//           [--symmetry M] [--symmetry-type T] RESULT_FILE...
//
// Opens the case with READ_GEOF (the geometry file named after the first result file,
// "_geoF.zlt" or ".geoF", as the display derives it), reads the first output of every
// file as the display's first pass does, then runs one command per line of standard
// input: n next, p previous, f first, l last output of every file, d dump. A dump
// prints per file i "file <i> output <Time_Step_Number> of <Total_Time_Steps> time
// <Time>" and the file's display slot, one line per y = 1..NY, values x = 1..NX in
// "%.9g" separated by one blank. Console messages go to standard error. A fatal stop
// ends with exit code 1 after the working copies are deleted.

#include <unistd.h>  // access

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "main/Console.h"
#include "main/Globals.h"
#include "main/Tools_General.h"
#include "result_files/Read_GeoF.h"
#include "result_files/Read_Results.h"

namespace {

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
            << "               [--symmetry M] [--symmetry-type T] RESULT_FILE...\n";
  std::exit(2);
}

int number(const std::string& option, const char* text) {
  if (!text) usage(option + " needs a number");
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (*text == '\0' || *end != '\0' || value < INT32_MIN || value > INT32_MAX) usage(option + ": bad number " + text);
  return static_cast<int>(value);
}

void dump() {
  const auto& r = Result_Set;
  const auto& f = Display_Field;
  for (int i = 1; i <= r.Number_Of_Solutions; ++i) {
    std::printf("file %d output %d of %d time %.9g\n", i, r.Time_Step_Number(i), r.Total_Time_Steps(i),
                static_cast<double>(r.Time(i)));
    for (int y = 1; y <= f.Display_Size_Y; ++y) {
      for (int x = 1; x <= f.Display_Size_X; ++x)
        std::printf(x == 1 ? "%.9g" : " %.9g", static_cast<double>(f.Array_to_be_displayed(i, x, y)));
      std::printf("\n");
    }
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
      else if (!line.empty()) std::cerr << "rfprobe: unknown command '" << line << "'\n";
    }
  } catch (const Program_Stop& stop) {
    exit_code = stop.exit_code;
  }
  CLOSE_RESULT_FILES();
  return exit_code;
}
