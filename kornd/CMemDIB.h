// CMemDIB.h - the back buffer of a view: a picture-sized RGB32 surface with the painting layer
// over it, a state word, a dirty rectangle and a drawing environment of its own.
//
// State bits: 2 a dirty rectangle is waiting, 8 the whole surface was filled anew; 12 when no
// surface could be made; the view gives the other bits their use. Changes nothing beyond itself.
#pragma once

#include <QImage>

#include <cstdint>
#include <memory>

#include "kornd/CKorndGC.h"
#include "kornd/DrawUtil.h"
#include "kornd/KRdc.h"

class CMemDIB {
 public:
  static constexpr unsigned Dirty_Rect = 2, Filled = 8, No_Surface = 12;

  CMemDIB() = default;
  CMemDIB(const CMemDIB&) = delete;
  CMemDIB& operator=(const CMemDIB&) = delete;

  // Makes a w x h surface filled with the colour value `fill`, black when fill < 0 (state 8);
  // false and state 12 when it cannot be made.
  bool Create(int w, int h, std::int32_t fill);
  // Drops the surface (state 12).
  void Reset();
  // ORs the bits into the state; a non-empty rectangle joins the dirty rectangle (bit 2);
  // without one the whole surface is filled with `fill` when given (bit 8).
  void Invalidate(unsigned bits, const KRrect* rect, const std::int32_t* fill);
  // Tells that the surface is being drawn on through a painting layer taken earlier.
  void Drawn() { blank_ = Not_Blank; }
  // Empties the dirty rectangle; state 0.
  void ClearDirty();
  // A painting layer with its default state over the surface.
  void ResetDc();

  bool IsEmpty() const { return surface_.isNull(); }
  int Width() const { return surface_.width(); }
  int Height() const { return surface_.height(); }
  // Whoever takes the surface or the painting layer may draw on it: the surface no longer
  // counts as one plain colour.
  QImage& Surface() {
    blank_ = Not_Blank;
    return surface_;
  }
  KRdc* Dc() const {
    blank_ = Not_Blank;
    return dc_.get();
  }
  CKorndGC& Environment() { return env_; }
  unsigned State() const { return state_; }
  const KRrect& Dirty() const { return dirty_; }

 private:
  QImage surface_;
  std::unique_ptr<KRdc> dc_;
  CKorndGC env_;
  unsigned state_ = No_Surface;
  KRrect dirty_;
  // The colour value the whole surface holds since its last fill, nothing drawn on it since:
  // objects drawn without bounds mark the buffer stale one after another, and a surface that
  // is already that colour is not filled again.
  static constexpr std::int64_t Not_Blank = -1;
  mutable std::int64_t blank_ = Not_Blank;
};
