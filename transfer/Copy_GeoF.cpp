// COPY_GEOF: copies the geometry record (three cell counts, three reals) between the
// conversion's formats, rescaling counts and spacing when asked.
//
// Reads: the geometry record of an open channel. Writes: the record to an open channel.
// Global records: Transfer_Options NX, NY, NZ (the input's counts, before any rescaling).

#include <cstring>  // std::memcpy
#include <string>

#include "transfer/Module_Rescale.h"
#include "transfer/Transfer_Channel.h"
#include "transfer/Transfer_ZELTRA.h"

namespace {

struct Geometry_Record {
  std::int32_t counts[3] = {0, 0, 0};
  float single[3] = {0, 0, 0};
  double dual[3] = {0, 0, 0};
};

[[noreturn]] void unreadable(const Transfer_Channel& in, const std::string& reason) {
  TRANSFER_STOP({" Unable to read from file!", " (" + in.name + ": " + reason + ")"});
}

void read_binary(Transfer_Channel& in, bool dual, Geometry_Record& g) {
  const std::uint32_t expected = dual ? 36 : 24;
  std::uint32_t length = 0;
  Read_Status s = READ_RECORD_LENGTH(in, length);
  if (s == Read_Status::End) unreadable(in, "the file is empty");
  if (s != Read_Status::Ok) unreadable(in, "the geometry record is cut short");
  if (length != expected)
    unreadable(in, "record length " + std::to_string(length) + " is not " + std::to_string(expected) +
                       " (wrong input format?)");
  char bytes[40];
  std::uint32_t closing = 0;
  if (READ_RECORD_BYTES(in, std::span<char>(bytes, static_cast<std::size_t>(expected))) != Read_Status::Ok ||
      READ_RECORD_BYTES(in, std::span<char>(reinterpret_cast<char*>(&closing), 4)) != Read_Status::Ok)
    unreadable(in, "the geometry record is cut short");
  if (closing != length) unreadable(in, "the record's closing length differs from its opening length");
  std::memcpy(g.counts, bytes, 12);
  if (dual)
    std::memcpy(g.dual, bytes + 12, 24);
  else
    std::memcpy(g.single, bytes + 12, 12);
}

void read_text(Transfer_Channel& in, Geometry_Record& g) {
  in.reader->BEGIN_STATEMENT();
  for (int i = 0; i < 3; ++i)
    if (in.reader->READ_INTEGER(g.counts[i]) != Free_Form_Status::Ok)
      unreadable(in, i == 0 && in.reader->OFFSET() == 0 ? "the file is empty" : "a cell count is not a whole number");
  for (int i = 0; i < 3; ++i)
    if (in.reader->READ_REAL(g.single[i]) != Free_Form_Status::Ok) unreadable(in, "a real is not a number");
}

}  // namespace

void COPY_GEOF(Transfer_Channel& in, Transfer_Channel* out, const Rescale_Ratio_Type& ratio, bool read_only) {
  const std::int32_t format_in = Transfer_Options.Input_Format;
  const std::int32_t format_out = Transfer_Options.Output_Format;
  Geometry_Record g;
  switch (format_in) {
    case Transfer_Binary_Single:
      read_binary(in, false, g);
      break;
    case Transfer_Ascii:
      read_text(in, g);
      break;
    case Transfer_Binary_Double:
      read_binary(in, true, g);
      break;
    default:
      TRANSFER_STOP({" Unrecognised input format!"});
  }
  for (std::int32_t c : g.counts)
    if (c < 1) unreadable(in, "a cell count below 1 (wrong input format?)");
  Transfer_Options.NX = g.counts[0];
  Transfer_Options.NY = g.counts[1];
  Transfer_Options.NZ = g.counts[2];
  if (read_only) return;

  if (format_in == Transfer_Binary_Double && format_out != Transfer_Binary_Double)
    for (int i = 0; i < 3; ++i) g.single[i] = static_cast<float>(g.dual[i]);
  else if (format_in != Transfer_Binary_Double && format_out == Transfer_Binary_Double)
    for (int i = 0; i < 3; ++i) g.dual[i] = g.single[i];

  if (ratio.n != 1 || ratio.p != 1) {
    const Cell_Counts counts{g.counts[0], g.counts[1], g.counts[2]};
    if (std::string problem = RESCALE_PROBLEM(counts, ratio); !problem.empty())
      TRANSFER_STOP({" Rescale error! (" + problem + ")"});
    Cell_Counts new_counts{};
    RESCALE_ZELTRA_GEOMETRY(g.single[0], counts, new_counts, ratio);
    for (int i = 0; i < 3; ++i) g.counts[i] = new_counts[i];
    g.single[1] = g.single[2] = g.single[0];
  }

  switch (format_out) {
    case Transfer_Binary_Single:
    case Transfer_Binary_Double: {
      const bool dual = format_out == Transfer_Binary_Double;
      const std::int32_t length = dual ? 36 : 24;
      WRITE_BYTES(*out, &length, 4);
      WRITE_BYTES(*out, g.counts, 12);
      if (dual)
        WRITE_BYTES(*out, g.dual, 24);
      else
        WRITE_BYTES(*out, g.single, 12);
      WRITE_BYTES(*out, &length, 4);
      break;
    }
    case Transfer_Ascii:
      WRITE_ASCII_GEOMETRY(*out, g.counts, g.single);
      break;
    default:
      TRANSFER_STOP({" Unrecognised output format!"});
  }
  if (out->write_failed) TRANSFER_STOP({" Unable to write to file!", " (" + out->name + ")"});
}
