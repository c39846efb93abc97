// Probe_Curves: the one frame that the probes' curve plots share (scan point, front tracking,
// line scan): the device (a curve window or an image file), the page, the y-range, the frame,
// the texts, one polyline per curve, and the way back to the main display. What differs
// between the three plots travels in a Curve_Plot; the constants of the y-range rule and the
// fate of a window device follow the plot's kind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "probes/Probe_Position.h"

enum class Curve_Kind { Scan_Point, Front_Tracking, Line_Scan };

// The y-range rule's constants of one kind: ylo above Tc is padded no lower than 0; a padded
// range narrower than Tf is flat; flat data at zero reach up to U; otherwise the flat range
// runs from B x 0.9 (B is yhi when flat_from_top, else ylo) to yhi x 1.1.
struct Curve_Constants {
  float Tc, Tf, U;
  bool flat_from_top;
};
Curve_Constants CURVE_CONSTANTS(Curve_Kind kind);

struct Curve_Range {
  float low, up;
};
// The y-range of data from ylo to yhi (single precision throughout). A flat negative range
// comes out upright (low below up).
Curve_Range CURVE_RANGE(Curve_Kind kind, float ylo, float yhi);

// The x-range from the smallest to the largest abscissa; equal limits (or none) are widened,
// since the plotting library draws no frame between equal limits.
Curve_Range CURVE_X_RANGE(const std::vector<float>& abscissa);

// The smallest and largest of the values added; none added counts as all-zero data.
struct Value_Extent {
  float ylo = 0.0f, yhi = 0.0f;
  bool any = false;
  void ADD(float value);
};

// One polyline: x and y of the same length.
struct Curve {
  std::vector<float> x, y;
};

struct Curve_Plot {
  Curve_Kind kind = Curve_Kind::Line_Scan;
  bool window = true;          // a new curve window; false: the image file of Output_Settings
  std::string title;           // drawn after "\fr" at twice the character height
  std::string y_label, x_label;
  std::string time_text;       // drawn above the frame when not empty (line scan of one output)
  std::int32_t reference = 1;  // the result whose name heads the plot
  Probe_Position position;     // where the data were taken: the coordinate labels
  std::vector<float> abscissa; // every abscissa of the x-range
  Value_Extent extent;         // the values of the y-range
  std::vector<Curve> curves;   // drawn in order, one colour, one line style
};

// The y-axis label of the scan point and the line scan for a processing mode (0, 1, 2).
std::string FIELD_VALUE_LABEL(std::int32_t processing_mode);

// The coordinate labels above the frame, from the probe's line and plane: three ("X =", "Y =",
// "Z =", the line's start) for the scan point and front tracking, six (start X, end X, start Y,
// end Y, start Z, end Z) for the line scan; each a text and the number in four columns. None
// for a plane direction other than 1 to 3.
std::vector<std::string> COORDINATE_LABELS(Curve_Kind kind, const Probe_Position& at);

// Draws the plot. Opening fails: "Unable to open secondary display!" between empty lines and
// the main display selected. A window of the scan point or front tracking stays open as the
// curve window (Unit_Curves; an earlier one is closed first); a line-scan window stays on
// screen with its picture but keeps no device. A file is reported (" File: ... created", for
// PostScript also "  ('prettier output')") and closed. Ends with the main display selected.
void DRAW_PROBE_CURVES(const Curve_Plot& plot);
