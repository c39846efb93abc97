// CKorndDoc_Bitmaps.cpp - the document's bitmap table and the bitmap requests D 0 - D 7.
//
// Numbers: a requested n > 0 is taken as it is; n <= 0 takes the first empty entry from 1
// below the next bitmap number, else the next number. A new bitmap is made aside and only a
// bitmap that was made replaces the one held at its number, so a failed load or copy keeps
// the old picture. Numbers above Max_Bitmap_Number are refused like a failed bitmap.
// Reads: the window block's slots, data area and head (offsets 128 and 132), the data buffer.
// Writes: the slots and data area; ".bmp" files. Changes: the bitmap table, the next bitmap
// number, the pending message, the data buffer (released by D 5).
#include "kornd/CKorndDoc.h"

#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QImage>

#include <cstdio>   // std::snprintf
#include <cstring>  // std::memcpy, std::strnlen

#include "kornd/CKorndApp.h"
#include "kornd/File_Dialog.h"
#include "kornd/KRdc.h"

namespace {

// Highest bitmap number a request may make: keeps the table small whatever the client sends.
constexpr int Max_Bitmap_Number = 65535;
// Largest text bitmap: the text is drawn on a 32-bit picture of its size first (256 MB at
// this bound, 8192 x 8192), which a client's size must not make unbounded.
constexpr std::int64_t Max_Text_Bitmap_Pixels = std::int64_t(1) << 26;

}  // namespace

void CKorndDoc::WriteNumber(int n) { std::snprintf(block_->data, channel::Data_Size, "%d", n); }

namespace {

// The text of the data area (at most its 2048 bytes, to the first zero).
QString data_text(const channel::KRwinblock& b) {
  return QString::fromLocal8Bit(b.data, static_cast<qsizetype>(strnlen(b.data, channel::Data_Size)));
}

}  // namespace

CKRDIB* CKorndDoc::Bitmap(int n) const {
  if (n < 0 || n >= int(bitmaps_.size())) return nullptr;
  CKRDIB* b = bitmaps_[static_cast<std::size_t>(n)].get();
  return b && !b->IsEmpty() ? b : nullptr;
}

int CKorndDoc::ChooseBitmapNumber(int n) {
  if (n > 0) return n <= Max_Bitmap_Number ? n : 0;
  for (int i = 1; i < next_bitmap_ && i < int(bitmaps_.size()); ++i)
    if (!bitmaps_[static_cast<std::size_t>(i)]) return i;
  return next_bitmap_ <= Max_Bitmap_Number ? next_bitmap_ : 0;
}

namespace {

// Puts a made bitmap at number n (the one held there is freed); the next number follows.
void install(std::vector<std::unique_ptr<CKRDIB>>& table, int& next, int n, std::unique_ptr<CKRDIB> b) {
  if (n >= int(table.size())) table.resize(static_cast<std::size_t>(n) + 1);
  b->AfterConstruction();
  table[static_cast<std::size_t>(n)] = std::move(b);
  if (next < n + 1) next = n + 1;
}

}  // namespace

int CKorndDoc::LoadBitmapFile(int n, const QString& name) {
  QString path = name;
  auto openable = [](const QString& p) {
    QFile f(p);
    return f.open(QIODevice::ReadOnly);
  };
  if (path.contains('*') || !openable(path)) {
    if (!ASK_FILE_NAME(false, path, path) || !openable(path)) {
      pending_message_ = IDS_OPEN_FAILED;
      return 0;
    }
  }
  n = ChooseBitmapNumber(n);
  auto b = std::make_unique<CKRDIB>();
  if (n == 0 || !b->ReadFile(path)) {
    pending_message_ = IDS_BITMAP_FAILED;
    return 0;
  }
  install(bitmaps_, next_bitmap_, n, std::move(b));
  return n;
}

int CKorndDoc::SaveBitmapFile(int n, const QString& name) {
  CKRDIB* b = n < next_bitmap_ ? Bitmap(n) : nullptr;
  if (b == nullptr || !b->WriteFile(name)) {
    pending_message_ = IDS_OPEN_FAILED;
    return 0;
  }
  return n;
}

int CKorndDoc::CopyBitmap(int n, int source) {
  CKRDIB* s = source >= 1 && source < next_bitmap_ ? Bitmap(source) : nullptr;
  if (s == nullptr) {
    pending_message_ = IDS_INVALID_BITMAP;
    return 0;
  }
  n = ChooseBitmapNumber(n);
  auto b = std::make_unique<CKRDIB>();
  if (n == 0 || !b->CopyFrom(*s)) {
    pending_message_ = IDS_COPY_BITMAP_FAILED;
    return 0;
  }
  install(bitmaps_, next_bitmap_, n, std::move(b));
  return n;
}

int CKorndDoc::MakeBitmap(const void* values, std::size_t bytes, int n, int w, int h, int depth) {
  n = ChooseBitmapNumber(n);
  // The values must be there: width x |height| 32-bit words within the buffer.
  const std::uint64_t count = w > 0 && h != 0 && h != INT32_MIN ? std::uint64_t(w) * std::uint64_t(std::abs(h)) : 0;
  auto b = std::make_unique<CKRDIB>();
  if (n == 0 || count == 0 || values == nullptr || count > bytes / 4 ||
      !b->FromValues(static_cast<const std::uint32_t*>(values), w, h, depth)) {
    pending_message_ = IDS_BITMAP_FAILED;
    return 0;
  }
  install(bitmaps_, next_bitmap_, n, std::move(b));
  return n;
}

int CKorndDoc::TextBitmap(int n, int w, int h, int x, int y, const QString& text) {
  if (n < 0) return n;
  const QFont* font = env_.text_font ? env_.text_font : GetCachedFont(env_.text_logfont);
  if (font == nullptr) return 0;
  const int requested = n;
  n = ChooseBitmapNumber(n);
  auto b = std::make_unique<CKRDIB>();
  if (n == 0 || std::int64_t(w) * std::abs(std::int64_t(h)) > Max_Text_Bitmap_Pixels || !b->Create(w, h, 1, 0, -1)) {
    pending_message_ = IDS_BITMAP_FAILED;
    return requested;
  }
  // Black text on white drawn on a picture of the same size, then one bit a pixel: the text is
  // entry 0, the background entry 1.
  QImage canvas(w, std::abs(h), QImage::Format_RGB32);
  if (canvas.isNull()) {  // no memory for it
    pending_message_ = IDS_BITMAP_FAILED;
    return requested;
  }
  canvas.fill(Qt::white);
  KRdc dc(&canvas);
  const QFontMetrics metrics(*font);
  const int angle = env_.text_logfont.escapement;
  KRpoint ref = RotatePoint({x, y + std::abs(h) - metrics.height()}, {x, y + std::abs(h)}, angle);
  KRpoint down = RotatePoint({0, metrics.ascent()}, {0, 0}, angle);
  dc.TextOut(ref.x + down.x, ref.y + down.y, text, *font, 0x000000, -1, angle);
  for (int row = 0; row < canvas.height(); ++row) {
    const QRgb* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(row));
    for (int col = 0; col < w; ++col) b->SetPixelValue(col, row, (line[col] & 0xFFFFFF) == 0 ? 0 : 1);
  }
  std::int32_t ink = env_.Role(7) != CKorndGC::None ? env_.Role(7) : env_.Role(1);
  std::int32_t back = env_.Role(8) != CKorndGC::None ? env_.Role(8) : env_.Role(2);
  b->SetTwoColors(static_cast<std::uint32_t>(ink < 0 ? 0 : ink), static_cast<std::uint32_t>(back < 0 ? 0xFFFFFF : back));
  install(bitmaps_, next_bitmap_, n, std::move(b));
  return n;
}

std::uint32_t CKorndDoc::ExecuteD(std::uint32_t reply) {
  channel::KRwinblock& k = *block_;
  const int a1 = k.a[0];
  switch (k.code) {
    case channel::Bitmap_Display: {  // display parameters of bitmap a1
      CKRDIB* b = a1 < next_bitmap_ ? Bitmap(a1) : nullptr;
      if (b == nullptr) return 0;
      if (k.a[2] > 0) b->display_width = k.a[2];
      if (k.a[3] > 0) b->display_height = k.a[3];
      const int p = k.bitmap_transparency;
      if (p > 0) {
        b->transparent = true;
        if (p == 1) b->SetTransparentColour(0xFFFFFF);
        else b->SetTransparentColour(ResolveColor(p - 2, nullptr));
      } else if (p == 0) {
        b->transparent = false;
      }
      b->position_mode = k.bitmap_position;
      return static_cast<std::uint32_t>(a1);
    }
    case channel::Bitmap_Load: {  // load a ".bmp" file
      int n = LoadBitmapFile(a1, data_text(k));
      WriteNumber(n);
      return n ? reply : 0;
    }
    case channel::Bitmap_Save:  // write a ".bmp" file
      return a1 >= 0 && SaveBitmapFile(a1, data_text(k)) ? reply : 0;
    case channel::Bitmap_Copy: {  // copy bitmap a2 into a1
      int n = CopyBitmap(a1, k.a[1]);
      WriteNumber(n);
      return n ? reply : 0;
    }
    case channel::Bitmap_Info: {  // information on bitmap a1
      CKRDIB* b = a1 < next_bitmap_ ? Bitmap(a1) : nullptr;
      if (b == nullptr) {
        std::snprintf(k.data, channel::Data_Size, "0,0,0,null");
        return reply;
      }
      k.code = b->display_width;
      k.a[0] = b->display_height;
      k.a[2] = b->pixel_width;
      k.a[3] = b->pixel_height;
      k.a[4] = b->depth;
      k.a[5] = next_bitmap_ - 1;
      std::snprintf(k.data, channel::Data_Size, "%s", b->FileName().toLocal8Bit().constData());
      return reply;
    }
    case channel::Bitmap_From_Buffer: {  // a bitmap from the values in the data buffer; the buffer goes afterwards
      int n = MakeBitmap(data_buffer_.data(), data_buffer_.size(), a1, k.a[2], k.a[3], k.a[1]);
      data_buffer_.clear();
      data_buffer_.shrink_to_fit();
      WriteNumber(n);
      return n ? reply : 0;
    }
    case channel::Bitmap_Colour_Values: {  // colour codes of the data area into colour values of the data buffer
      const std::int64_t first = a1, count = k.a[1];
      if (data_buffer_.empty() || first < 0 || count < 0 || count > std::int64_t(channel::Data_Size / 4) ||
          (first + count) * 4 > std::int64_t(data_buffer_.size()))
        return 0;
      for (std::int64_t i = 0; i < count; ++i) {
        std::int32_t code;
        std::memcpy(&code, k.data + 4 * i, 4);
        std::int32_t value = ResolveColor(code, nullptr);
        std::memcpy(data_buffer_.data() + 4 * (first + i), &value, 4);
      }
      return reply;
    }
    case channel::Bitmap_Text: {  // a two-colour bitmap showing a text
      int n = TextBitmap(a1 > 0 ? a1 : next_bitmap_, k.a[2], k.a[3], k.a[4], k.a[5], data_text(k));
      WriteNumber(n);
      return reply;
    }
    default:
      return static_cast<std::uint32_t>(-1);
  }
}
