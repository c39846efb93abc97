// CKorndDoc_Serialize.cpp - a window's picture as a file: writing and reading the ".krd"
// picture file (header "KR" 09 98, background, the 2300-byte window block, viewport union,
// drawing bounds, bitmap and symbol entries, the object list), loading a picture into a window
// (request B 11) and saving or exporting it as ".krd", ".emf" or ".bmp" (request B 12, "Save",
// "Save As" and their file dialog). Exports replay the picture at the selected anchor through
// the page mapping of their area mode.
//
// Reading is done into a staging record first; only a file that was read whole and whose
// bitmaps and symbols could all be made changes the window, so a refused or corrupt file
// leaves it as it was. Every file is written through a temporary and renamed into place.
// Reads: the application's page and display records, its client folder.
// Changes: the document's object list, counts, bitmap, symbol and anchor tables, picture
// geometry and (when the picture grows the window) its window block.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "kornd/CKorndAnchor.h"
#include "kornd/CKorndApp.h"
#include "kornd/CKorndBox.h"
#include "kornd/CKorndDoc.h"
#include "kornd/Save_File.h"
#include "kornd/CKorndDocTemplate.h"
#include "kornd/CKorndOG.h"
#include "kornd/CKorndView.h"
#include "kornd/Emf_Records.h"
#include "kornd/File_Dialog.h"
#include "kornd/KRArchive.h"
#include "kornd/KRdc.h"

namespace {

constexpr std::uint32_t Picture_Magic = 0x9809524B;  // "K" "R" 0x09 0x98 read as a little-endian u32
constexpr int Picture_Version = 0x0998;
constexpr std::size_t Unit_Offset = 48;
constexpr std::int64_t Max_Export_Pixels = std::int64_t(1) << 27;
// A metafile's bitmap: its pixels at most (96 MB of bits), its tiles' sides at most.
constexpr std::int64_t Max_Metafile_Pixels = std::int64_t(1) << 25;
constexpr int Max_Metafile_Tile = 4096;
constexpr qint64 Max_Picture_File = qint64(1) << 31;
// Titles of the save dialogs: saving under a new name, saving a copy.
constexpr int Title_Save_As = 61441, Title_Save_Copy = 61444;

// Records a failed export whose picture could not be drawn at the output size.
bool no_picture(Save_Failure* failure, const QString& name, int w, int h) {
  if (failure) *failure = {name, QString("a picture of %1 x %2 pixels cannot be made").arg(w).arg(h)};
  return false;
}

struct Bitmap_Entry {
  int number;
  std::string name;
  std::uint32_t position;
  std::int32_t width, height;
  std::uint32_t transparent;
  std::int32_t colour;
};

struct Symbol_Entry {
  int number;
  std::vector<std::uint8_t> bits;
  std::string name;
};

// Everything a picture file holds, read before anything of the window changes.
struct Picture {
  std::int32_t background = -1;
  channel::KRwinblock block{};
  KRrect viewport_union, bounds;
  std::vector<Bitmap_Entry> bitmaps;
  std::vector<Symbol_Entry> symbols;
  ToolList tools;
  int hidden = 0;
};

void show_invalid_file(const QString& detail) {
  CKorndApp* app = KorndApp();
  if (app == nullptr) return;
  QString text = CKorndApp::StringOf(IDS_INVALID_FILE);
  text.replace("()", detail);
  app->box_open = true;
  app->ShowMessageText(text, nullptr, MB_FATAL);
  app->box_open = false;
}

// A file name of a request: relative names are taken in the client's folder.
QString client_path(const QString& name) {
  CKorndApp* app = KorndApp();
  if (name.isEmpty() || QDir::isAbsolutePath(name) || app == nullptr || app->client_folder.isEmpty()) return name;
  return QDir(app->client_folder).filePath(name);
}

// A file named in a picture file: a relative name is looked for next to the picture first,
// then in the client's folder; a name found nowhere goes on as given (its dialog asks).
QString entry_path(const std::string& stored, const QString& picture_folder) {
  const QString name = QString::fromStdString(stored);
  if (QDir::isAbsolutePath(name)) return name;
  if (!picture_folder.isEmpty() && QFileInfo::exists(QDir(picture_folder).filePath(name)))
    return QDir(picture_folder).filePath(name);
  return client_path(name);
}

// The screen as the metafiles' reference device: its size in pixels and in millimetres.
struct Reference_Device {
  int pixels_x, pixels_y, millimetres_x, millimetres_y;
};

Reference_Device reference_device() {
  CKorndApp* app = KorndApp();
  Reference_Device r;
  r.pixels_x = app && app->display_info.horzres > 0 ? app->display_info.horzres : 1920;
  r.pixels_y = app && app->display_info.vertres > 0 ? app->display_info.vertres : 1080;
  r.millimetres_x = app && app->display_info.horzsize > 0 ? app->display_info.horzsize : std::max(1, r.pixels_x * CKREMF::FactorX() / 100);
  r.millimetres_y = app && app->display_info.vertsize > 0 ? app->display_info.vertsize : std::max(1, r.pixels_y * CKREMF::FactorY() / 100);
  return r;
}

KRrect normalised(const KRrect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
}

KRrect united(const KRrect& a, const KRrect& b) {
  KRrect x = normalised(a), y = normalised(b);
  return {std::min(x.left, y.left), std::min(x.top, y.top), std::max(x.right, y.right), std::max(x.bottom, y.bottom)};
}

// The viewport rectangle a block describes, in pixels, inside the picture.
KRrect viewport_of_block(const channel::KRwinblock& b, int w, int h) {
  KRrect r = normalised({b.origin_x, static_cast<std::int32_t>((1.0 - b.view_y2) * b.unit),
                         static_cast<std::int32_t>(b.view_x2 * b.unit), b.origin_y});
  return {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, w), std::min(r.bottom, h)};
}

int weight_of_erased(const ToolList& list) {
  int n = 0;
  for (const auto& t : list)
    if (t->IsErased()) n += t->Weight();
  return n;
}

// Reads the whole file after its first four bytes have been checked; throws KRArchiveError.
void read_body(KRArchive& ar, Picture& p, bool rescale, int current_unit) {
  ar.ReadBytes(&p.block, sizeof p.block);
  if (rescale && p.block.unit != current_unit) {
    if (p.block.unit <= 0) throw KRArchiveError("bad unit");
    ar.scale = double(current_unit) / double(p.block.unit);
  }
  p.viewport_union = ar.Scaled(ar.ReadRect());
  p.bounds = ar.Scaled(ar.ReadRect());
  ar.ReadU32();  // the writer's next bitmap number: numbers follow the reader's table
  for (;;) {
    const std::int32_t n = ar.ReadI32();
    if (n <= 0) break;
    Bitmap_Entry e{n, ar.ReadString(), 0, 0, 0, 0, 0};
    e.position = ar.ReadU32(), e.width = ar.ReadI32(), e.height = ar.ReadI32();
    e.transparent = ar.ReadU32(), e.colour = ar.ReadI32();
    if (n > 4096) throw KRArchiveError("bitmap number");
    p.bitmaps.push_back(std::move(e));
  }
  for (;;) {
    const std::int32_t n = ar.ReadI32();
    if (n <= 0) break;
    if (n > 4096) throw KRArchiveError("symbol number");
    Symbol_Entry e{n, {}, {}};
    const std::uint32_t size = ar.ReadU32();
    if (size > 0) {
      ar.ReadItemCount(size, 1);
      e.bits.resize(size);
      ar.ReadBytes(e.bits.data(), size);
    } else {
      e.name = ar.ReadString();
    }
    p.symbols.push_back(std::move(e));
  }
  p.tools = ar.ReadList();
  p.hidden = weight_of_erased(p.tools);
}

}  // namespace

std::vector<std::uint8_t> CKorndDoc::PictureBytes() {
  PurgeTools(0);
  std::vector<std::uint8_t> out;
  KRArchive ar(out);
  ar.WriteU32(Picture_Magic);
  ar.WriteI32(background_);
  ar.WriteBytes(block_, sizeof *block_);
  ar.WriteRect(viewport_union_);
  ar.WriteRect(bounds_);
  ar.WriteU32(static_cast<std::uint32_t>(next_bitmap_));
  CKorndApp* app = KorndApp();
  bool asking = true;
  for (int i = 1; i < int(bitmaps_.size()); ++i) {
    CKRDIB* b = bitmaps_[std::size_t(i)].get();
    if (b == nullptr || b->IsEmpty()) continue;
    if (b->FileName().isEmpty() && asking && app) {
      const int answer = app->ShowMessageText(QString::asprintf("%s #%d %s", "Save the bitmap", i, "to a file"), nullptr,
                                              0x40023);  // question, Yes/No/Cancel, top-most
      if (answer == CKorndBox::IDYES) SaveBitmapFile(i, "*.bmp");
      if (answer == CKorndBox::IDCANCEL) asking = false;
    }
    if (b->FileName().isEmpty()) continue;
    ar.WriteU32(static_cast<std::uint32_t>(i));
    ar.WriteString(b->FileName().toStdString());
    ar.WriteU32(static_cast<std::uint32_t>(b->position_mode));
    ar.WriteI32(b->display_width), ar.WriteI32(b->display_height);
    ar.WriteU32(b->transparent ? 1 : 0), ar.WriteI32(b->transparent_colour);
  }
  ar.WriteU32(0);
  // Symbols go by their bits, also those that came from a file: the file may change or go.
  for (int j = 1; j < next_symbol_ && j < int(symbols_.size()); ++j) {
    CKREMF* s = symbols_[std::size_t(j)].get();
    if (s == nullptr || !s->HasMetafile()) continue;
    ar.WriteU32(static_cast<std::uint32_t>(j));
    ar.WriteU32(static_cast<std::uint32_t>(s->Bits().size()));
    ar.WriteBytes(s->Bits().data(), s->Bits().size());
  }
  ar.WriteU32(0);
  ar.erased_low = erased_low_, ar.erased_high = erased_high_;
  ar.WriteList(tools_);
  return out;
}

bool CKorndDoc::SavePicture(const QString& name, Save_Failure* failure) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = PictureBytes();
  } catch (const KRArchiveError& e) {
    if (failure) *failure = {name, QString::fromUtf8(e.what())};
    return false;
  }
  return SAVE_WHOLE_FILE(name, bytes, failure) == Save_Result::Saved;
}

int CKorndDoc::ReadPicture(const std::vector<std::uint8_t>& bytes, bool rescale, bool grow, const QString& folder) {
  if (bytes.size() < 8 || bytes[0] != 'K' || bytes[1] != 'R') {
    show_invalid_file("");
    return 0;
  }
  const int version = bytes[2] * 256 + bytes[3];
  if (version != Picture_Version) {
    show_invalid_file(QString::asprintf(" (Ver: %4.4x != %4.4x) ", version, Picture_Version));
    return 0;
  }
  Picture p;
  try {
    KRArchive ar(bytes.data(), bytes.size());
    ar.bitmap_offset = next_bitmap_ - 1, ar.symbol_offset = next_symbol_ - 1;
    ar.ReadU32();
    p.background = ar.ReadI32();
    read_body(ar, p, rescale, block_->unit);
    if (ar.Rescaling()) Rescale(p.block, block_->unit);
  } catch (const KRArchiveError& e) {
    show_invalid_file(QString(" (%1) ").arg(e.what()));
    return 0;
  }

  // Bitmaps and symbols are made aside and numbered after the window's own.
  const int bitmap_offset = next_bitmap_ - 1, symbol_offset = next_symbol_ - 1;
  std::vector<std::pair<int, std::unique_ptr<CKRDIB>>> new_bitmaps;
  CKorndApp* app = KorndApp();
  for (const Bitmap_Entry& e : p.bitmaps) {
    auto dib = std::make_unique<CKRDIB>();
    for (;;) {
      if (dib->ReadFile(entry_path(e.name, folder))) break;
      const int answer = app ? app->ShowMessageID(IDS_OPEN_FAILED, nullptr, MB_ERROR) : CKorndBox::IDIGNORE;
      if (answer == CKorndBox::IDRETRY) continue;
      if (answer != CKorndBox::IDABORT && app) app->ShowMessageID(IDS_CLOSE, nullptr, MB_FATAL);
      return 0;
    }
    dib->AfterConstruction();
    dib->position_mode = int(e.position), dib->display_width = e.width, dib->display_height = e.height;
    dib->transparent = e.transparent != 0;
    dib->SetTransparentColour(e.colour);
    new_bitmaps.emplace_back(e.number + bitmap_offset, std::move(dib));
  }
  std::vector<std::pair<int, std::unique_ptr<CKREMF>>> new_symbols;
  for (Symbol_Entry& e : p.symbols) {
    auto s = std::make_unique<CKREMF>();
    const bool made = e.bits.empty() ? s->LoadFile(entry_path(e.name, folder)) : s->SetBits(std::move(e.bits));
    if (!made) {
      show_invalid_file(" (symbol) ");
      return 0;
    }
    new_symbols.emplace_back(e.number + symbol_offset, std::move(s));
  }

  // Commit.
  for (auto& [n, dib] : new_bitmaps) {
    if (n >= int(bitmaps_.size())) bitmaps_.resize(std::size_t(n) + 1);
    bitmaps_[std::size_t(n)] = std::move(dib);
    next_bitmap_ = std::max(next_bitmap_, n + 1);
  }
  for (auto& [n, s] : new_symbols) {
    if (n >= int(symbols_.size())) symbols_.resize(std::size_t(n) + 1);
    s->slot = n;
    symbols_[std::size_t(n)] = std::move(s);
    next_symbol_ = std::max(next_symbol_, n + 1);
  }
  background_ = p.background;
  if (grow) {
    const int w = std::max(picture_width_, p.block.width), h = std::max(picture_height_, p.block.height);
    const KRrect old_viewport = viewport_rect_, old_union = viewport_union_, old_bounds = bounds_;
    // The request area belongs to the request that runs now; only the drawing state is taken.
    std::memcpy(block_, &p.block, offsetof(channel::KRwinblock, code));
    SetPageSize(w, h, false);
    viewport_rect_ = united(old_viewport, viewport_of_block(p.block, w, h));
    viewport_union_ = united(old_union, p.viewport_union);
    bounds_ = old_bounds.IsAllZero() ? normalised(p.bounds) : united(old_bounds, p.bounds);
  }
  for (auto& t : p.tools) {
    const int s = t->segment();
    if (s >= int(by_segment_.size())) by_segment_.resize(std::size_t(s) + 1, 0);
    by_segment_[std::size_t(s)] += 1;
    object_count_ += t->Weight();
  }
  hidden_count_ += p.hidden;
  const bool had_tools = !tools_.empty();
  const auto last_own = had_tools ? std::prev(tools_.end()) : tools_.end();
  tools_.splice(tools_.end(), p.tools);
  AdoptAnchors(had_tools ? std::next(last_own) : tools_.begin());
  SendHint(Hint_Open, nullptr, nullptr);
  return window_number_;
}

void CKorndDoc::AdoptAnchors(ToolList::iterator first) {
  std::vector<CKorndAnchor*> read;
  for (auto it = first; it != tools_.end(); ++it)
    if ((*it)->type() == 1 && !(*it)->IsErased() && (*it)->segment() == 0) read.push_back(static_cast<CKorndAnchor*>(it->get()));
  if (read.empty()) return;
  // A file keeps no environments: a replay (onto a scratch pixel) finds each as it is at its
  // anchor, so that showing the picture at an anchor read from a file works as for one set here.
  QImage scratch(1, 1, QImage::Format_RGB32);
  KRdc dc(&scratch);
  CKorndGC env;
  for (CKorndAnchor* a : read) {
    Render(&dc, env, a->id());
    if (!env.replay_position || (**env.replay_position).get() != a) break;  // ids out of list order
    a->Capture(env);
    a->SetReplayPosition(*env.replay_position);
    anchors_.push_back(a);
    ++anchor_count_;
  }
}

int CKorndDoc::LoadPicture(const QString& given, int mode) {
  QString name = client_path(given.left(260));
  QFile file(name);
  if (name.contains('*') || !file.open(QIODevice::ReadOnly)) {
    if (!ASK_FILE_NAME(false, name, name)) {
      pending_message_ = IDS_OPEN_FAILED;
      return 0;
    }
    file.setFileName(name);
    if (!file.open(QIODevice::ReadOnly)) {
      pending_message_ = IDS_OPEN_FAILED;
      return 0;
    }
  }
  if (file.size() > Max_Picture_File) {
    show_invalid_file(" (size) ");
    return 0;
  }
  const QByteArray data = file.readAll();
  if (data.size() != file.size()) {
    pending_message_ = IDS_OPEN_FAILED;
    return 0;
  }
  const std::vector<std::uint8_t> bytes(data.begin(), data.end());
  const bool rescale = mode != 0 && mode != 2, grow = mode != 0 && mode != 1;
  const int result = ReadPicture(bytes, rescale, grow, QFileInfo(name).absolutePath());
  return result == 0 ? window_number_ : result;
}

// ---------------------------------------------------------------------------------------------
// Saving by type and exporting

bool CKorndDoc::ExportArea(KRrect& area, int kind, int mode, int& w, int& h) const {
  CKorndApp* app = KorndApp();
  const int dpi_x = app && app->page_metrics.resolution_x > 0 ? app->page_metrics.resolution_x : 300;
  const int dpi_y = app && app->page_metrics.resolution_y > 0 ? app->page_metrics.resolution_y : 300;
  // The default output size: the view's client size (for a metafile in 0.01 mm).
  int cw = picture_width_, ch = picture_height_;
  if (view_ && view_->width() > 0 && view_->height() > 0) cw = view_->width(), ch = view_->height();
  if (kind == 2) cw *= CKREMF::FactorX(), ch *= CKREMF::FactorY();
  const bool choose = w == 0 || h == 0;
  const int W = picture_width_, H = picture_height_;
  const int bw = bounds_.right - bounds_.left, bh = bounds_.bottom - bounds_.top;
  switch (mode) {
    case 1:
      if (choose) {
        if (kind == 2) {
          w = static_cast<int>(std::uint32_t(W) * 2540u / std::uint32_t(dpi_x));
          h = static_cast<int>(std::uint32_t(H) * 2540u / std::uint32_t(dpi_y));
        } else {
          w = W, h = H;
        }
        area = {0, 0, W, H};
      } else if (kind == 2) {
        area = {0, 0, static_cast<int>(std::int64_t(w) * dpi_x / 2540), static_cast<int>(std::int64_t(h) * dpi_y / 2540)};
      } else {
        area = {0, 0, w, h};
      }
      break;
    case 2:
      if (bw <= 0 || bh <= 0) return false;
      if (choose) {
        w = bw, h = bh;
        FitSize(w, h, cw, ch, false);
        area = bounds_;
      } else {
        int aw = w, ah = h;
        FitSize(aw, ah, bw, bh, true);
        area = {bounds_.left, bounds_.top, bounds_.left + aw, bounds_.top + ah};
      }
      break;
    case 3:
      if (choose) w = cw, h = ch;
      area = bounds_;
      break;
    case 4:
      if (choose) w = cw, h = ch;
      area = {0, 0, W, H};
      break;
    case 5:
      if (choose) w = cw, h = ch;
      area = viewport_rect_;
      break;
    default:
      return false;
  }
  return w != 0 && h != 0 && !area.IsEmpty();
}

// The area onto the output: modes 1 and 2 keep the aspect ratio, 3-5 stretch. A metafile's
// window runs upwards onto a viewport of its frame in the reference device's pixels.
void CKorndDoc::PrepareExportDC(int kind, KRdc& dc, int mode, int w, int h, const KRrect& area) const {
  dc.SetMapMode(mode <= 2 ? KRdc::MM_ISOTROPIC : KRdc::MM_ANISOTROPIC);
  const int aw = area.right - area.left, ah = area.bottom - area.top;
  dc.SetWindowOrg(area.left, area.top);
  dc.SetViewportOrg(0, 0);
  if (kind == 2) {
    const Reference_Device r = reference_device();
    dc.SetWindowExt(aw, -ah);
    dc.SetViewportExt(static_cast<int>(std::int64_t(w) * r.pixels_x / r.millimetres_x / 100),
                      -static_cast<int>(std::int64_t(h) * r.pixels_y / r.millimetres_y / 100));
  } else {
    dc.SetWindowExt(aw, ah);
    dc.SetViewportExt(w, h);
  }
}

// The picture (at the selected anchor) replayed from a fresh environment onto the background
// of a w x h surface through the export mapping of the area.
QImage CKorndDoc::ExportImage(const KRrect& area, int mode, int w, int h) {
  QImage out;
  if (w <= 0 || h <= 0 || std::int64_t(w) * h > Max_Export_Pixels || area.IsEmpty()) return out;
  out = QImage(w, h, QImage::Format_RGB32);
  const std::int32_t bg = BackgroundColour();
  out.fill(qRgb(bg & 0xFF, (bg >> 8) & 0xFF, (bg >> 16) & 0xFF));
  KRdc dc(&out);
  PrepareExportDC(3, dc, mode, w, h, area);
  CKorndGC env;
  RenderAtAnchor(&dc, env);
  return out;
}

bool CKorndDoc::ImageToDib(const QImage& source, CDib& dib) {
  if (source.isNull()) return false;
  const QImage image = source.convertToFormat(QImage::Format_RGB32);
  const int w = image.width(), h = image.height();
  std::vector<std::uint32_t> values(std::size_t(w) * std::size_t(h));
  for (int y = 0; y < h; ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < w; ++x) values[std::size_t(y) * std::size_t(w) + std::size_t(x)] = qRed(row[x]) | qGreen(row[x]) << 8 | qBlue(row[x]) << 16;
  }
  return dib.FromValues(values.data(), w, h, 24);
}

bool CKorndDoc::PutBitmap(int n, std::unique_ptr<CKRDIB> bitmap) {
  if (n < 0 || n > 4096) return false;
  if (n >= int(bitmaps_.size())) bitmaps_.resize(std::size_t(n) + 1);
  bitmaps_[std::size_t(n)] = std::move(bitmap);
  if (bitmaps_[std::size_t(n)]) next_bitmap_ = std::max(next_bitmap_, n + 1);
  return true;
}

bool CKorndDoc::SaveBitmap(const QString& name, int mode, int w, int h, Save_Failure* failure) {
  PurgeTools(0);
  KRrect area;
  if (!ExportArea(area, 3, mode, w, h)) return false;
  const QImage image = ExportImage(area, mode, std::abs(w), std::abs(h));
  CDib dib;
  if (image.isNull() || !ImageToDib(image, dib)) return no_picture(failure, name, std::abs(w), std::abs(h));
  return dib.WriteFile(name, failure);
}

bool CKorndDoc::SaveMetafile(const QString& name, int mode, int w, int h, Save_Failure* failure) {
  PurgeTools(0);
  KRrect area;
  if (!ExportArea(area, 2, mode, w, h)) return false;
  const int fw = std::abs(w), fh = std::abs(h);
  const int aw = area.right - area.left, ah = area.bottom - area.top;
  // The mapping the records carry, as the export mapping sets it up.
  QImage probe(1, 1, QImage::Format_RGB32);
  KRdc mapping(&probe);
  PrepareExportDC(2, mapping, mode, w, h, area);
  const KRpoint viewport = mapping.ViewportExt();
  const int pw = std::max(1, std::abs(viewport.x)), ph = std::max(1, std::abs(viewport.y));
  // The picture at its own resolution, a pixel per logical unit (less only past the bound).
  const double shrink = std::min(1.0, std::sqrt(double(Max_Metafile_Pixels) / (double(aw) * double(ah))));
  const int bw = std::max(1, int(aw * shrink)), bh = std::max(1, int(ah * shrink));
  const QImage image = ExportImage(area, mode, bw, bh);
  if (image.isNull()) return no_picture(failure, name, bw, bh);
  const Reference_Device r = reference_device();
  emf::Writer writer(pw, ph, fw, fh, r.pixels_x, r.pixels_y, r.millimetres_x, r.millimetres_y);
  const KRpoint window_org = mapping.WindowOrg(), window_ext = mapping.WindowExt(), viewport_org = mapping.ViewportOrg();
  writer.Add(emf::EMR_SETMAPMODE, {mapping.GetMapMode()});
  writer.Add(emf::EMR_SETWINDOWORGEX, {window_org.x, window_org.y});
  writer.Add(emf::EMR_SETWINDOWEXTEX, {window_ext.x, window_ext.y});
  writer.Add(emf::EMR_SETVIEWPORTORGEX, {viewport_org.x, viewport_org.y});
  writer.Add(emf::EMR_SETVIEWPORTEXTEX, {viewport.x, viewport.y});
  // Tiles of at most Max_Metafile_Tile pixels a side: common metafile readers refuse larger
  // bitmaps. Each covers its share of the area in logical units.
  for (int y0 = 0; y0 < bh; y0 += Max_Metafile_Tile) {
    const int th = std::min(Max_Metafile_Tile, bh - y0);
    const int top = area.top + int(std::int64_t(y0) * ah / bh), bottom = area.top + int(std::int64_t(y0 + th) * ah / bh);
    for (int x0 = 0; x0 < bw; x0 += Max_Metafile_Tile) {
      const int tw = std::min(Max_Metafile_Tile, bw - x0);
      const int left = area.left + int(std::int64_t(x0) * aw / bw), right = area.left + int(std::int64_t(x0 + tw) * aw / bw);
      CDib tile;
      if (!ImageToDib(image.copy(x0, y0, tw, th), tile)) return no_picture(failure, name, bw, bh);
      const KRrect device = mapping.LPtoDP(KRrect{left, top, right, bottom});
      writer.AddStretchDIBits(left, top, right - left, bottom - top, tile, emf::SRCCOPY, &device);
    }
  }
  const std::vector<std::uint8_t> bytes = writer.Finish();
  return SAVE_WHOLE_FILE(name, bytes, failure) == Save_Result::Saved;
}

bool CKorndDoc::SaveByType(const QString& given, int type, int mode, int w, int h, Save_Failure* failure) {
  if (object_count_ == 0 || bounds_.IsEmpty() || view_ == nullptr) return false;
  PurgeTools(0);
  QString name = given;
  if (name.isEmpty()) {
    name = path_name_;
    if (!PromptFileName(name, Title_Save_Copy, false)) return false;
  }
  name = client_path(name);
  const int dot = name.lastIndexOf('.');
  const QString extension = dot >= 0 && dot > name.lastIndexOf('/') ? name.mid(dot).toLower() : QString();
  if (type < 1 || type > 3) type = extension == ".emf" ? 2 : extension == ".bmp" ? 3 : 1;
  if (mode < 1 || mode > 5) mode = view_mode_;
  // With an earlier anchor selected the picture file leaves out what came after it, up to and
  // including the last anchor (exports draw the picture at the anchor themselves).
  if (current_anchor_ > 0 && current_anchor_ < anchor_count_ && anchors_[std::size_t(anchor_count_)] != nullptr) {
    erased_low_ = SelectedAnchorId();
    erased_high_ = anchors_[std::size_t(anchor_count_)]->id();
  }
  bool saved;
  if (type == 2) {
    saved = SaveMetafile(name, mode, w, h, failure);
  } else if (type == 3) {
    saved = SaveBitmap(name, mode, w, h, failure);
  } else {
    if (extension != ".krd") name += ".krd";
    saved = SavePicture(name, failure);
  }
  erased_low_ = erased_high_ = 0;
  return saved;
}

bool CKorndDoc::PromptFileName(QString& name, int title_id, bool open) {
  const CKorndDocTemplate doc_template;
  QString text, extensions;
  doc_template.GetDocString(text, 3);
  doc_template.GetDocString(extensions, 4);
  const std::vector<File_Filter> filters = {{text, "*" + extensions},
                                            {"KRD Files (*.krd)", "*.krd"},
                                            {"Metafiles (*.emf)", "*.emf"},
                                            {"Bitmap Files (*.bmp)", "*.bmp"},
                                            {"All Files (*.*)", "*.*"}};
  const QString title = title_id == Title_Save_As ? "Save As" : title_id == Title_Save_Copy ? "Save Copy As" : QString();
  QString chosen;
  if (!ASK_FILE_NAME(!open, name.left(260), title, filters, chosen)) return false;
  name = chosen;
  return true;
}

// Every form is written to a temporary beside the file and renamed over it only when complete,
// so a save that fails, or writes nothing, leaves an existing file as it was.
bool CKorndDoc::DoSave(const QString& given, bool replace) {
  QString name = given;
  if (name.isEmpty()) {
    QString start = path_name_;
    if (start.isEmpty() && replace) {
      start = title_;
      const qsizetype cut = start.indexOf(QRegularExpression("[ #%;/\\\\]"));
      if (cut >= 0) start = start.left(cut);
      QString extensions;
      CKorndDocTemplate().GetDocString(extensions, 4);
      start += extensions.section(';', 0, 0);
    }
    if (!PromptFileName(start, replace ? Title_Save_As : Title_Save_Copy, false)) return false;
    name = start;
  }
  const QString lower = name.toLower();
  if (!lower.endsWith(".krd") && !lower.endsWith(".emf") && !lower.endsWith(".bmp")) name += ".krd";
  for (;;) {
    Save_Failure failure;
    if (SaveByType(name, 0, 0, 0, 0, &failure)) break;
    // Nothing to save or a cancelled dialog: nothing to tell.
    if (failure.reason.isEmpty()) return false;
    CKorndApp* app = KorndApp();
    if (app == nullptr || app->ShowError(SAVE_FAILURE_TEXT(failure), false) != CKorndBox::IDRETRY) return false;
  }
  if (replace) SetPathName(QFileInfo(name).absoluteFilePath());
  return true;
}
