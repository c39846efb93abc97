// KRArchive.h - the byte layer of picture files: little-endian integers, rectangles, strings
// with their length prefix, and object serialization with class records (new class: 0xFFFF,
// schema 0x1FFF, name; a class seen before: 0x8000 | its index; classes and objects share one
// index counter that starts at 1) and lists as a count followed by the objects.
//
// A loading archive reads from bytes in memory and checks every length against what is there:
// a short or malformed file throws KRArchiveError and the caller drops what it read.
// Changes no global state.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "kornd/CKorndTool.h"
#include "kornd/DrawUtil.h"

struct KRArchiveError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class KRArchive {
 public:
  static constexpr std::uint16_t New_Class_Tag = 0xFFFF;
  static constexpr std::uint16_t Class_Tag = 0x8000;
  static constexpr std::uint16_t Big_Object_Tag = 0x7FFF;
  static constexpr std::uint16_t Schema = 0x1FFF;

  // A storing archive appending to `out`.
  explicit KRArchive(std::vector<std::uint8_t>& out);
  // A loading archive over `size` bytes (kept by the caller).
  KRArchive(const std::uint8_t* data, std::size_t size);

  bool IsStoring() const { return out_ != nullptr; }
  bool IsLoading() const { return out_ == nullptr; }

  void WriteBytes(const void* p, std::size_t n);
  void WriteU8(std::uint8_t v) { WriteBytes(&v, 1); }
  void WriteU16(std::uint16_t v);
  void WriteU32(std::uint32_t v);
  void WriteI32(std::int32_t v) { WriteU32(static_cast<std::uint32_t>(v)); }
  void WriteF32(float v);
  void WriteRect(const KRrect& r);
  void WritePoint(const KRpoint& p);
  void WriteString(const std::string& s);
  void WriteCount(std::uint64_t n);

  void ReadBytes(void* p, std::size_t n);
  std::uint8_t ReadU8();
  std::uint16_t ReadU16();
  std::uint32_t ReadU32();
  std::int32_t ReadI32() { return static_cast<std::int32_t>(ReadU32()); }
  float ReadF32();
  KRrect ReadRect();
  KRpoint ReadPoint();
  std::string ReadString();
  std::uint64_t ReadCount();
  // A count of items of `item_bytes` each that the remaining bytes can hold (else throws).
  std::uint32_t ReadItemCount(std::uint32_t n, std::size_t item_bytes);

  // Object serialization: the class record (or its reference), then the object's payload.
  void WriteObject(const CKorndTool& t);
  // A new object of the class the record names, its payload read; throws on an unknown class,
  // a wrong schema, a null object or a reference to an object already read.
  std::unique_ptr<CKorndTool> ReadObject();
  // A list: its count, then every object.
  void WriteList(const ToolList& list);
  ToolList ReadList();

  std::size_t Position() const { return pos_; }
  std::size_t Remaining() const { return size_ - pos_; }

  // Loading with rescaling: coordinates are multiplied by this and truncated towards zero.
  double scale = 1.0;
  bool Rescaling() const { return scale != 1.0; }
  std::int32_t Scaled(std::int32_t v) const;
  KRpoint Scaled(KRpoint p) const { return {Scaled(p.x), Scaled(p.y)}; }
  KRrect Scaled(const KRrect& r) const { return {Scaled(r.left), Scaled(r.top), Scaled(r.right), Scaled(r.bottom)}; }
  // The erased id range (low, high] of a store: objects in it are written with flag 0x400.
  int erased_low = 0, erased_high = 0;
  // Loading: bitmap and symbol numbers of objects grow by these (numbered after the window's own).
  int bitmap_offset = 0, symbol_offset = 0;
  // Sum of the weights of objects read with flag 0x400.
  int hidden_read = 0;
  // Nesting depth of lists being read (groups in groups), bounded against hostile files.
  int depth = 0;

 private:
  void Need(std::size_t n) const;

  std::vector<std::uint8_t>* out_ = nullptr;
  const std::uint8_t* in_ = nullptr;
  std::size_t size_ = 0, pos_ = 0;
  std::uint32_t map_count_ = 1;                          // index 0 is the null object
  std::map<std::string, std::uint32_t> stored_classes_;  // storing: class name -> index
  std::map<std::uint32_t, std::string> loaded_classes_;  // loading: index -> class name
};

// Class name of an object type code (1-32); null for none.
const char* CLASS_NAME_OF_TYPE(int type);
// A new, empty object of a class name (null for an unknown one), ready for Serialize.
std::unique_ptr<CKorndTool> MAKE_TOOL_OF_CLASS(const std::string& name);
