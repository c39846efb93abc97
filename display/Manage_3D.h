// Manage_3D: the plane of three-dimensional results that the display shows (its orientation
// and its cell index along the axis across it) and the pop-up in which the index is typed.
#pragma once

// Command_Code 71 to 73 (x-y, x-z or y-z plane), 74 and 75 (one cell up or down, wrapping),
// 76 (typed index). Corrects an index outside the field with a warning, cuts the current
// output again and leaves Command_Code at 23; choosing the orientation already shown does
// nothing at all.
void MANAGE_3D();

// The pop-up "Select cutting plane": the cell counts and the index typed on the row of the axis
// across the plane. An answer that is not an integer leaves Cut_Index as it was; no range check.
void SELECT_CUTTING_PLANE();
