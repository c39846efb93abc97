// Bmp_File.h - the byte layout of ".bmp" files and device-independent bitmap headers.
//
// Reads: a whole file image in memory; every length, offset and count is checked against the
// bytes that are there before it is used. Writes: the file image of a header block and pixels.
// The header block is what a bitmap keeps: the 40-byte BITMAPINFOHEADER, the three colour masks
// for BI_BITFIELDS, then the colour table (RGBQUAD). Little-endian throughout.
// Changes no global state.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace bmp {

constexpr std::uint16_t Type_BM = 0x4D42;     // "BM"
constexpr std::size_t File_Header_Size = 14;
constexpr std::size_t Info_Header_Size = 40;
constexpr std::size_t Masks_Size = 12;

enum Compression : std::uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_JPEG = 4 };

struct Info_Header {
  std::int32_t size = 40;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t planes = 1;
  std::uint16_t bit_count = 0;
  std::uint32_t compression = BI_RGB;
  std::uint32_t size_image = 0;
  std::int32_t x_pels_per_meter = 0;
  std::int32_t y_pels_per_meter = 0;
  std::uint32_t clr_used = 0;
  std::uint32_t clr_important = 0;
};

// Here, not out of line: bitmaps read and write every pixel through them.
inline std::uint16_t GET16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
// Whole 32-bit loads and stores (pixels go through these a million times a picture).
inline std::uint32_t GET32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, sizeof v);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
  return v;
}
inline void PUT16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PUT32(std::uint8_t* p, std::uint32_t v) {
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
  std::memcpy(p, &v, sizeof v);
}

// Reads or writes the 40 bytes of a BITMAPINFOHEADER.
Info_Header GET_INFO(const std::uint8_t* p);
void PUT_INFO(std::uint8_t* p, const Info_Header& h);

// Name of a compression in the read-failure message ("RGB" ... "JPEG", else "UNKOWN").
const char* COMPRESSION_NAME(std::uint32_t compression);
// Bytes of one scan line: ((bits x width + 31) / 32) x 4; 0 for a negative width.
std::uint64_t ROW_BYTES(int bit_count, std::int64_t width);
// Bytes of the pixels: row bytes x |height|.
std::uint64_t IMAGE_SIZE(int bit_count, std::int64_t width, std::int64_t height);
// Entries of the colour table the header announces: clr_used, or 2^bits for depths 1-8 when 0.
std::uint32_t COLOUR_COUNT(const Info_Header& h);

enum class Read_Error {
  None,
  Short,        // fewer than 14 bytes
  Not_Bitmap,   // type other than "BM"
  Bad_Layout,   // header, table or pixels that the file does not hold, or a layout no section takes
};

// A parsed file: the header block (pixel offset - 14 bytes) and exactly the pixel bytes.
struct File_Image {
  std::vector<std::uint8_t> header_block;
  std::vector<std::uint8_t> bits;
  Info_Header info;
};

// Parses a whole ".bmp" file. Only 40-byte headers, planes 1, depths 1, 4, 8, 16, 24 and 32,
// BI_RGB (BI_BITFIELDS for 16 and 32) are taken; the image size is recomputed. `max_bytes`
// bounds the pixel bytes. `info` is filled as far as it could be read (for the message).
Read_Error PARSE_FILE(const std::vector<std::uint8_t>& file, File_Image& out, std::uint64_t max_bytes);

// Checks a header block (as a packed DIB or a file holds it) against the bytes it comes with:
// the same rules as PARSE_FILE; `image` receives the recomputed pixel byte count.
bool CHECK_BLOCK(const std::uint8_t* block, std::uint64_t block_size, std::uint64_t bits_available,
                 std::uint64_t max_bytes, Info_Header& h, std::uint64_t& image);

// The bytes of a ".bmp" file for a header block and its pixels: file header (size = image size
// + pixel offset, pixel offset = 14 + 40 + masks + 4 x colour count), BITMAPINFOHEADER, masks,
// colour table, pixels.
std::vector<std::uint8_t> FILE_BYTES(const std::vector<std::uint8_t>& header_block, const std::vector<std::uint8_t>& bits,
                                     std::uint32_t colour_count);

}  // namespace bmp
