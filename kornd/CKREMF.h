// CKREMF.h - one enhanced metafile (a user symbol or a marker picture) with its size in pixels
// and in hundredths of a millimetre, and, while a symbol is being recorded, its recorder.
//
// The recorder is a painting-layer surface of the symbol's pixel size that starts fully
// transparent; objects drawn into it keep their exact pixels. Closing the recording writes the
// picture as stretch-blit records (a mask where nothing was drawn), so playing it back at its
// own size gives the same pixels and a larger rectangle stretches it.
// Reads and writes ".emf" files (written through a temporary file).
// Changes: the application's client folder (file dialogs).
#pragma once

#include "kornd/Emf_Records.h"

#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "kornd/DrawUtil.h"

class CKorndGC;
class KRdc;

class CKREMF {
 public:
  CKREMF();
  ~CKREMF();
  CKREMF(const CKREMF&) = delete;
  CKREMF& operator=(const CKREMF&) = delete;

  // Hundredths of a millimetre per screen pixel (whole, at least 1).
  static int FactorX();
  static int FactorY();

  // No metafile, recorder or environment; default 50 mm square.
  void Reset();
  // Starts a recording of w x h pixels (below 1: 50 mm); false when no recorder can be made.
  bool BeginRecord(int w, int h);
  // Closes the recording into the metafile; false when none was open.
  bool EndRecord();
  // Records one marker of the description (kind, size, outline, colour, background or -1, mix).
  bool MakeMarker(const std::array<std::int32_t, 6>& description);
  void CopyFrom(const CKREMF& other);
  // Reads an ".emf" file (a dialog when the name holds '*' or names no file); false when none
  // was read (a malformed file is refused whole and the symbol stays as it was).
  bool LoadFile(const QString& name);
  // Writes the metafile as an ".emf" file; false on failure.
  bool SaveFile(const QString& name) const;
  // Plays the picture stretched onto rect (exchanged edges mirror); false when a record failed
  // (its type in *failed_type).
  bool Play(KRdc& dc, const KRrect& rect, std::uint32_t* failed_type = nullptr) const;
  // Takes metafile bytes (checked); false when they are not a well-formed metafile.
  bool SetBits(std::vector<std::uint8_t> bytes);

  bool HasMetafile() const { return !bits_.empty(); }
  bool Recording() const { return recorder_ != nullptr; }
  bool IsFree() const { return !HasMetafile() && !Recording(); }
  const std::vector<std::uint8_t>& Bits() const { return bits_; }
  KRdc* Recorder() const { return recorder_.get(); }
  CKorndGC* Environment() const { return environment_.get(); }
  void SetEnvironment(std::unique_ptr<CKorndGC> env);

  QString name;
  int frame_width = 5000, frame_height = 5000;
  int pixel_width = 0, pixel_height = 0;
  int slot = 0;

 private:
  void SetSize(int w, int h);
  // The metafile of the recorded surface.
  std::vector<std::uint8_t> Encode(const QImage& canvas) const;

  std::vector<std::uint8_t> bits_;  // the metafile's bytes; empty: none
  mutable emf::Dib_Cache dibs_;      // their bitmaps, decoded on the first play
  QImage canvas_;
  std::unique_ptr<KRdc> recorder_;
  std::unique_ptr<CKorndGC> environment_;
  mutable bool play_failure_told_ = false;
};
