// Tests of the request-text grammar: the parser as the server uses it, the formatters as the
// client uses them, the round trip from one to the other and the bound of Max_Request.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Request_Text.h"

namespace {

channel::Request parse(const std::string& bytes, bool well_formed = true) {
  return channel::PARSE_REQUEST(bytes.data(), bytes.size(), well_formed);
}

// The bytes a formatter built, its terminating zero included.
std::string sent(const channel::Request_Bytes& b) { return std::string(b.text, b.length); }

// What C's snprintf makes of a format: the layout the server's scanf formats expect.
template <typename... Args>
std::string c_format(const char* format, Args... args) {
  char text[1024];
  const int n = std::snprintf(text, sizeof text, format, args...);
  return std::string(text, std::size_t(n) + 1);
}

}  // namespace

TEST(RequestText, LettersOfTheMainFrame) {
  channel::Request k = parse(std::string("K,123,/home/u/case;/opt/bin/Display_ZELTRA;Version  0.99.8b\0", 60));
  EXPECT_EQ(k.kind, channel::Request_Kind::Handshake);
  EXPECT_EQ(k.key, 123);
  EXPECT_EQ(k.folder, "/home/u/case");
  EXPECT_EQ(k.program, "/opt/bin/Display_ZELTRA");
  EXPECT_EQ(k.version, "Version  0.99.8b");

  channel::Request semi = parse(std::string("K,-4,a;b;c;d\0", 13));  // split at the first and the last ';'
  EXPECT_EQ(semi.key, -4);
  EXPECT_EQ(semi.folder, "a");
  EXPECT_EQ(semi.program, "b;c");
  EXPECT_EQ(semi.version, "d");

  channel::Request i8 = parse(std::string("I,0,600,400,13,33554432,12,Title here\0", 38));
  EXPECT_EQ(i8.kind, channel::Request_Kind::Open_Window);
  EXPECT_EQ(i8.w, 0);
  EXPECT_EQ(i8.width, 600);
  EXPECT_EQ(i8.height, 400);
  EXPECT_EQ(i8.fg, 13);
  EXPECT_EQ(i8.bg, 0x2000000);
  EXPECT_EQ(i8.show, 12);
  EXPECT_TRUE(i8.has_title);
  EXPECT_EQ(i8.title, "Title");
  channel::Request i7 = parse(std::string("I, 3,-1,  2,0,0,5,\0", 19));
  EXPECT_EQ(i7.kind, channel::Request_Kind::Open_Window);
  EXPECT_EQ(i7.w, 3);
  EXPECT_EQ(i7.width, -1);
  EXPECT_EQ(i7.height, 2);
  EXPECT_FALSE(i7.has_title);

  channel::Request l = parse(std::string("L,7,\0", 5));
  EXPECT_EQ(l.kind, channel::Request_Kind::Quit);
  EXPECT_EQ(l.mode, 7);
  channel::Request j = parse(std::string("J\x22\0", 3));
  EXPECT_EQ(j.kind, channel::Request_Kind::Close_Window);
  EXPECT_EQ(j.window, 2);
  channel::Request a = parse(std::string("B\x20\0", 3));
  EXPECT_EQ(a.kind, channel::Request_Kind::Window);
  EXPECT_EQ(a.letter, 'B');
  EXPECT_EQ(a.window, 0);
}

TEST(RequestText, UnparsableTextsAndTheirErrorNumbers) {
  struct Row {
    std::string bytes;
    bool well_formed;
    int error_number;
  } rows[] = {
      {std::string("K,1,\0", 5), true, 0},             // no folder text at all
      {std::string("K1,/;a;b\0", 9), true, 0},
      {std::string("K,2147483648,/\0", 15), true, 0},  // beyond 32 bits
      {std::string("K,1,/;a;b\0", 10), false, 0},      // too long or unterminated
      {std::string("I,0,1,2,3,4,\0", 13), true, 1},
      {std::string("I,0,1,2,3,4,x\0", 14), true, 1},
      {std::string("L\0", 2), true, 2},
      {std::string("L,-\0", 4), true, 2},
      {std::string("A\0", 2), true, 3},
      {std::string("\0", 1), true, 3},
      {std::string("JA"), true, 3},                     // no zero in the packet
  };
  for (const Row& r : rows) {
    channel::Request q = parse(r.bytes, r.well_formed);
    EXPECT_EQ(q.kind, channel::Request_Kind::Unparsable) << r.bytes;
    EXPECT_EQ(q.error_number, r.error_number) << r.bytes;
  }
  // Both sides of the 32-bit limit.
  EXPECT_EQ(parse(std::string("K,2147483647,/\0", 15)).key, 2147483647);
  EXPECT_EQ(parse(std::string("K,-2147483648,/\0", 16)).key, INT32_MIN);
  EXPECT_EQ(parse(std::string("K,-2147483649,/\0", 16)).kind, channel::Request_Kind::Unparsable);
}

TEST(RequestText, HandshakeRoundTrip) {
  struct Row {
    std::int32_t key;
    std::string folder, program;
  } rows[] = {
      {123, "/home/u/case", "/opt/bin/Display_ZELTRA"},
      {-4, "/home/u/a,b,,c", "/bin/x,y"},                     // commas
      {7, "/home/u/with blanks  here ", " /opt/my prog/run "}, // blanks, leading and trailing
      {INT32_MAX, "/tmp", "/odd;path;prog"},                  // ';' in the program path
      {INT32_MIN, "", ""},
  };
  for (const Row& r : rows) {
    channel::Request_Bytes b;
    ASSERT_TRUE(channel::FORMAT_HANDSHAKE(b, r.key, r.folder, r.program)) << r.folder;
    EXPECT_EQ(sent(b), c_format("%c,%d,%s;%s;%s", 'K', r.key, r.folder.c_str(), r.program.c_str(),
                                channel::Client_Version));
    channel::Request q = channel::PARSE_REQUEST(b.text, b.length, true);
    EXPECT_EQ(q.kind, channel::Request_Kind::Handshake) << r.folder;
    EXPECT_EQ(q.key, r.key);
    EXPECT_EQ(q.folder, r.folder);
    EXPECT_EQ(q.program, r.program);
    EXPECT_EQ(q.version, "Version  0.99.8b");
  }
}

TEST(RequestText, OpenWindowRoundTrip) {
  struct Row {
    int w, width, height, fg, bg, show;
    std::optional<std::string> title;
    std::string expected;
  } rows[] = {
      {0, 600, 400, 13, 0x2000000, 12, "Title", "I,0,600,400,13,33554432,12,Title"},
      {63, -1, 0, -100, 0, 5, std::nullopt, "I,63,-1,0,-100,0,5,"},
      {1, 1, 1, 1, 1, 1, "", "I,1,1,1,1,1,1,"},  // an empty title is sent as none
      {INT_MIN, INT_MAX, 2, 3, 4, 10, "a,b;c", "I,-2147483648,2147483647,2,3,4,10,a,b;c"},
  };
  for (const Row& r : rows) {
    channel::Request_Bytes b;
    std::optional<std::string_view> title;
    if (r.title) title = *r.title;
    ASSERT_TRUE(channel::FORMAT_OPEN_WINDOW(b, r.w, r.width, r.height, r.fg, r.bg, r.show, title)) << r.expected;
    EXPECT_EQ(sent(b), r.expected + '\0');
    channel::Request q = channel::PARSE_REQUEST(b.text, b.length, true);
    EXPECT_EQ(q.kind, channel::Request_Kind::Open_Window) << r.expected;
    EXPECT_EQ(q.w, r.w);
    EXPECT_EQ(q.width, r.width);
    EXPECT_EQ(q.height, r.height);
    EXPECT_EQ(q.fg, r.fg);
    EXPECT_EQ(q.bg, r.bg);
    EXPECT_EQ(q.show, r.show);
    const bool titled = r.title && !r.title->empty();
    EXPECT_EQ(q.has_title, titled) << r.expected;
    EXPECT_EQ(q.title, titled ? *r.title : "");
  }
}

TEST(RequestText, QuitRoundTrip) {
  for (int mode : {0, 1}) {
    channel::Request_Bytes b;
    ASSERT_TRUE(channel::FORMAT_QUIT(b, mode));
    EXPECT_EQ(sent(b), c_format("%c,%d,", 'L', mode));
    channel::Request q = channel::PARSE_REQUEST(b.text, b.length, true);
    EXPECT_EQ(q.kind, channel::Request_Kind::Quit);
    EXPECT_EQ(q.mode, mode);
  }
}

TEST(RequestText, WindowRequestsRoundTrip) {
  for (int w : {1, 63}) {
    channel::Request_Bytes b;
    ASSERT_TRUE(channel::FORMAT_CLOSE_WINDOW(b, w));
    EXPECT_EQ(sent(b), (std::string{'J', char(w + 32), '\0'}));
    channel::Request q = channel::PARSE_REQUEST(b.text, b.length, true);
    EXPECT_EQ(q.kind, channel::Request_Kind::Close_Window);
    EXPECT_EQ(q.window, w);

    for (char letter : {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'M', 'N'}) {
      ASSERT_TRUE(channel::FORMAT_WINDOW_REQUEST(b, letter, w));
      EXPECT_EQ(sent(b), (std::string{letter, char(w + 32), '\0'}));
      q = channel::PARSE_REQUEST(b.text, b.length, true);
      EXPECT_EQ(q.kind, channel::Request_Kind::Window) << letter;
      EXPECT_EQ(q.letter, letter);
      EXPECT_EQ(q.window, w);
    }
  }
}

// The longest text that fits is sent whole; one character more is refused, and what was kept
// is the first Max_Request - 1 characters with the zero inside the buffer.
TEST(RequestText, TextsAreBoundedByMaxRequest) {
  const std::string head = "K,5,";
  const std::string tail = std::string(";p;") + channel::Client_Version;
  const std::size_t room = channel::Max_Request - 1 - head.size() - tail.size();
  channel::Request_Bytes b;
  ASSERT_TRUE(channel::FORMAT_HANDSHAKE(b, 5, std::string(room, 'f'), "p"));
  EXPECT_EQ(b.length, channel::Max_Request);
  EXPECT_EQ(b.refusal, channel::Refusal::None);
  EXPECT_EQ(channel::PARSE_REQUEST(b.text, b.length, true).folder, std::string(room, 'f'));

  const std::string longer(room + 1, 'f');
  EXPECT_FALSE(channel::FORMAT_HANDSHAKE(b, 5, longer, "p"));
  EXPECT_EQ(b.length, 0u);
  EXPECT_EQ(b.refusal, channel::Refusal::Too_Long);
  EXPECT_EQ(b.text[channel::Max_Request - 1], '\0');
  EXPECT_EQ(std::string(b.text), (head + longer + tail).substr(0, channel::Max_Request - 1));

  // A formatter that succeeds after a refusal leaves no trace of it.
  ASSERT_TRUE(channel::FORMAT_QUIT(b, 1));
  EXPECT_EQ(b.refusal, channel::Refusal::None);
  EXPECT_EQ(sent(b), std::string("L,1,", 5));

  const std::string open = "I,1,2,3,4,5,6,";
  const std::size_t title_room = channel::Max_Request - 1 - open.size();
  ASSERT_TRUE(channel::FORMAT_OPEN_WINDOW(b, 1, 2, 3, 4, 5, 6, std::string(title_room, 't')));
  EXPECT_EQ(b.length, channel::Max_Request);
  EXPECT_EQ(channel::PARSE_REQUEST(b.text, b.length, true).title, std::string(title_room, 't'));
  EXPECT_FALSE(channel::FORMAT_OPEN_WINDOW(b, 1, 2, 3, 4, 5, 6, std::string(title_room + 1, 't')));
  EXPECT_EQ(b.length, 0u);
  EXPECT_EQ(b.refusal, channel::Refusal::Too_Long);
  EXPECT_EQ(std::string(b.text), open + std::string(title_room, 't'));
}

// Fields the server would read back differently are refused rather than sent.
TEST(RequestText, FieldsTheGrammarCannotCarryAreRefused) {
  using namespace std::string_literals;
  channel::Request_Bytes b;
  struct Handshake_Row {
    std::string folder, program;
  } handshakes[] = {
      {"/home/a;b", "/bin/p"},   // the server splits at the first ';'
      {"/home/a\nb", "/bin/p"},  // and reads up to a line feed
      {"/home/a\0b"s, "/bin/p"},
      {"/home", "/bin/p\nq"},
      {"/home", "/bin/p\0q"s},
  };
  for (const Handshake_Row& r : handshakes) {
    EXPECT_FALSE(channel::FORMAT_HANDSHAKE(b, 1, r.folder, r.program)) << r.folder << r.program;
    EXPECT_EQ(b.refusal, channel::Refusal::Not_Carried) << r.folder << r.program;
    EXPECT_EQ(b.length, 0u);
  }
  for (std::string title : {"two words"s, "tab\there"s, "line\n"s, "zero\0"s}) {
    EXPECT_FALSE(channel::FORMAT_OPEN_WINDOW(b, 1, 2, 3, 4, 5, 6, title)) << title;
    EXPECT_EQ(b.refusal, channel::Refusal::Not_Carried) << title;
  }
  // The window byte is w + 32 and must be a nonzero byte.
  for (int w : {-33, -32, 224, 1000}) {
    EXPECT_FALSE(channel::FORMAT_CLOSE_WINDOW(b, w)) << w;
    EXPECT_EQ(b.refusal, channel::Refusal::Not_Carried) << w;
    EXPECT_FALSE(channel::FORMAT_WINDOW_REQUEST(b, 'B', w)) << w;
  }
  for (int w : {-31, 223}) EXPECT_TRUE(channel::FORMAT_WINDOW_REQUEST(b, 'B', w)) << w;
  EXPECT_FALSE(channel::FORMAT_WINDOW_REQUEST(b, '\0', 1));
  EXPECT_EQ(b.refusal, channel::Refusal::Not_Carried);
}
