// CKREMF.cpp - recorded enhanced metafiles (see CKREMF.h).
#include "kornd/CKREMF.h"

#include "kornd/Save_File.h"

#include <QFile>
#include <QFileInfo>

#include "kornd/CDib.h"
#include "kornd/CKorndApp.h"
#include "kornd/CKorndGC.h"
#include "kornd/CKorndMark.h"
#include "kornd/Emf_Records.h"
#include "kornd/File_Dialog.h"
#include "kornd/KRdc.h"

namespace {

// Largest recorder surface (64 M pixels, as the view's picture surface).
constexpr std::int64_t Max_Record_Pixels = std::int64_t(1) << 26;
// Largest ".emf" file read (256 MB).
constexpr qint64 Max_File_Bytes = qint64(1) << 28;
// Screen pitch used when the screen reports none (96 dots per inch).
constexpr int Default_Factor = 26;
constexpr int Default_Size = 5000;  // hundredths of a millimetre: 50 mm

int factor(int size_mm, int pixels) {
  int f = pixels > 0 ? 100 * size_mm / pixels : 0;
  return f >= 1 ? f : Default_Factor;
}

void screen(int& px_x, int& px_y, int& mm_x, int& mm_y) {
  CKorndApp* app = KorndApp();
  px_x = app && app->display_info.horzres > 0 ? app->display_info.horzres : 1920;
  px_y = app && app->display_info.vertres > 0 ? app->display_info.vertres : 1080;
  mm_x = app && app->display_info.horzsize > 0 ? app->display_info.horzsize : px_x * Default_Factor / 100;
  mm_y = app && app->display_info.vertsize > 0 ? app->display_info.vertsize : px_y * Default_Factor / 100;
}

}  // namespace

int CKREMF::FactorX() {
  CKorndApp* app = KorndApp();
  return app ? factor(app->display_info.horzsize, app->display_info.horzres) : Default_Factor;
}

int CKREMF::FactorY() {
  CKorndApp* app = KorndApp();
  return app ? factor(app->display_info.vertsize, app->display_info.vertres) : Default_Factor;
}

CKREMF::CKREMF() { Reset(); }
CKREMF::~CKREMF() = default;

void CKREMF::Reset() {
  bits_.clear();
  dibs_.clear();
  bits_.shrink_to_fit();
  recorder_.reset();
  environment_.reset();
  canvas_ = QImage();
  name.clear();
  frame_width = frame_height = Default_Size;
  pixel_width = Default_Size / FactorX();
  pixel_height = Default_Size / FactorY();
  slot = 0;
}

void CKREMF::SetSize(int w, int h) {
  if (w >= 1) pixel_width = w, frame_width = w * FactorX();
  else frame_width = Default_Size, pixel_width = Default_Size / FactorX();
  if (h >= 1) pixel_height = h, frame_height = h * FactorY();
  else frame_height = Default_Size, pixel_height = Default_Size / FactorY();
}

void CKREMF::SetEnvironment(std::unique_ptr<CKorndGC> env) { environment_ = std::move(env); }

bool CKREMF::BeginRecord(int w, int h) {
  recorder_.reset();
  const int keep_w = pixel_width, keep_h = pixel_height, keep_fw = frame_width, keep_fh = frame_height;
  SetSize(w, h);
  if (std::int64_t(pixel_width) * pixel_height > Max_Record_Pixels || std::int64_t(pixel_width) * FactorX() > INT32_MAX ||
      std::int64_t(pixel_height) * FactorY() > INT32_MAX) {
    pixel_width = keep_w, pixel_height = keep_h, frame_width = keep_fw, frame_height = keep_fh;
    return false;
  }
  canvas_ = QImage(pixel_width, pixel_height, QImage::Format_ARGB32);
  if (canvas_.isNull()) {
    Reset();
    return false;
  }
  canvas_.fill(Qt::transparent);
  recorder_ = std::make_unique<KRdc>(&canvas_);
  return true;
}

std::vector<std::uint8_t> CKREMF::Encode(const QImage& canvas) const {
  int px_x, px_y, mm_x, mm_y;
  screen(px_x, px_y, mm_x, mm_y);
  emf::Writer w(pixel_width, pixel_height, frame_width, frame_height, px_x, px_y, mm_x, mm_y);
  w.Add(emf::EMR_SETMAPMODE, {static_cast<std::int32_t>(emf::MM_ANISOTROPIC)});
  w.Add(emf::EMR_SETWINDOWEXTEX, {pixel_width, pixel_height});
  w.Add(emf::EMR_SETVIEWPORTEXTEX, {frame_width, frame_height});
  const int cw = canvas.width(), ch = canvas.height();
  std::vector<std::uint32_t> picture(std::size_t(cw) * std::size_t(ch)), mask(picture.size());
  bool any_clear = false, any_drawn = false;
  for (int y = 0; y < ch; ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
    for (int x = 0; x < cw; ++x) {
      const std::size_t i = std::size_t(y) * std::size_t(cw) + std::size_t(x);
      const bool drawn = qAlpha(row[x]) != 0;
      // Where nothing was drawn the mask keeps the target (white) and the picture adds nothing.
      picture[i] = drawn ? (qRed(row[x]) | qGreen(row[x]) << 8 | qBlue(row[x]) << 16) : 0;
      mask[i] = drawn ? 0x000000 : 0xFFFFFF;
      any_clear |= !drawn;
      any_drawn |= drawn;
    }
  }
  if (any_drawn && cw > 0 && ch > 0) {
    CDib image;
    if (image.FromValues(picture.data(), cw, ch, 32)) {
      if (any_clear) {
        CDib m;
        if (m.FromValues(mask.data(), cw, ch, 1)) w.AddStretchDIBits(0, 0, cw, ch, m, emf::SRCAND);
        w.AddStretchDIBits(0, 0, cw, ch, image, emf::SRCPAINT);
      } else {
        w.AddStretchDIBits(0, 0, cw, ch, image, emf::SRCCOPY);
      }
    }
  }
  return w.Finish();
}

bool CKREMF::EndRecord() {
  if (!recorder_) return false;
  bits_ = Encode(canvas_);
  dibs_.clear();
  recorder_.reset();
  environment_.reset();
  canvas_ = QImage();
  return true;
}

bool CKREMF::MakeMarker(const std::array<std::int32_t, 6>& d) {
  const int s = d[1] == 0 ? 1 : d[1];
  if (s < 0) return false;
  bits_.clear();
  if (!BeginRecord(s, s)) return false;
  // The shapes fill the square with a background themselves (kinds 2, 3, 4 and 6).
  CKorndMark::PlayMarker(*recorder_, d, KRrect{0, 0, s, s});
  return EndRecord() && HasMetafile();
}

void CKREMF::CopyFrom(const CKREMF& other) {
  if (&other == this) return;
  bits_ = other.bits_;
  dibs_.clear();
  name = other.name;
  frame_width = other.frame_width;
  frame_height = other.frame_height;
  pixel_width = other.pixel_width;
  pixel_height = other.pixel_height;
}

bool CKREMF::SetBits(std::vector<std::uint8_t> bytes) {
  emf::Header h;
  if (!emf::CHECK(bytes, &h)) return false;
  bits_ = std::move(bytes);
  dibs_.clear();
  play_failure_told_ = false;
  frame_width = h.frame.right;
  frame_height = h.frame.bottom;
  pixel_width = frame_width / FactorX();
  pixel_height = frame_height / FactorY();
  return true;
}

bool CKREMF::LoadFile(const QString& file_name) {
  QString path = file_name.left(260);
  if (path.contains('*') || !QFileInfo(path).isFile()) {
    if (!ASK_FILE_NAME(false, path.contains('*') ? path : QString("*.emf"), path) || !QFileInfo(path).isFile())
      return false;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() > Max_File_Bytes) return false;
  QByteArray data = file.readAll();
  if (data.size() != file.size()) return false;
  if (!SetBits(std::vector<std::uint8_t>(data.begin(), data.end()))) return false;
  name = path;
  return true;
}

bool CKREMF::SaveFile(const QString& file_name) const {
  if (!HasMetafile()) return false;
  QString path = file_name.left(260);
  if (path.contains('*') && !ASK_FILE_NAME(true, path, path)) return false;
  return SAVE_WHOLE_FILE(path, bits_) == Save_Result::Saved;
}

bool CKREMF::Play(KRdc& dc, const KRrect& rect, std::uint32_t* failed_type) const {
  if (!HasMetafile()) return true;
  std::uint32_t type = 0;
  if (emf::PLAY(bits_, dc, rect, pixel_width, pixel_height, &type, &dibs_)) return true;
  if (failed_type) *failed_type = type;
  // Told once per picture and not fatal: repaints would otherwise ask again and again.
  if (!play_failure_told_) {
    play_failure_told_ = true;
    if (CKorndApp* app = KorndApp()) app->ShowError(QString::asprintf("Kornd Error-10: failed to play EnhMetaFile [%x]", type), false);
  }
  return false;
}
