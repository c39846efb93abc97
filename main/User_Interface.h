// User_Interface: waiting for the next command of the command loop.
#pragma once

#include <iosfwd>

// Sets Time_Step_Command and Command_Code to 0 and waits until one of them is nonzero:
// keys typed into the main display (GUI_Active false) or command triples of the front end
// on standard input (GUI_Active true). The end of the front end's input gives code 129; a
// word that is not a number is reported and ends the program as code 129 does, with exit
// code 1.
void USER_INTERFACE();

// The front end's part, reading from in (tests pass their own stream).
void READ_FRONT_END_COMMAND(std::istream& in);
