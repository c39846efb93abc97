// CKorndTool.h - the drawing object as the window document keeps it in its list: type code,
// object id (one counter for the whole server, first object 1), flags, segment and bounding
// rectangle. Drawing-object classes derive from it and draw themselves.
// Changes: the server-wide object id counter.
#pragma once

#include <cstdint>
#include <list>
#include <memory>

#include "kornd/DrawUtil.h"

class CKorndDoc;
class CKorndGC;
class QPainter;

class CKorndTool {
 public:
  // Flags of every object.
  static constexpr std::uint32_t Has_Rect = 0x4;   // the rectangle bounds what it draws
  static constexpr std::uint32_t Hidden = 0x40;    // skipped when drawing
  static constexpr std::uint32_t Erased = 0x400;   // marked for removal
  static constexpr int Group_Type = 31;

  explicit CKorndTool(int type);
  virtual ~CKorndTool() = default;
  CKorndTool(const CKorndTool&) = delete;
  CKorndTool& operator=(const CKorndTool&) = delete;

  // Draws the object with the environment into the painter; the base draws nothing.
  virtual void Draw(CKorndGC& env, CKorndDoc* doc, QPainter& dc, std::uint32_t skip_mask);
  // The device rectangle the object covers when drawn with env.
  virtual KRrect GetBounds(CKorndGC& env, int mode);
  // Objects it counts as in the document's counts: 1, or a group's member count.
  virtual int Weight() const { return 1; }

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
  std::uint32_t flags_ = 0;
  int segment_ = 0;
  KRrect rect_;
};

using ToolList = std::list<std::unique_ptr<CKorndTool>>;
