// Manage_Display: the redraw of the main display and its panels.
#pragma once

// Redraws the current outputs: carries out the panel command in Command_Code (21 layout,
// 22 freeze, 25 take over the window), prepares the pictures of the display mode, clears
// the window when every panel is drawn anew, and draws each picture into the next panel.
void MANAGE_DISPLAY();

// Divides the page into the panel grid (when it has several panels, or always with
// force_division), grown to hold every result file, and starts a new page.
void DIVIDE_DISPLAY(bool force_division);

// The panel-layout form (command 21): counts below 1 and texts that are no whole number keep
// the old count.
void RESET_PANELS();

// Switches the frozen panel on, with the panel picked in a pop-up window, or off (command 22).
void SELECT_FROZEN_PANEL();

// Fits the page to the displayed field with its wedge and text margins, inside the frame.
void AUTOMATIC_RESIZE();

// Switches the automatic resize (command 26).
void TOGGLE_AUTORESIZE();

// A new page whose next panel is (1, 1).
void GO_TO_NEXT_PAGE();
