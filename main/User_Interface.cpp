// User_Interface: keys through the cursor of the main display, or the front end's triples.
//
// Reads:  Command_State (GUI_Active, Cursor_X, Cursor_Y), standard input.
// Writes: Command_State (Command_Code, Time_Step_Command, Command_Key, Cursor_X, Cursor_Y,
//         Command_Argument, Colour_Scale_Choice, Isoline_Count_Choice); the console.

#include "main/User_Interface.h"

#include <cpgplot.h>

#include <iostream>
#include <string>

#include "main/Command_Loop.h"
#include "main/Key_Commands.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "records/Read_Input_F.h"

namespace {

char next_key() {
  auto& command = Command_State;
  char key = '\0';
  cpgcurs(&command.Cursor_X, &command.Cursor_Y, &key);
  command.Command_Key = key;
  return key;
}

void read_keys() {
  auto& command = Command_State;
  while (command.Time_Step_Command == 0 && command.Command_Code == 0) {
    const Key_Command typed = DECODE_KEY_COMMAND(next_key);
    command.Time_Step_Command = typed.move;
    command.Command_Code = typed.code;
    if (typed.colour_scale_choice) command.Colour_Scale_Choice = *typed.colour_scale_choice;
    if (typed.isoline_count_choice) command.Isoline_Count_Choice = *typed.isoline_count_choice;
  }
}

}  // namespace

void READ_FRONT_END_COMMAND(std::istream& in) {
  auto& command = Command_State;
  while (command.Time_Step_Command == 0 && command.Command_Code == 0) {
    // A triple cut short is not carried out: the values are taken only when all three read.
    std::int32_t move = 0, code = 0, argument = 0;
    std::string bad_word;
    switch (READ_INTEGERS_F(move, code, argument, in, &bad_word)) {
      case Triple_Status::Ok:
        break;
      case Triple_Status::End_Of_Input:
        command.Command_Code = Command::End_Program;
        return;
      case Triple_Status::Not_A_Number:
        CONSOLE_EMPTY();
        CONSOLE_LINE(" Unreadable command: " + bad_word);
        CONSOLE_EMPTY();
        END_SEQUENCE();
        STOP_PROGRAM(1);
    }
    command.Time_Step_Command = move;
    command.Command_Code = code;
    command.Command_Argument = argument;
    if (code == 6) command.Colour_Scale_Choice = argument;
    if (code == 61) command.Isoline_Count_Choice = argument;
  }
}

void USER_INTERFACE() {
  Command_State.Time_Step_Command = 0;
  Command_State.Command_Code = 0;
  if (Command_State.GUI_Active)
    READ_FRONT_END_COMMAND(std::cin);
  else
    read_keys();
}
