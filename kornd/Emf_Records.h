// Emf_Records.h - the enhanced-metafile records the server writes and plays.
//
// A metafile is kept as its file bytes: EMR_HEADER (signature " EMF" at byte 40, bounds in
// device pixels, frame in hundredths of a millimetre), the drawing records, EMR_EOF. The
// checker walks every record against the bytes that are there before anything is played; the
// player draws the records through the painting layer, stretching the picture onto a target
// rectangle (exchanged edges mirror), passing over the map mode and extent records (the
// target's mapping stays; a window origin moves the picture) and any record type it does not
// know. Reads and writes memory only; changes no global state.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "kornd/DrawUtil.h"

class CDib;

class CDib;
class KRdc;

namespace emf {

enum Record : std::uint32_t {
  EMR_HEADER = 1, EMR_POLYGON = 3, EMR_POLYLINE = 4, EMR_SETWINDOWEXTEX = 9, EMR_SETWINDOWORGEX = 10,
  EMR_SETVIEWPORTEXTEX = 11, EMR_SETVIEWPORTORGEX = 12, EMR_EOF = 14, EMR_SETPIXELV = 15, EMR_SETMAPMODE = 17,
  EMR_SETBKMODE = 18, EMR_SETROP2 = 20, EMR_SETBKCOLOR = 25, EMR_MOVETOEX = 27, EMR_SAVEDC = 33,
  EMR_RESTOREDC = 34, EMR_SELECTOBJECT = 37, EMR_CREATEPEN = 38, EMR_CREATEBRUSHINDIRECT = 39,
  EMR_DELETEOBJECT = 40, EMR_ELLIPSE = 42, EMR_RECTANGLE = 43, EMR_LINETO = 54, EMR_STRETCHDIBITS = 81,
  EMR_POLYGON16 = 86, EMR_POLYLINE16 = 87,
};

constexpr std::uint32_t Signature = 0x464D4520;  // " EMF"
constexpr std::uint32_t Header_Size = 108;
constexpr std::uint32_t Stock_Object = 0x80000000u;
constexpr std::uint32_t MM_ANISOTROPIC = 8;
constexpr std::uint32_t SRCCOPY = 0x00CC0020, SRCAND = 0x008800C6, SRCPAINT = 0x00EE0086;

// Frame extent in hundredths of a millimetre of a pixel extent at a resolution (dots per inch).
std::int32_t FRAME_OF(std::int64_t pixels, std::int64_t dpi);

struct Header {
  KRrect bounds;   // device pixels, inclusive
  KRrect frame;    // hundredths of a millimetre, inclusive
  std::uint32_t bytes = 0, records = 0;
  std::uint16_t handles = 0;
  std::int32_t device_cx = 0, device_cy = 0, millimetres_cx = 0, millimetres_cy = 0;
};

// Builds a metafile record by record.
class Writer {
 public:
  // frame: (0, 0, frame width, frame height); bounds (0, 0, pixel width - 1, pixel height - 1);
  // the reference device's size in pixels and millimetres.
  Writer(int pixel_width, int pixel_height, int frame_width, int frame_height, int device_cx, int device_cy,
         int millimetres_cx, int millimetres_cy);
  // A record of 32-bit parameters.
  void Add(std::uint32_t type, const std::vector<std::int32_t>& params);
  // The whole bitmap stretched to (x, y, width, height) with a raster operation; the record's
  // bounds are the device rectangle when one is given, else the destination.
  void AddStretchDIBits(int x, int y, int width, int height, const CDib& dib, std::uint32_t rop,
                        const KRrect* device = nullptr);
  // Object handle numbers handed out so far + 1 (the header's handle count).
  void UseHandle(std::uint32_t h) { if (h + 1 > handles_) handles_ = h + 1; }
  // Appends EMR_EOF, completes the header and returns the bytes.
  std::vector<std::uint8_t> Finish();

 private:
  std::vector<std::uint8_t> bytes_;
  std::uint32_t records_ = 1;
  std::uint32_t handles_ = 1;
};

// True when the bytes hold a complete, consistent metafile: header with signature and sizes,
// every record 8 bytes or more, a multiple of 4, inside the bytes, long enough for the fields
// the player reads, EMR_EOF last, record count and byte count as the header says.
bool CHECK(const std::vector<std::uint8_t>& bytes, Header* header);

// Bitmaps of a metafile's records, decoded once, by the record's offset: a symbol placed
// thousands of times must not decode its picture each time.
using Dib_Cache = std::map<std::size_t, std::unique_ptr<CDib>>;

// Plays the records onto dc, the picture's (pixel width x pixel height) stretched onto rect.
// Returns true; false when a record could not be played (its type in *failed_type). With a
// cache, bitmaps are decoded on their first play only (the cache belongs to these bytes).
bool PLAY(const std::vector<std::uint8_t>& bytes, KRdc& dc, const KRrect& rect, int pixel_width, int pixel_height,
          std::uint32_t* failed_type, Dib_Cache* cache = nullptr);

}  // namespace emf
