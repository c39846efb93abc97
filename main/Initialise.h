// Initialise: start-up of the display, between the command line and the command loop.
#pragma once

// Writes the start-up values of the display's records, all at once, before the result
// set is opened: colour scale 1 with contrast 1 and brightness 0.5, annotations on the
// right with wedge thickness 3, no overlays, images through "/GIF", Command_Code 23 and
// Time_Step_Command 1 (read the first output and redraw it completely).
void DEFAULT_SETTINGS();

// The start-up of the display: the graphics window (at "--Position:" when given) with its
// please-wait page and options, the start-up values, the result set, the per-file arrays,
// the colour-scale limits, the page and drawing state, the acknowledgments and, in keyboard
// mode, the key summary. Leaves Command_Code 23 and Time_Step_Command 1.
void INITIALISE();

// The summary of the keyboard commands that apply to the loaded case, on the console.
void SUMMARY_SHORTCUTS();
