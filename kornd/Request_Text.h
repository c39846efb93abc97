// Request_Text.h - parses one request text of the channel into a checked record.
//
// Reads the request packet's bytes; writes nothing. The four letters of the main frame have
// their layouts ("K,<key>,<folder>;<program>;<version>", "I,w,width,height,fg,bg,show[,title]",
// "L,<mode>,", "J<w+32>"); every other letter is a window request "<letter><w+32>".
// Numbers read as C's %d would, except that a value outside 32 bits ends the field list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

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
