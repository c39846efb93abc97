// Key_Commands: the keyboard grammar of the command loop, from typed characters (one, two,
// or four for c 0 and two digits) to a time-step move or a command code.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

// What one command of typed characters asks for. Both move and code 0: the characters
// matched nothing and were dropped.
struct Key_Command {
  std::int32_t move = 0;  // Time_Step_Command
  std::int32_t code = 0;  // Command_Code
  std::optional<std::int32_t> colour_scale_choice;   // c and digits (0 when c 0 was dropped)
  std::optional<std::int32_t> isoline_count_choice;  // i and a digit
};

// Reads the characters of one command through next_character (a left click comes as 'A',
// a right click as 'X', no character as NUL) and decides on them. Reads no character past
// the one that completes or drops the command.
Key_Command DECODE_KEY_COMMAND(const std::function<char()>& next_character);
