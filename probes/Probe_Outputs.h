// Probe outputs: tables, position images and curve images of the three probes, codes 102 to
// 114 (module Virtual_EDX_Output for the line scan, Front_Tracking_Output, Scan_Point_Output).
#pragma once

#include <string>
#include <vector>

// Codes 102 to 114: runs the probe first when its data do not exist yet, then the output.
void VIRTUAL_EDX_OUTPUT();

void VIRTUAL_EDX_OUTPUT_TXT();        // 102 (and the body of 103)
void VIRTUAL_EDX_OUTPUT_TXTS();       // 103
void VIRTUAL_EDX_OUTPUT_POSITION();   // 104 (and the body of 105)
void VIRTUAL_EDX_OUTPUT_POSITIONS();  // 105
void VIRTUAL_EDX_OUTPUT_CURVE();      // 106 (and the body of 107)
void VIRTUAL_EDX_OUTPUT_CURVES();     // 107
void VIRTUAL_EDX_OUTPUT_SCANS();      // 108 every output, 109 the outputs of the last collection
void FRONT_TRACKING_OUTPUT_TXT();     // 110
void FRONT_TRACKING_OUTPUT_CURVE();   // 111
void SCAN_POINT_OUTPUT_TXT();         // 112
void SCAN_POINT_OUTPUT_POSITION();    // 113
void SCAN_POINT_OUTPUT_CURVE();       // 114

// The names of the loaded results as the tables label them.
std::vector<std::string> PROBE_RESULT_NAMES();
// The display drawn into the chosen image file with the probe on every panel.
void WRITE_PROBE_POSITION_IMAGE();
