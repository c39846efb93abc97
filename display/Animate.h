// Animate: steps the display through the outputs of every loaded result file, each picture
// held for at least the display time, and the form of the animation settings.
#pragma once

#include <array>

#include "display/Tools_Graphical.h"

// Command_Code 18 (a number of loops), 19 (up to the last output) or 20 (the settings form);
// other codes do nothing.
void ANIMATE();

// The animation itself, ended by the rule of Command_Code 18 or 19; leaves Command_Code at 23
// (a redraw of the output reached last) and Time_Step_Command at 1.
void ANIMATION_RUN();

// The settings form's two fields as they start: the display time in five characters with two
// decimals, the number of loops as a five-character integer.
std::array<Text_Field, 2> ANIMATION_SETTINGS_FIELDS();
