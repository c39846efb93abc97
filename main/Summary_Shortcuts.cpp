// Summary_Shortcuts: the key summary of the keyboard mode.
//
// Reads: Number_Of_Solutions, Result_Geometry.AnzY, Number_Of_Loops, GUI_Started.
// Writes: console lines. Changes no state.

#include <initializer_list>
#include <string>
#include <string_view>

#include "main/Initialise.h"
#include "records/Console.h"
#include "records/Globals.h"

namespace {

void lines(std::initializer_list<std::string_view> texts) {
  for (std::string_view text : texts) CONSOLE_LINE(text);
}

// A group of lines after an empty line.
void group(std::initializer_list<std::string_view> texts) {
  CONSOLE_EMPTY();
  lines(texts);
}

// n in a field of two characters; two asterisks when it does not fit.
std::string two_characters(std::int32_t n) {
  if (n < -9 || n > 99) return "**";
  std::string text = std::to_string(n);
  return text.size() < 2 ? " " + text : text;
}

}  // namespace

void SUMMARY_SHORTCUTS() {
  const std::int32_t n = Result_Set.Number_Of_Solutions;
  group({" 'Non-graphical interface':", " --------------------------"});
  group({" Change time-step:", "  Key n goes to next time-step", "  Key p goes to previous time-step",
         "  Key l goes to the last time-step", "  Key f goes to the first time-step",
         "  Keys j+s go to given time-step, specified by its number", "  Keys j+t report output time(s)",
         "  Keys j+g goes to given time-step, with graphical selector"});
  if (n > 1)
    lines({" 'Dissociated' operation, on 'some' file(s) only, (starting with key m):",
           "  Keys m+n go to next time-step (dissociated)", "  Keys m+p go to previous time-step (dissociated)",
           "  Keys m+l go to last time-step (dissociated)", "  Keys m+f go to first time-step (dissociated)",
           "  Keys m+s go to given time-step, specified by its number (dissociated)",
           "  Keys m+t report output time(s) (dissociated)"});
  group({" Scale operations (starting with key s):", "  Keys s+m set user defined minimum and maximum",
         "  Keys s+r set user defined range min. and max. set as median value and range",
         "  Keys s+d set scale min. and max. to local min. and max. from display",
         "  Keys s+g revert to global min. and max.", "  Keys s+f re-read whole file to find out global min. and max."});
  CONSOLE_EMPTY();
  CONSOLE_LINE(" Colour scale operations (starting with key c):");
  CONSOLE_LINE("  Keys c+1,...," + two_characters(11) + " select different colour scales");
  lines({"  Keys c+l loop through available colour scales", "  Keys c+m loop backwards through available colour scales",
         "  Keys c+f fiddle with contrast and brightness", "  Keys c+r reset contrast and brightness",
         "  Keys c+i 'inverse' colour scale",
         "  Keys c+c cut off minimum and maximum (replacing them with black and white)",
         "  Keys c+s toggle on and off stepwise colour scale",
         "  Keys c+u user-defined number of steps for stepwise colour scale",
         "  Keys c+t toggle on and off automatic number of steps", "           (for stepwise colour scale)",
         "  Keys c+k toggle on and off 'random' stepwise colour scale",
         "  Keys c+p set 'seed' for the initialisation of the pseudo-random",
         "           number generator for 'random' stepwise colour scale"});
  CONSOLE_EMPTY();
  CONSOLE_LINE(" Animation operations (starting with key a):");
  CONSOLE_LINE("  Keys a+r animate (loops" + two_characters(Display_Settings.Number_Of_Loops) +
               " times over all time-steps)");
  lines({"  Keys a+e animate until the end", "  Keys a+s user-defined settings",
         "           (display time for each time-step and number of loops)"});
  group({" View operations (starting with key v):", "  Keys v+p set the number of panels"});
  if (n == 1)
    lines({"  Keys v+f 'freeze' display to a given panel, i.e. update only this one",
           "           (available only for single result file)"});
  lines({"  Keys v+r replot", "  Keys v+q toggle on and off 'auto-replot'",
         "  Keys v+s resize window ('validate' user's changes)", "  Keys v+z toggle on and off 'auto-resize'",
         "  Keys v+a toggle on and off display of annotations",
         "  Keys v+o change 'orientation' of annotations (left/right or bottom/top)",
         "  Keys v+t increase 'thickness' of colour-scale", "  Keys v+w toggle on and off setting background to white",
         "  Keys v+1 toggle 'enhanced 1D' display on and off",
         "  Keys v+k toggle display of 'temperature at the bottom' on and off"});
  group({" Display operations (starting with key d):", "  Keys d+l toggle on and off display of length scale",
         "  Keys d+m set length to be displayed (for length scale)",
         "  Keys d+f flip vertically (or horizontally) display of length scale", "  Keys d+z zoom in",
         "  Keys d+y zoom out (reset zoom options)", "  Keys d+x zoom 'back' (revert to previous zoom options)",
         "  Keys d+3 toggle on and off 'three-folded symmetry'", "  Keys d+4 toggle on and off 'four-folded symmetry'",
         "  Keys d+9 toggle on and off 'nine-folded symmetry'",
         "  Keys d+c switch between 'translation' and 'mirror' 'symmetry'",
         "  Keys d+g toggle on and off  display of grid", "  Keys d+h user-defined number of grid lines"});
  if (n == 3) CONSOLE_LINE("  Keys d+t toggle on and off 'RGB triangle' display mode");
  CONSOLE_LINE("  Keys d+i toggle on and off 'Miller Indices' display mode");
  if (n == 2) CONSOLE_LINE("  Keys d+d toggle on and off display of 'difference' between two results");
  lines({"  Keys d+n toggle on and off 'logarithmic display' of result(s)",
         "  Keys d+a toggle on and off use of absolute value of results",
         "  Keys d+r toggle on and off use of display of 'raster'"});
  if (n >= 3) {
    group({" 'Vector field display' operations (starting with key b):",
           "  Keys b+2 toggle on and off 'vector field display' (2D mode)"});
    if (n >= 4) CONSOLE_LINE("  Keys b+3 toggle on and off 'vector field display' (3D mode)");
    lines({"  Keys b+s to modify 'vector field display' settings",
           "  Keys b+x to toggle on and off display of the 'vector scale'", "  Keys b+b to loop through vectors' colours"});
  }
  group({" Isolines operations (starting with key i):", "  Keys i+d toggle on and off display of isolines",
         "  Keys i+l toggle on and off display of isolines' labels", "  Keys i+1,...,9 add automatic isolines",
         "  Keys i+n add user-defined number of automatic isolines", "  Keys i+a add an isoline",
         "  Keys i+r remove an isoline", "  Keys i+s remove all isolines",
         "  Keys i+c toggle on and off display of contours (isolines only)", "  Keys i+v print isoline values",
         "  Keys i+b loop through isolines' colours", "  Keys i+w write 'contour' coordinates (ASCII)",
         "  Keys i+x write 'contour' outputs"});
  if (Result_Geometry.AnzY > 1)
    group({" 3D operations (starting with key 3):",
           "  Keys 3+x set YZ cutting plane (perpendicular to simulation's X axis)",
           "  Keys 3+y set XZ cutting plane (perpendicular to simulation's Y axis)",
           "  Keys 3+z set XY cutting plane (perpendicular to simulation's Z axis)",
           "  Keys 3+u or 3+'+' move cutting plane 'up'", "  Keys 3+d or 3+'-' move cutting plane 'down'",
           "  Keys 3+s set cutting plane by coordinate"});
  group({" Output operations (starting with key o):", "  Keys o+i generate image output from current time-step",
         "  Keys o+j generate image outputs for each time-step", "  Keys o+l write 'larger' images",
         "  Keys o+h write 'high resolution' images", "  Keys o+a generate ASCII output from current time-step",
         "  Keys o+b generate ASCII outputs for each time-step",
         "  Keys o+r write 'raster' ASCII output from current time-step",
         "  Keys o+s write 'raster' ASCII outputs for each time-step", "  Keys o+c create image(s) of colour-scale(s)",
         "  Keys o+n toggle on and off numbering of batched outputs", "  Keys o+g select image driver: 'GIF'",
         "  Keys o+p select image driver: PostScript", "  Keys o+d accept default naming"});
  group({" 'Virtual EDX' operations (starting with key e):", "  Keys e+d select any line",
         "  Keys e+e display scans for all time-steps", "  Keys e+c display scans for selected time-steps",
         "  Keys e+x select a line parallel to display's X axis", "  Keys e+y select a line parallel to display's Y axis",
         "  Keys e+r replot selected line or point", "  Keys e+s rescan previously selected line",
         "  Keys e+n toggle on and off normalisation of Virtual EDX scans",
         "  Keys e+f start 'Front Tracking' on selected line", "  Keys e+p for 'Scan Point'"});
  group({" 'Virtual EDX' output operations (starting with key r):",
         "  Keys r+t generate text output for current time-step", "  Keys r+u generate text outputs for each time-step",
         "  Keys r+i generate scan position for current time-step",
         "  Keys r+j generate scan positions for each time-step", "  Keys r+c generate curve for current time-step",
         "  Keys r+d generate curves for each time-step", "  Keys r+s generate curve for all time-steps",
         "  Keys r+m generate curve for selected time-steps", "  Keys r+f generate 'Front Tracking' text output",
         "  Keys r+g generate 'Front Tracking' curve", "  Keys r+p generate 'Scan Point' text output",
         "  Keys r+q generate 'Scan Point' position", "  Keys r+r generate 'Scan Point' curve"});
  group({" 'Data information' operations (starting with key w):", "  Keys w+m to measure distance",
         "  Keys w+a to measure angle", "  Keys w+h to measure angle with horizontal",
         "  Keys w+v to measure angle with vertical", "  Keys w+c to display coordinates",
         "  Keys w+e to display extrema and average (from current display)",
         "  Keys w+d to compare results (difference from current display)",
         "  Keys w+f to compare results for all time-steps", "  Keys w+p pinpoint 'cell pointer'",
         "  Keys w+i write information about ZELTRA version and simulation date",
         "  Keys w+g write information about the 'geometry'"});
  group({"  Key k to erase current output from file(s)"});
  if (Command_State.GUI_Started) group({"  Key g to restore GUI"});
  group({"  Key h for these instructions"});
  group({"  Key x exits program"});
  CONSOLE_EMPTY();
}
