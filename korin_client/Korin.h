/* Korin.h - the client library of the graphics-window server kornd: the plain entry points.
 *
 * Coordinates are world units of the current window unless said; results above 0 (as a rule
 * the window number) mean success, 0 failure. Every failure of the connection itself (no
 * server, the server gone or ending abnormally) is reported on standard error and ends the
 * program. Plain C, so that a dumped drawing compiles against it. */
#ifndef KORIN_H
#define KORIN_H

#include <stddef.h> /* NULL, as dumped drawings pass it */

#ifdef __cplusplus
extern "C" {
#endif

/* Connection */
int KRinitx(int flags, int x, int y, int width, int height, int arrange, int show, int zorder);
int KRquitx(int mode);
int KRquit(void);

/* Windows and coordinates */
int KRopenx(int w, int width, int height, int foreground, int background, int show, const char* title);
int KRnextwn(int w);
int KRselect(int w);
int KRshowwn(int w, int show);
int KRshowfr(int code);
int KRarrange(int arrangement);
int KRindow(float x1, float y1, float x2, float y2);
int KRvport(float x1, float y1, float x2, float y2);
int KRtodevsize(float width, float height, int* device_width, int* device_height);
int KRdims(int selector, int* a, int* b);

/* Drawing */
int KRsetpen(int colour, int style, int width, int mix);
int KRsetbrs(int colour, int style, int hatch);
int KRsetmrk(int type, float size, int colour1, int colour2, int mix);
int KRcolor(int code, int role);
int KRmakergb(int red, int green, int blue);
int KRmoveto(int device_x, int device_y);
int KRlineto(int device_x, int device_y);
int KRline(float x1, float y1, float x2, float y2);
int KRsrect(float x1, float y1, float x2, float y2, int colour);
int KRpolygon(const float* points, int n, int fill_mode);
int KRpolylin(const float* points, int n);
int KRputmrk(float x, float y);
int KRclear(int colour);
int KRsetrgn(float x1, float y1, float x2, float y2, int mode);
int KRsetxfrm(const float* t);
int KRbegincmb(int k, float width, float height);
int KRendcmb(void);
int KRputcmb(int k, float x, float y, float width, float height, int mode);
int KRdelcmb(int k);

/* Bitmaps */
int KRmakebmp(int k, int width, int height, int bits, const int* pixels);
int KRsetbmp(int k, float width, float height, int p1, int p2, int p3);
int KRputbmp(int k, float x, float y, int mode);

/* Input and options */
int KRpickpt(float* x, float* y, const char* prompt);
int KRpickln(float* x1, float* y1, float* x2, float* y2, const char* prompt);
int KRpickrc(float* x1, float* y1, float* x2, float* y2, const char* prompt);
int KRpickrb(float x0, float y0, float* x, float* y, const char* prompt);
int KRwaitkey(int* key, float* x, float* y, int milliseconds);
int KRgetevent(int* a, int* b, int* c, int kind);
int KRmousest(int* right, float* x, float* y);
int KRgetrgb(int code, int* red, int* green, int* blue);
/* Shows the text in the status bar and waits for a key or a mouse button: its code. */
int KRpause(const char* text);

#ifdef __cplusplus
}
#endif

#endif
