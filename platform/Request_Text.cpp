// Request_Text.cpp - formatter and parser of the channel's request texts (see Request_Text.h).
#include "platform/Request_Text.h"

#include <cctype>  // std::isspace, std::isdigit
#include <charconv>
#include <cstring>

namespace channel {
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
    case Handshake: return 0;
    case Open_Window: return 1;
    case Quit: return 2;
    default: return 3;
  }
}

// Builds one text into a Request_Bytes, refusing each character that would leave no room
// for the terminating zero.
class Builder {
 public:
  explicit Builder(Request_Bytes& out) : out_(out) {
    out_.text[0] = '\0';
    out_.length = 0;
    out_.refusal = Refusal::None;
  }
  void put(char c) {
    if (used_ + 1 >= Max_Request) {
      refuse(Refusal::Too_Long);
      return;
    }
    out_.text[used_++] = c;
  }
  void put(std::string_view s) {
    for (char c : s) put(c);
  }
  void number(std::int64_t v) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
    put(std::string_view(digits, std::size_t(end - digits)));
  }
  // Keeps the first reason: a later one would only describe the cut text.
  void refuse(Refusal why) {
    if (out_.refusal == Refusal::None) out_.refusal = why;
  }
  // Ends the text with its zero; false when it was refused.
  bool finish() {
    out_.text[used_] = '\0';
    if (out_.refusal != Refusal::None) return false;
    out_.length = used_ + 1;
    return true;
  }

 private:
  Request_Bytes& out_;
  std::size_t used_ = 0;
};

bool has_any(std::string_view s, std::string_view chars) { return s.find_first_of(chars) != std::string_view::npos; }

constexpr std::string_view Line_End{"\0\n", 2};
constexpr std::string_view Blanks{"\0 \t\n\v\f\r", 7};

// "<letter><w + 32>": false when w + 32 is no nonzero byte.
bool window_bytes(Request_Bytes& out, char letter, int w) {
  Builder b(out);
  if (letter == '\0' || w < 1 - 32 || w > 255 - 32) b.refuse(Refusal::Not_Carried);
  else {
    b.put(letter);
    b.put(static_cast<char>(static_cast<unsigned char>(w + 32)));
  }
  return b.finish();
}

}  // namespace

bool FORMAT_HANDSHAKE(Request_Bytes& out, std::int32_t key, std::string_view folder, std::string_view program) {
  Builder b(out);
  // The server splits at the first and last ';' and reads up to a line feed.
  if (has_any(folder, Line_End) || has_any(folder, ";") || has_any(program, Line_End)) b.refuse(Refusal::Not_Carried);
  b.put(Handshake);
  b.put(',');
  b.number(key);
  b.put(',');
  b.put(folder);
  b.put(';');
  b.put(program);
  b.put(';');
  b.put(Client_Version);
  return b.finish();
}

bool FORMAT_OPEN_WINDOW(Request_Bytes& out, int w, int width, int height, int fg, int bg, int show,
                        std::optional<std::string_view> title) {
  Builder b(out);
  // The server reads the title as one word.
  if (title && has_any(*title, Blanks)) b.refuse(Refusal::Not_Carried);
  b.put(Open_Window);
  for (int v : {w, width, height, fg, bg, show}) {
    b.put(',');
    b.number(v);
  }
  b.put(',');
  if (title) b.put(*title);
  return b.finish();
}

bool FORMAT_QUIT(Request_Bytes& out, int mode) {
  Builder b(out);
  b.put(Quit);
  b.put(',');
  b.number(mode);
  b.put(',');
  return b.finish();
}

bool FORMAT_CLOSE_WINDOW(Request_Bytes& out, int w) { return window_bytes(out, Close_Window, w); }

bool FORMAT_WINDOW_REQUEST(Request_Bytes& out, char letter, int w) { return window_bytes(out, letter, w); }

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
    case Handshake: {  // "%c,%d,%[^\n]": 3 fields
      std::string rest;
      if (!(c.literal(',') && c.integer(r.key) && c.literal(',') && c.line(rest))) return r;
      split_handshake(rest, r);
      r.kind = Request_Kind::Handshake;
      return r;
    }
    case Open_Window: {  // "%c,%d,%d,%d,%d,%d,%d,%s": 7 or 8 fields
      int* fields[6] = {&r.w, &r.width, &r.height, &r.fg, &r.bg, &r.show};
      for (int* f : fields)
        if (!(c.literal(',') && c.integer(*f))) return r;
      r.has_title = c.literal(',') && c.word(r.title);
      r.kind = Request_Kind::Open_Window;
      return r;
    }
    case Quit: {  // "%c,%d,": 2 fields
      if (!(c.literal(',') && c.integer(r.mode))) return r;
      r.kind = Request_Kind::Quit;
      return r;
    }
    default: {  // "%c%c": 2 fields
      char w = 0;
      if (!c.character(w)) return r;
      r.window = static_cast<unsigned char>(w) - 32;
      r.kind = letter == Close_Window ? Request_Kind::Close_Window : Request_Kind::Window;
      return r;
    }
  }
}

}  // namespace channel
