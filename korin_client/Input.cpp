// Input.cpp - picks, key waits, events, the mouse state, typed text, options and colour
// values, in the current window. Results are written only when the server answered.

#include <cstring>
#include <string>

#include "korin_client/Client_State.h"
#include "korin_client/Coordinates.h"
#include "korin_client/Korin.h"
#include "korin_client/Korin_Upper.h"
#include "korin_client/Latin1.h"

namespace {

int current() { return KRstate().current_window; }

void world_of(const channel::KRwinblock& b, int slot, float* x, float* y) {
  float wx, wy;
  TO_WORLD(b, b.a[slot], b.a[slot + 1], wx, wy);
  if (x) *x = wx;
  if (y) *y = wy;
}

// A two-point pick ("C" rectangle or line): the corners from slots 3 to 6.
// The names are historical and cross over: the "line" pick asks the server for the
// rectangle capture (adjusted, then accepted with a right click: what the zoom needs),
// the "rectangle" pick for the line capture that ends when the button is released.
int pick_two(channel::Pick_Code kind, float* x1, float* y1, float* x2, float* y2) {
  channel::KRwinblock* b = KRstate().current;
  if (b == nullptr) return 0;
  const int reply = KRwincode(current(), channel::Pick, kind);
  if (reply > 0) {
    world_of(*b, 2, x1, y1);
    world_of(*b, 4, x2, y2);
  }
  return reply;
}

// The dialog's preset answer (trailing blanks dropped) behind the title's zero in the data
// area; none when the title leaves no room.
void put_preset(channel::KRwinblock& b, std::string_view answer) {
  while (!answer.empty() && answer.back() == ' ') answer.remove_suffix(1);
  const std::size_t title = strnlen(b.data, channel::Data_Size - 1);
  if (title + 2 > channel::Data_Size) return;
  const std::string text = LATIN1_TO_UTF8(answer, channel::Data_Size - title - 2);
  std::memcpy(b.data + title + 1, text.data(), text.size());
  b.data[title + 1 + text.size()] = '\0';
}

}  // namespace

int KRpickpt(float* x, float* y, const char* prompt) {
  channel::KRwinblock* b = KRstate().current;
  if (b == nullptr) return 0;
  KRsettext(current(), prompt);
  const int reply = KRwincode(current(), channel::Pick, channel::Pick_Point);
  if (reply > 0) world_of(*b, 3, x, y);
  return reply;
}

int KRpickln(float* x1, float* y1, float* x2, float* y2, const char* prompt) {
  KRsettext(current(), prompt);
  return pick_two(channel::Pick_Rectangle, x1, y1, x2, y2);
}

int KRpickrc(float* x1, float* y1, float* x2, float* y2, const char* prompt) {
  KRsettext(current(), prompt);
  return pick_two(channel::Pick_Line, x1, y1, x2, y2);
}

int KRpickrb(float x0, float y0, float* x, float* y, const char* prompt) {
  channel::KRwinblock* b = KRstate().current;
  if (b == nullptr) return 0;
  KRsettext(current(), prompt);
  const Device_Point start = TO_DEVICE(*b, x0, y0);
  const int reply = KRwincmd(current(), channel::Pick, channel::Pick_Rubber_Band, start.x, start.y);
  if (reply > 0) world_of(*b, 3, x, y);
  return reply;
}

void KRPICKPT(int& status, float& x, float& y, std::string_view prompt) {
  KRsetftext(current(), prompt.data(), prompt.size());
  channel::KRwinblock* b = KRstate().current;
  status = b ? KRwincode(current(), channel::Pick, channel::Pick_Point) : 0;
  if (status > 0) world_of(*b, 3, &x, &y);
}

void KRPICKLN(int& status, float& x1, float& y1, float& x2, float& y2, std::string_view prompt) {
  KRsetftext(current(), prompt.data(), prompt.size());
  status = pick_two(channel::Pick_Rectangle, &x1, &y1, &x2, &y2);
}

void KRPICKRC(int& status, float& x1, float& y1, float& x2, float& y2, std::string_view prompt) {
  KRsetftext(current(), prompt.data(), prompt.size());
  status = pick_two(channel::Pick_Line, &x1, &y1, &x2, &y2);
}

void KRPICKRB(int& status, float x0, float y0, float& x, float& y, std::string_view prompt) {
  channel::KRwinblock* b = KRstate().current;
  status = 0;
  if (b == nullptr) return;
  KRsetftext(current(), prompt.data(), prompt.size());
  const Device_Point start = TO_DEVICE(*b, x0, y0);
  status = KRwincmd(current(), channel::Pick, channel::Pick_Rubber_Band, start.x, start.y);
  if (status > 0) world_of(*b, 3, &x, &y);
}

int KRwaitkey(int* key, float* x, float* y, int milliseconds) {
  channel::KRwinblock* b = KRstate().current;
  if (b == nullptr) return 0;
  // The server answers the time waited, 0 when a key came within the first millisecond: the
  // key slot, cleared first, tells what happened.
  b->a[3] = 0;
  const int reply = KRwincmd1(current(), channel::Control, channel::Control_Wait_Key, milliseconds);
  if (key) *key = b->a[3];
  world_of(*b, 4, x, y);
  return reply;
}

int KRgetevent(int* a, int* b, int* c, int kind) {
  channel::KRwinblock* block = KRstate().current;
  if (block == nullptr) return 0;
  const int classes[] = {128, 64, 32};
  const int sent = kind >= 1 && kind <= 3 ? classes[kind - 1] : kind;
  const int reply = KRwincmd1(current(), channel::Control, channel::Control_Event, sent);
  if (reply != 0) {
    if (a) *a = block->a[3];
    if (b) *b = block->a[4];
    if (c) *c = block->a[5];
  }
  return reply;
}

int KRmousest(int* right, float* x, float* y) {
  channel::KRwinblock* b = KRstate().current;
  if (b == nullptr) return 0;
  if (KRwincode(current(), channel::Control, channel::Control_Mouse_State) == 0) return 0;
  world_of(*b, 2, x, y);
  if (right) *right = b->a[5];
  return b->a[4];
}

void KRINPUT(int& status, int& length, std::string_view prompt, std::string& answer) {
  channel::KRwinblock* b = KRstate().current;
  status = 0;
  if (b == nullptr) return;
  KRsetftext(current(), prompt.data(), prompt.size());
  put_preset(*b, answer);
  if (KRwincode(current(), channel::Control, channel::Control_Input_Text) == 0) return;
  const std::size_t typed = strnlen(b->data, channel::Data_Size);
  if (typed >= answer.size()) return;
  answer.replace(0, typed, b->data, typed);
  std::fill(answer.begin() + static_cast<std::ptrdiff_t>(typed), answer.end(), ' ');
  status = length = static_cast<int>(typed);
}

void KROPTION(int& status, int option, int value) {
  status = KRwincmd(current(), channel::Control, channel::Control_Option, option, value);
}

int KRgetrgb(int code, int* red, int* green, int* blue) {
  channel::KRwinblock* b = KRstate().current;
  if (b == nullptr) return 0;
  if (KRwincmd1(current(), channel::Control, channel::Control_Colour_Value, code) == 0) return 0;
  const std::int32_t v = b->a[0];
  if (v < 0) return 0;  // a code without a colour
  if (red) *red = v % 256;
  if (green) *green = v / 256 % 256;
  if (blue) *blue = v / 65536;
  return v / 65536 < 256 ? current() : 0;
}

int KRpause(const char* text) {
  if (KRstate().current == nullptr) return 0;
  KRsettext(current(), text);
  KRwincode(current(), channel::Control, channel::Control_Status_Text);
  int key = 0;
  float x, y;
  while (key == 0)
    if (KRwaitkey(&key, &x, &y, 1000) == 0 && KRstate().current == nullptr) return 0;
  return key;
}
