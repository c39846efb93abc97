// Command_Line_Help: the help of the display mode and the acknowledgments.
//
// Reads: nothing. Writes: console lines. Global records: none.

#include "main/Command_Line_Help.h"

#include <initializer_list>
#include <string>
#include <string_view>

#include "records/Console.h"

namespace {

constexpr std::string_view Version = Display_Version;

void lines(std::initializer_list<std::string_view> texts) {
  for (std::string_view text : texts) CONSOLE_LINE(text);
}

}  // namespace

void ACKNOWLEDGMENTS() {
  CONSOLE_EMPTY();
  lines({" Acknowledgments:",
         " ----------------",
         "  Display ZELTRA relies on the following libraries:",
         "   - PGPlot (https://sites.astro.caltech.edu/~tjp/pgplot/)",
         "     for graphical operations",
         "   - Korin (README.md of this distribution)",
         "     is used as a screen driver for PGPlot",
         "   - PNG library (http://www.libpng.org/pub/png/libpng.html)",
         "     for images output",
         "   - Z library (https://zlib.net/)",
         "     is used for compression, by the PNG library",
         "     and compressing result files",
         "  DP_ZELTRA, the graphical user interface to Display ZELTRA",
         "   - is written in Perl (https://www.perl.org/),",
         "   - uses extensively the Perl/Tk module (https://metacpan.org/dist/Tk)",
         "   - and is 'packed' as an executable with PAR (https://metacpan.org/dist/PAR)"});
  CONSOLE_EMPTY();
}

void COMMAND_LINE_HELP() {
  CONSOLE_EMPTY();
  CONSOLE_LINE(" (version " + std::string(Version) + ")");
  CONSOLE_EMPTY();
  ACKNOWLEDGMENTS();
  lines({" Synopsis:", " ---------"});
  CONSOLE_EMPTY();
  CONSOLE_LINE("  Display_ZELTRA [options] Solution_File(s)");
  CONSOLE_EMPTY();
  lines({"  Options:",
         "   -a:  read results in ASCII",
         "   -b:  read results in binary (single-precision)",
         "   -d:  read results in binary (double-precision)",
         "   -z:  reads compressed results",
         "   -4:  'four-folded' symmetry",
         "   -3:  'three-folded' symmetry",
         "   -f:  set min./max. from first time-step",
         "   -l:  set min./max. from last time-step",
         "   -m:  multiple results: specify the number of result files",
         "        (integer value following 'm', ex.: -m7)",
         "   -p:  divide display in panels, row major",
         "        (two integers separated by 'x' following 'p', ex.: -p2x3)",
         "   -q:  divide display in panels, column major (ex.: -q2x3)",
         "   -g:  read run-time instructions from standard input",
         "        (to allow piping from GUI device)",
         "   -w9: correction for width of colour-scale (Win95, Win98)",
         "   -k:  automatic resizing",
         "   -t:  Transfer ZELTRA (convert result file)"});
  CONSOLE_EMPTY();
  lines({"  'Advanced' settings:",
         "   --Skip:n to display only 1 point from 'n'",
         "   --Symmetry:[1|2] 'symmetry'",
         "     with 'mirror' (1) or 'translation' (2)",
         "   --Translation: identical to '--Symmetry:2'",
         "   --Min:X specify 'global' minimum",
         "   --Max:X specify 'global' maximum",
         "   --Animate: animate to the end",
         "   --Last: go to the last output",
         "   --Scale: display length scale",
         "   --Miller: activate 'Miller indices display mode'",
         "   --1D: activate 'enhanced 1D' (for 'very thin' 1D results)",
         "   --Vector: activate 'Vector field display mode'",
         "   --Vector_3D: activate 'Vector field display mode' (3D)",
         "   --Help: print out this help",
         "   --Endian: 'Non-native' binary file",
         "   --No_GUI: disable 'GUI'"});
  CONSOLE_EMPTY();
  lines({"  Default:",
         "   - binary file single precision (not compressed)",
         "   - without four-folded symmetry",
         "   - automatic min./max from the whole file"});
}
