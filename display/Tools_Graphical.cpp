// Tools_Graphical: closing the pop-up window.
//
// Reads and writes Graphics_Units.Unit_Pop_Up; selects the main display.

#include "display/Tools_Graphical.h"

#include <cpgplot.h>

#include "main/Globals.h"

void CLOSE_POP_UP() {
  auto& units = Graphics_Units;
  if (units.Unit_Pop_Up > 0) {
    cpgslct(units.Unit_Pop_Up);
    cpgclos();
    units.Unit_Pop_Up = No_Device;
  }
  SELECT_PGPLOT_UNIT(units.Unit_Display);
}
