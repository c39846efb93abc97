// Display_Reachable: whether a real display can be reached, asked before any Qt
// application exists (Qt aborts the program when its platform cannot connect).
#pragma once

// True when the X display named by DISPLAY opens.
bool X_DISPLAY_OPENS();

// True when the Wayland socket named by WAYLAND_DISPLAY (relative names in XDG_RUNTIME_DIR)
// accepts a connection.
bool WAYLAND_DISPLAY_ACCEPTS();
