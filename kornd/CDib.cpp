// CDib.cpp - device-independent bitmaps (see CDib.h).
#include "kornd/CDib.h"

#include "kornd/Save_File.h"

#include <QFile>
#include <QFileInfo>

#include <sys/sysinfo.h>  // sysinfo: the memory warning's limit

#include <algorithm>  // std::stable_sort, std::min
#include <cmath>      // std::cbrt
#include <cstring>    // std::memcpy
#include <vector>

#include "kornd/Bmp_File.h"
#include "kornd/CKorndApp.h"
#include "kornd/CKorndBox.h"
#include "kornd/DrawUtil.h"
#include "kornd/File_Dialog.h"
#include "kornd/KRdc.h"

namespace {

// Largest pixel block a file, a copy or a request may make (1 GiB), whatever the warning says.
constexpr std::uint64_t Max_Image_Bytes = std::uint64_t(1) << 30;

void show_error(const QString& text) {
  if (CKorndApp* app = KorndApp()) app->ShowError(text, false);
}

int display_depth() {
  CKorndApp* app = KorndApp();
  int d = app ? app->display_info.bitspixel : 0;
  return d == 16 || d == 24 || d == 32 ? d : 32;
}

std::uint32_t display_format() {
  CKorndApp* app = KorndApp();
  return app && app->display_info.color_bits ? app->display_info.color_bits : Format_888;
}

int trailing_zeros(std::uint32_t m) { return m ? __builtin_ctz(m) : 0; }

// A channel of a packed pixel scaled to 0-255.
std::uint32_t channel_of(std::uint32_t raw, std::uint32_t mask) {
  if (mask == 0) return 0;
  std::uint32_t max = mask >> trailing_zeros(mask);
  std::uint32_t v = (raw & mask) >> trailing_zeros(mask);
  return static_cast<std::uint32_t>((std::uint64_t(v) * 255 + max / 2) / max);
}

std::uint32_t channel_to(std::uint32_t c, std::uint32_t mask) {
  if (mask == 0) return 0;
  std::uint32_t max = mask >> trailing_zeros(mask);
  return static_cast<std::uint32_t>((std::uint64_t(c) * max + 127) / 255) << trailing_zeros(mask) & mask;
}

// Result of a ternary raster operation (its middle byte) on 24-bit colours.
std::uint32_t rop3(std::uint8_t code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  switch (code) {
    case 0xCC: return s;
    case 0xEE: return s | d;
    case 0x88: return s & d;
    case 0x66: return s ^ d;
    default: break;
  }
  std::uint32_t r = 0;
  for (int i = 0; i < 8; ++i)
    if (code >> i & 1) r |= (i & 4 ? p : ~p) & (i & 2 ? s : ~s) & (i & 1 ? d : ~d);
  return r & 0xFFFFFF;
}

QRgb colorref_to_rgb(std::uint32_t c) { return 0xFF000000u | SWAP_RED_BLUE(c); }

}  // namespace

int CheckBitmapMemory(std::uint64_t image_bytes) {
  struct sysinfo si {};
  std::uint64_t total_mb = sysinfo(&si) == 0 ? std::uint64_t(si.totalram) * si.mem_unit >> 20 : 64;
  const std::uint64_t limit = std::min<std::uint64_t>(total_mb, 64);
  const std::uint64_t mb = image_bytes >> 20;
  if (mb <= limit) return 1;
  int load = si.totalram ? static_cast<int>(100 - std::uint64_t(si.freeram) * 100 / si.totalram) : 0;
  CKorndApp* app = KorndApp();
  if (app) app->box_open = true;
  int answer = CKorndBox::Show(QString::asprintf("Kornd Warning:  %d%% of memory in use", load),
                               CKorndApp::StringOf(IDS_BITMAP_TOO_LARGE), 0x40033);
  if (app) app->box_open = false;
  if (answer == CKorndBox::IDYES) {
    int f = 1;
    while (mb / std::uint64_t(f) / std::uint64_t(f) > limit) f *= 2;
    return f;
  }
  if (answer == CKorndBox::IDNO) {
    if (app) app->PostCloseMain();
    return 0;
  }
  return 1;
}

CDib::~CDib() = default;

void CDib::Reset() {
  header_.clear();
  header_.shrink_to_fit();
  bits_.clear();
  bits_.shrink_to_fit();
  format_ = 0;
  colour_count_ = 0;
  shrink_ = 1;
  file_name_.clear();
  mask_.reset();
  mask_colour_ = -1;
  image_ = QImage();
  image_valid_ = false;
  reduced_ = QImage();
}

int CDib::Width() const { return header_.empty() ? 0 : static_cast<int>(bmp::GET32(header_.data() + 4)); }
int CDib::HeaderHeight() const { return header_.empty() ? 0 : static_cast<int>(bmp::GET32(header_.data() + 8)); }
int CDib::Height() const { return std::abs(HeaderHeight()); }
int CDib::BitCount() const { return header_.empty() ? 0 : bmp::GET16(header_.data() + 14); }
std::uint32_t CDib::Compression() const { return header_.empty() ? 0 : bmp::GET32(header_.data() + 16); }
std::uint64_t CDib::Stride() const { return bmp::ROW_BYTES(BitCount(), Width()); }

std::uint32_t CDib::table_offset() const {
  return bmp::Info_Header_Size + (Compression() == bmp::BI_BITFIELDS ? bmp::Masks_Size : 0);
}

std::uint32_t CDib::TableColour(std::uint32_t i) const {
  std::uint64_t at = table_offset() + 4 * std::uint64_t(i);
  if (i >= colour_count_ || at + 4 > header_.size()) return 0;
  const std::uint8_t* q = header_.data() + at;  // blue, green, red, 0
  return std::uint32_t(q[2]) | std::uint32_t(q[1]) << 8 | std::uint32_t(q[0]) << 16;
}

bool CDib::MakeHeader(int width, int height, int depth, std::uint32_t format, std::uint32_t colours_used) {
  std::size_t size = bmp::Info_Header_Size;
  std::uint32_t table = 0;
  switch (depth) {
    case 1: case 4: case 8:
      table = colours_used ? colours_used : 1u << depth;
      size += 4 * std::size_t(table);
      break;
    case 16: case 32:
      table = colours_used;
      size += bmp::Masks_Size + 4 * std::size_t(table);
      break;
    case 24:
      break;
    default:
      show_error(QString::asprintf("Kornd: Invalid bitmap depth %d", depth));
      return false;
  }
  header_.assign(size, 0);
  bmp::Info_Header h;
  h.width = width;
  h.height = height;
  h.bit_count = static_cast<std::uint16_t>(depth);
  h.clr_used = colours_used;
  colour_count_ = table;
  format_ = 0;
  if (depth == 16 || depth == 32) {
    h.compression = bmp::BI_BITFIELDS;
    format_ = format ? format : depth == display_depth() ? display_format() : depth == 32 ? Format_888 : Format_555;
    std::uint32_t r = format_ >> 16 & 0xFF, g = format_ >> 8 & 0xFF, b = format_ & 0xFF;
    if (r + g + b > std::uint32_t(depth) || r == 0 || g == 0 || b == 0) {
      format_ = depth == 32 ? Format_888 : Format_555;
      r = format_ >> 16 & 0xFF, g = format_ >> 8 & 0xFF, b = format_ & 0xFF;
    }
    bmp::PUT32(header_.data() + 40, ((1u << r) - 1) << (g + b));
    bmp::PUT32(header_.data() + 44, ((1u << g) - 1) << b);
    bmp::PUT32(header_.data() + 48, (1u << b) - 1);
  }
  bmp::PUT_INFO(header_.data(), h);
  return true;
}

bool CDib::MakeSection() {
  int w = Width(), h = HeaderHeight();
  std::uint64_t size = bmp::IMAGE_SIZE(BitCount(), w, h);
  shrink_ = CheckBitmapMemory(size);
  if (shrink_ == 0 || size > Max_Image_Bytes) {
    Reset();
    shrink_ = 0;
    return false;
  }
  if (shrink_ > 1) {
    w = std::max(1, w / shrink_);
    h = h / shrink_ ? h / shrink_ : (h < 0 ? -1 : 1);
    bmp::PUT32(header_.data() + 4, static_cast<std::uint32_t>(w));
    bmp::PUT32(header_.data() + 8, static_cast<std::uint32_t>(h));
    size = bmp::IMAGE_SIZE(BitCount(), w, h);
  }
  bmp::PUT32(header_.data() + 20, static_cast<std::uint32_t>(size));
  if (format_ == 0 && Compression() == bmp::BI_BITFIELDS && header_.size() >= 52) {
    auto bits_of = [](std::uint32_t m) { return static_cast<std::uint32_t>(__builtin_popcount(m)); };
    format_ = bits_of(bmp::GET32(header_.data() + 40)) << 16 | bits_of(bmp::GET32(header_.data() + 44)) << 8 |
              bits_of(bmp::GET32(header_.data() + 48));
  }
  try {
    bits_.assign(static_cast<std::size_t>(size), 0);
  } catch (const std::bad_alloc&) {
    Reset();
    show_error("Memory allocation error");
    return false;
  }
  Changed();
  return true;
}

std::uint8_t* CDib::Row(int y) {
  int rows = Height();
  int m = HeaderHeight() > 0 ? rows - 1 - y : y;
  return bits_.data() + static_cast<std::uint64_t>(m) * Stride();
}

const std::uint8_t* CDib::Row(int y) const { return const_cast<CDib*>(this)->Row(y); }

std::uint32_t CDib::PixelValue(int x, int y) const {
  if (IsEmpty() || x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
  const std::uint8_t* r = Row(y);
  switch (BitCount()) {
    case 1: return r[x >> 3] >> (7 - (x & 7)) & 1;
    case 4: return x & 1 ? r[x >> 1] & 0xF : r[x >> 1] >> 4;
    case 8: return r[x];
    case 16: return bmp::GET16(r + 2 * x);
    case 24: return std::uint32_t(r[3 * x]) | std::uint32_t(r[3 * x + 1]) << 8 | std::uint32_t(r[3 * x + 2]) << 16;
    default: return bmp::GET32(r + 4 * x);
  }
}

void CDib::SetPixelValue(int x, int y, std::uint32_t v) {
  if (IsEmpty() || x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  Changed();
  std::uint8_t* r = Row(y);
  switch (BitCount()) {
    case 1: {
      std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x & 7));
      r[x >> 3] = static_cast<std::uint8_t>(v & 1 ? r[x >> 3] | bit : r[x >> 3] & ~bit);
      break;
    }
    case 4:
      r[x >> 1] = static_cast<std::uint8_t>(x & 1 ? (r[x >> 1] & 0xF0) | (v & 0xF) : (r[x >> 1] & 0x0F) | (v & 0xF) << 4);
      break;
    case 8: r[x] = static_cast<std::uint8_t>(v); break;
    case 16: bmp::PUT16(r + 2 * x, static_cast<std::uint16_t>(v)); break;
    case 24:
      r[3 * x] = static_cast<std::uint8_t>(v);
      r[3 * x + 1] = static_cast<std::uint8_t>(v >> 8);
      r[3 * x + 2] = static_cast<std::uint8_t>(v >> 16);
      break;
    default: bmp::PUT32(r + 4 * x, v); break;
  }
}

// Raw pixel of a direct depth (16, 24, 32) to a colour value 0x00bbggrr.
std::uint32_t CDib::decode(std::uint32_t raw) const {
  std::uint32_t rm, gm, bm;
  if (Compression() == bmp::BI_BITFIELDS && header_.size() >= 52) {
    rm = bmp::GET32(header_.data() + 40), gm = bmp::GET32(header_.data() + 44), bm = bmp::GET32(header_.data() + 48);
  } else if (BitCount() == 16) {
    rm = 0x7C00, gm = 0x03E0, bm = 0x001F;
  } else {
    rm = 0xFF0000, gm = 0x00FF00, bm = 0x0000FF;
  }
  return channel_of(raw, rm) | channel_of(raw, gm) << 8 | channel_of(raw, bm) << 16;
}

std::uint32_t CDib::encode(std::uint32_t colour) const {
  std::uint32_t r = colour & 0xFF, g = colour >> 8 & 0xFF, b = colour >> 16 & 0xFF;
  switch (BitCount()) {
    case 1: case 4: case 8: {  // the nearest table entry
      std::uint32_t best = 0;
      std::int64_t best_d = INT64_MAX;
      for (std::uint32_t i = 0; i < colour_count_; ++i) {
        std::uint32_t t = TableColour(i);
        std::int64_t dr = std::int64_t(t & 0xFF) - r, dg = std::int64_t(t >> 8 & 0xFF) - g,
                     db = std::int64_t(t >> 16 & 0xFF) - b;
        std::int64_t d = dr * dr + dg * dg + db * db;
        if (d < best_d) best_d = d, best = i;
      }
      return best;
    }
    case 24: return b | g << 8 | r << 16;
    default: break;
  }
  if (Compression() == bmp::BI_BITFIELDS && header_.size() >= 52)
    return channel_to(r, bmp::GET32(header_.data() + 40)) | channel_to(g, bmp::GET32(header_.data() + 44)) |
           channel_to(b, bmp::GET32(header_.data() + 48));
  if (BitCount() == 16) return channel_to(r, 0x7C00) | channel_to(g, 0x03E0) | channel_to(b, 0x001F);
  return b | g << 8 | r << 16;
}

std::uint32_t CDib::PixelColour(int x, int y) const {
  std::uint32_t v = PixelValue(x, y);
  return BitCount() <= 8 ? TableColour(v) : decode(v);
}

bool CDib::Create(int width, int height, int depth, std::uint32_t format, std::int32_t fill) {
  Reset();
  if (width <= 0 || height == 0) {
    show_error(QString::asprintf("Kornd: Invalid bitmap size = (%d x %d)", width, height));
    return false;
  }
  if (!MakeHeader(width, height, depth ? depth : display_depth(), format, 0) || !MakeSection()) {
    Reset();
    return false;
  }
  if (fill >= 0) Fill(static_cast<std::uint32_t>(fill));
  return true;
}

namespace {

// Colours (24 bits) to their place in a table: open addressing, grown at half full. A
// bitmap of a million pixels looks a colour up at every change of colour.
class Colour_Places {
 public:
  static constexpr std::uint32_t None = 0xFFFFFFFFu;
  Colour_Places() { Clear(); }
  std::uint32_t Find(std::uint32_t c) const {
    for (std::size_t i = slot(c);; i = (i + 1) & mask()) {
      if (keys_[i] == c) return places_[i];
      if (keys_[i] == None) return None;
    }
  }
  void Add(std::uint32_t c, std::uint32_t place) {
    if (2 * (size_ + 1) > keys_.size()) grow();
    put(c, place);
  }
  void Clear() {
    bits_ = 6;
    keys_.assign(std::size_t{1} << bits_, None);
    places_.assign(keys_.size(), 0);
    size_ = 0;
  }

 private:
  std::size_t mask() const { return keys_.size() - 1; }
  std::size_t slot(std::uint32_t c) const { return std::size_t((std::uint64_t(c) * 0x9E3779B97F4A7C15ull) >> (64 - bits_)); }
  void put(std::uint32_t c, std::uint32_t place) {
    std::size_t i = slot(c);
    while (keys_[i] != None) i = (i + 1) & mask();
    keys_[i] = c, places_[i] = place, ++size_;
  }
  void grow() {
    std::vector<std::uint32_t> keys = std::move(keys_), places = std::move(places_);
    ++bits_;
    keys_.assign(std::size_t{1} << bits_, None);
    places_.assign(keys_.size(), 0);
    size_ = 0;
    for (std::size_t i = 0; i < keys.size(); ++i)
      if (keys[i] != None) put(keys[i], places[i]);
  }
  int bits_ = 6;
  std::vector<std::uint32_t> keys_, places_;
  std::size_t size_ = 0;
};

}  // namespace

namespace {

// The table from the rarest colour to the commonest, ties in order of appearance; index[p] is
// where the colour of place p went.
std::vector<std::uint32_t> by_rarity(const std::vector<std::uint32_t>& table, const std::vector<std::uint32_t>& counts,
                                     std::vector<std::uint32_t>& index) {
  std::vector<std::uint32_t> order(table.size());
  for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&counts](std::uint32_t a, std::uint32_t b) { return counts[a] < counts[b]; });
  std::vector<std::uint32_t> sorted(table.size());
  index.resize(table.size());
  for (std::uint32_t i = 0; i < order.size(); ++i) sorted[i] = table[order[i]], index[order[i]] = i;
  return sorted;
}

// The 8-bit table as ReduceColours makes it (from the rarest colour to the commonest, ties in
// order of appearance) and each pixel's place in order of appearance, which `entry_of` turns
// into its entry in the table; false when the values hold more colours than `room`, which
// ReduceColours then quantises.
bool index_colours(const std::uint32_t* values, std::size_t count, std::uint32_t room, std::vector<std::uint8_t>& place,
                   std::vector<std::uint32_t>& sorted, std::uint8_t (&entry_of)[256]) {
  constexpr std::uint32_t None = Colour_Places::None;
  Colour_Places places;
  std::vector<std::uint32_t> table, counts;
  place.resize(count);
  // A direct-mapped cache in front of the table: an image's few colours nearly always hit it,
  // without the mispredicted branches of probing the table.
  constexpr int Cache_Bits = 12;
  std::vector<std::uint32_t> cached(std::size_t{1} << Cache_Bits, None);  // never a 24-bit colour
  std::vector<std::uint8_t> cached_place(cached.size());
  // Neighbouring pixels mostly share their colour: runs are counted, not pixels.
  std::uint32_t last = None;
  std::uint8_t last_place = 0;
  std::size_t run_start = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t c = values[i] & 0xFFFFFF;
    if (c != last) {
      if (last != None) counts[last_place] += static_cast<std::uint32_t>(i - run_start);
      const std::uint32_t k = (c * 0x9E3779B1u) >> (32 - Cache_Bits);
      if (cached[k] != c) {
        std::uint32_t p = places.Find(c);
        if (p == None) {
          if (table.size() >= room) return false;
          p = static_cast<std::uint32_t>(table.size());
          places.Add(c, p);
          table.push_back(c), counts.push_back(0);
        }
        cached[k] = c, cached_place[k] = static_cast<std::uint8_t>(p);
      }
      last = c, last_place = cached_place[k], run_start = i;
    }
    place[i] = last_place;
  }
  if (last != None) counts[last_place] += static_cast<std::uint32_t>(count - run_start);
  std::vector<std::uint32_t> index;
  sorted = by_rarity(table, counts, index);
  for (std::size_t p = 0; p < index.size(); ++p) entry_of[p] = static_cast<std::uint8_t>(index[p]);
  return true;
}

}  // namespace

std::vector<std::uint32_t> CDib::ReduceColours(std::vector<std::uint32_t>& values, int depth, int n) {
  constexpr std::uint32_t None = Colour_Places::None;
  const std::uint32_t room = n > 0 ? static_cast<std::uint32_t>(n) : 1u << depth;
  Colour_Places places;
  std::vector<std::uint32_t> table;   // colours in order of first appearance
  std::vector<std::uint32_t> counts;  // pixels of each
  // The place of colour c, added while there is room; None when there is not.
  auto place_of = [&](std::uint32_t c) {
    std::uint32_t p = places.Find(c);
    if (p == None && table.size() < room) {
      p = static_cast<std::uint32_t>(table.size());
      places.Add(c, p);
      table.push_back(c), counts.push_back(0);
    }
    return p;
  };
  bool stopped = false;
  // Neighbouring pixels mostly share their colour: the last one found is tried first.
  std::uint32_t last = 0, last_place = None;
  for (std::uint32_t v : values) {
    const std::uint32_t c = v & 0xFFFFFF;
    if (last_place == None || c != last) {
      last_place = place_of(c), last = c;
      if (last_place == None) { stopped = true; break; }
    }
    ++counts[last_place];
  }
  if (depth == 1) {
    if (stopped) {
      for (std::uint32_t& v : values)
        v = (v & 0xFF) + (v >> 8 & 0xFF) + (v >> 16 & 0xFF) > 384 ? 1 : 0;
      return {0x000000, 0xFFFFFF};
    }
    if (table.size() == 1) {
      for (std::uint32_t& v : values) v = 0;
      return table;
    }
    std::uint32_t lo = std::min(table[0], table[1]), hi = std::max(table[0], table[1]);
    for (std::uint32_t& v : values) v = (v & 0xFFFFFF) == lo ? 0 : 1;
    return {lo, hi};
  }
  if (stopped) {
    const int levels = static_cast<int>(std::cbrt(double(1u << depth))) + 1;
    auto quantise = [levels](std::uint32_t c) {
      std::uint32_t q = static_cast<std::uint32_t>(double(c) * levels / 255 + 0.5);
      return q * 255 / static_cast<std::uint32_t>(levels);
    };
    places.Clear();
    table.clear(), counts.clear();
    std::uint32_t previous = 0;
    for (std::uint32_t& v : values) {
      const std::uint32_t c = quantise(v & 0xFF) | quantise(v >> 8 & 0xFF) << 8 | quantise(v >> 16 & 0xFF) << 16;
      const std::uint32_t p = place_of(c);
      if (p == None) { v = previous; continue; }
      ++counts[p];
      v = previous = c;
    }
  }
  std::vector<std::uint32_t> index;
  const std::vector<std::uint32_t> sorted = by_rarity(table, counts, index);
  std::uint32_t last_colour = 0, last_index = 0;
  bool known = false;
  for (std::uint32_t& v : values) {
    const std::uint32_t c = v & 0xFFFFFF;
    if (!known || c != last_colour) {
      const std::uint32_t p = places.Find(c);
      last_colour = c, last_index = p == None ? 0 : index[p], known = true;
    }
    v = last_index;
  }
  return sorted;
}

bool CDib::FromValues(const std::uint32_t* values, int width, int height, int depth, int colours) {
  Reset();
  if (width <= 0 || height == 0 || height == INT32_MIN) {
    show_error(QString::asprintf("Kornd: Invalid bitmap size = (%d x %d)", width, height));
    return false;
  }
  if (depth == 0) depth = display_depth();
  const int rows = std::abs(height);
  const std::uint64_t count = std::uint64_t(width) * std::uint64_t(rows);
  if (count > Max_Image_Bytes) {
    show_error("Kornd: Memory allocation error");
    return false;
  }
  std::vector<std::uint32_t> table;
  std::vector<std::uint32_t> indices;
  // An 8-bit bitmap of few colours (every image the display sends) keeps a byte per pixel, not
  // a copy of the values.
  std::vector<std::uint8_t> places;
  std::uint8_t entry_of[256];
  const std::uint32_t room = colours > 0 ? static_cast<std::uint32_t>(colours) : 256u;
  const bool by_entry = depth == 8 && room <= 256 && index_colours(values, count, room, places, table, entry_of);
  if (!by_entry && (depth == 1 || depth == 4 || depth == 8)) {
    indices.assign(values, values + count);
    table = ReduceColours(indices, depth, colours);
    values = indices.data();
  }
  if (!MakeHeader(width, rows, depth, 0, static_cast<std::uint32_t>(table.size())) || !MakeSection()) {
    Reset();
    return false;
  }
  for (std::uint32_t i = 0; i < table.size(); ++i) {
    std::uint8_t* q = header_.data() + table_offset() + 4 * i;
    q[0] = static_cast<std::uint8_t>(table[i] >> 16);
    q[1] = static_cast<std::uint8_t>(table[i] >> 8);
    q[2] = static_cast<std::uint8_t>(table[i]);
  }
  // With a shrunk section every f-th value of every f-th row is taken.
  const int f = std::max(1, shrink_);
  const int w = Width(), h = Height();
  for (int y = 0; y < h; ++y) {
    int src_row = height > 0 ? y * f : rows - 1 - y * f;
    const std::uint32_t* src = values + std::uint64_t(src_row) * std::uint64_t(width);
    std::uint8_t* r = Row(y);
    if (by_entry) {
      const std::uint8_t* p = places.data() + std::uint64_t(src_row) * std::uint64_t(width);
      for (int x = 0; x < w; ++x) r[x] = entry_of[p[std::size_t(x) * f]];
      continue;
    }
    switch (depth) {
      case 8:
        for (int x = 0; x < w; ++x) r[x] = static_cast<std::uint8_t>(src[std::size_t(x) * f]);
        break;
      case 24:
        for (int x = 0; x < w; ++x) {
          std::uint32_t v = src[std::size_t(x) * f];
          r[3 * x] = static_cast<std::uint8_t>(v >> 16);
          r[3 * x + 1] = static_cast<std::uint8_t>(v >> 8);
          r[3 * x + 2] = static_cast<std::uint8_t>(v);
        }
        break;
      case 32:
        if (f == 1) {  // unit stride: a loop the compiler makes wide
          for (int x = 0; x < w; ++x) bmp::PUT32(r + 4 * x, SWAP_RED_BLUE(src[x]));
          break;
        }
        for (int x = 0; x < w; ++x) bmp::PUT32(r + 4 * x, SWAP_RED_BLUE(src[std::size_t(x) * f]));
        break;
      default:  // 1, 4 (indices) and 16 (packed values)
        for (int x = 0; x < w; ++x) SetPixelValue(x, y, src[std::size_t(x) * f] & 0xFFFF);
        break;
    }
  }
  if (depth == 32 && format_ != Format_888) {  // other 32-bit formats are packed by their masks
    for (int y = 0; y < h; ++y) {
      std::uint8_t* r = Row(y);
      for (int x = 0; x < w; ++x) {
        std::uint32_t b = bmp::GET32(r + 4 * x);  // 0x00rrggbb as written above
        bmp::PUT32(r + 4 * x, encode(SWAP_RED_BLUE(b)));
      }
    }
  }
  Changed();
  return true;
}

bool CDib::FromPacked(const std::uint8_t* block, std::size_t block_size, const std::uint8_t* bits,
                      std::size_t bits_size) {
  Reset();
  bmp::Info_Header h;
  std::uint64_t image = 0;
  if (!bmp::CHECK_BLOCK(block, block_size, bits_size, Max_Image_Bytes, h, image)) return false;
  header_.assign(block, block + block_size);
  h.size_image = static_cast<std::uint32_t>(image);
  bmp::PUT_INFO(header_.data(), h);
  colour_count_ = h.bit_count <= 8 || h.clr_used ? bmp::COLOUR_COUNT(h) : 0;
  bits_.assign(bits, bits + image);
  Changed();
  return true;
}

bool CDib::ReadFile(const QString& name) {
  Reset();
  QString path = name.left(260);
  QFile file(path);
  int failures = 0;
  while (!file.open(QIODevice::ReadOnly)) {
    if (++failures >= 2) show_error("Kornd Error-1: File could not be opened to read");
    if (!ASK_FILE_NAME(false, path, path)) return false;
    file.setFileName(path);
  }
  const QString shown = QFileInfo(path).fileName();
  const qint64 size = file.size();
  std::vector<std::uint8_t> bytes;
  QString failure;
  if (size < 0 || std::uint64_t(size) > Max_Image_Bytes + 65536) {
    failure = QString("Failed to read bitmap file %1 (0 x 0, 0 BPP, FORMAT = RGB)").arg(path);
  } else {
    bytes.resize(static_cast<std::size_t>(size));
    if (size > 0 && file.read(reinterpret_cast<char*>(bytes.data()), size) != size)
      failure = QString("Cannot open bitmap file %1").arg(path);
  }
  bmp::File_Image image;
  if (failure.isEmpty()) {
    switch (bmp::PARSE_FILE(bytes, image, Max_Image_Bytes)) {
      case bmp::Read_Error::None: break;
      case bmp::Read_Error::Short: failure = QString("Cannot open bitmap file %1").arg(path); break;
      case bmp::Read_Error::Not_Bitmap: failure = QString("File %1 is not a bitmapfile").arg(path); break;
      case bmp::Read_Error::Bad_Layout:
        failure = QString::asprintf("Failed to read bitmap file %s (%d x %d, %d BPP, FORMAT = %s)",
                                    path.toLocal8Bit().constData(), image.info.width, image.info.height,
                                    image.info.bit_count, bmp::COMPRESSION_NAME(image.info.compression));
        break;
    }
  }
  if (!failure.isEmpty()) {
    Reset();
    show_error(failure);  // a bad file is refused; the server goes on serving
    return false;
  }
  header_ = std::move(image.header_block);
  colour_count_ = image.info.bit_count <= 8 || image.info.clr_used ? bmp::COLOUR_COUNT(image.info) : 0;
  format_ = 0;
  if (!MakeSection()) return false;
  if (shrink_ == 1) {
    bits_ = std::move(image.bits);
  } else {  // every f-th pixel of every f-th row of the file's picture
    CDib whole;
    whole.header_ = header_;
    bmp::PUT32(whole.header_.data() + 4, static_cast<std::uint32_t>(image.info.width));
    bmp::PUT32(whole.header_.data() + 8, static_cast<std::uint32_t>(image.info.height));
    whole.bits_ = std::move(image.bits);
    for (int y = 0; y < Height(); ++y)
      for (int x = 0; x < Width(); ++x) SetPixelValue(x, y, whole.PixelValue(x * shrink_, y * shrink_));
  }
  file_name_ = shown;
  Changed();
  return true;
}

std::vector<std::uint8_t> CDib::FileBytes() const {
  if (IsEmpty()) return {};
  return bmp::FILE_BYTES(header_, bits_, colour_count_);
}

bool CDib::WriteFile(const QString& name, Save_Failure* failure) {
  if (IsEmpty()) return false;
  QString path = name.left(260);
  const std::vector<std::uint8_t> bytes = FileBytes();
  int failures = 0;
  for (;;) {
    if (!path.contains('*')) {
      const Save_Result r = SAVE_WHOLE_FILE(path, bytes, failure);
      if (r == Save_Result::Not_Written) return false;  // nothing half written stays behind
      if (r == Save_Result::Saved) {
        file_name_ = QFileInfo(path).fileName();
        return true;
      }
    }
    if (++failures >= 2) show_error("Kornd Error-9: failed to open file to write");
    if (!ASK_FILE_NAME(true, path, path)) return false;
  }
}

bool CDib::CopyFrom(const CDib& other) {
  if (&other == this) return true;
  if (other.IsEmpty()) {
    Reset();
    return false;
  }
  header_ = other.header_;
  bits_ = other.bits_;
  format_ = other.format_;
  colour_count_ = other.colour_count_;
  shrink_ = 1;
  file_name_ = other.file_name_;
  Changed();
  return true;
}

void CDib::Fill(std::uint32_t colour) {
  if (IsEmpty()) return;
  const std::uint32_t v = encode(colour & 0xFFFFFF);
  const int w = Width(), h = Height();
  for (int x = 0; x < w; ++x) SetPixelValue(x, 0, v);
  for (int y = 1; y < h; ++y) std::memcpy(Row(y), Row(0), static_cast<std::size_t>(Stride()));
  Changed();
}

void CDib::SetTwoColors(std::uint32_t colour0, std::uint32_t colour1) {
  const std::uint32_t c[2] = {colour0, colour1};
  for (std::uint32_t i = 0; i < 2 && i < colour_count_; ++i) {
    std::uint8_t* q = header_.data() + table_offset() + 4 * i;
    q[0] = static_cast<std::uint8_t>(c[i] >> 16);
    q[1] = static_cast<std::uint8_t>(c[i] >> 8);
    q[2] = static_cast<std::uint8_t>(c[i]);
  }
  Changed();
}

bool CDib::MakeMask(const CDib& source, std::int32_t transparent) {
  Reset();
  if (source.IsEmpty()) return false;
  const int w = source.Width(), h = source.Height();
  if (source.BitCount() == 1) {
    CopyFrom(source);
    file_name_.clear();
    for (std::uint32_t i = 0; i < colour_count_; ++i) {
      std::uint32_t c = TableColour(i) == (static_cast<std::uint32_t>(transparent) & 0xFFFFFF) ? 0xFFFFFF : 0;
      std::uint8_t* q = header_.data() + table_offset() + 4 * i;
      q[0] = q[1] = q[2] = static_cast<std::uint8_t>(c);
    }
    Changed();
    return true;
  }
  if (!MakeHeader(w, h, 1, 0, 2) || !MakeSection()) return false;
  SetTwoColors(0xFFFFFF, 0x000000);
  const std::uint32_t key = static_cast<std::uint32_t>(transparent) & 0xFFFFFF;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetPixelValue(x, y, source.PixelColour(x, y) == key ? 0 : 1);
  Changed();
  return true;
}

CDib::Row_Colours CDib::RowColours() const {
  Row_Colours rows;
  const bool plain32 = BitCount() == 32 && (Compression() == bmp::BI_RGB ||
                                            (header_.size() >= 52 && bmp::GET32(header_.data() + 40) == 0xFF0000 &&
                                             bmp::GET32(header_.data() + 44) == 0xFF00 && bmp::GET32(header_.data() + 48) == 0xFF));
  if (plain32) {
    rows.kind = Row_Colours::Plain32;
  } else if (BitCount() == 8) {  // every image the display sends: its table once per colour
    rows.kind = Row_Colours::Table8;
    rows.table.resize(256);
    for (std::uint32_t i = 0; i < 256; ++i) rows.table[i] = colorref_to_rgb(TableColour(i));
  }
  return rows;
}

const QImage& CDib::Image() const {
  if (image_valid_) return image_;
  const int w = Width(), h = Height();
  if (IsEmpty()) {
    image_ = QImage();
  } else {
    if (image_.width() != w || image_.height() != h || image_.format() != QImage::Format_RGB32)
      image_ = QImage(w, h, QImage::Format_RGB32);
    const Row_Colours rows = RowColours();
    for (int y = 0; y < h && !image_.isNull(); ++y) {
      QRgb* out = reinterpret_cast<QRgb*>(image_.scanLine(y));
      const std::uint8_t* r = Row(y);
      if (rows.kind == Row_Colours::Plain32) {
        for (int x = 0; x < w; ++x) out[x] = 0xFF000000u | bmp::GET32(r + 4 * x);
      } else if (rows.kind == Row_Colours::Table8) {
        for (int x = 0; x < w; ++x) out[x] = rows.table[r[x]];
      } else {
        for (int x = 0; x < w; ++x) out[x] = colorref_to_rgb(PixelColour(x, y));
      }
    }
  }
  image_valid_ = true;
  return image_;
}

void CDib::Draw(QImage& target, int left, int top, int right, int bottom) const {
  const QImage& src = Image();
  left = std::max({left, 0}), top = std::max(top, 0);
  right = std::min({right, src.width(), target.width()}), bottom = std::min({bottom, src.height(), target.height()});
  if (target.format() != QImage::Format_RGB32 && target.format() != QImage::Format_ARGB32) return;
  for (int y = top; y < bottom; ++y)
    std::memcpy(reinterpret_cast<QRgb*>(target.scanLine(y)) + left, reinterpret_cast<const QRgb*>(src.scanLine(y)) + left,
                sizeof(QRgb) * static_cast<std::size_t>(std::max(0, right - left)));
}

const QImage& CDib::Reduced(int aw, int ah, bool with_and, bool mirror_x, bool mirror_y) const {
  const Reduction key{aw, ah, with_and, mirror_x, mirror_y};
  if (!reduced_.isNull() && reduced_key_ == key) return reduced_;
  const QImage& src = Image();
  const int sw = src.width(), sh = src.height();
  // Each destination pixel combines its block [b0, b1) of source columns and rows.
  auto block = [](int j, int size, int count, int& b0, int& b1) {
    b0 = static_cast<int>(std::int64_t(j) * size / count);
    b1 = std::max(static_cast<int>(std::int64_t(j + 1) * size / count), b0 + 1);
  };
  std::vector<int> x0(static_cast<std::size_t>(aw)), x1(static_cast<std::size_t>(aw));
  for (int j = 0; j < aw; ++j) block(j, sw, aw, x0[std::size_t(j)], x1[std::size_t(j)]);
  reduced_ = QImage(aw, ah, QImage::Format_RGB32);
  reduced_key_ = key;
  if (reduced_.isNull()) return reduced_;
  const std::uint32_t start = with_and ? 0xFFFFFF : 0;
  for (int i = 0; i < ah; ++i) {
    int y0 = 0, y1 = 0;
    block(i, sh, ah, y0, y1);
    QRgb* out = reinterpret_cast<QRgb*>(reduced_.scanLine(i));
    std::fill(out, out + aw, start);
    for (int yy = y0; yy < y1; ++yy) {
      const QRgb* row = reinterpret_cast<const QRgb*>(src.constScanLine(mirror_y ? sh - 1 - yy : yy));
      for (int j = 0; j < aw; ++j) {
        std::uint32_t acc = out[j];
        for (int xx = x0[std::size_t(j)]; xx < x1[std::size_t(j)]; ++xx) {
          const std::uint32_t v = row[mirror_x ? sw - 1 - xx : xx] & 0xFFFFFF;
          acc = with_and ? acc & v : acc | v;
        }
        out[j] = acc;
      }
    }
  }
  return reduced_;
}

void CDib::DrawTransparent(KRdc& dc, int x, int y, int width, int height, std::uint32_t rop, bool transparent,
                           std::int32_t colour) {
  QImage* surface = dc.Surface();
  if (IsEmpty() || surface == nullptr || width == 0 || height == 0) return;
  if (surface->format() != QImage::Format_RGB32 && surface->format() != QImage::Format_ARGB32) return;
  const bool masked = transparent && colour != -1;
  if (masked && (!mask_ || mask_colour_ != colour)) {
    mask_ = std::make_unique<CDib>();
    if (!mask_->MakeMask(*this, colour)) {
      mask_.reset();
      show_error("Kornd error: cannot make MaskDIB");
      return;
    }
    mask_colour_ = colour;
  }
  // The rectangle's corners go through the world transform (stretching, mirroring and moving
  // follow it; a turn gives the picture upright in the turned corners' box).
  const KRpoint c0 = dc.Map(x, y), c1 = dc.Map(x + width, y + height);
  x = c0.x, y = c0.y, width = c1.x - c0.x, height = c1.y - c0.y;
  if (width == 0 || height == 0) return;
  // The destination columns and rows, exclusive at the far side; negative sizes run backwards.
  const int x0 = std::min(x, x + width), x1 = std::max(x, x + width);
  const int y0 = std::min(y, y + height), y1 = std::max(y, y + height);
  const int aw = std::abs(width), ah = std::abs(height);
  int cl = 0, ct = 0, cr = surface->width(), cb = surface->height();
  if (const KRrect* c = dc.Clip()) cl = std::max(cl, c->left), ct = std::max(ct, c->top), cr = std::min(cr, c->right),
                                   cb = std::min(cb, c->bottom);
  const QImage* mask = masked ? &mask_->Image() : nullptr;  // white where the target shows through
  const int sw = Width(), sh = Height();
  const std::uint8_t code = static_cast<std::uint8_t>(rop >> 16);
  const std::uint32_t pattern = dc.Brush().colour & 0xFFFFFF;
  const std::uint32_t pattern_rgb = SWAP_RED_BLUE(pattern);
  // Made smaller with AND or OR, a destination pixel combines its whole block of source pixels
  // the same way (as the black-on-white and white-on-black stretch modes do), so that thin
  // lines of a mask and picture pair survive.
  const bool reduce = !masked && (code == 0x88 || code == 0xEE) && (aw < sw || ah < sh);
  const QImage* small = reduce ? &Reduced(aw, ah, code == 0x88, width < 0, height < 0) : nullptr;
  const int dx0 = std::max(x0, cl), dx1 = std::min(x1, cr);
  if (dx0 >= dx1) return;
  // The source column of every destination column, worked out once for all rows.
  std::vector<int> columns(static_cast<std::size_t>(dx1 - dx0));
  for (int dx = dx0; dx < dx1; ++dx) {
    const int sx = static_cast<int>(std::int64_t(dx - x0) * sw / aw);
    columns[static_cast<std::size_t>(dx - dx0)] = width < 0 ? sw - 1 - sx : sx;
  }
  const bool copy = !masked && !reduce && code == 0xCC;  // the common case: the picture as it is
  // A picture drawn as it is (a new image of each output) is read from its own rows: making the
  // whole-picture image first would cost one more pass over it, and its memory.
  const Row_Colours rows = copy ? RowColours() : Row_Colours{};
  const QImage* src = rows.kind == Row_Colours::None ? &Image() : nullptr;
  if (src != nullptr && src->isNull()) return;  // no memory for the image
  for (int dy = std::max(y0, ct); dy < std::min(y1, cb); ++dy) {
    int i = dy - y0;
    int sy = static_cast<int>(std::int64_t(i) * sh / ah);
    if (height < 0) sy = sh - 1 - sy;
    const int* sx = columns.data();
    const int n = dx1 - dx0;
    QRgb* d = reinterpret_cast<QRgb*>(surface->scanLine(dy)) + dx0;
    if (rows.kind == Row_Colours::Plain32) {
      const std::uint8_t* s = Row(sy);
      for (int k = 0; k < n; ++k) d[k] = 0xFF000000u | bmp::GET32(s + 4 * std::size_t(sx[k]));
      continue;
    }
    if (rows.kind == Row_Colours::Table8) {
      const std::uint8_t* s = Row(sy);
      for (int k = 0; k < n; ++k) d[k] = rows.table[s[sx[k]]];
      continue;
    }
    const QRgb* s = reinterpret_cast<const QRgb*>(src->constScanLine(sy));
    const QRgb* m = mask ? reinterpret_cast<const QRgb*>(mask->constScanLine(sy)) : nullptr;
    if (copy) {
      for (int k = 0; k < n; ++k) d[k] = 0xFF000000u | s[sx[k]];
      continue;
    }
    const QRgb* r = small ? reinterpret_cast<const QRgb*>(small->constScanLine(i)) + (dx0 - x0) : nullptr;
    for (int k = 0; k < n; ++k) {
      if (m && (m[sx[k]] & 0xFFFFFF) == 0xFFFFFF) continue;
      std::uint32_t pixel = (r ? r[k] : s[sx[k]]) & 0xFFFFFF;
      // Through the mask the picture lands as it is; otherwise the raster operation decides.
      std::uint32_t out = masked ? pixel : rop3(code, pattern_rgb, pixel, d[k] & 0xFFFFFF);
      d[k] = 0xFF000000u | out;
    }
  }
}
