// Command codes of the display program: the same numbers come from keys typed into the
// graphics window and from the front end on standard input. Named here once; the command
// loop's table and the handlers switch on these names.
#pragma once

#include <cstdint>

namespace Command {

// Colour scales (COLOUR_SCALE, keys after c).
constexpr std::int32_t Select_Colour_Scale = 6;        // a digit, or 0 and two digits
constexpr std::int32_t Next_Colour_Scale = 7;          // l
constexpr std::int32_t Previous_Colour_Scale = 8;      // m
constexpr std::int32_t Contrast_Brightness = 9;        // f
constexpr std::int32_t Reset_Contrast_Brightness = 10; // r
constexpr std::int32_t Inverse_Colour_Scale = 11;      // i
constexpr std::int32_t Cut_Off_Colours = 12;           // c
constexpr std::int32_t Stepwise_Colour_Scale = 13;     // s
constexpr std::int32_t Number_Of_Steps = 14;           // u
constexpr std::int32_t Automatic_Steps = 15;           // t
constexpr std::int32_t Random_Colours = 16;            // k
constexpr std::int32_t Random_Seed = 17;               // p

// Panels and the page (MANAGE_DISPLAY and its module).
constexpr std::int32_t Panel_Layout = 21;              // v+p
constexpr std::int32_t Freeze_Panel = 22;              // v+f
// The full redraw on a fresh page (v+r); handlers set it when the next redraw must start anew.
constexpr std::int32_t Replot = 23;
constexpr std::int32_t Take_Over_Window = 25;          // v+s: refit or re-divide the page
constexpr std::int32_t Toggle_Autoresize = 26;

// Display symmetry (TOGGLE_SYMMETRY, keys after d).
constexpr std::int32_t Cycle_Symmetry = 41;            // s
constexpr std::int32_t Three_Folded = 42;              // 3
constexpr std::int32_t Four_Folded = 43;               // 4
constexpr std::int32_t Nine_Folded = 44;               // 9
constexpr std::int32_t Symmetry_Kind = 45;             // c

// Image driver (CHANGE_IMAGE_DRIVER, keys after o).
constexpr std::int32_t Image_Driver_Key_T = 87;        // t: report only
constexpr std::int32_t Image_Driver_Key_O = 88;        // o: report only
constexpr std::int32_t Image_Driver_Gif = 89;          // g
constexpr std::int32_t Image_Driver_PostScript = 90;   // p

// Inline commands of the command loop.
constexpr std::int32_t Auto_Replot = 24;               // v+q
constexpr std::int32_t Temperature_At_Bottom = 33;     // v+k
constexpr std::int32_t Miller_Indices = 49;            // d+i
constexpr std::int32_t Animate_Until_End = 19;         // a+e

// Display modes (keys after d and b).
constexpr std::int32_t Rgb_Triangle = 48;              // d+t
constexpr std::int32_t Difference_Display = 50;        // d+d
constexpr std::int32_t Logarithmic_Display = 51;       // d+n
constexpr std::int32_t Absolute_Values = 52;           // d+a
constexpr std::int32_t Vectors_2D = 54;                // b+2
constexpr std::int32_t Vectors_3D = 55;                // b+3

// Animation (ANIMATE, keys after a).
constexpr std::int32_t Animate_Loops = 18;             // r
constexpr std::int32_t Animation_Settings = 20;        // s

// Cutting plane of three-dimensional results (MANAGE_3D, keys after 3).
constexpr std::int32_t Cut_Plane_XY = 71;              // z
constexpr std::int32_t Cut_Plane_XZ = 72;              // y
constexpr std::int32_t Cut_Plane_YZ = 73;              // x
constexpr std::int32_t Cut_Plane_Up = 74;              // u or +
constexpr std::int32_t Cut_Plane_Down = 75;            // d or -
constexpr std::int32_t Cut_Plane_Typed = 76;           // s

// Images of the display (WRITE_IMAGE, WRITE_IMAGES).
constexpr std::int32_t Image_Output = 77;              // o+i
constexpr std::int32_t Image_Outputs = 78;             // o+j

constexpr std::int32_t Front_End_Mode = 126;           // g
constexpr std::int32_t Key_Summary = 128;              // h
constexpr std::int32_t End_Program = 129;              // x, NUL, right click

// Exports of the displayed field (probes/).
constexpr std::int32_t Contour_Output = 69;            // contour list of the current output
constexpr std::int32_t Contour_Outputs = 70;           // ... of every output
constexpr std::int32_t Ascii_Output = 81;              // table of every cell, current output
constexpr std::int32_t Ascii_Outputs = 82;             // ... every output
constexpr std::int32_t Raster_Output = 83;             // table of every k-th cell, current output
constexpr std::int32_t Raster_Outputs = 84;            // ... every output

// Probes (probes/).
constexpr std::int32_t Line_Scan = 92;                 // a dragged line
constexpr std::int32_t Line_Scans_All = 93;           // the scans of every output together
constexpr std::int32_t Line_Scans_Chosen = 94;         // ... of the outputs chosen in a list
constexpr std::int32_t Line_Scan_X = 95;               // across the zoom window at a typed row
constexpr std::int32_t Line_Scan_Y = 96;               // ... at a typed column
constexpr std::int32_t Line_Scan_Show = 97;            // the line drawn on the display, no scan
constexpr std::int32_t Line_Scan_Again = 98;           // the line drawn, then scanned again
constexpr std::int32_t Line_Scan_Processing = 99;      // next processing mode of the scans
constexpr std::int32_t Scan_Point = 101;
constexpr std::int32_t Front_Tracking = 100;
// Probe outputs: tables, position and curve images.
constexpr std::int32_t Line_Scan_Text = 102;           // the current scan
constexpr std::int32_t Line_Scan_Texts = 103;          // a fresh scan at every output
constexpr std::int32_t Line_Scan_Position = 104;
constexpr std::int32_t Line_Scan_Positions = 105;
constexpr std::int32_t Line_Scan_Curve = 106;
constexpr std::int32_t Line_Scan_Curves = 107;
constexpr std::int32_t Line_Scan_All_Scans = 108;      // the scans of every output
constexpr std::int32_t Line_Scan_Marked_Scans = 109;   // ... of the last collection's outputs
constexpr std::int32_t Front_Tracking_Text = 110;
constexpr std::int32_t Front_Tracking_Curve = 111;
constexpr std::int32_t Scan_Point_Text = 112;
constexpr std::int32_t Scan_Point_Position = 113;
constexpr std::int32_t Scan_Point_Curve = 114;

// Console information (probes/Data_Information.h).
constexpr std::int32_t Info_Distance = 115;            // w+m
constexpr std::int32_t Info_Angle_Sides = 116;         // w+a
constexpr std::int32_t Info_Angle_Horizontal = 117;    // w+h
constexpr std::int32_t Info_Angle_Vertical = 118;      // w+v
constexpr std::int32_t Info_Coordinates = 119;         // w+c
constexpr std::int32_t Info_Extrema = 120;             // w+e
constexpr std::int32_t Info_Compare = 121;             // w+d
constexpr std::int32_t Info_Compare_All = 122;         // w+f
constexpr std::int32_t Info_Cell_Pointer = 123;        // w+p
constexpr std::int32_t Info_Version = 124;             // w+i
constexpr std::int32_t Info_Geometry = 125;            // w+g

// The highest code of all: "--Check" writes it so that the front end can tell whether it
// talks to a program that knows its commands.
constexpr std::int32_t Highest_Command = 129;

}  // namespace Command
