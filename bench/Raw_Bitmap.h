// Raw_Bitmap.h - a bitmap of colour values sent to a running kornd through raw requests, the
// way the client library sends it: B 20 makes the data buffer; when its reply hands the
// buffer over, the values are written in place, otherwise they go in B 36 pieces; D 5 makes
// the bitmap.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "Kornd_Server.h"
#include "platform/Shared_Buffer.h"

namespace bench {

inline std::uint32_t REQUEST(Kornd_Server& k, channel::KRwinblock& b, char letter, int code, std::vector<int> a) {
  b.code = code;
  for (std::size_t i = 0; i < 6; ++i) b.a[i] = i < a.size() ? a[i] : 0;
  return k.Send(std::string{letter, '!'});
}

// Bitmap n (D 5, 32 bits) of w x h values; `in_place` keeps the mapped buffer between calls.
// False when a request failed.
inline bool SEND_BITMAP(Kornd_Server& k, channel::KRwinblock& b, platform::Shared_Buffer& in_place, int n, int w,
                        int h, const std::vector<std::uint32_t>& values) {
  const int bytes = static_cast<int>(values.size() * 4);
  if (REQUEST(k, b, 'B', 20, {bytes}) != 1) return false;
  const char* src = reinterpret_cast<const char*>(values.data());
  if (in_place.ADOPT(k.client().TAKE_ATTACHED(), static_cast<std::size_t>(bytes))) {
    std::memcpy(in_place.view(), src, static_cast<std::size_t>(bytes));
  } else {
    for (int at = 0; at < bytes; at += int(channel::Data_Size)) {
      const int piece = std::min(int(channel::Data_Size), bytes - at);
      std::memcpy(b.data, src + at, static_cast<std::size_t>(piece));
      if (REQUEST(k, b, 'B', 36, {at, piece}) != 1) return false;
    }
  }
  return REQUEST(k, b, 'D', 5, {n, 32, w, h}) == 1;
}

}  // namespace bench
