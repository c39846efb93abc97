// Tools_General: the general key commands of the display program: the display symmetry and
// the image driver.
#pragma once

// The symmetry commands in Command_Code (41 to 45): changes Symmetry_Mode or Symmetry_Type,
// reports it, rebuilds the arrays when the size changes, has the current outputs processed
// again and leaves Command_Code at 23.
void TOGGLE_SYMMETRY();

// The image-driver commands o+t, o+o (report only), o+g (GIF) and o+p (PostScript), by
// Command_Code; every code reports " Image_Driver: " and the driver's name.
void CHANGE_IMAGE_DRIVER();
