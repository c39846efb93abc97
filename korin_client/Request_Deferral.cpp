// Request_Deferral.cpp - see Request_Deferral.h. Follows the server's handling of each request
// it admits: where that changes, this must change with it.
#include "korin_client/Request_Deferral.h"

#include "platform/Channel_Protocol.h"

namespace {

// Colour codes the server answers with a colour dialog.
bool asks(std::int32_t code) { return code == -1 || (code < -12 && code != -100); }

bool valid_mix(std::int32_t mix) { return mix >= 0 && mix <= 31; }

enum class Attributes { Ask, Nothing, Cleared };

// How the server takes the attribute request: it asks for a colour, makes nothing (the mask
// stays), or makes the object and clears the mask. The order is the server's.
Attributes attributes(const channel::KRwinblock& b) {
  const std::uint32_t mask = b.change_mask & 0xFFF;
  if (mask == 0) return Attributes::Nothing;
  if ((mask & 0x8) && !valid_mix(b.pen_mix)) return Attributes::Nothing;
  if ((mask & 0x4) && asks(b.pen_colour)) return Attributes::Ask;
  if ((mask & 0x1) && (b.pen_style < 0 || b.pen_style > 9)) return Attributes::Nothing;
  if ((mask & 0x20) && asks(b.brush_colour)) return Attributes::Ask;
  if ((mask & 0x200) && (asks(b.pen_colour) || asks(b.mark_colour1))) return Attributes::Ask;
  if ((mask & 0x400) && asks(b.mark_colour2)) return Attributes::Ask;
  if ((mask & 0x800) && !valid_mix(b.mark_mix)) return Attributes::Nothing;
  return Attributes::Cleared;
}

bool deferrable_drawing(const channel::KRwinblock& b) {
  switch (b.code) {
    case channel::Draw_Colour: return b.a[0] != -1;
    case channel::Draw_Attributes: return attributes(b) != Attributes::Ask;
    case channel::Draw_Pixel: return b.a[2] == -1 || !asks(b.a[2]);
    case channel::Draw_Transform:
    case channel::Draw_Clip:
    case channel::Draw_Move:
    case channel::Draw_Combined:
    case channel::Draw_Bitmap:
    case channel::Draw_Marker:
    case channel::Draw_Text:
    case channel::Draw_Symbol:
    case channel::Draw_Line:
    case channel::Draw_Rect:
    case channel::Draw_Solid_Rect:
    case channel::Draw_Round_Rect:
    case channel::Draw_Ellipse:
    case channel::Draw_Arc:
    case channel::Draw_Chord:
    case channel::Draw_Pie: return true;
    default: return false;
  }
}

}  // namespace

bool KRdeferrable(char letter, const channel::KRwinblock& b) {
  switch (letter) {
    case channel::Draw: return deferrable_drawing(b);
    case channel::New_Object:
      return b.code == channel::Draw_Polygon || b.code == channel::Draw_Bezier || b.code == channel::Draw_Polyline ||
             b.code == channel::Draw_Plot;
    case channel::Control: return b.code == channel::Control_Commit_Object;
    default: return false;
  }
}

void KRas_served(char letter, channel::KRwinblock& b) {
  if (letter == channel::Draw && b.code == channel::Draw_Attributes && attributes(b) == Attributes::Cleared)
    b.change_mask = 0;
}
