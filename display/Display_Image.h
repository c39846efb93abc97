// Display_Image: drawing of one panel and its overlays.
#pragma once

// Fills in the vector settings the user left unset from the displayed field and the
// colour-scale limits of the two component files.
void CHECK_DISPLAY_VECTORS_SETTINGS();
