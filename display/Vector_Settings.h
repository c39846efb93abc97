// Vector_Settings: which result files give the arrows' components, and the form that edits
// the vector-field settings (command 56).
#pragma once

// Sets Vector_X_Component and Vector_Y_Component from Vector_Mode, the number of files and
// the cutting plane, and reports them.
void SET_VECTOR_COMPONENTS();
// The form of the vector-field settings; unset or out-of-range values are completed.
void DISPLAY_VECTORS_SETTINGS();
