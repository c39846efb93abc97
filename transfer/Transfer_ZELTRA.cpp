// Transfer_ZELTRA: the driver of the conversion mode (-t): reads the options and names out
// of the command words, runs one mode, returns. Also the module's small text routines.
//
// Reads: the command words. Writes: console lines; the modes write the files.
// Global records: Transfer_Options, Rescale_Ratio, Result_To_Kick_Out, Results_To_Kick_Out,
// Temporary_Directory, Transfer_Files, Transfer_Parse (filled here).

#include "transfer/Transfer_ZELTRA.h"

#include <cerrno>   // errno
#include <cstring>  // std::strerror
#include <limits>
#include <string>

#include "records/Allocation_Checks.h"
#include "records/Console.h"
#include "result_files/Check_File.h"
#include "result_files/File_Replacement.h"
#include "result_files/Working_File.h"
#include "transfer/Module_Rescale.h"

namespace {

const char* const Synopsis[] = {
      " Synopsis:",
      " ---------",
      "  Display_ZELTRA -t [options] [-i]Input_File [-o]Output_File",
      "   (-i and -o can be omitted if file names are specified in that order)",
      "   (--Transfer_ZELTRA may stand for -t)",
      "  Options:",
      "   -a:   input file in ASCII",
      "   -d:   input file in double-precision",
      "   -e:   input file in binary",
      "   -y:   input file compressed",
      "   -b:   output file in binary",
      "   -f:   output file in double-precision",
      "   -c:   output file in ASCII",
      "   -z:   output file compressed",
      "   -g:   input is a geoF file",
      "   -w:   transfer whole set of results",
      "   -k:   remove output from result file",
      "         (ex.: -k5 to remove fifth output)",
      "   -l:   remove outputs from result file",
      "         (ex.: -l5 -l7 to remove fifth and seventh outputs)",
      "   -r:   rename whole set of results from UNIX's naming to Windows'",
      "        (or vice-versa)",
      "   -m:   compute matrix composition of an alloy simulation",
      "         (ex.: -m -iSimulation.conc1 -iSimulation.conc2 -oSimulation.conc3)",
      "   -1:   compute matrix composition: composition in fraction",
      "   -100: compute matrix composition: composition in percent",
      "   --Rescale:n/p rescale result  by ratio 'n/p'",
      "   --Output_Times list the output times of the input file",
      "         (also --Output_Time, --Times, --Time)",
      "   --Temp:folder/ place the working files in folder/",
      "  Default:",
      "   - 'single precision' binary input file (not compressed)",
      "   - output file in ASCII (not compressed)"

};

bool starts_with_any(std::string_view word, std::initializer_list<std::string_view> prefixes) {
  for (auto prefix : prefixes)
    if (word.substr(0, prefix.size()) == prefix) return true;
  return false;
}

[[noreturn]] void uninterpretable() {
  CONSOLE_EMPTY();
  CONSOLE_LINE("Unable to interpret input!");
  CONSOLE_EMPTY();
  STOP_PROGRAM();
}

bool holds_letter(std::string_view word, char lower) {
  for (char c : word)
    if (c == lower || c == lower - 'a' + 'A') return true;
  return false;
}

// A file name: the first two plain names are inputs, the third the output.
void take_name(const std::string& name, bool output_allowed) {
  auto& files = Transfer_Files;
  auto& parse = Transfer_Parse;
  if (parse.Name_Count < 2)
    files.Input_Files[static_cast<std::size_t>(parse.Name_Count)] = name;
  else if (parse.Name_Count == 2 && output_allowed)
    files.Output_File = name;
  else
    uninterpretable();
  ++parse.Name_Count;
}

// An option word: every letter of the table found anywhere in it takes effect, in order.
void option_word(const std::string& word) {
  auto& options = Transfer_Options;
  auto& parse = Transfer_Parse;
  if (holds_letter(word, 'a')) options.Input_Format = Transfer_Ascii;
  if (holds_letter(word, 'b')) options.Output_Format = Transfer_Binary_Single;
  if (holds_letter(word, 'c')) options.Output_Format = Transfer_Ascii;
  if (holds_letter(word, 'f')) options.Output_Format = Transfer_Binary_Double;
  if (holds_letter(word, 'd')) options.Input_Format = Transfer_Binary_Double;
  if (holds_letter(word, 'e')) options.Input_Format = Transfer_Binary_Single;
  if (holds_letter(word, 'g')) options.Geometry_Input = true;
  if (holds_letter(word, 'w')) options.Whole_Set = true;
  if (holds_letter(word, 'y')) options.Input_Compressed = true;
  if (holds_letter(word, 'z')) options.Output_Compressed = true;
  if (holds_letter(word, 'k')) {
    parse.Remove_One = true;
    Result_To_Kick_Out = READ_NUMBER(word);
    parse.Remove_One_Number = Result_To_Kick_Out;
  }
  if (holds_letter(word, 'l')) {
    parse.Remove_List = true;
    Result_To_Kick_Out = READ_NUMBER(word);
    EXTRA_RESULT_TO_KICK_OUT(Result_To_Kick_Out);
  }
  if (holds_letter(word, 'r')) {
    parse.Rename = true;
    options.Whole_Set = true;
  }
  if (holds_letter(word, 'm')) parse.Matrix = true;
  if (word.find("100") != std::string::npos)
    options.Fraction = false;
  else if (word.find('1') != std::string::npos)
    options.Fraction = true;
}

// The geometry file of a result file: "_geoF.zlt" after the last "_" of a ".zlt" name,
// else ".geoF" after the last "." once a final ".gz" and ".zip" are dropped.
std::string geometry_of(std::string name) {
  if (name.find(".zlt") != std::string::npos) {
    const std::size_t cut = name.rfind('_');
    return (cut == std::string::npos ? std::string() : name.substr(0, cut)) + "_geoF.zlt";
  }
  for (std::string_view ending : {".gz", ".zip"})
    if (name.size() > ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
      name.resize(name.size() - ending.size());
  const std::size_t cut = name.rfind('.');
  return (cut == std::string::npos ? std::string() : name.substr(0, cut)) + ".geoF";
}

}  // namespace

void CREATE_WORKING_COPY(Working_File& copy, std::size_t slot) {
  if (copy.CREATE(Temporary_File_Names[slot])) return;
  const std::string reason = std::strerror(errno);
  const std::string& name = Temporary_File_Names[slot];
  const std::size_t slash = name.rfind('/');
  TRANSFER_STOP({" Unable to create a working file in: " + (slash == std::string::npos ? "." : name.substr(0, slash + 1)),
                 " (" + reason + ")"});
}

void UNABLE_TO_OPEN(const std::string& name, const std::string& reason) {
  CONSOLE_EMPTY();
  CONSOLE_LINE(" Unable to open: " + name);
  CONSOLE_LINE(" (" + reason + ")");
  CONSOLE_EMPTY();
  STOP_PROGRAM();
}

void BEGIN_REPLACEMENT(File_Replacement& target, const std::string& name) {
  if (!target.BEGIN(name)) UNABLE_TO_OPEN(name, target.REASON());
}

void COMMIT_REPLACEMENT(File_Replacement& target) {
  if (!target.COMMIT()) TRANSFER_STOP({" Unable to write to file: " + target.NAME(), " (" + target.REASON() + ")"});
}

void TRANSFER_STOP(std::initializer_list<std::string> lines) {
  CONSOLE_EMPTY(2);
  for (const auto& line : lines) CONSOLE_LINE(line);
  CONSOLE_EMPTY(2);
  STOP_PROGRAM();
}

void REPORT_NOT_FOUND(const std::string& name, bool framed) {
  if (framed) CONSOLE_EMPTY();
  CONSOLE_LINE(" File: " + name + " not found");
  if (framed) CONSOLE_EMPTY();
  Transfer_Parse.Run_Failed = true;
}

std::string FORMAT_WORD(std::int32_t format) {
  switch (format) {
    case Transfer_Binary_Single:
      return "binary";
    case Transfer_Ascii:
      return "ASCII";
    case Transfer_Binary_Double:
      return "double precision";
    default:
      return "";
  }
}

std::int32_t READ_NUMBER(std::string_view text) {
  const std::string trimmed = NAME_WITHOUT_BLANKS(text);
  std::size_t s = trimmed.find_first_of("0123456789");
  std::int64_t value = 0;
  bool any = false;
  // A sign before the number ("-k-1") is no digit: reading past it would take the number's
  // magnitude. The word's own leading dash ("-3k") is not a sign.
  if (s != std::string::npos && s > 1 && (trimmed[s - 1] == '-' || trimmed[s - 1] == '+')) s = std::string::npos;
  for (std::size_t i = s; s != std::string::npos && i < trimmed.size() && trimmed[i] >= '0' && trimmed[i] <= '9'; ++i) {
    value = value * 10 + (trimmed[i] - '0');
    any = true;
    if (value > std::numeric_limits<std::int32_t>::max()) {
      any = false;
      break;
    }
  }
  if (!any) TRANSFER_STOP({"Unable to interpret input " + trimmed});
  return static_cast<std::int32_t>(value);
}

void SMART_CONCATENATION(std::string& text, std::string_view addition, std::size_t field_length) {
  const std::string trimmed = NAME_WITHOUT_BLANKS(text);
  std::string result = trimmed;
  if (trimmed.empty() || trimmed.back() != '(') result += ' ';
  result += addition;
  if (result.size() > field_length) result.resize(field_length);
  text = result;
}

void TRANSFER_ZELTRA(const std::vector<std::string>& words) {
  CONSOLE_EMPTY();
  CONSOLE_LINE(" Transfer ZELTRA");
  if (words.size() < 2) {
    CONSOLE_EMPTY();
    for (const char* line : Synopsis) CONSOLE_LINE(line);
    CONSOLE_EMPTY();
    STOP_PROGRAM();
  }
  Transfer_Options = {};
  Rescale_Ratio = {};
  Transfer_Files = {};
  Transfer_Parse = {};
  Results_To_Kick_Out.clear();
  auto& options = Transfer_Options;
  auto& files = Transfer_Files;
  auto& parse = Transfer_Parse;

  for (const std::string& given : words) {
    const std::string word = NAME_WITHOUT_BLANKS(given);
    if (starts_with_any(word, {"--"})) {
      if (starts_with_any(word, {"--Temp:", "--temp:", "--TEMP:"})) Temporary_Directory = word.substr(word.find(':') + 1);
      if (starts_with_any(word, {"--ReScale:", "--Rescale:", "--rescale:", "--RESCALE:"})) {
        Rescale_Ratio.n = READ_NUMBER(std::string_view(word).substr(word.find(':')));
        const std::size_t slash = word.find('/');
        Rescale_Ratio.p = READ_NUMBER(slash == std::string::npos ? std::string_view(word)
                                                                 : std::string_view(word).substr(slash));
      }
      for (std::string_view times : {"--Times", "--Time", "--TIMES", "--TIME", "--Output_Times", "--Output_Time",
                                     "--Output_times", "--Output_time", "--OUTPUT_TIMES", "--OUTPUT_TIME"})
        if (word == times) parse.Times = true;
    } else if (starts_with_any(word, {"-i", "-I"})) {
      take_name(word.substr(2), false);
    } else if (starts_with_any(word, {"-o", "-O"})) {
      files.Output_File = word.substr(2);
    } else if (!starts_with_any(word, {"-"})) {
      take_name(word, true);
    } else {
      option_word(word);
    }
  }

  if (parse.Rename) parse.Remove_One = false;
  // -k and -l together: the single removal joins the list, so both are removed.
  if (parse.Remove_One && parse.Remove_List) {
    EXTRA_RESULT_TO_KICK_OUT(parse.Remove_One_Number);
    parse.Remove_One = false;
  }
  if (parse.Rename) CONSOLE_EMPTY();
  const bool rescale_typed = Rescale_Ratio.n != 1 || Rescale_Ratio.p != 1;
  if (rescale_typed && options.Output_Format == Transfer_Binary_Double)
    TRANSFER_STOP({" 'Rescaling' not supported for double-precisions results!"});
  if (rescale_typed) {
    // A term of 0 has no meaning as a ratio (and 0/0 cannot be reduced).
    if (Rescale_Ratio.n < 1 || Rescale_Ratio.p < 1) uninterpretable();
    REDUCE_SCALE_RATIO(Rescale_Ratio);
  }
  if (parse.Name_Count == 0) uninterpretable();
  if (files.Output_File == "No_File")
    files.Output_File = parse.Name_Count >= 2 ? files.Input_Files[1] : files.Input_Files[0];
  files.Working_Input = files.Input_Files[0];
  SET_TEMPORARY_FILE_NAMES();

  if (options.Whole_Set) {
    if (parse.Matrix) uninterpretable();
    TRANSFER_WHOLE_SET();
  } else if (parse.Matrix) {
    COMPUTE_MATRIX_COMPOSITION(files.Input_Files, files.Output_File);
  } else if (parse.Remove_One) {
    KICK_OUT_OUTPUT(files.Working_Input, Result_To_Kick_Out, true);
  } else if (parse.Remove_List) {
    SEQUENTIAL_KICK_OUT(files.Working_Input);
  } else if (parse.Times) {
    LIST_OUTPUT_TIMES(files.Working_Input);
  } else {
    files.Geometry_File.clear();
    if (!options.Geometry_Input && (Rescale_Ratio.n != 1 || Rescale_Ratio.p != 1))
      files.Geometry_File = geometry_of(NAME_WITHOUT_BLANKS(files.Working_Input));
    TRANSFER_FILE(files.Working_Input, files.Output_File, Rescale_Ratio, files.Geometry_File);
  }
  if (parse.Rename) CONSOLE_EMPTY();
  // The mode reported a missing file and did nothing: the run failed.
  if (parse.Run_Failed) STOP_PROGRAM(1);
}
