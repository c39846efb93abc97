// Zoom: the displayed cell range (zoom into a dragged box, the whole field, the box before).
#pragma once

// Commands 38 (box dragged with the mouse), 39 (whole field) and 40 (previous box) in
// Command_Code; keeps the box before the call as the previous one and ends with
// Command_Code 23.
void ZOOM();

// The box of a drag from (x1, y1) to (x2, y2) in displayed cells, inside the current box.
void ZOOM_TO(int x1, int y1, int x2, int y2);
