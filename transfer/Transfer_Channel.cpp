// Transfer_Channel: buffered sequential files of the conversion mode.
//
// Reads and writes: the files the conversion opens. Global records: none.

#include "transfer/Transfer_Channel.h"

#include <fcntl.h>     // open
#include <sys/stat.h>  // fstat
#include <unistd.h>    // read, write, lseek, fsync, close

#include <algorithm>
#include <array>
#include <cerrno>      // errno
#include <charconv>    // std::to_chars
#include <cmath>       // std::isnan, std::isinf, std::signbit
#include <cstring>     // std::memcpy, std::memchr
#include <thread>
#include <vector>

#include "platform/Io_Fault.h"

namespace {

constexpr std::size_t Read_Buffer_Size = 1 << 20;
constexpr std::size_t Write_Block_Size = 1 << 20;
constexpr int Last_Column = 80;

long read_some(Transfer_Channel& channel, char* data, std::size_t n) {
  if (IO_FAULT_HIT(Io_Kind::Read)) {
    channel.error = EIO;
    return -1;
  }
  for (;;) {
    ssize_t r = ::read(channel.fd, data, n);
    if (r >= 0) return static_cast<long>(r);
    if (errno != EINTR) {
      channel.error = errno;
      return -1;
    }
  }
}

// Writes n bytes to the file; a failure is kept in the channel (later writes do nothing).
void write_out(Transfer_Channel& channel, const char* data, std::size_t n) {
  std::size_t done = 0;
  while (!channel.write_failed && done < n) {
    if (IO_FAULT_HIT(Io_Kind::Write)) {
      channel.write_failed = true;
      channel.error = EIO;
      break;
    }
    ssize_t w = ::write(channel.fd, data + done, n - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) {
      channel.write_failed = true;
      channel.error = w < 0 ? errno : EIO;
      break;
    }
    done += static_cast<std::size_t>(w);
  }
}

void flush_pending(Transfer_Channel& channel) {
  write_out(channel, channel.pending.data(), channel.pending.size());
  channel.pending.clear();
}

void maybe_flush(Transfer_Channel& channel) {
  if (channel.pending.size() >= Write_Block_Size) flush_pending(channel);
}

bool open_channel(Transfer_Channel& channel, const std::string& path, const std::string& name, bool text,
                  bool writing) {
  channel.~Transfer_Channel();
  new (&channel) Transfer_Channel();
  channel.name = name;
  channel.text = text;
  channel.writing = writing;
  if (IO_FAULT_HIT(Io_Kind::Open)) {
    channel.error = EIO;
    return false;
  }
  const int flags = writing ? O_WRONLY | O_CREAT | O_TRUNC : O_RDONLY;
  do channel.fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  while (channel.fd < 0 && errno == EINTR);
  if (channel.fd < 0) {
    channel.error = errno;
    return false;
  }
  if (writing) {
    channel.pending.reserve(Write_Block_Size + 4096);
  } else if (text) {
    channel.reader = std::make_unique<Free_Form_Reader>(
        [&channel](char* data, std::size_t max) { return read_some(channel, data, max); });
  } else {
    channel.buffer.reset(new char[Read_Buffer_Size]);
  }
  return true;
}

// Exponent of to_chars' scientific text from its sign on ("+02", "-05").
int exponent_of(const char* sign, const char* end) {
  int value = 0;
  std::from_chars(sign + 1, end, value);
  return *sign == '-' ? -value : value;
}

// Right-aligns text in a field of width.
void append_right(std::string& out, std::string_view text, std::size_t width) {
  if (text.size() < width) out.append(width - text.size(), ' ');
  out.append(text);
}

// Starts a new line when a field of width would end beyond the last column.
void place_field(std::string& out, int& column, int width) {
  if (column + width > Last_Column) {
    out.append("\r\n ");
    column = 1;
  }
  column += width;
}

}  // namespace

Transfer_Channel::~Transfer_Channel() {
  if (fd >= 0) ::close(fd);
}

bool CHANNEL_OPEN_READ(Transfer_Channel& channel, const std::string& path, const std::string& name, bool text) {
  return open_channel(channel, path, name, text, false);
}

bool CHANNEL_OPEN_WRITE(Transfer_Channel& channel, const std::string& path, const std::string& name, bool text) {
  return open_channel(channel, path, name, text, true);
}

bool CHANNEL_CLOSE(Transfer_Channel& channel) {
  if (channel.fd < 0) return false;
  bool ok = true;
  if (channel.writing) {
    flush_pending(channel);
    ok = !channel.write_failed;
    if (ok && ::fsync(channel.fd) != 0) {
      channel.error = errno;
      ok = false;
    }
  }
  const bool injected = IO_FAULT_HIT(Io_Kind::Close);
  if (::close(channel.fd) != 0 || injected) {
    if (ok) channel.error = injected ? EIO : errno;
    ok = false;
  }
  channel.fd = -1;
  channel.reader.reset();
  channel.buffer.reset();
  return ok;
}

std::uint64_t CHANNEL_OFFSET(const Transfer_Channel& channel) {
  if (channel.reader) return channel.reader->OFFSET();
  return channel.file_offset - (channel.end - channel.begin);
}

bool CHANNEL_SEEK(Transfer_Channel& channel, std::uint64_t offset) {
  if (IO_FAULT_HIT(Io_Kind::Other) || ::lseek(channel.fd, static_cast<off_t>(offset), SEEK_SET) < 0) {
    channel.error = errno;
    return false;
  }
  channel.begin = channel.end = 0;
  channel.file_offset = offset;
  if (channel.reader) channel.reader->RESET(offset);
  return true;
}

std::int64_t CHANNEL_FILE_SIZE(const Transfer_Channel& channel) {
  struct stat st;
  if (channel.fd < 0 || ::fstat(channel.fd, &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

Read_Status READ_RECORD_BYTES(Transfer_Channel& channel, std::span<char> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    if (channel.begin < channel.end) {
      std::size_t n = std::min(channel.end - channel.begin, bytes.size() - done);
      std::memcpy(bytes.data() + done, channel.buffer.get() + channel.begin, n);
      channel.begin += n;
      done += n;
      continue;
    }
    const std::size_t rest = bytes.size() - done;
    if (rest >= Read_Buffer_Size) {  // large payloads go straight to their place
      long r = read_some(channel, bytes.data() + done, rest);
      if (r < 0) return Read_Status::Error;
      if (r == 0) return Read_Status::Truncated;
      channel.file_offset += static_cast<std::uint64_t>(r);
      done += static_cast<std::size_t>(r);
      continue;
    }
    long r = read_some(channel, channel.buffer.get(), Read_Buffer_Size);
    if (r < 0) return Read_Status::Error;
    if (r == 0) return Read_Status::Truncated;
    channel.begin = 0;
    channel.end = static_cast<std::size_t>(r);
    channel.file_offset += static_cast<std::uint64_t>(r);
  }
  return Read_Status::Ok;
}

Read_Status READ_RECORD_LENGTH(Transfer_Channel& channel, std::uint32_t& length) {
  char bytes[4];
  // Tell "no byte left" (a clean end) from a length cut short.
  if (channel.begin == channel.end) {
    long r = read_some(channel, channel.buffer.get(), Read_Buffer_Size);
    if (r < 0) return Read_Status::Error;
    if (r == 0) return Read_Status::End;
    channel.begin = 0;
    channel.end = static_cast<std::size_t>(r);
    channel.file_offset += static_cast<std::uint64_t>(r);
  }
  Read_Status status = READ_RECORD_BYTES(channel, bytes);
  if (status != Read_Status::Ok) return status;
  std::memcpy(&length, bytes, 4);
  return Read_Status::Ok;
}

Read_Status SKIP_RECORD_BYTES(Transfer_Channel& channel, std::uint64_t n) {
  const std::uint64_t buffered = channel.end - channel.begin;
  if (n <= buffered) {
    channel.begin += static_cast<std::size_t>(n);
    return Read_Status::Ok;
  }
  const std::uint64_t target = CHANNEL_OFFSET(channel) + n;
  const std::int64_t size = CHANNEL_FILE_SIZE(channel);
  if (size >= 0 && target > static_cast<std::uint64_t>(size)) return Read_Status::Truncated;
  return CHANNEL_SEEK(channel, target) ? Read_Status::Ok : Read_Status::Error;
}

void WRITE_BYTES(Transfer_Channel& channel, const void* data, std::size_t n) {
  if (n >= Write_Block_Size) {  // large payloads go straight from their place
    flush_pending(channel);
    write_out(channel, static_cast<const char*>(data), n);
    return;
  }
  channel.pending.append(static_cast<const char*>(data), n);
  maybe_flush(channel);
}

void EDIT_I12(std::string& out, std::int32_t value) {
  char digits[16];
  auto r = std::to_chars(digits, digits + sizeof digits, value);
  append_right(out, std::string_view(digits, static_cast<std::size_t>(r.ptr - digits)), 12);
}

void EDIT_G15_7(std::string& out, float value) {
  if (std::isnan(value)) return append_right(out, "NaN", 15);
  if (std::isinf(value)) return append_right(out, value < 0 ? "-Infinity" : "Infinity", 15);
  char text[40];
  std::size_t n = 0;
  if (std::signbit(value)) text[n++] = '-';
  const double magnitude = std::fabs(static_cast<double>(value));
  if (magnitude == 0.0) {
    std::memcpy(text + n, "0.000000", 8);
    append_right(out, std::string_view(text, n + 8), 11);
    out.append(4, ' ');
    return;
  }
  // Seven significant digits decide the form: d.dddddde+XX
  char seven[32];
  auto r7 = std::to_chars(seven, seven + sizeof seven, magnitude, std::chars_format::scientific, 6);
  const int exponent = exponent_of(seven + 9, r7.ptr);
  if (exponent >= -1 && exponent <= 6) {
    const char digit[7] = {seven[0], seven[2], seven[3], seven[4], seven[5], seven[6], seven[7]};
    if (exponent == -1) {
      text[n++] = '0';
      text[n++] = '.';
      for (char d : digit) text[n++] = d;
    } else {
      for (int i = 0; i < 7; ++i) {
        text[n++] = digit[i];
        if (i == exponent) text[n++] = '.';
      }
    }
    append_right(out, std::string_view(text, n), 11);
    out.append(4, ' ');
    return;
  }
  // Exponent form with eight significant digits: d.dddddddE+XX
  char eight[32];
  auto r8 = std::to_chars(eight, eight + sizeof eight, magnitude, std::chars_format::scientific, 7);
  const int e = exponent_of(eight + 10, r8.ptr);
  std::memcpy(text + n, eight, 9);
  n += 9;
  text[n++] = 'E';
  text[n++] = e < 0 ? '-' : '+';
  const int a = e < 0 ? -e : e;
  text[n++] = static_cast<char>('0' + a / 10);
  text[n++] = static_cast<char>('0' + a % 10);
  append_right(out, std::string_view(text, n), 15);
}

namespace {

// After the record head (28 columns) the first line has room for 3 values of 15 columns,
// every further line (one blank, then values) for 5: where a value starts a line follows.
constexpr std::size_t First_Line_Values = (Last_Column - 28) / 15;
constexpr std::size_t Line_Values = (Last_Column - 1) / 15;
// Records of at least this many values are formatted in parts by several threads.
constexpr std::size_t Parallel_Format_Minimum = 1 << 16;

bool starts_line(std::size_t index) {
  return index >= First_Line_Values && (index - First_Line_Values) % Line_Values == 0;
}

// Appends the values that stand at first_index.. of their record, with their line ends.
void format_values(std::string& out, std::span<const float> values, std::size_t first_index) {
  for (std::size_t k = 0; k < values.size(); ++k) {
    if (starts_line(first_index + k)) out.append("\r\n ");
    EDIT_G15_7(out, values[k]);
  }
}

std::vector<std::string> format_parts;  // kept from record to record

}  // namespace

void WRITE_ASCII_RECORD(Transfer_Channel& channel, float time, std::int32_t count, std::span<const float> values) {
  std::string& out = channel.pending;
  int column = 1;
  out.push_back(' ');
  place_field(out, column, 15);
  EDIT_G15_7(out, time);
  place_field(out, column, 12);
  EDIT_I12(out, count);
  if (values.size() < Parallel_Format_Minimum) {
    format_values(out, values, 0);
  } else {
    const std::size_t threads = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
    format_parts.resize(threads);
    const std::size_t share = (values.size() + threads - 1) / threads;
    auto format_part = [&](std::size_t t) {
      const std::size_t from = std::min(values.size(), t * share);
      const std::size_t to = std::min(values.size(), from + share);
      format_parts[t].clear();
      format_values(format_parts[t], values.subspan(from, to - from), from);
    };
    std::vector<std::thread> workers;
    for (std::size_t t = 1; t < threads; ++t) workers.emplace_back(format_part, t);
    format_part(0);
    for (auto& w : workers) w.join();
    flush_pending(channel);
    for (const std::string& part : format_parts) write_out(channel, part.data(), part.size());
  }
  out.append("\r\n");
  maybe_flush(channel);
}

void WRITE_ASCII_GEOMETRY(Transfer_Channel& channel, const std::int32_t counts[3], const float reals[3]) {
  std::string& out = channel.pending;
  int column = 1;
  out.push_back(' ');
  for (int i = 0; i < 3; ++i) {
    place_field(out, column, 12);
    EDIT_I12(out, counts[i]);
  }
  for (int i = 0; i < 3; ++i) {
    place_field(out, column, 15);
    EDIT_G15_7(out, reals[i]);
  }
  out.append("\r\n");
  maybe_flush(channel);
}

namespace {

// Values of a record below this count are read by the channel's own reader alone.
constexpr std::size_t Parallel_Minimum = 1 << 16;

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The values of one part of the text, with the end offset of each.
struct Text_Part {
  const char* begin = nullptr;
  std::size_t size = 0;
  std::vector<float> values;
  std::vector<std::uint32_t> ends;
  bool bad = false;  // a token outside the plain number forms: the caller reads sequentially
};

// Kept from record to record: fresh pages for every record cost more than the parsing.
struct Parallel_Scratch {
  std::unique_ptr<char[]> text;
  std::size_t capacity = 0;
  std::vector<Text_Part> parts;
  double bytes_per_value = 24.0;  // text read ahead per value, learnt from the records read
};
Parallel_Scratch scratch;

// Reads the plain number forms (optional sign, digits, point, E exponent) separated by
// blanks. Anything else (commas, D exponents, repeat counts, words) marks the part bad, and
// the record is then read by the free-form reader with all of its rules.
void parse_part(Text_Part& part) {
  part.values.clear();
  part.ends.clear();
  part.bad = false;
  static const auto blank = [] {
    std::array<bool, 256> table{};
    for (unsigned char c : {' ', '\t', '\r', '\n'}) table[c] = true;
    return table;
  }();
  const char* p = part.begin;
  const char* const end = part.begin + part.size;
  for (;;) {
    while (p < end && blank[static_cast<unsigned char>(*p)]) ++p;
    if (p == end) return;
    const char* token_end = p;
    while (token_end < end && !blank[static_cast<unsigned char>(*token_end)]) ++token_end;
    const char* number = *p == '+' ? p + 1 : p;
    const char* digits = *number == '-' ? number + 1 : number;
    float value;
    const auto r = digits < token_end && ((*digits >= '0' && *digits <= '9') || *digits == '.')
                       ? std::from_chars(number, token_end, value)
                       : std::from_chars_result{number, std::errc::invalid_argument};
    if (r.ec != std::errc() || r.ptr != token_end) {
      part.bad = true;
      return;
    }
    part.values.push_back(value);
    part.ends.push_back(static_cast<std::uint32_t>(token_end - part.begin));
    p = token_end;
  }
}

// Parallel reading of the values; false when the text does not allow it (the caller then
// reads them one by one from the same place).
bool read_values_in_parallel(Transfer_Channel& channel, std::span<float> values, double bytes_per_value) {
  const std::uint64_t start = CHANNEL_OFFSET(channel);
  const std::int64_t file_size = CHANNEL_FILE_SIZE(channel);
  if (file_size < 0 || static_cast<std::uint64_t>(file_size) <= start) return false;
  const std::uint64_t wanted = static_cast<std::uint64_t>(static_cast<double>(values.size()) * bytes_per_value) + (1 << 16);
  const std::uint64_t left = static_cast<std::uint64_t>(file_size) - start;
  const std::size_t size = static_cast<std::size_t>(std::min(wanted, left));
  if (scratch.capacity < size) {
    scratch.text.reset(new (std::nothrow) char[size]);
    scratch.capacity = scratch.text ? size : 0;
    if (!scratch.text) return false;
  }
  char* const text = scratch.text.get();
  std::size_t got = 0;
  while (got < size) {
    if (IO_FAULT_HIT(Io_Kind::Read)) return false;
    ssize_t r = ::pread(channel.fd, text + got, size - got, static_cast<off_t>(start + got));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    got += static_cast<std::size_t>(r);
  }
  // Parts end at blanks, so that no number is cut in two; a block that stops short of the
  // end of the file ends at its last blank.
  std::size_t usable = size;
  if (start + size < static_cast<std::uint64_t>(file_size)) {
    while (usable > 0 && !is_blank(text[usable - 1])) --usable;
    if (usable == 0) return false;
  }
  const unsigned threads = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
  std::vector<Text_Part>& parts = scratch.parts;
  parts.resize(threads);
  std::size_t from = 0;
  for (unsigned t = 0; t < threads; ++t) {
    std::size_t to = t + 1 == threads ? usable : std::max(from, usable / threads * (t + 1));
    while (to < usable && !is_blank(text[to])) ++to;
    parts[t].begin = text + from;
    parts[t].size = to - from;
    from = to;
  }
  std::vector<std::thread> workers;
  for (unsigned t = 1; t < threads; ++t) workers.emplace_back(parse_part, std::ref(parts[t]));
  parse_part(parts[0]);
  for (auto& w : workers) w.join();

  // The first values.size() numbers are the record's, provided every part before the last
  // one needed was clean.
  std::size_t taken = 0;
  for (Text_Part& part : parts) {
    const std::size_t n = std::min(part.values.size(), values.size() - taken);
    std::memcpy(values.data() + taken, part.values.data(), n * sizeof(float));
    taken += n;
    if (taken < values.size() && part.bad) return false;  // numbers after a bad token do not count
    if (taken == values.size()) {
      const std::size_t last_end = static_cast<std::size_t>(part.begin - text) + (n ? part.ends[n - 1] : 0);
      const void* line_end = std::memchr(text + last_end, '\n', usable - last_end);
      std::uint64_t next;
      if (line_end)
        next = start + static_cast<std::uint64_t>(static_cast<const char*>(line_end) - text) + 1;
      else if (start + usable == static_cast<std::uint64_t>(file_size))
        next = static_cast<std::uint64_t>(file_size);
      else
        return false;
      scratch.bytes_per_value = std::max(4.0, 1.1 * static_cast<double>(next - start) / static_cast<double>(values.size()));
      return CHANNEL_SEEK(channel, next);
    }
  }
  return false;  // fewer numbers than values in the text read
}

}  // namespace

Read_Status READ_TEXT_VALUES(Transfer_Channel& channel, std::span<float> values, std::string& detail) {
  if (values.size() >= Parallel_Minimum) {
    const std::uint64_t start = CHANNEL_OFFSET(channel);
    // A second try with twice the text before the values are read one by one.
    if (read_values_in_parallel(channel, values, scratch.bytes_per_value) ||
        read_values_in_parallel(channel, values, 2 * scratch.bytes_per_value))
      return Read_Status::Ok;
    if (!CHANNEL_SEEK(channel, start)) return Read_Status::Error;
  }
  for (std::size_t i = 0; i < values.size(); ++i) {
    Read_Status s = TEXT_STATUS(channel.reader->READ_REAL(values[i]), false);
    if (s != Read_Status::Ok) {
      detail = "value " + std::to_string(i + 1) + " is not a number";
      return s;
    }
  }
  return Read_Status::Ok;
}

Read_Status TEXT_STATUS(Free_Form_Status status, bool at_start) {
  switch (status) {
    case Free_Form_Status::Ok:
      return Read_Status::Ok;
    case Free_Form_Status::End_Of_File:
      return at_start ? Read_Status::End : Read_Status::Truncated;
    case Free_Form_Status::Bad_Value:
      return Read_Status::Bad;
    case Free_Form_Status::Read_Error:
      return Read_Status::Error;
  }
  return Read_Status::Bad;
}
