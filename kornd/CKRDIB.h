// CKRDIB.h - a document bitmap: a CDib with the size at which Image objects put it, its
// placement in their box, its transparency, and the background the last put covered.
// The documents' bitmap tables own them. Changes nothing beyond itself.
#pragma once

#include <QImage>

#include "kornd/CDib.h"
#include "kornd/DrawUtil.h"

class CKRDIB : public CDib {
 public:
  CKRDIB() = default;

  // Takes the sizes from the header after every construction.
  void AfterConstruction();
  bool CopyFrom(const CDib& other) override;
  void Reset() override;
  // Sets the transparent colour; the cached mask goes when the colour changes.
  void SetTransparentColour(std::int32_t colour);

  int pixel_width = 0, pixel_height = 0, depth = 0;
  int display_width = 0, display_height = 0;
  int position_mode = 0;
  bool transparent = true;
  std::int32_t transparent_colour = 0xFFFFFF;
  KRrect saved_rect;     // where the saved background came from
  QImage saved_background;
};
