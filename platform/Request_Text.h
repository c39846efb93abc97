// Request_Text.h - the grammar of the channel's request texts: the client formats them, the
// server parses them into a checked record. Defined once here so both sides speak it alike.
//
// The four letters of the main frame have their layouts ("K,<key>,<folder>;<program>;<version>",
// "I,w,width,height,fg,bg,show[,title]", "L,<mode>,", "J<w+32>"); every other letter is a
// window request "<letter><w+32>". Every text ends with a zero and fits Max_Request bytes.
// Parsing reads numbers as C's %d would, except that a value outside 32 bits ends the field list.
// Formatting writes only into the caller's Request_Bytes; no globals.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Channel_Blocks.h"  // Max_Request, Client_Version

namespace channel {

enum class Request_Kind { Handshake, Open_Window, Quit, Close_Window, Window, Unparsable };

struct Request {
  Request_Kind kind = Request_Kind::Unparsable;
  char letter = 0;
  int error_number = 3;      // "Internal Error-<n>" of an unparsable text: K 0, I 1, L 2, others 3
  // K: key and the text after it, split at its first and last ';'.
  std::int32_t key = 0;
  std::string folder, program, version;
  // I: the six numbers and the optional one-word title.
  int w = 0, width = 0, height = 0, fg = 0, bg = 0, show = 0;
  bool has_title = false;
  std::string title;
  // L
  int mode = 0;
  // J and window requests: the window byte minus 32 (-32..223).
  int window = 0;
};

// Parses `length` bytes (the packet); `well_formed` false (too long or no terminating zero)
// makes the request unparsable. The text ends at the first zero byte.
Request PARSE_REQUEST(const char* bytes, std::size_t length, bool well_formed);

// Why a formatter refused its text.
enum class Refusal {
  None,
  Too_Long,     // the text with its zero would not fit Max_Request bytes
  Not_Carried,  // a field the grammar cannot give back: a zero or line feed in the folder or
                // program, ';' in the folder, a blank in the title, a window byte of 0 or above 255
};

// One request as sent: `length` bytes of `text`, the terminating zero included.
// A refused text has length 0 and keeps, zero-terminated, the part built before the refusal.
struct Request_Bytes {
  char text[Max_Request] = {};
  std::size_t length = 0;
  Refusal refusal = Refusal::None;
};

// Each formatter returns false, with out.refusal saying why, when the text cannot be sent;
// nothing is ever written past out.text.
bool FORMAT_HANDSHAKE(Request_Bytes& out, std::int32_t key, std::string_view folder, std::string_view program);
// Without a title (absent or empty) the text ends with the comma after show.
bool FORMAT_OPEN_WINDOW(Request_Bytes& out, int w, int width, int height, int fg, int bg, int show,
                        std::optional<std::string_view> title);
bool FORMAT_QUIT(Request_Bytes& out, int mode);
bool FORMAT_CLOSE_WINDOW(Request_Bytes& out, int w);
bool FORMAT_WINDOW_REQUEST(Request_Bytes& out, char letter, int w);

}  // namespace channel
