// Korin_Upper.h - the display program's forms of the client library: the result in the first
// argument, texts as fixed-length blank-padded fields (their trailing blanks dropped).
#pragma once

#include <string>
#include <string_view>

void KRINITX(int& status, int flags, int x, int y, int width, int height, int arrange, int show, int zorder);
void KRQUITX(int& status, int mode);
// Sends the drawing requests still waiting in a batch and waits until the server has them.
void KRflush();
void KRCLOSE(int& status, int& w);
void KRFIRSTWN(int& status);
void KRSELECT(int& status, int& w);
void KRSHOWWN(int& status, int w, int show);
void KRSHOWFR(int& status, int code);
void KRDIMS(int& status, int selector, int& a, int& b);
void KRLINE(int& status, float x1, float y1, float x2, float y2);
void KRCLEAR(int& status, int colour);
void KRPICKPT(int& status, float& x, float& y, std::string_view prompt);
void KRPICKLN(int& status, float& x1, float& y1, float& x2, float& y2, std::string_view prompt);
void KRPICKRC(int& status, float& x1, float& y1, float& x2, float& y2, std::string_view prompt);
void KRPICKRB(int& status, float x0, float y0, float& x, float& y, std::string_view prompt);
void KROPTION(int& status, int option, int value);
// The typed line into the answer field (its size is the field's length), blank-padded, and
// its length; status is that length, or 0 (nothing written) when the dialog failed or the line
// does not fit the field.
void KRINPUT(int& status, int& length, std::string_view prompt, std::string& answer);
