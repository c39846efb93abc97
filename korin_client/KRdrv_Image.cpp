// KRdrv_Image.cpp - PGPLOT's image primitive: the cells of one image gathered, then sent as
// one bitmap, clipped to its box and placed through the transform. A window reuses its bitmap
// numbers page after page, and a panel drawn anew those of its earlier drawing, so redraws do
// not pile up bitmaps on the server.

#include <algorithm>
#include <cmath>

#include "korin_client/Client_State.h"
#include "korin_client/KRdrv_State.h"
#include "korin_client/Korin.h"

namespace {

constexpr long long Most_Cells = 1LL << 26;  // 256 MB of colour codes

void begin_image(KRdrv_Image& im, const float* rbuf) {
  im = KRdrv_Image{};
  const long long w = std::llround(rbuf[1]), h = std::llround(rbuf[2]);
  if (w < 1 || h < 1 || w * h > Most_Cells) return;  // not an image that can be held
  im.width = static_cast<int>(w), im.height = static_cast<int>(h);
  im.x1 = rbuf[3], im.x2 = rbuf[4], im.y1 = rbuf[5], im.y2 = rbuf[6];
  im.size = static_cast<std::size_t>(w * h);
  // Written straight into the data buffer of the bitmap to be (zero-filled by the server), not
  // gathered first and copied there.
  im.buffer_bytes = KRnewbmpbuffer(im.width, -im.height);
  if (im.buffer_bytes > 0)
    im.cells = static_cast<std::int32_t*>(KRdatabuffer(KRstate().current_window, static_cast<std::size_t>(im.buffer_bytes)));
  im.in_place = im.cells != nullptr;
  if (!im.in_place) {
    im.codes.assign(im.size, 0);
    im.cells = im.codes.data();
  }
  im.receiving = true;
  int dw = 0, dh = 0;
  KRtodevsize(std::fabs(im.x2 - im.x1), std::fabs(im.y2 - im.y1), &dw, &dh);
  const double a = rbuf[7], b = rbuf[8], c = rbuf[9], d = rbuf[10], e = rbuf[11], f = rbuf[12];
  const double det = a * d - b * c;
  if (dw == 0 || dh == 0 || det == 0) return;  // the identity
  const double t = 1 / det;
  const double p = t * a, q = t * c, r = t * d, s = t * b;
  const double sy = std::sqrt(p * p + q * q);
  if (sy == 0) return;
  const double sx = (p * r - q * s) / sy;
  if (sx == 0) return;
  im.t[0] = static_cast<float>(t * (c * f - d * e));
  im.t[3] = static_cast<float>(t * (b * e - a * f));
  im.t[1] = static_cast<float>(r / sx), im.t[2] = static_cast<float>(q / sy);
  im.t[4] = static_cast<float>(s / sx), im.t[5] = static_cast<float>(p / sy);
  im.sx = static_cast<float>(sx), im.sy = static_cast<float>(sy);
}

void dump_image(const KRdrv_Image& im, int bitmap_width, int bitmap_height) {
  if (KRdrv().dump == nullptr) return;
  KRdrv_dump("{\nfloat xfrm[] = {\n\t");
  for (int i = 0; i < 6; ++i) KRdrv_dump("%f%s", im.t[i], i == 2 ? ",\n\t" : i == 5 ? "};\n" : ", ");
  KRdrv_dump("int ibits[] = {");
  for (std::size_t i = 0; i < im.size; ++i) KRdrv_dump("%s%d, ", i % 4 == 0 ? "\n\t" : "", im.cells[i]);
  KRdrv_dump("0};\n");
  KRdrv_dump("\tint ibmp = KRmakebmp(0, %d, %d, %d, ibits);\n", bitmap_width, bitmap_height, 8);
  KRdrv_dump("\tKRsetbmp(ibmp, %f, %f, 1, 0, 1);\n", im.sx * im.width, im.sy * im.height);
  KRdrv_dump("\tKRsetrgn(%f, %f, %f, %f, 1);\n", im.x1, im.y1, im.x2, im.y2);
  KRdrv_dump("\tKRsetxfrm(xfrm);\n\tKRputbmp(ibmp, %f, %f, 1);\n", 0.0, 0.0);
  KRdrv_dump("\tKRsetxfrm(NULL);\n\tKRsetrgn(0.0, 0.0, 0.0, 0.0, -1);\n}\n");
}

void end_image(KRdrvstate& r, KRdrv_Image& im) {
  dump_image(im, im.width, -im.height);  // while the cells are sure to be there
  KRdrv_Bitmap_Numbers& pool = KRdrv_bitmap_numbers(r);
  const bool reuse = pool.next < pool.numbers.size();
  const int k = reuse ? pool.numbers[pool.next] : 0;
  const bool filled = im.buffer_bytes > 0 && (im.in_place || KRsenddata(KRstate().current_window, im.codes.data(), im.buffer_bytes) != 0);
  const int number = filled ? KRbmpfrombuffer(k, im.width, -im.height, 8) : 0;
  if (number > 0) {
    if (!reuse) pool.numbers.push_back(number);
    ++pool.next;
    KRsetbmp(number, im.sx * static_cast<float>(im.width), im.sy * static_cast<float>(im.height), 1, 0, 1);
    KRsetrgn(im.x1, im.y1, im.x2, im.y2, 1);
    KRsetxfrm(im.t);
    KRputbmp(number, 0, 0, 1);
    KRsetxfrm(nullptr);
    KRsetrgn(0, 0, 0, 0, -1);
  }
  im = KRdrv_Image{};
}

}  // namespace

void KRdrv_image(const float* rbuf, int* nbuf) {
  KRdrv_Image& im = KRdrv().image;
  KRdrvstate* r = KRdrv_record();
  *nbuf = -1;
  if (r == nullptr) return;
  if (rbuf[0] == 0) {
    begin_image(im, rbuf);
  } else if (rbuf[0] >= 1 && im.receiving) {
    const std::size_t n = static_cast<std::size_t>(rbuf[0]);
    // Locals: a store through `cells` could otherwise change `im`, which would be read anew for
    // every cell.
    std::int32_t* const cells = im.cells + im.count;
    const std::size_t taken = std::min(n, im.size - im.count);
    const std::array<int, KRdrv_Colours>& colours = r->colours;
    for (std::size_t i = 0; i < taken; ++i) {
      const int index = static_cast<int>(rbuf[1 + i] + 0.5f);
      cells[i] = colours[index >= 0 && index < KRdrv_Colours ? static_cast<std::size_t>(index) : 0];
    }
    im.count += taken;
  } else if (rbuf[0] < 0 && im.receiving) {
    end_image(*r, im);
  }
}
