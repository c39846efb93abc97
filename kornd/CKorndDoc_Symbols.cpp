// CKorndDoc_Symbols.cpp - the document's symbol table, the symbol recording and the symbol
// requests M 0 - M 7.
//
// Entry 0 is never used; the next symbol number is one above the highest number. A symbol is
// loaded or made aside and only then put into its entry, so a failed load keeps the old one.
// Numbers above Max_Symbol_Number are refused.
// Reads: the window block's slots, data area and head. Writes: the slots, the data area, the
// head (saved at M 0 with the device origin moved into the symbol's frame, put back at M 1);
// ".emf" files. Changes: the symbol table, the next symbol number, the recording.
#include "kornd/CKorndDoc.h"

#include <cmath>    // std::trunc, std::isfinite
#include <cstdio>   // std::snprintf
#include <cstring>  // std::memcpy, strnlen

#include "kornd/CKorndApp.h"
#include "kornd/CKorndGC.h"
#include "kornd/CKorndMain.h"  // CKorndWaitEnded
#include "kornd/CKorndView.h"
#include "kornd/KRdc.h"

namespace {

constexpr int Max_Symbol_Number = 65535;

QString data_text(const channel::KRwinblock& b) {
  return QString::fromLocal8Bit(b.data, static_cast<qsizetype>(strnlen(b.data, channel::Data_Size)));
}

// trunc(v) when it fits a 32-bit integer; `keep` otherwise.
std::int32_t truncated(double v, std::int32_t keep) {
  return std::isfinite(v) && v > -2147483648.0 && v < 2147483648.0 ? static_cast<std::int32_t>(std::trunc(v)) : keep;
}

}  // namespace

CKREMF* CKorndDoc::Symbol(int n) const {
  if (n < 1 || n >= next_symbol_ || n >= int(symbols_.size())) return nullptr;
  return symbols_[static_cast<std::size_t>(n)].get();
}

int CKorndDoc::ChooseSymbolEntry(int k) {
  if (k > Max_Symbol_Number) return 0;
  if (k <= 0) {
    for (k = 1; k < next_symbol_ && k < int(symbols_.size()); ++k)
      if (!symbols_[static_cast<std::size_t>(k)] || symbols_[static_cast<std::size_t>(k)]->IsFree()) break;
    if (k > Max_Symbol_Number) return 0;
  }
  if (k >= int(symbols_.size())) symbols_.resize(static_cast<std::size_t>(k) + 1);
  if (k >= next_symbol_) next_symbol_ = k + 1;
  auto& entry = symbols_[static_cast<std::size_t>(k)];
  if (!entry) entry = std::make_unique<CKREMF>();
  return entry->Recording() ? 0 : k;
}

bool CKorndDoc::RecordTool(std::unique_ptr<CKorndTool>& t) {
  if (recording_ == nullptr || !recording_->Recorder() || !recording_->Environment()) return false;
  try {
    t->Draw(*recording_->Environment(), this, view_, *recording_->Recorder(), 0x410);
  } catch (const CKorndWaitEnded&) {
    // A wait inside the object ended with its window; the object is dropped all the same.
  }
  t.reset();
  return true;
}

std::uint32_t CKorndDoc::ExecuteM(std::uint32_t reply) {
  channel::KRwinblock& k = *block_;
  const int a1 = k.a[0];
  switch (k.code) {
    case channel::Combined_Begin: {  // open a recording
      if (recording_) return 0;
      const int n = ChooseSymbolEntry(a1);
      if (n == 0) return 0;
      CKREMF& s = *symbols_[static_cast<std::size_t>(n)];
      s.Reset();
      if (!s.BeginRecord(k.a[2], k.a[3])) {
        s.Reset();
        return 0;
      }
      s.slot = n;
      auto env = std::make_unique<CKorndGC>();
      env->CopyFrom(env_);
      env->Apply(*s.Recorder());
      s.Recorder()->SetROP2(env->mix_mode);
      s.SetEnvironment(std::move(env));
      recording_ = &s;
      std::memcpy(saved_head_.data(), &k, channel::Head_Size);
      // World point (0, 0) lands on the frame's lower-left corner.
      k.origin_x = truncated(double(k.world_x1) * k.sx, k.origin_x);
      k.origin_y = truncated((double(s.pixel_height) / std::fabs(double(k.sy)) - k.world_y1) * k.sy, k.origin_y);
      WriteNumber(n);
      return static_cast<std::uint32_t>(n);
    }
    case channel::Combined_End: {  // close the recording
      if (recording_ == nullptr) return 0;
      const int n = recording_->slot;
      recording_->EndRecord();
      recording_ = nullptr;
      std::memcpy(&k, saved_head_.data(), channel::Head_Size);
      WriteNumber(n);
      return reply;
    }
    case channel::Combined_Load: {  // load an ".emf" file
      const QString name = data_text(k);
      const int n = ChooseSymbolEntry(a1);
      if (n == 0) return 0;
      auto loaded = std::make_unique<CKREMF>();
      if (!loaded->LoadFile(name)) return 0;
      symbols_[static_cast<std::size_t>(n)] = std::move(loaded);
      WriteNumber(n);
      return reply;
    }
    case channel::Combined_Save: {  // save a symbol as an ".emf" file
      CKREMF* s = Symbol(a1);
      return s && s->HasMetafile() && s->SaveFile(data_text(k)) ? reply : 0;
    }
    case channel::Combined_Copy: {  // copy symbol a1 into a2
      CKREMF* s = Symbol(a1);
      if (s == nullptr || !s->HasMetafile()) return 0;
      const int n = ChooseSymbolEntry(k.a[1]);
      if (n == 0) return 0;
      s = Symbol(a1);  // the table may have grown
      CKREMF& target = *symbols_[static_cast<std::size_t>(n)];
      if (&target != s) {
        target.Reset();
        target.CopyFrom(*s);
      }
      WriteNumber(n);
      return reply;
    }
    case channel::Combined_Delete: {  // delete a symbol's metafile
      CKREMF* s = Symbol(a1);
      if (s == nullptr || !s->HasMetafile()) return 0;
      s->Reset();
      WriteNumber(a1);
      return reply;
    }
    case channel::Combined_Info: {  // symbol information
      k.a[5] = next_symbol_ - 1;
      CKREMF* s = Symbol(a1);
      if (s == nullptr || !s->HasMetafile()) return 0;
      k.code = s->pixel_width;
      k.a[0] = s->pixel_height;
      k.a[2] = s->frame_width;
      k.a[3] = s->frame_height;
      std::snprintf(k.data, channel::Data_Size, "%s", s->name.toLocal8Bit().constData());
      return reply;
    }
    case channel::Combined_Marker: {  // a symbol showing one marker
      const int mix = k.a[5];
      if (mix < 0 || mix > 15) return 0;  // no such mix code
      const int n = ChooseSymbolEntry(a1);
      if (n == 0) return 0;
      std::int32_t asked = k.pen_colour;
      const std::int32_t outline = ResolveColor(k.pen_colour, &asked);
      k.pen_colour = asked;  // a colour chosen in the dialog is not asked again
      std::array<std::int32_t, 6> d{k.a[1],
                                    MarkSize(k.a[1], k.a[2]),
                                    outline,
                                    ResolveColor(k.a[3], nullptr),
                                    k.a[4] == -100 ? -1 : ResolveColor(k.a[4], nullptr),
                                    MixToRop2(mix)};
      auto made = std::make_unique<CKREMF>();
      if (!made->MakeMarker(d)) return 0;
      symbols_[static_cast<std::size_t>(n)] = std::move(made);
      WriteNumber(n);
      return reply;
    }
    default:
      return static_cast<std::uint32_t>(-1);
  }
}
