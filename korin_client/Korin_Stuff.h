// Korin_Stuff: window housekeeping of the display program over the client library.
#pragma once

// Mode 1: the first window is selected and shown; 2: the current window is closed and the
// first selected and shown; 3: the first window is selected; 4: the connection ends.
void KORIN_CLOSE(int mode);

// Frame_Factor_X and Frame_Factor_Y from the size and resolution of the window's view.
void KORIN_FRAME_SIZE();
