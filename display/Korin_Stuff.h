// Korin_Stuff: the display program's window housekeeping, cursor picks in display cells and
// the window-to-page factors, over the client library.
#pragma once

// 1 select and show the main display (the first window); 2 close the current window, then as
// 1; 3 select the main display; 4 end the connection.
void KORIN_CLOSE(int mode);

// Picks in the main display, converted to display cells of the zoom window: 1 a point,
// 2 a rectangle, 3 a line, 4 a rectangle, its diagonal and a rubber band from its first
// corner. Results not passed are not written.
void KORIN_CURSOR(int mode, int& ix1, int& iy1, int* ix2 = nullptr, int* iy2 = nullptr, int* ix3 = nullptr,
                  int* iy3 = nullptr);

// Frame_Factors from the view's client area and the page resolution.
void KORIN_FRAME_SIZE();
