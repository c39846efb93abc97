// Channel_Protocol.h - the words of the request channel: request letters, sub-codes and the
// replies reserved for the channel itself. Both programs name requests only through these.
// Block layouts are in Channel_Blocks.h; the request-text grammar in Request_Text.h.
#pragma once

#include <cstdint>

namespace channel {

// Request letters. Four are texts of the main frame; the others are window requests
// "<letter><w + 32>" with the sub-code at offset 224 of the window block.
enum Letter : char {
  Handshake = 'K',
  Open_Window = 'I',
  Quit = 'L',
  Close_Window = 'J',
  Draw = 'A',        // adds a drawing object
  Control = 'B',     // window control, transfers, waits, inquiries
  Pick = 'C',        // mouse picks
  Bitmap = 'D',
  Size = 'E',        // size pairs: 1..13 ask, -13..-1 set
  Show = 'G',
  Combined = 'M',    // combined objects (recorded metafiles)
  New_Object = 'N',  // pending polygon or polyline filled by Control Put_Data pieces
};

// Sub-codes of Draw.
enum Draw_Code : std::int32_t {
  Draw_Colour = 5,       // colour code a1 for role a2
  Draw_Attributes = 6,   // pen, brush and marker fields flagged in the change mask
  Draw_Transform = 7,    // bitmap transform: offsets a1, a2; 16.16 matrix a3..a6
  Draw_Clip = 8,         // clip rectangle a3..a6 combined by mode a1
  Draw_Move = 11,
  Draw_Combined = 12,
  Draw_Bitmap = 13,
  Draw_Marker = 14,      // at a4, a5
  Draw_Fill_Window = 18, // colour code a3
  Draw_Line = 20,
  Draw_Solid_Rect = 22,  // corners a3..a6, colour code a1
};

// Sub-codes of Control.
enum Control_Code : std::int32_t {
  Control_Mouse_State = 0,
  Control_Event = 1,
  Control_Colour_Value = 9,
  Control_Option = 10,
  Control_Input_Text = 14,
  Control_Arrange = 16,
  Control_Viewport = 19,
  Control_New_Buffer = 20,
  Control_Refresh = 22,
  Control_Segment_Setup = 23,
  Control_Save_State = 24,
  Control_Erase = 27,
  Control_Colour_Step = 28,
  Control_Wait_Key = 32,
  Control_Put_Data = 36,
  Control_Commit_Object = 37,
  Control_Drop_Object = 38,
};

// Kinds of Pick: a rectangle ends with a right click, a line with the release.
enum Pick_Code : std::int32_t { Pick_Point = 1, Pick_Rectangle = 2, Pick_Line = 4, Pick_Rubber_Band = 8 };

// Sub-codes of Bitmap.
enum Bitmap_Code : std::int32_t { Bitmap_Display = 0, Bitmap_From_Buffer = 5 };

// Sub-codes of Combined.
enum Combined_Code : std::int32_t { Combined_Begin = 0, Combined_End = 1, Combined_Delete = 5 };

// Sub-codes of New_Object.
enum New_Object_Code : std::int32_t { New_Polygon = 28, New_Polyline = 30 };

// Show: 15 + s shows the window with show code s; Show_Maximise maximises it; 0..14 the main
// frame's show code or z-order.
constexpr std::int32_t Show_Window_Base = 15;
constexpr std::int32_t Show_Maximise = -2;
constexpr std::int32_t Show_Current = -1;

// Replies that carry no request's own result.
constexpr std::uint32_t Reply_Failed = 0x80000001u;   // closing, unparsable, no such window
constexpr std::uint32_t Reply_Refused = 0x80000002u;  // not registered, unknown code, Yes to an error
constexpr std::uint32_t Reply_Exit = 0x80000003u;     // not sent by kornd
constexpr std::uint32_t Reply_Forget = 0x80000004u;   // not sent by kornd
constexpr std::uint32_t Reply_Quit = 0x80000005u;

}  // namespace channel
