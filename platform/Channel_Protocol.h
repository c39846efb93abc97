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
  Pixel = 'F',       // colour of the pixel at (sub-code, a1)
  Show = 'G',
  Combined = 'M',    // combined objects (recorded metafiles)
  New_Object = 'N',  // pending point-list object filled by Control Put_Data pieces
};

// Sub-codes of Draw: the kind of drawing object, also the type code it is stored with.
enum Draw_Code : std::int32_t {
  Draw_Reset = 2,        // drawing state and environment back to their defaults
  Draw_Sleep = 3,        // pause a1 ms from now
  Draw_Sleep_Until = 4,  // a1 <= 0 sets the base tick, else pause until base + a1 ms
  Draw_Colour = 5,       // colour code a1 for role a2
  Draw_Attributes = 6,   // pen, brush and marker fields flagged in the change mask
  Draw_Transform = 7,    // bitmap transform: offsets a1, a2; 16.16 matrix a3..a6
  Draw_Clip = 8,         // clip rectangle a3..a6 combined by mode a1
  Draw_Text_Font = 9,    // text attributes from the head
  Draw_Symbol_Font = 10, // symbol attributes from the head
  Draw_Move = 11,
  Draw_Combined = 12,
  Draw_Bitmap = 13,
  Draw_Marker = 14,      // at a4, a5
  Draw_Text = 15,        // data-area text at a1, a2
  Draw_Symbol = 16,      // the head's symbol character at a1, a2
  Draw_Flood = 17,       // flood fill from a1, a2
  Draw_Fill_Window = 18, // colour code a3
  Draw_Pixel = 19,       // at a1, a2 in colour code a3
  Draw_Line = 20,
  Draw_Rect = 21,        // corners a3..a6
  Draw_Solid_Rect = 22,  // corners a3..a6, colour code a1
  Draw_Round_Rect = 23,  // corners a3..a6, corner size a1, a2
  Draw_Ellipse = 24,     // box a3..a6
  Draw_Arc = 25,         // box a3..a6, radial points in the data area
  Draw_Chord = 26,
  Draw_Pie = 27,
  Draw_Polygon = 28,     // a1 points through the data buffer
  Draw_Bezier = 29,
  Draw_Polyline = 30,
  Draw_Group = 31,       // made by segment operations only; as a request it adds nothing
  Draw_Plot = 32,        // a1 values through the data buffer, plot mode a2
};

// Sub-codes of Control; codes outside 0..Control_Last are refused.
enum Control_Code : std::int32_t {
  Control_Mouse_State = 0,
  Control_Event = 1,          // wait for an event of class a1 (Event_Class)
  Control_Status_Text = 2,    // data-area text into the first status pane
  Control_Message = 3,        // message box: a1 0 question, else error
  Control_Repaint = 4,
  Control_Erase_Last = 5,     // erase objects from the end: a1 segment or count, a2 repaint
  Control_Print = 6,
  Control_Copy_Bitmap = 7,    // picture inside a3..a6 into bitmap a1
  Control_Copy_Clipboard = 8, // the same into bitmap 0 and the clipboard
  Control_Colour_Value = 9,
  Control_Option = 10,        // option a1 (Option_Code) to value a2
  Control_Load_Picture = 11,  // data-area file name, load mode a1
  Control_Save_Picture = 12,  // data-area file name, type a3, view mode a4, size a1, a2
  Control_Open_Dialog = 13,   // file-open dialog; the chosen path into the data area
  Control_Input_Text = 14,    // data area: the title, its zero, the preset answer and its zero
  Control_View_Mode = 15,     // a1 1..4 that mode, 5 zoom to the viewport
  Control_Arrange = 16,       // a1 (Arrange_Code)
  Control_Text_Extent = 17,
  Control_Symbol_Extent = 18,
  Control_Viewport = 19,
  Control_New_Buffer = 20,
  Control_Free_Buffer = 21,
  Control_Refresh = 22,
  Control_Segment_Setup = 23,
  Control_Save_State = 24,
  Control_Restore_State = 25,
  Control_Show_Group = 26,
  Control_Erase = 27,
  Control_Colour_Step = 28,   // drawing attributes back to their defaults, colours kept
  Control_Anchor = 29,
  Control_Get_Transform = 30,
  Control_Get_Viewport = 31,
  Control_Wait_Key = 32,      // wait a1 ms from now, or until an event
  Control_Wait_Until = 33,    // wait until a1 ms after the window was made
  Control_Select_Anchor = 34,
  Control_Last_Button = 35,
  Control_Put_Data = 36,
  Control_Commit_Object = 37,
  Control_Drop_Object = 38,
  Control_Timer = 39,         // period a1 ms, a2 times; a2 0 stops it
  Control_Clock = 40,         // ms since the window was made
  Control_Last = 40,
};

// Event classes of Control_Event; any other class looks at the last key press only.
enum Event_Class : std::int32_t { Event_Char = 128, Event_Key_Down = 64, Event_Key_Up = 32 };

// Options of Control_Option.
enum Option_Code : std::int32_t { Option_Storing = 1, Option_Buffering = 2, Option_Status_Bar = 3, Option_Cursor = 4 };

// Arrangements of Control_Arrange: the main frame's windows, then this window's frame.
enum Arrange_Code : std::int32_t {
  Arrange_Cascade = 1,
  Arrange_Tile_Horizontal = 2,  // one above the other
  Arrange_Tile_Vertical = 3,    // side by side
  Arrange_Icons = 4,
  Arrange_Activate = 5,
  Arrange_Maximise = 6,
  Arrange_Restore = 7,
  Arrange_Close = 8,
};

// Kinds of Pick: a rectangle ends with a right click, a line with the release.
enum Pick_Code : std::int32_t { Pick_Point = 1, Pick_Rectangle = 2, Pick_Line = 4, Pick_Rubber_Band = 8 };

// Sub-codes of Bitmap; other codes answer -1.
enum Bitmap_Code : std::int32_t {
  Bitmap_Display = 0,
  Bitmap_Load = 1,          // from the file named in the data area
  Bitmap_Save = 2,
  Bitmap_Copy = 3,          // bitmap a2 into a1
  Bitmap_Info = 4,
  Bitmap_From_Buffer = 5,
  Bitmap_Colour_Values = 6, // colour codes of the data area into values of the data buffer
  Bitmap_Text = 7,          // a two-colour bitmap of the data-area text
};

// Sub-codes of Combined; other codes answer -1.
enum Combined_Code : std::int32_t {
  Combined_Begin = 0,
  Combined_End = 1,
  Combined_Load = 2,    // from the file named in the data area
  Combined_Save = 3,
  Combined_Copy = 4,    // a1 into a2
  Combined_Delete = 5,
  Combined_Info = 6,
  Combined_Marker = 7,  // one marker as a combined object
};

// Sub-codes of New_Object.
enum New_Object_Code : std::int32_t { New_Polygon = 28, New_Bezier = 29, New_Polyline = 30, New_Plot = 32 };

// Quantities of Size: the sub-code asks, its negative sets from a1, a2; the pair comes back in a3, a4.
enum Size_Code : std::int32_t {
  Size_Picture = 1,
  Size_Screen = 2,
  Size_Frame = 3,              // client area of the main frame
  Size_Frame_Position = 4,
  Size_View = 5,               // client area of the window's view
  Size_Window_Position = 6,    // the window's frame inside the main frame
  Size_Viewport = 7,           // device pixels
  Size_Viewport_Origin = 8,
  Size_Page = 9,               // less the margins
  Size_Page_Resolution = 10,
  Size_Margins = 11,           // millimetres
  Size_Printer_Page = 12,
  Size_Printer_Resolution = 13,
};

// Show: 15 + s shows the window with show code s; Show_Maximise maximises it; 0..14 the main
// frame's show code or z-order.
constexpr std::int32_t Show_Window_Base = 15;
constexpr std::int32_t Show_Window_Last = 25;
constexpr std::int32_t Show_Maximise = -2;
constexpr std::int32_t Show_Current = -1;
constexpr std::int32_t Show_Frame_Last = 10;  // main-frame show codes 0..10
constexpr std::int32_t Show_Topmost = 11;
constexpr std::int32_t Show_Not_Topmost = 12;
constexpr std::int32_t Show_Top = 13;
constexpr std::int32_t Show_Bottom = 14;

// Replies that carry no request's own result.
constexpr std::uint32_t Reply_Failed = 0x80000001u;   // closing, unparsable, no such window
constexpr std::uint32_t Reply_Refused = 0x80000002u;  // not registered, unknown code, Yes to an error
constexpr std::uint32_t Reply_Exit = 0x80000003u;     // not sent by kornd
constexpr std::uint32_t Reply_Forget = 0x80000004u;   // not sent by kornd
constexpr std::uint32_t Reply_Quit = 0x80000005u;
inline bool IS_RESERVED_REPLY(std::uint32_t reply) { return reply >= Reply_Failed && reply <= Reply_Quit; }

}  // namespace channel
