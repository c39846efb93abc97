// Display_Choice.h - which Qt platform kornd runs on, decided before the application exists.
//
// With QT_QPA_PLATFORM set, Qt's choice stands. Otherwise kornd needs a display: an X display
// named by DISPLAY that opens, or a Wayland socket named by WAYLAND_DISPLAY that accepts. With
// neither it runs offscreen (QT_QPA_PLATFORM=offscreen) and says so once on standard error, so
// that a client on a machine without a display still draws. Changes: QT_QPA_PLATFORM.
#pragma once

// Returns true when it chose the offscreen platform (and said so).
bool RUN_OFFSCREEN_WITHOUT_DISPLAY();
