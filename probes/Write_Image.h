// Write_Image: images of the display through the image driver of Output_Settings.
#pragma once

// One image of the whole display as it is drawn now. Named by Command_Code: 77 through the
// save-file dialog (a cancelled dialog writes nothing), 78 the default name, 104, 105 and
// 113 the name the caller put in Output_File_Name. High resolution draws no wedge or texts;
// the annotation mode and the current panel are as before afterwards.
void WRITE_IMAGE();

// One image per output under its default name, from the output shown now round to it again.
void WRITE_IMAGES();

// The page of an image in inches from the base size (width, height), the zoom window's
// cells across and down, the number of result files and the panel grid.
struct Image_Size {
  float width, height;
};
Image_Size IMAGE_PAGE_SIZE(Image_Size base, int cells_across, int cells_down);
