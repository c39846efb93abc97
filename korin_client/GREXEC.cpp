// GREXEC: PGPLOT's device dispatch, replacing the library's own table.
//
// Device numbers 1-4 belong to the Korin window driver KRDRIV (/KR, /CKR, /KRD, /CKRD, its
// modes 1-4); the library's own drivers follow: NULL, PS, VPS, CPS, VCPS, GIF, VGIF.
// Called by PGPLOT with the Fortran convention (hidden string length last).

#include <cstddef>
#include <cstring>
#include <string>

#include "korin_client/KRDRIV.h"
#include "korin_client/PGPLOT_Fortran.h"

extern "C" {
void nudriv_(int* ifunc, float* rbuf, int* nbuf, char* chr, int* lchr, std::size_t chr_len);
void psdriv_(int* ifunc, float* rbuf, int* nbuf, char* chr, int* lchr, int* mode,
             std::size_t chr_len);
void gidriv_(int* ifunc, float* rbuf, int* nbuf, char* chr, int* lchr, int* mode,
             std::size_t chr_len);
}

namespace {

enum class Driver { Korin, Null, PostScript, Gif };

struct Device_Entry {
  Driver driver;
  int mode;
};

constexpr Device_Entry Devices[] = {
    {Driver::Korin, 1},       // 1 /KR
    {Driver::Korin, 2},       // 2 /CKR
    {Driver::Korin, 3},       // 3 /KRD
    {Driver::Korin, 4},       // 4 /CKRD
    {Driver::Null, 0},        // 5 /NULL
    {Driver::PostScript, 1},  // 6 /PS
    {Driver::PostScript, 2},  // 7 /VPS
    {Driver::PostScript, 3},  // 8 /CPS
    {Driver::PostScript, 4},  // 9 /VCPS
    {Driver::Gif, 1},         // 10 /GIF
    {Driver::Gif, 2},         // 11 /VGIF
};
constexpr int Device_Count = sizeof(Devices) / sizeof(Devices[0]);

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
    case Driver::Korin:
      KRDRIV(*ifunc, rbuf, nbuf, chr, lchr, entry.mode, chr_len);
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
