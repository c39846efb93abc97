// Request_Text.cpp - request-text parser of kornd's channel (see Request_Text.h).
#include "kornd/Request_Text.h"

#include <cctype>  // std::isspace, std::isdigit
#include <cstring>

namespace {

// A scanf-like cursor over a zero-terminated text.
struct Cursor {
  const char* p;

  bool literal(char c) {
    if (*p != c) return false;
    ++p;
    return true;
  }
  bool character(char& c) {
    if (*p == '\0') return false;
    c = *p++;
    return true;
  }
  // %d: optional blanks, sign, at least one digit; false when the value leaves 32 bits.
  bool integer(int& v) {
    const char* q = p;
    while (*q != '\0' && std::isspace(static_cast<unsigned char>(*q))) ++q;
    bool negative = false;
    if (*q == '+' || *q == '-') negative = *q++ == '-';
    if (!std::isdigit(static_cast<unsigned char>(*q))) return false;
    std::int64_t value = 0;
    while (std::isdigit(static_cast<unsigned char>(*q))) {
      value = value * 10 + (*q++ - '0');
      if (value > 2147483648LL) return false;
    }
    if (negative) value = -value;
    if (value > 2147483647LL) return false;
    v = static_cast<int>(value);
    p = q;
    return true;
  }
  // %[^\n]: one or more characters up to a line feed.
  bool line(std::string& s) {
    const char* q = p;
    while (*q != '\0' && *q != '\n') ++q;
    if (q == p) return false;
    s.assign(p, q);
    p = q;
    return true;
  }
  // %s: optional blanks, then one or more non-blank characters.
  bool word(std::string& s) {
    while (*p != '\0' && std::isspace(static_cast<unsigned char>(*p))) ++p;
    const char* q = p;
    while (*q != '\0' && !std::isspace(static_cast<unsigned char>(*q))) ++q;
    if (q == p) return false;
    s.assign(p, q);
    p = q;
    return true;
  }
};

// Splits the handshake's rest at its first and last ';'.
void split_handshake(const std::string& rest, Request& r) {
  std::size_t first = rest.find(';');
  if (first == std::string::npos) {
    r.folder = rest;
    return;
  }
  std::size_t last = rest.rfind(';');
  r.folder = rest.substr(0, first);
  r.program = first == last ? std::string() : rest.substr(first + 1, last - first - 1);
  r.version = rest.substr(last + 1);
}

int error_number_of(char letter) {
  switch (letter) {
    case 'K': return 0;
    case 'I': return 1;
    case 'L': return 2;
    default: return 3;
  }
}

}  // namespace

Request PARSE_REQUEST(const char* bytes, std::size_t length, bool well_formed) {
  Request r;
  if (length == 0 || bytes == nullptr) return r;
  r.letter = bytes[0];
  r.error_number = error_number_of(r.letter);
  if (!well_formed || std::memchr(bytes, '\0', length) == nullptr) return r;

  Cursor c{bytes};
  char letter = 0;
  if (!c.character(letter)) return r;
  switch (letter) {
    case 'K': {  // "%c,%d,%[^\n]": 3 fields
      std::string rest;
      if (!(c.literal(',') && c.integer(r.key) && c.literal(',') && c.line(rest))) return r;
      split_handshake(rest, r);
      r.kind = Request_Kind::Handshake;
      return r;
    }
    case 'I': {  // "%c,%d,%d,%d,%d,%d,%d,%s": 7 or 8 fields
      int* fields[6] = {&r.w, &r.width, &r.height, &r.fg, &r.bg, &r.show};
      for (int* f : fields)
        if (!(c.literal(',') && c.integer(*f))) return r;
      r.has_title = c.literal(',') && c.word(r.title);
      r.kind = Request_Kind::Open_Window;
      return r;
    }
    case 'L': {  // "%c,%d,": 2 fields
      if (!(c.literal(',') && c.integer(r.mode))) return r;
      r.kind = Request_Kind::Quit;
      return r;
    }
    default: {  // "%c%c": 2 fields
      char w = 0;
      if (!c.character(w)) return r;
      r.window = static_cast<unsigned char>(w) - 32;
      r.kind = letter == 'J' ? Request_Kind::Close_Window : Request_Kind::Window;
      return r;
    }
  }
}
