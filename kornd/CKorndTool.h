// CKorndTool.h - the drawing object as the window document keeps it in its list: type code,
// object id (one counter for the whole server, first object 1), flags, segment and bounding
// rectangle. Drawing-object classes derive from it and draw themselves.
// Changes: the server-wide object id counter.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <optional>

#include "kornd/DrawUtil.h"

class CKorndDoc;
class CKorndGC;
class CKorndView;
class KRArchive;
class KRdc;

class CKorndTool {
 public:
  // Flags of every object.
  static constexpr std::uint32_t Ordinary = 0x2;
  static constexpr std::uint32_t Has_Rect = 0x4;   // the rectangle bounds what it draws
  static constexpr std::uint32_t Not_Repainted = 0x8;
  static constexpr std::uint32_t Not_Recorded = 0x10;
  static constexpr std::uint32_t Prepared = 0x20;  // first-draw work done
  static constexpr std::uint32_t Hidden = 0x40;    // skipped when drawing
  static constexpr std::uint32_t Moves_Pen = 0x200;
  static constexpr std::uint32_t Erased = 0x400;   // marked for removal
  static constexpr int Group_Type = 31;

  CKorndTool(int type, std::uint32_t flags);
  struct No_Id {};
  // An object that takes no id from the counter (the hint object).
  CKorndTool(int type, std::uint32_t flags, No_Id);
  virtual ~CKorndTool() = default;
  CKorndTool(const CKorndTool&) = delete;
  CKorndTool& operator=(const CKorndTool&) = delete;

  // Draws the object with the environment into dc (view: the window's view, or null when
  // exporting); 1 when it drew something, 0 when skipped or it only changed the environment.
  virtual int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask);
  // The pen position an object of flag 0x200 leaves; false for other objects.
  virtual bool EndPoint(KRpoint& p) const;
  // The bounding rectangle when drawn with env; none for an object without flag 0x4 or with an
  // all-zero rectangle. recompute asks anew.
  virtual std::optional<KRrect> GetBounds(CKorndGC& env, int recompute);
  // Objects it counts as in the document's counts: 1, or a group's member count.
  virtual int Weight() const { return 1; }
  // Writes or reads the object's picture-file record: the base record, then its own.
  virtual void Serialize(KRArchive& ar);

  int type() const { return type_; }
  int id() const { return id_; }
  std::uint32_t flags() const { return flags_; }
  void SetFlags(std::uint32_t f) { flags_ = f; }
  bool IsErased() const { return (flags_ & Erased) != 0; }
  int segment() const { return segment_; }
  void SetSegment(int s) { segment_ = s; }
  const KRrect& rect() const { return rect_; }
  void SetRect(const KRrect& r) { rect_ = r; }

  // The id the next object will get.
  static int NextId();

 protected:
  int type_;
  int id_;
  std::uint32_t flags_;
  // True when the skip mask excludes this object (the skip test every Draw begins with).
  bool Skipped(std::uint32_t skip_mask) const { return (skip_mask & flags_) != 0; }

  int segment_ = 0;
  KRrect rect_;
  std::optional<KRrect> bounds_;  // cached by GetBounds
};

using ToolList = std::list<std::unique_ptr<CKorndTool>>;
