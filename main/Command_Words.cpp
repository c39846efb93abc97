// Command_Words: where the command words come from (arguments, the lines of -n, or the
// line typed at the prompt) and how a word is unquoted.
//
// Reads: the arguments and standard input. Writes: the prompt and the help on the console.
// Global records: none.

#include <string_view>

#include "main/Command_Line_Help.h"
#include "main/Command_Line_Parts.h"
#include "main/Option_Numbers.h"
#include "records/Allocation_Checks.h"
#include "records/Console.h"
#include "records/Read_Input_F.h"

namespace {

bool is_lone_geometry(const std::vector<std::string>& arguments) {
  if (arguments.size() != 1) return false;
  const std::string& a = arguments.front();
  return a.find("_GEOF.ZLT") != std::string::npos || a.find("_geoF.zlt") != std::string::npos;
}

// The count of a lone -n<count> argument; 0 when there is none (or it is below 1).
std::int32_t standard_input_count(const std::vector<std::string>& arguments) {
  if (arguments.size() != 1) return 0;
  const std::string& a = arguments.front();
  if (!(a.starts_with("-n") || a.starts_with("-N"))) return 0;
  return READ_INTEGER_INPUT(a, 'n');
}

// Up to count lines, one word each; fewer when the input ends first (nothing is set aside
// for lines that do not come).
std::vector<std::string> lines_as_words(std::int32_t count, std::istream& in) {
  std::vector<std::string> words;
  std::string line;
  while (static_cast<std::int32_t>(words.size()) < count && READ_STRING_F(line, in))
    CHECKED_ALLOCATION("Cmd_Instr", [&] { words.push_back(line); });
  return words;
}

std::vector<std::string> split_at_blanks(std::string_view line) {
  std::vector<std::string> words;
  std::size_t pos = 0;
  while ((pos = line.find_first_not_of(' ', pos)) != std::string_view::npos) {
    const std::size_t end = line.find(' ', pos);
    words.emplace_back(line.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
    pos = end;
  }
  return words;
}

std::vector<std::string> prompted_words(std::istream& in) {
  CONSOLE_EMPTY();
  CONSOLE_LINE("Command line parameters?");
  CONSOLE_EMPTY();
  CONSOLE_FLUSH();
  std::string line;
  if (!READ_STRING_F(line, in)) {
    CONSOLE_EMPTY();
    CONSOLE_LINE("Input Error: end of input");
    CONSOLE_EMPTY();
    STOP_PROGRAM(1);
  }
  return split_at_blanks(line);
}

}  // namespace

std::string_view FILE_PART(std::string_view path) {
  const auto separator = path.find_last_of("/\\");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string UNQUOTED_WORD(std::string_view word) {
  const auto last = word.find_last_not_of(' ');
  word = last == std::string_view::npos ? std::string_view{} : word.substr(0, last + 1);
  if (!word.empty() && word.front() == '"' && word.back() == '"') {
    word.remove_prefix(1);
    if (!word.empty()) word.remove_suffix(1);
  }
  return std::string(word);
}

Command_Words GATHER_COMMAND_WORDS(const std::vector<std::string>& arguments, std::istream& in) {
  Command_Words gathered;
  const bool lone_geometry = is_lone_geometry(arguments);
  const std::int32_t count = lone_geometry ? 0 : standard_input_count(arguments);
  if (lone_geometry) {
    const std::string& a = arguments.front();
    gathered.start_folder = a.substr(0, a.size() - FILE_PART(a).size());
  }
  if (count >= 1)
    gathered.words = lines_as_words(count, in);
  else if (arguments.empty() || lone_geometry)
    gathered.words = prompted_words(in);
  else
    gathered.words = arguments;
  if (gathered.words.empty()) {
    COMMAND_LINE_HELP();
    STOP_PROGRAM(1);
  }
  return gathered;
}
