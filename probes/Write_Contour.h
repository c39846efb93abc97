// Write_Contour: where the displayed field of result 1 crosses a value inside the zoom
// window, as a text list of points with the interpolated values of every result.
#pragma once

#include <string>

// Kept between commands: the value last entered, and whether none has been proposed yet.
struct Contour_State_Type {
  float Contour_Value = 0.0f;
  bool First_Use = true;
};
inline Contour_State_Type Contour_State;

// Codes 69 and 70: asks the value, then writes the current output's list or every output's.
void CALL_WRITE_CONTOUR();
// The answer field the value dialog starts with (20 characters); on first use the value
// proposed is chosen here.
std::string CONTOUR_VALUE_PRESET();
// Names the file (default name in a batch, else the save-file dialog) and writes it.
void WRITE_CONTOUR(float c);
// WRITE_CONTOUR for every output.
void WRITE_CONTOURS(float c);
// Writes one list; false (reported) when the file cannot be written.
bool WRITE_OUT_CONTOUR(float c, const std::string& name);
