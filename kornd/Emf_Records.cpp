// Emf_Records.cpp - enhanced-metafile writer, checker and player (see Emf_Records.h).
#include "kornd/Emf_Records.h"

#include <algorithm>  // std::max
#include <cstring>    // std::memcpy
#include <variant>

#include "kornd/Bmp_File.h"
#include "kornd/CDib.h"
#include "kornd/KRdc.h"

namespace emf {

using bmp::GET32;
using bmp::PUT32;

namespace {

// Largest handle table a played metafile may ask for.
constexpr std::uint32_t Max_Handles = 65535;

std::int32_t S32(const std::uint8_t* p) { return static_cast<std::int32_t>(GET32(p)); }
std::int16_t S16(const std::uint8_t* p) { return static_cast<std::int16_t>(bmp::GET16(p)); }

// Smallest size of a record type whose fields the player reads; 8 for the others.
std::uint32_t min_size(std::uint32_t type) {
  switch (type) {
    case EMR_MOVETOEX: case EMR_LINETO: case EMR_SETWINDOWEXTEX: case EMR_SETVIEWPORTEXTEX:
    case EMR_SETVIEWPORTORGEX: case EMR_SETWINDOWORGEX: return 16;
    case EMR_SETMAPMODE: case EMR_SETBKMODE: case EMR_SETROP2: case EMR_SETBKCOLOR: case EMR_SELECTOBJECT:
    case EMR_DELETEOBJECT: case EMR_RESTOREDC: return 12;
    case EMR_SETPIXELV: return 20;
    case EMR_RECTANGLE: case EMR_ELLIPSE: return 24;
    case EMR_CREATEPEN: return 28;
    case EMR_CREATEBRUSHINDIRECT: return 24;
    case EMR_POLYGON: case EMR_POLYLINE: case EMR_POLYGON16: case EMR_POLYLINE16: return 28;
    case EMR_STRETCHDIBITS: return 80;
    case EMR_EOF: return 20;
    default: return 8;
  }
}

// The variable parts of a record lie inside it, its handles are inside the header's table and
// its bitmap is one a bitmap can be made of.
bool record_fits(const std::uint8_t* r, std::uint32_t size, std::uint32_t handles) {
  const std::uint32_t type = GET32(r);
  switch (type) {
    case EMR_POLYGON: case EMR_POLYLINE: case EMR_POLYGON16: case EMR_POLYLINE16: {
      const std::uint64_t per = type == EMR_POLYGON || type == EMR_POLYLINE ? 8 : 4;
      return 28 + per * std::uint64_t(GET32(r + 24)) <= size;
    }
    case EMR_CREATEPEN: case EMR_CREATEBRUSHINDIRECT: {
      const std::uint32_t index = GET32(r + 8);
      return index >= 1 && index < handles;
    }
    case EMR_SELECTOBJECT: {
      const std::uint32_t index = GET32(r + 8);
      return (index & Stock_Object) != 0 || (index >= 1 && index < handles);
    }
    case EMR_STRETCHDIBITS: {
      const std::uint64_t bmi = GET32(r + 48), cb_bmi = GET32(r + 52), bits = GET32(r + 56), cb_bits = GET32(r + 60);
      if (bmi < 80 || bmi + cb_bmi > size || bits < 80 || bits + cb_bits > size) return false;
      bmp::Info_Header h;
      std::uint64_t image = 0;
      return bmp::CHECK_BLOCK(r + bmi, cb_bmi, cb_bits, std::uint64_t(1) << 30, h, image);
    }
    default:
      return true;
  }
}

}  // namespace

std::int32_t FRAME_OF(std::int64_t pixels, std::int64_t dpi) {
  return dpi > 0 ? static_cast<std::int32_t>(pixels * 2540 / dpi) : 0;
}

Writer::Writer(int pixel_width, int pixel_height, int frame_width, int frame_height, int device_cx, int device_cy,
               int millimetres_cx, int millimetres_cy)
    : bytes_(Header_Size, 0) {
  std::uint8_t* h = bytes_.data();
  PUT32(h, EMR_HEADER);
  PUT32(h + 4, Header_Size);
  PUT32(h + 8, 0);
  PUT32(h + 12, 0);
  PUT32(h + 16, static_cast<std::uint32_t>(std::max(0, pixel_width - 1)));
  PUT32(h + 20, static_cast<std::uint32_t>(std::max(0, pixel_height - 1)));
  PUT32(h + 32, static_cast<std::uint32_t>(frame_width));
  PUT32(h + 36, static_cast<std::uint32_t>(frame_height));
  PUT32(h + 40, Signature);
  PUT32(h + 44, 0x10000);
  PUT32(h + 72, static_cast<std::uint32_t>(device_cx));
  PUT32(h + 76, static_cast<std::uint32_t>(device_cy));
  PUT32(h + 80, static_cast<std::uint32_t>(millimetres_cx));
  PUT32(h + 84, static_cast<std::uint32_t>(millimetres_cy));
  PUT32(h + 100, static_cast<std::uint32_t>(millimetres_cx * 1000));
  PUT32(h + 104, static_cast<std::uint32_t>(millimetres_cy * 1000));
}

void Writer::Add(std::uint32_t type, const std::vector<std::int32_t>& params) {
  const std::size_t at = bytes_.size();
  bytes_.resize(at + 8 + 4 * params.size());
  PUT32(bytes_.data() + at, type);
  PUT32(bytes_.data() + at + 4, static_cast<std::uint32_t>(8 + 4 * params.size()));
  for (std::size_t i = 0; i < params.size(); ++i) PUT32(bytes_.data() + at + 8 + 4 * i, static_cast<std::uint32_t>(params[i]));
  ++records_;
}

void Writer::AddStretchDIBits(int x, int y, int width, int height, const CDib& dib, std::uint32_t rop,
                              const KRrect* device) {
  const std::vector<std::uint8_t>& block = dib.HeaderBlock();
  const std::vector<std::uint8_t>& bits = dib.Bits();
  const std::size_t cb_bmi = (block.size() + 3) / 4 * 4, cb_bits = (bits.size() + 3) / 4 * 4;
  const std::size_t size = 80 + cb_bmi + cb_bits;
  const std::size_t at = bytes_.size();
  bytes_.resize(at + size, 0);
  std::uint8_t* r = bytes_.data() + at;
  PUT32(r, EMR_STRETCHDIBITS);
  PUT32(r + 4, static_cast<std::uint32_t>(size));
  const KRrect bounds = device ? *device : KRrect{x, y, x + width, y + height};
  PUT32(r + 8, static_cast<std::uint32_t>(std::min(bounds.left, bounds.right)));
  PUT32(r + 12, static_cast<std::uint32_t>(std::min(bounds.top, bounds.bottom)));
  PUT32(r + 16, static_cast<std::uint32_t>(std::max(bounds.left, bounds.right) - 1));
  PUT32(r + 20, static_cast<std::uint32_t>(std::max(bounds.top, bounds.bottom) - 1));
  PUT32(r + 24, static_cast<std::uint32_t>(x));
  PUT32(r + 28, static_cast<std::uint32_t>(y));
  PUT32(r + 40, static_cast<std::uint32_t>(dib.Width()));
  PUT32(r + 44, static_cast<std::uint32_t>(dib.Height()));
  PUT32(r + 48, 80);
  PUT32(r + 52, static_cast<std::uint32_t>(block.size()));
  PUT32(r + 56, static_cast<std::uint32_t>(80 + cb_bmi));
  PUT32(r + 60, static_cast<std::uint32_t>(bits.size()));
  PUT32(r + 64, 0);  // DIB_RGB_COLORS
  PUT32(r + 68, rop);
  PUT32(r + 72, static_cast<std::uint32_t>(width));
  PUT32(r + 76, static_cast<std::uint32_t>(height));
  std::memcpy(r + 80, block.data(), block.size());
  if (!bits.empty()) std::memcpy(r + 80 + cb_bmi, bits.data(), bits.size());
  ++records_;
}

std::vector<std::uint8_t> Writer::Finish() {
  Add(EMR_EOF, {0, 16, 20});
  PUT32(bytes_.data() + 48, static_cast<std::uint32_t>(bytes_.size()));
  PUT32(bytes_.data() + 52, records_);
  bmp::PUT16(bytes_.data() + 56, static_cast<std::uint16_t>(std::min<std::uint32_t>(handles_, Max_Handles)));
  return std::move(bytes_);
}

bool CHECK(const std::vector<std::uint8_t>& bytes, Header* header) {
  const std::size_t n = bytes.size();
  if (n < 88 || n > 0xFFFFFFFFu) return false;
  const std::uint8_t* b = bytes.data();
  const std::uint32_t header_size = GET32(b + 4);
  if (GET32(b) != EMR_HEADER || GET32(b + 40) != Signature || header_size < 88 || header_size % 4 != 0 ||
      header_size > n || GET32(b + 48) != n)
    return false;
  std::uint64_t at = 0;
  std::uint32_t count = 0, last = 0;
  while (at < n) {
    if (at + 8 > n) return false;
    const std::uint32_t type = GET32(b + at), size = GET32(b + at + 4);
    if (size < 8 || size % 4 != 0 || at + size > n) return false;
    if (size < min_size(type) || !record_fits(b + at, size, std::min<std::uint32_t>(bmp::GET16(b + 56), Max_Handles)))
      return false;
    if (count > 0 && type == EMR_HEADER) return false;
    last = type;
    ++count;
    at += size;
  }
  if (last != EMR_EOF || count != GET32(b + 52)) return false;
  if (header) {
    header->bounds = {S32(b + 8), S32(b + 12), S32(b + 16), S32(b + 20)};
    header->frame = {S32(b + 24), S32(b + 28), S32(b + 32), S32(b + 36)};
    header->bytes = GET32(b + 48);
    header->records = count;
    header->handles = bmp::GET16(b + 56);
    header->device_cx = S32(b + 72);
    header->device_cy = S32(b + 76);
    header->millimetres_cx = S32(b + 80);
    header->millimetres_cy = S32(b + 84);
  }
  return true;
}

namespace {

// Records' logical coordinates (the picture's pixels, from the window origin on) onto the
// target rectangle.
struct Mapping {
  KRrect rect;
  std::int64_t pw, ph;
  KRpoint origin;
  KRpoint operator()(std::int32_t x, std::int32_t y) const {
    return {static_cast<std::int32_t>(rect.left + (std::int64_t(x) - origin.x) * (rect.right - rect.left) / pw),
            static_cast<std::int32_t>(rect.top + (std::int64_t(y) - origin.y) * (rect.bottom - rect.top) / ph)};
  }
  KRrect box(const std::uint8_t* p) const {
    KRpoint a = (*this)(S32(p), S32(p + 4)), c = (*this)(S32(p + 8), S32(p + 12));
    return {std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)};
  }
};

using Gdi_Object = std::variant<std::monostate, KRlogpen, KRlogbrush>;

bool stock_object(std::uint32_t index, KRdc& dc) {
  switch (index & 0x7FFFFFFF) {
    case 0: dc.SelectBrush({0, 0xFFFFFF, 0}); return true;   // WHITE_BRUSH
    case 1: dc.SelectBrush({0, 0xC0C0C0, 0}); return true;   // LTGRAY_BRUSH
    case 2: dc.SelectBrush({0, 0x808080, 0}); return true;   // GRAY_BRUSH
    case 3: dc.SelectBrush({0, 0x404040, 0}); return true;   // DKGRAY_BRUSH
    case 4: dc.SelectBrush({0, 0x000000, 0}); return true;   // BLACK_BRUSH
    case 5: dc.SelectBrush({1, 0, 0}); return true;          // NULL_BRUSH
    case 6: dc.SelectPen({0, 1, 0, 0xFFFFFF}); return true;  // WHITE_PEN
    case 7: dc.SelectPen({0, 1, 0, 0x000000}); return true;  // BLACK_PEN
    case 8: dc.SelectPen({5, 1, 0, 0}); return true;         // NULL_PEN
    default: return true;                                    // other stock objects change nothing here
  }
}

void points(const std::uint8_t* r, const Mapping& map, std::vector<KRpoint>& out) {
  const std::uint32_t type = GET32(r), count = GET32(r + 24);
  out.clear();
  out.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (type == EMR_POLYGON16 || type == EMR_POLYLINE16) out.push_back(map(S16(r + 28 + 4 * i), S16(r + 30 + 4 * i)));
    else out.push_back(map(S32(r + 28 + 8 * i), S32(r + 32 + 8 * i)));
  }
}

}  // namespace

bool PLAY(const std::vector<std::uint8_t>& bytes, KRdc& dc, const KRrect& rect, int pixel_width, int pixel_height,
          std::uint32_t* failed_type, Dib_Cache* cache) {
  Header h;
  if (!CHECK(bytes, &h)) {
    if (failed_type) *failed_type = bytes.size() >= 4 ? GET32(bytes.data()) : 0;
    return false;
  }
  Mapping map{rect, std::max(1, pixel_width), std::max(1, pixel_height), {0, 0}};
  std::vector<Gdi_Object> handles(std::min<std::uint32_t>(std::max<std::uint32_t>(h.handles, 1), Max_Handles));
  const KRlogpen keep_pen = dc.Pen();
  const KRlogbrush keep_brush = dc.Brush();
  const int keep_rop = dc.GetROP2();
  const KRpoint keep_position = dc.CurrentPosition();
  std::vector<KRpoint> pts;
  bool ok = true;
  for (std::size_t at = GET32(bytes.data() + 4); at < bytes.size() && ok;) {
    const std::size_t record = at;
    const std::uint8_t* r = bytes.data() + at;
    const std::uint32_t type = GET32(r), size = GET32(r + 4);
    at += size;
    switch (type) {
      case EMR_EOF:  // the end of the picture
        at = bytes.size();
        break;
      case EMR_SETWINDOWEXTEX:    // the recorder's own mapping does not replace the target's
      case EMR_SETVIEWPORTEXTEX:
      case EMR_SETVIEWPORTORGEX:
      case EMR_SETMAPMODE:
        break;
      case EMR_SETWINDOWORGEX:
        map.origin = {S32(r + 8), S32(r + 12)};
        break;
      case EMR_MOVETOEX: {
        KRpoint p = map(S32(r + 8), S32(r + 12));
        dc.MoveTo(p.x, p.y);
        break;
      }
      case EMR_LINETO: {
        KRpoint p = map(S32(r + 8), S32(r + 12));
        dc.LineTo(p.x, p.y);
        break;
      }
      case EMR_RECTANGLE:
        dc.Rectangle(map.box(r + 8));
        break;
      case EMR_ELLIPSE:
        dc.Ellipse(map.box(r + 8));
        break;
      case EMR_POLYGON:
      case EMR_POLYGON16:
        points(r, map, pts);
        dc.Polygon(pts.data(), pts.size());
        break;
      case EMR_POLYLINE:
      case EMR_POLYLINE16:
        points(r, map, pts);
        dc.Polyline(pts.data(), pts.size());
        break;
      case EMR_SETPIXELV: {
        KRpoint p = map(S32(r + 8), S32(r + 12));
        dc.SetPixel(p.x, p.y, GET32(r + 16) & 0xFFFFFF);
        break;
      }
      case EMR_SETROP2:
        dc.SetROP2(S32(r + 8));
        break;
      case EMR_CREATEPEN:
      case EMR_CREATEBRUSHINDIRECT: {
        const std::uint32_t index = GET32(r + 8);
        if (index == 0 || index >= handles.size()) { ok = false; break; }
        if (type == EMR_CREATEPEN)
          handles[index] = KRlogpen{S32(r + 12), std::max(1, S32(r + 16)), 0, GET32(r + 24) & 0xFFFFFF};
        else
          handles[index] = KRlogbrush{GET32(r + 12), GET32(r + 16) & 0xFFFFFF, S32(r + 20)};
        break;
      }
      case EMR_SELECTOBJECT: {
        const std::uint32_t index = GET32(r + 8);
        if (index & Stock_Object) { stock_object(index, dc); break; }
        if (index >= handles.size()) { ok = false; break; }
        if (auto* pen = std::get_if<KRlogpen>(&handles[index])) dc.SelectPen(*pen);
        else if (auto* brush = std::get_if<KRlogbrush>(&handles[index])) dc.SelectBrush(*brush);
        else ok = false;
        break;
      }
      case EMR_DELETEOBJECT: {
        const std::uint32_t index = GET32(r + 8);
        if (index < handles.size()) handles[index] = std::monostate{};
        break;
      }
      case EMR_STRETCHDIBITS: {
        CDib local;
        CDib* dib = &local;
        if (cache) {
          std::unique_ptr<CDib>& kept = (*cache)[record];
          if (!kept) {
            kept = std::make_unique<CDib>();
            if (!kept->FromPacked(r + GET32(r + 48), GET32(r + 52), r + GET32(r + 56), GET32(r + 60))) kept.reset();
          }
          dib = kept.get();
        } else if (!local.FromPacked(r + GET32(r + 48), GET32(r + 52), r + GET32(r + 56), GET32(r + 60))) {
          dib = nullptr;
        }
        if (dib == nullptr) { ok = false; break; }
        KRpoint a = map(S32(r + 24), S32(r + 28));
        KRpoint c = map(S32(r + 24) + S32(r + 72), S32(r + 28) + S32(r + 76));
        dib->DrawTransparent(dc, a.x, a.y, c.x - a.x, c.y - a.y, GET32(r + 68), false, -1);
        break;
      }
      default:  // a record this player does not know is passed over
        break;
    }
    if (!ok && failed_type) *failed_type = type;
  }
  dc.SelectPen(keep_pen);
  dc.SelectBrush(keep_brush);
  dc.SetROP2(keep_rop);
  dc.MoveTo(keep_position.x, keep_position.y);
  return ok;
}

}  // namespace emf
