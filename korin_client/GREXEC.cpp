// GREXEC: PGPLOT's device dispatch, replacing the library's own table.
//
// Device numbers 1-4 belong to the Korin window driver (/KR, /CKR, /KRD, /CKRD); until it
// is linked in they answer as absent devices: an empty type name, and -1 in NBUF for
// every other opcode. The library's own drivers follow: NULL, PS, VPS, CPS, VCPS, GIF, VGIF.
// Called by PGPLOT with the Fortran convention (hidden string length last).

#include <cstddef>
#include <cstring>
#include <string>

#include "korin_client/PGPLOT_Fortran.h"

extern "C" {
void nudriv_(int* ifunc, float* rbuf, int* nbuf, char* chr, int* lchr, std::size_t chr_len);
void psdriv_(int* ifunc, float* rbuf, int* nbuf, char* chr, int* lchr, int* mode,
             std::size_t chr_len);
void gidriv_(int* ifunc, float* rbuf, int* nbuf, char* chr, int* lchr, int* mode,
             std::size_t chr_len);
}

namespace {

enum class Driver { Absent, Null, PostScript, Gif };

struct Device_Entry {
  Driver driver;
  int mode;
};

constexpr Device_Entry Devices[] = {
    {Driver::Absent, 1},      // 1 /KR
    {Driver::Absent, 2},      // 2 /CKR
    {Driver::Absent, 3},      // 3 /KRD
    {Driver::Absent, 4},      // 4 /CKRD
    {Driver::Null, 0},        // 5 /NULL
    {Driver::PostScript, 1},  // 6 /PS
    {Driver::PostScript, 2},  // 7 /VPS
    {Driver::PostScript, 3},  // 8 /CPS
    {Driver::PostScript, 4},  // 9 /VCPS
    {Driver::Gif, 1},         // 10 /GIF
    {Driver::Gif, 2},         // 11 /VGIF
};
constexpr int Device_Count = sizeof(Devices) / sizeof(Devices[0]);

// An absent device has no type name, so PGPLOT never selects it.
void absent_device(int ifunc, int* nbuf, char* chr, int* lchr, std::size_t chr_len) {
  if (ifunc == 1) {
    std::memset(chr, ' ', chr_len);
    *lchr = 0;
    *nbuf = 0;
    return;
  }
  *nbuf = -1;
}

}  // namespace

extern "C" void grexec_(int* idev, int* ifunc, float* rbuf, int* nbuf, char* chr, int* lchr,
                        std::size_t chr_len) {
  if (*idev == 0) {
    rbuf[0] = static_cast<float>(Device_Count);
    *nbuf = 1;
    return;
  }
  if (*idev < 1 || *idev > Device_Count) {
    grwarn_text("Unknown device code in GREXEC: " + std::to_string(*idev));
    return;
  }
  Device_Entry entry = Devices[*idev - 1];
  switch (entry.driver) {
    case Driver::Absent:
      absent_device(*ifunc, nbuf, chr, lchr, chr_len);
      break;
    case Driver::Null:
      nudriv_(ifunc, rbuf, nbuf, chr, lchr, chr_len);
      break;
    case Driver::PostScript:
      psdriv_(ifunc, rbuf, nbuf, chr, lchr, &entry.mode, chr_len);
      break;
    case Driver::Gif:
      gidriv_(ifunc, rbuf, nbuf, chr, lchr, &entry.mode, chr_len);
      break;
  }
}
