// Tools_Text_Entry: PGRSTR, the text entry of the pop-up forms.
//
// Reads Display_Settings.Drawing_Colour_Index.

#include <cpgplot.h>

#include "display/Pop_Up.h"
#include "display/Tools_Graphical.h"
#include "records/Globals.h"
#include "text/Blanks.h"

namespace {
constexpr unsigned char Backspace = 8, Tab = 9, Escape = 27, Delete = 127;
}  // namespace

void PGRSTR(float x, float y, float justification, Text_Field& field, std::int32_t& tab_ended) {
  tab_ended = 0;
  std::string text = field.text;
  text.resize(field.length, ' ');
  std::size_t length = WITHOUT_TRAILING_BLANKS(text).size();
  float saved_height = 1.0f;
  int saved_background = 0;
  cpgqch(&saved_height);
  cpgqtbg(&saved_background);
  cpgstbg(0);  // an opaque echo
  float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  cpgqvsz(1, &x1, &x2, &y1, &y2);
  const float view_width = x2;
  float height = saved_height;
  auto draw_echo = [&](int colour) {
    cpgsci(colour);
    cpgsch(height);
    pop_up::DRAW(text.substr(0, length), x, y, justification);
    cpgsci(Display_Settings.Drawing_Colour_Index);
  };

  for (;;) {
    float cursor_x = x, cursor_y = y;
    if (length > 0) {  // each key fits the text anew, so a shrunk text grows back
      height = pop_up::FIT(text.substr(0, length), x, y, justification, saved_height, view_width, true);
      draw_echo(Display_Settings.Drawing_Colour_Index);
      const pop_up::Text_Box box = pop_up::BOX(text.substr(0, length), x, y, justification);
      cursor_x = box.x[3], cursor_y = box.y[3];
    }
    float picked_x = cursor_x, picked_y = cursor_y;
    char typed = ' ';
    cpgband(0, 1, cursor_x, cursor_y, &picked_x, &picked_y, &typed);
    if (length > 0) draw_echo(0);
    unsigned char key = static_cast<unsigned char>(typed);
    if (key == '\\') key = '*';
    if (key == Backspace || key == Delete) {  // nothing to delete in an empty text: ignored
      if (length > 0) text[--length] = ' ';
      continue;
    }
    if (key == Escape) {
      text.assign(field.length, ' ');
      length = 0;
      continue;
    }
    if (key == Tab) {
      tab_ended = -1;
      break;
    }
    if (key < 32) break;
    if (length < field.length) text[length++] = static_cast<char>(key);
  }
  if (length > 0) draw_echo(0);
  draw_echo(Display_Settings.Drawing_Colour_Index);
  cpgstbg(saved_background);
  cpgsch(saved_height);
  field.text = WITHOUT_TRAILING_BLANKS(text);
}
