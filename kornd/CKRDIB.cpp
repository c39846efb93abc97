// CKRDIB.cpp - document bitmaps (see CKRDIB.h).
#include "kornd/CKRDIB.h"

void CKRDIB::AfterConstruction() {
  pixel_width = display_width = Width();
  pixel_height = display_height = Height();
  depth = BitCount();
}

bool CKRDIB::CopyFrom(const CDib& other) {
  bool ok = CDib::CopyFrom(other);
  AfterConstruction();
  return ok;
}

void CKRDIB::Reset() {
  CDib::Reset();
  pixel_width = pixel_height = depth = display_width = display_height = 0;
  saved_rect = {};
  saved_background = QImage();
}

void CKRDIB::SetTransparentColour(std::int32_t colour) {
  if (colour == transparent_colour) return;
  transparent_colour = colour;
  mask_.reset();
}
