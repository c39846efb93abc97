// KRArchive.cpp - the byte layer of picture files (see KRArchive.h).
#include "kornd/KRArchive.h"

#include <cmath>
#include <cstring>

KRArchive::KRArchive(std::vector<std::uint8_t>& out) : out_(&out) {}

KRArchive::KRArchive(const std::uint8_t* data, std::size_t size) : in_(data), size_(size) {}

void KRArchive::WriteBytes(const void* p, std::size_t n) {
  const auto* b = static_cast<const std::uint8_t*>(p);
  out_->insert(out_->end(), b, b + n);
}

void KRArchive::WriteU16(std::uint16_t v) {
  const std::uint8_t b[2] = {std::uint8_t(v), std::uint8_t(v >> 8)};
  WriteBytes(b, 2);
}

void KRArchive::WriteU32(std::uint32_t v) {
  const std::uint8_t b[4] = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
  WriteBytes(b, 4);
}

void KRArchive::WriteF32(float v) {
  std::uint32_t u;
  std::memcpy(&u, &v, 4);
  WriteU32(u);
}

void KRArchive::WriteRect(const KRrect& r) {
  WriteI32(r.left), WriteI32(r.top), WriteI32(r.right), WriteI32(r.bottom);
}

void KRArchive::WritePoint(const KRpoint& p) { WriteI32(p.x), WriteI32(p.y); }

// Length prefix: one byte below 0xFF, else 0xFF and a u16 below 0xFFFF, else 0xFF, 0xFFFF and a u32.
void KRArchive::WriteString(const std::string& s) {
  const std::size_t n = s.size();
  if (n < 0xFF) {
    WriteU8(static_cast<std::uint8_t>(n));
  } else if (n < 0xFFFE) {
    WriteU8(0xFF), WriteU16(static_cast<std::uint16_t>(n));
  } else {
    WriteU8(0xFF), WriteU16(0xFFFF), WriteU32(static_cast<std::uint32_t>(n));
  }
  WriteBytes(s.data(), n);
}

void KRArchive::WriteCount(std::uint64_t n) {
  if (n < 0xFFFF) {
    WriteU16(static_cast<std::uint16_t>(n));
  } else {
    WriteU16(0xFFFF), WriteU32(static_cast<std::uint32_t>(n));
  }
}

void KRArchive::Need(std::size_t n) const {
  if (size_ - pos_ < n) throw KRArchiveError("unexpected end of file");
}

void KRArchive::ReadBytes(void* p, std::size_t n) {
  Need(n);
  if (n) std::memcpy(p, in_ + pos_, n);
  pos_ += n;
}

std::uint8_t KRArchive::ReadU8() {
  Need(1);
  return in_[pos_++];
}

std::uint16_t KRArchive::ReadU16() {
  Need(2);
  std::uint16_t v = std::uint16_t(in_[pos_] | in_[pos_ + 1] << 8);
  pos_ += 2;
  return v;
}

std::uint32_t KRArchive::ReadU32() {
  Need(4);
  std::uint32_t v = std::uint32_t(in_[pos_]) | std::uint32_t(in_[pos_ + 1]) << 8 | std::uint32_t(in_[pos_ + 2]) << 16 |
                    std::uint32_t(in_[pos_ + 3]) << 24;
  pos_ += 4;
  return v;
}

float KRArchive::ReadF32() {
  std::uint32_t u = ReadU32();
  float v;
  std::memcpy(&v, &u, 4);
  return v;
}

KRrect KRArchive::ReadRect() {
  KRrect r;
  r.left = ReadI32(), r.top = ReadI32(), r.right = ReadI32(), r.bottom = ReadI32();
  return r;
}

KRpoint KRArchive::ReadPoint() {
  KRpoint p;
  p.x = ReadI32(), p.y = ReadI32();
  return p;
}

std::string KRArchive::ReadString() {
  std::uint64_t n = ReadU8();
  bool wide = false;
  if (n == 0xFF) {
    n = ReadU16();
    if (n == 0xFFFE) {  // marker of a string of 16-bit characters; its length follows anew
      wide = true;
      n = ReadU8();
      if (n == 0xFF) {
        n = ReadU16();
        if (n == 0xFFFF) n = ReadU32();
      }
    } else if (n == 0xFFFF) {
      n = ReadU32();
    }
  }
  if (!wide) {
    Need(static_cast<std::size_t>(n));
    std::string s(reinterpret_cast<const char*>(in_ + pos_), static_cast<std::size_t>(n));
    pos_ += static_cast<std::size_t>(n);
    return s;
  }
  if (n > Remaining() / 2) throw KRArchiveError("unexpected end of file");
  std::string s;
  for (std::uint64_t i = 0; i < n; ++i) {
    std::uint16_t c = ReadU16();
    s.push_back(c < 0x100 ? char(c) : '?');
  }
  return s;
}

std::uint64_t KRArchive::ReadCount() {
  std::uint64_t n = ReadU16();
  if (n == 0xFFFF) n = ReadU32();
  return n;
}

std::uint32_t KRArchive::ReadItemCount(std::uint32_t n, std::size_t item_bytes) {
  if (item_bytes != 0 && std::uint64_t(n) > Remaining() / item_bytes) throw KRArchiveError("count beyond the file");
  return n;
}

std::int32_t KRArchive::Scaled(std::int32_t v) const {
  double s = std::trunc(double(v) * scale);
  if (s > 2147483647.0 || s < -2147483648.0) throw KRArchiveError("coordinate out of range");
  return static_cast<std::int32_t>(s);
}

void KRArchive::WriteObject(const CKorndTool& t) {
  const char* name = CLASS_NAME_OF_TYPE(t.type());
  if (name == nullptr) throw KRArchiveError("object without a class");
  auto found = stored_classes_.find(name);
  if (found != stored_classes_.end() && found->second < Big_Object_Tag) {
    WriteU16(static_cast<std::uint16_t>(Class_Tag | found->second));
  } else {
    WriteU16(New_Class_Tag);
    WriteU16(Schema);
    const std::size_t n = std::strlen(name);
    WriteU16(static_cast<std::uint16_t>(n));
    WriteBytes(name, n);
    stored_classes_[name] = map_count_++;
  }
  ++map_count_;  // the object's own index: no object is written twice
  const_cast<CKorndTool&>(t).Serialize(*this);
}

std::unique_ptr<CKorndTool> KRArchive::ReadObject() {
  std::uint16_t tag = ReadU16();
  std::string name;
  if (tag == New_Class_Tag) {
    if (ReadU16() != Schema) throw KRArchiveError("unknown schema");
    std::uint16_t n = ReadU16();
    if (n == 0 || n > 64) throw KRArchiveError("bad class name");
    name.resize(n);
    ReadBytes(name.data(), n);
    loaded_classes_[map_count_++] = name;
  } else if (tag == Big_Object_Tag) {
    throw KRArchiveError("object reference");
  } else if (tag & Class_Tag) {
    auto found = loaded_classes_.find(tag & ~Class_Tag);
    if (found == loaded_classes_.end()) throw KRArchiveError("unknown class index");
    name = found->second;
  } else {
    // Null objects and references to objects already read: the list owns each object once.
    throw KRArchiveError("object reference");
  }
  std::unique_ptr<CKorndTool> t = MAKE_TOOL_OF_CLASS(name);
  if (!t) throw KRArchiveError("unknown class " + name);
  ++map_count_;
  t->Serialize(*this);
  return t;
}

void KRArchive::WriteList(const ToolList& list) {
  WriteCount(list.size());
  for (const auto& t : list) WriteObject(*t);
}

ToolList KRArchive::ReadList() {
  if (++depth > 64) throw KRArchiveError("groups nested too deep");
  // Every object takes at least a tag and its base record.
  std::uint64_t n = ReadCount();
  if (n > Remaining() / 24) throw KRArchiveError("count beyond the file");
  ToolList list;
  for (std::uint64_t i = 0; i < n; ++i) list.push_back(ReadObject());
  --depth;
  return list;
}
