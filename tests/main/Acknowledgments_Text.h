// Acknowledgments_Text.h - the acknowledgments as the program writes them, for transcripts.
#pragma once

#include <string>

inline const std::string Acknowledgments_Text =
    "\n Acknowledgments:\n ----------------\n  Display ZELTRA relies on the following libraries:\n"
    "   - PGPlot (https://sites.astro.caltech.edu/~tjp/pgplot/)\n     for graphical operations\n"
    "   - Korin (README.md of this distribution)\n     is used as a screen driver for PGPlot\n"
    "   - PNG library (http://www.libpng.org/pub/png/libpng.html)\n     for images output\n"
    "   - Z library (https://zlib.net/)\n     is used for compression, by the PNG library\n"
    "     and compressing result files\n  DP_ZELTRA, the graphical user interface to Display ZELTRA\n"
    "   - is written in Perl (https://www.perl.org/),\n"
    "   - uses extensively the Perl/Tk module (https://metacpan.org/dist/Tk)\n"
    "   - and is 'packed' as an executable with PAR (https://metacpan.org/dist/PAR)\n\n";
