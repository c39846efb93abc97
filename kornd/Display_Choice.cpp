// Display_Choice.cpp - see Display_Choice.h.
#include "kornd/Display_Choice.h"

#include <cstdio>   // std::fputs
#include <cstdlib>  // std::getenv, setenv

#include "platform/Display_Reachable.h"

bool RUN_OFFSCREEN_WITHOUT_DISPLAY() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform != nullptr && *platform != '\0') return false;  // Qt's own choice stands
  if (X_DISPLAY_OPENS() || WAYLAND_DISPLAY_ACCEPTS()) return false;
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::fputs("kornd: no display available, running offscreen\n", stderr);
  return true;
}
