// CDib.h - a device-independent bitmap: the header block (BITMAPINFOHEADER, masks for
// BI_BITFIELDS, colour table) and the pixel bytes in the row order and padding the header says
// (bottom-up for a positive height), exactly as a ".bmp" file holds them.
//
// Made empty, from a size, from 32-bit colour values (with colour reduction for depths 1-8),
// from a ".bmp" file, or as a copy; written to ".bmp" files through a temporary file; drawn onto
// the painting layer stretched, mirrored and through a transparency mask. Every failure leaves
// the bitmap empty. Reads: ".bmp" files. Writes: ".bmp" files, the target surface.
// Changes: the application's client folder (file dialogs); may post the server's close (the
// memory warning answered No, or Abort in an error box).
#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class KRdc;
struct Save_Failure;

// Packed bit counts of red, green and blue (red << 16 | green << 8 | blue).
constexpr std::uint32_t Format_555 = 0x050505, Format_565 = 0x050605, Format_888 = 0x080808;

// The memory warning before a bitmap of this many pixel bytes is made: 1 normally, a power of
// two f when the user chose a bitmap f times smaller in each direction, 0 when refused.
int CheckBitmapMemory(std::uint64_t image_bytes);

class CDib {
 public:
  CDib() = default;
  virtual ~CDib();
  CDib(const CDib&) = delete;
  CDib& operator=(const CDib&) = delete;

  // Empty bitmap of the depth (0: the display's) and format (0: the display's), filled with
  // the colour value `fill` or black (fill < 0). False (with its box) when it cannot be made.
  bool Create(int width, int height, int depth, std::uint32_t format, std::int32_t fill);
  // Bitmap from width x |height| colour values 0x00bbggrr; a positive height runs from the top
  // row down, a negative one from the bottom row up. `colours` bounds the table (0: 2^depth).
  bool FromValues(const std::uint32_t* values, int width, int height, int depth, int colours = 0);
  // Bitmap from a packed DIB: a header block and the pixels that follow it; false when the
  // header is not one a bitmap is made of or the pixels are short (no box).
  bool FromPacked(const std::uint8_t* block, std::size_t block_size, const std::uint8_t* bits, std::size_t bits_size);
  // Reads a ".bmp" file (a file dialog when it cannot be opened); false when refused.
  bool ReadFile(const QString& name);
  // Writes the bitmap as a ".bmp" file (a save dialog when it cannot be created); false when
  // not written, with the file and the reason of the last attempt in failure (when given).
  bool WriteFile(const QString& name, Save_Failure* failure = nullptr);
  // Becomes a copy of the other bitmap (header, pixels, file name).
  virtual bool CopyFrom(const CDib& other);
  // Becomes the 1-bit mask of the source: table entry 0 white (transparent), 1 black.
  bool MakeMask(const CDib& source, std::int32_t transparent);
  // Draws the whole bitmap stretched into (x, y, width, height) of the surface with a ternary
  // raster operation; a negative size mirrors the picture in the same area (x + width .. x). With transparency, pixels of the transparent
  // colour leave the target as it is.
  void DrawTransparent(KRdc& dc, int x, int y, int width, int height, std::uint32_t rop, bool transparent,
                       std::int32_t colour);
  // Copies a rectangle of the bitmap to the same place of the target, unclipped, untransformed.
  void Draw(QImage& target, int left, int top, int right, int bottom) const;
  // Fills the whole bitmap with a colour value (the nearest table entry for table depths).
  void Fill(std::uint32_t colour);
  // Sets the first two colour-table entries.
  void SetTwoColors(std::uint32_t colour0, std::uint32_t colour1);
  // Releases everything; the bitmap is empty afterwards.
  virtual void Reset();

  bool IsEmpty() const { return bits_.empty(); }
  int Width() const;         // pixels
  int Height() const;        // pixels (|height| of the header)
  int HeaderHeight() const;  // signed height of the header (negative: top-down rows)
  int BitCount() const;
  std::uint32_t Compression() const;
  std::uint32_t Format() const { return format_; }
  std::uint32_t ColourCount() const { return colour_count_; }
  std::uint64_t Stride() const;
  int ShrinkFactor() const { return shrink_; }
  const QString& FileName() const { return file_name_; }
  void SetFileName(const QString& name) { file_name_ = name; }
  const std::vector<std::uint8_t>& HeaderBlock() const { return header_; }
  const std::vector<std::uint8_t>& Bits() const { return bits_; }
  // Colour-table entry i as a colour value; 0 outside the table.
  std::uint32_t TableColour(std::uint32_t i) const;
  // Colour value of pixel (x, y), y from the top; 0 outside.
  std::uint32_t PixelColour(int x, int y) const;
  // Table index (or raw value for direct depths) of pixel (x, y), y from the top.
  std::uint32_t PixelValue(int x, int y) const;
  // Sets the table index (or raw value) of pixel (x, y), y from the top; inside only.
  void SetPixelValue(int x, int y, std::uint32_t v);
  // The picture as a top-down RGB32 image (kept until the pixels change).
  const QImage& Image() const;
  // The picture reduced to aw x ah, each pixel the AND (else the OR) of its block of source
  // pixels, mirrored as asked (kept until the pixels change or another reduction is asked).
  const QImage& Reduced(int aw, int ah, bool with_and, bool mirror_x, bool mirror_y) const;
  // The ".bmp" file bytes of the bitmap (empty for an empty bitmap).
  std::vector<std::uint8_t> FileBytes() const;

  // Colour reduction of values (low 24 bits) to a table of at most `n` entries (0: 2^depth):
  // the values become table indices; returns the table as colour values.
  static std::vector<std::uint32_t> ReduceColours(std::vector<std::uint32_t>& values, int depth, int n);

 protected:
  // Makes the header block of a new bitmap; false (with its box) for an unknown depth.
  bool MakeHeader(int width, int height, int depth, std::uint32_t format, std::uint32_t colours_used);
  // Sizes the pixels for the header after the memory warning; false when refused.
  bool MakeSection();
  void Changed() {
    image_valid_ = false;
    mask_.reset();
    reduced_ = QImage();
  }
  std::uint8_t* Row(int y);              // scan line y from the top
  const std::uint8_t* Row(int y) const;

  std::vector<std::uint8_t> header_;
  std::vector<std::uint8_t> bits_;
  std::uint32_t format_ = 0;
  std::uint32_t colour_count_ = 0;
  int shrink_ = 1;
  QString file_name_;
  std::unique_ptr<CDib> mask_;
  std::int32_t mask_colour_ = -1;  // transparent colour the mask was made for
  mutable QImage image_;
  mutable bool image_valid_ = false;
  // The picture made smaller for a draw by AND or OR of each block: symbols are drawn at one
  // size again and again.
  struct Reduction {
    int width = 0, height = 0;
    bool with_and = false, mirror_x = false, mirror_y = false;
    bool operator==(const Reduction&) const = default;
  };
  mutable QImage reduced_;
  mutable Reduction reduced_key_;

 private:
  // How scan lines read as RGB32 pixels without the whole-picture image: straight for plain
  // 32-bit pixels, through the table for 8 bits; None for the other layouts.
  struct Row_Colours {
    enum Kind { None, Plain32, Table8 } kind = None;
    std::vector<QRgb> table;
  };
  Row_Colours RowColours() const;
  std::uint32_t table_offset() const;
  std::uint32_t decode(std::uint32_t raw) const;  // direct-depth pixel value to colour value
  std::uint32_t encode(std::uint32_t colour) const;
};
