// KRDRIV.h - the PGPLOT device driver of Korin windows, devices /KR, /CKR, /KRD, /CKRD
// (modes 1-4), called by GREXEC with PGPLOT's driver arguments.
#pragma once

#include <cstddef>

void KRDRIV(int opcode, float* rbuf, int* nbuf, char* chr, int* lchr, int mode, std::size_t chr_len);

// The window the selected device of this driver draws into (0 none, -1 after the last close).
int KRDRIV_WINDOW();

// The next close of a device leaves its window, with its picture, until the connection ends.
void KRDRIV_KEEP_WINDOW();

// The selected device's window was cleared whole from outside the driver: its bitmap numbers
// are free to be used again, as after a new page.
void KRDRIV_WINDOW_CLEARED();

// Panel `panel` (1 up) of the selected device is drawn anew over its earlier drawing: the
// window drops the objects of that earlier drawing, the bitmap numbers they showed are free
// again, and what the driver draws from now on belongs to that panel.
void KRDRIV_PANEL(int panel);
