// Text_Output: buffered writes to the working file of a File_Replacement.
//
// Reads: nothing. Writes: the working file, then the user's file; the console on failure.

#include "probes/Text_Output.h"

#include <unistd.h>  // write

#include <cerrno>   // errno, EINTR
#include <cstring>  // std::strerror

#include "platform/Io_Fault.h"
#include "records/Console.h"

namespace {
constexpr std::size_t Flush_Size = 1 << 20;
}

bool Text_Output::fail(const std::string& reason) {
  if (!failed_) {
    CONSOLE_EMPTY();
    CONSOLE_LINE(" Unable to write to file: " + file_.NAME());
    CONSOLE_LINE(" (" + reason + ")");
    CONSOLE_EMPTY();
  }
  failed_ = true;
  buffer_.clear();
  return false;
}

bool Text_Output::OPEN(const std::string& name) {
  failed_ = false;
  buffer_.clear();
  buffer_.reserve(Flush_Size + 4096);
  if (!file_.BEGIN(name)) return fail(file_.REASON());
  return true;
}

void Text_Output::LINE(std::string_view text) {
  if (failed_) return;
  buffer_.append(text);
  END_LINE();
}

void Text_Output::END_LINE() {
  if (failed_) {
    buffer_.clear();
    return;
  }
  buffer_ += '\n';
  flush_if_full();
}

void Text_Output::flush_if_full() {
  if (buffer_.size() >= Flush_Size) write_buffer();
}

bool Text_Output::write_buffer() {
  const char* p = buffer_.data();
  std::size_t left = buffer_.size();
  while (left > 0) {
    ssize_t n = IO_FAULT_HIT(Io_Kind::Write) ? -1 : ::write(file_.FD(), p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail(n < 0 ? std::strerror(errno) : "nothing written");
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  buffer_.clear();
  return true;
}

bool Text_Output::CLOSE() {
  if (failed_) return false;
  if (!write_buffer()) return false;
  if (!file_.COMMIT()) return fail(file_.REASON());
  return true;
}
