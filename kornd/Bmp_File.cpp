// Bmp_File.cpp - ".bmp" byte layout: checked parsing and writing (see Bmp_File.h).
#include "kornd/Bmp_File.h"

#include <algorithm>  // std::min
#include <cstring>    // std::memcpy

namespace bmp {

Info_Header GET_INFO(const std::uint8_t* p) {
  Info_Header h;
  h.size = static_cast<std::int32_t>(GET32(p));
  h.width = static_cast<std::int32_t>(GET32(p + 4));
  h.height = static_cast<std::int32_t>(GET32(p + 8));
  h.planes = GET16(p + 12);
  h.bit_count = GET16(p + 14);
  h.compression = GET32(p + 16);
  h.size_image = GET32(p + 20);
  h.x_pels_per_meter = static_cast<std::int32_t>(GET32(p + 24));
  h.y_pels_per_meter = static_cast<std::int32_t>(GET32(p + 28));
  h.clr_used = GET32(p + 32);
  h.clr_important = GET32(p + 36);
  return h;
}

void PUT_INFO(std::uint8_t* p, const Info_Header& h) {
  PUT32(p, static_cast<std::uint32_t>(h.size));
  PUT32(p + 4, static_cast<std::uint32_t>(h.width));
  PUT32(p + 8, static_cast<std::uint32_t>(h.height));
  PUT16(p + 12, h.planes);
  PUT16(p + 14, h.bit_count);
  PUT32(p + 16, h.compression);
  PUT32(p + 20, h.size_image);
  PUT32(p + 24, static_cast<std::uint32_t>(h.x_pels_per_meter));
  PUT32(p + 28, static_cast<std::uint32_t>(h.y_pels_per_meter));
  PUT32(p + 32, h.clr_used);
  PUT32(p + 36, h.clr_important);
}

const char* COMPRESSION_NAME(std::uint32_t compression) {
  switch (compression) {
    case BI_RGB: return "RGB";
    case BI_RLE8: return "RLE8";
    case BI_RLE4: return "RLE4";
    case BI_BITFIELDS: return "BITFIELDS";
    case BI_JPEG: return "JPEG";
    default: return "UNKOWN";
  }
}

std::uint64_t ROW_BYTES(int bit_count, std::int64_t width) {
  if (width < 0 || bit_count < 0) return 0;
  return (std::uint64_t(bit_count) * std::uint64_t(width) + 31) / 32 * 4;
}

std::uint64_t IMAGE_SIZE(int bit_count, std::int64_t width, std::int64_t height) {
  std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
  return ROW_BYTES(bit_count, width) * rows;  // both factors below 2^37: no overflow
}

std::uint32_t COLOUR_COUNT(const Info_Header& h) {
  if (h.clr_used != 0) return h.clr_used;
  if (h.bit_count >= 1 && h.bit_count <= 8) return 1u << h.bit_count;
  return 0;
}

namespace {

bool depth_taken(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

}  // namespace

bool CHECK_BLOCK(const std::uint8_t* block, std::uint64_t block_size, std::uint64_t bits_available,
                 std::uint64_t max_bytes, Info_Header& h, std::uint64_t& image) {
  if (block_size < Info_Header_Size) return false;
  h = GET_INFO(block);
  if (h.size != std::int32_t(Info_Header_Size) || h.planes != 1 || !depth_taken(h.bit_count)) return false;
  if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) return false;
  const bool bitfields = h.compression == BI_BITFIELDS;
  if (h.compression != BI_RGB && !(bitfields && (h.bit_count == 16 || h.bit_count == 32))) return false;
  const std::uint64_t colours = COLOUR_COUNT(h);
  if (h.bit_count <= 8 && colours > (1u << h.bit_count)) return false;
  if (colours > 256) return false;
  if (Info_Header_Size + (bitfields ? Masks_Size : 0) + 4 * colours > block_size) return false;
  if (bitfields && (GET32(block + 40) == 0 || GET32(block + 44) == 0 || GET32(block + 48) == 0)) return false;
  image = IMAGE_SIZE(h.bit_count, h.width, h.height);
  return image != 0 && image <= max_bytes && image <= bits_available;
}

Read_Error PARSE_FILE(const std::vector<std::uint8_t>& file, File_Image& out, std::uint64_t max_bytes) {
  out = File_Image{};
  if (file.size() < File_Header_Size) return Read_Error::Short;
  if (GET16(file.data()) != Type_BM) return Read_Error::Not_Bitmap;
  const std::uint64_t offset = GET32(file.data() + 10);
  if (file.size() >= File_Header_Size + Info_Header_Size) out.info = GET_INFO(file.data() + File_Header_Size);
  if (offset < File_Header_Size + Info_Header_Size || offset > file.size()) return Read_Error::Bad_Layout;
  std::uint64_t image = 0;
  if (!CHECK_BLOCK(file.data() + File_Header_Size, offset - File_Header_Size, file.size() - offset, max_bytes, out.info,
                   image))
    return Read_Error::Bad_Layout;
  out.header_block.assign(file.begin() + File_Header_Size, file.begin() + static_cast<std::ptrdiff_t>(offset));
  out.info.size_image = static_cast<std::uint32_t>(image);
  PUT_INFO(out.header_block.data(), out.info);
  out.bits.assign(file.begin() + static_cast<std::ptrdiff_t>(offset),
                  file.begin() + static_cast<std::ptrdiff_t>(offset + image));
  return Read_Error::None;
}

std::vector<std::uint8_t> FILE_BYTES(const std::vector<std::uint8_t>& header_block, const std::vector<std::uint8_t>& bits,
                                     std::uint32_t colour_count) {
  const Info_Header h = GET_INFO(header_block.data());
  const std::size_t masks = h.compression == BI_BITFIELDS ? Masks_Size : 0;
  const std::size_t table = 4 * std::size_t(colour_count);
  const std::size_t offset = File_Header_Size + Info_Header_Size + masks + table;
  std::vector<std::uint8_t> out(offset + bits.size(), 0);
  PUT16(out.data(), Type_BM);
  PUT32(out.data() + 2, static_cast<std::uint32_t>(bits.size() + offset));
  PUT32(out.data() + 10, static_cast<std::uint32_t>(offset));
  const std::size_t from_block = std::min(header_block.size(), Info_Header_Size + masks + table);
  std::memcpy(out.data() + File_Header_Size, header_block.data(), from_block);
  if (!bits.empty()) std::memcpy(out.data() + offset, bits.data(), bits.size());
  return out;
}

}  // namespace bmp
