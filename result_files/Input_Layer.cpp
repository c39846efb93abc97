// Input_Layer: streams of the result readers over POSIX file descriptors.
//
// Reads only the files it is given (O_RDONLY, no locks: a simulation may write them at
// the same time). Changes no global record. Every read is a pread at an explicit
// offset, so stepping back and re-reading a record that has grown are offset changes.

#include "result_files/Input_Layer.h"

#include <fcntl.h>     // open
#include <sys/stat.h>  // fstat
#include <unistd.h>    // pread, close

#include <algorithm>
#include <cerrno>
#include <cstring>  // std::memcpy, std::strerror
#include <map>

#include "result_files/Module_Byteswap.h"
#include "text/Free_Form.h"

namespace {
constexpr std::size_t Read_Ahead = 64 * 1024;
// Reads smaller than this go through the read-ahead; larger ones straight to the caller.
constexpr std::size_t Direct_Threshold = 16 * 1024;
}  // namespace

Input_Stream::Input_Stream() = default;
Input_Stream::~Input_Stream() { CLOSE(); }

bool Input_Stream::OPEN(const std::string& name, const Open_Mode& mode) {
  CLOSE();
  open_failure_.clear();
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    open_failure_ = std::strerror(errno);
    return false;
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0) open_failure_ = std::strerror(errno);
  else if (S_ISDIR(status.st_mode)) open_failure_ = std::strerror(EISDIR);
  else if (!S_ISREG(status.st_mode)) open_failure_ = "not a regular file";
  if (!open_failure_.empty()) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  name_ = name;
  mode_ = mode;
  offset_ = record_start_ = payload_left_ = 0;
  ahead_size_ = 0;
  ahead_offset_ = 0;
  if (!ahead_) ahead_.reset(new unsigned char[Read_Ahead]);
  if (mode.formatted) {
    text_ = std::make_unique<Free_Form_Reader>(
        [this](char* buffer, std::size_t max) { return text_source(buffer, max); });
  } else {
    text_.reset();
  }
  text_offset_ = statement_start_ = previous_statement_start_ = 0;
  return true;
}

bool Input_Stream::REOPEN(const std::string& name) {
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    return false;
  }
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
  name_ = name;
  ahead_size_ = 0;
  return true;
}

void Input_Stream::CLOSE() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  text_.reset();
  ahead_size_ = 0;
}

std::int64_t Input_Stream::file_size() const {
  struct stat status {};
  if (::fstat(fd_, &status) != 0) return -1;
  return status.st_size;
}

bool Input_Stream::read_at(std::uint64_t offset, void* destination, std::size_t bytes) {
  auto* out = static_cast<unsigned char*>(destination);
  // Served from the read-ahead when it holds the bytes.
  if (offset >= ahead_offset_ && offset + bytes <= ahead_offset_ + ahead_size_) {
    std::memcpy(out, ahead_.get() + (offset - ahead_offset_), bytes);
    return true;
  }
  if (bytes < Direct_Threshold) {
    const ssize_t got = ::pread(fd_, ahead_.get(), Read_Ahead, static_cast<off_t>(offset));
    if (got < 0) return false;
    ahead_offset_ = offset;
    ahead_size_ = static_cast<std::size_t>(got);
    if (ahead_size_ < bytes) return false;
    std::memcpy(out, ahead_.get(), bytes);
    return true;
  }
  std::size_t done = 0;
  while (done < bytes) {
    const ssize_t got = ::pread(fd_, out + done, bytes - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

bool Input_Stream::REWIND() {
  if (fd_ < 0) return false;
  offset_ = record_start_ = payload_left_ = 0;
  if (text_) {
    text_offset_ = statement_start_ = previous_statement_start_ = 0;
    text_->RESET(0);
  }
  return true;
}

std::uint64_t Input_Stream::POSITION() const { return text_ ? text_->OFFSET() : offset_; }

void Input_Stream::SET_POSITION(std::uint64_t position) {
  if (text_) {
    text_offset_ = position;
    text_->RESET(position);
  } else {
    offset_ = record_start_ = position;
    payload_left_ = 0;
  }
}

bool Input_Stream::BACKSPACE() {
  if (fd_ < 0 || mode_.record_length > 0) return false;
  if (text_) {
    const std::uint64_t here = text_->OFFSET();
    const std::uint64_t target = statement_start_ < here ? statement_start_ : previous_statement_start_;
    SET_POSITION(target);
    statement_start_ = previous_statement_start_ = target;
    return true;
  }
  if (offset_ == 0) return true;
  if (offset_ < 8) return false;
  std::uint32_t length = 0;
  if (!read_at(offset_ - 4, &length, 4)) return false;
  if (mode_.big_endian) length = __builtin_bswap32(length);
  const std::uint64_t back = std::uint64_t{length} + 8;
  if (back > offset_) return false;
  offset_ -= back;
  record_start_ = offset_;
  payload_left_ = 0;
  return true;
}

Read_Status Input_Stream::fail_record(Read_Status status) {
  ABANDON_RECORD();
  return status;
}

void Input_Stream::ABANDON_RECORD() {
  offset_ = record_start_;
  payload_left_ = 0;
}

Read_Status Input_Stream::BEGIN_RECORD() {
  record_start_ = offset_;
  payload_left_ = 0;
  const std::int64_t size = file_size();
  if (size < 0) return Read_Status::Failed;
  const std::uint64_t available = static_cast<std::uint64_t>(size) > offset_ ? size - offset_ : 0;
  if (available == 0) return Read_Status::End_Of_File;
  std::uint32_t length = 0;
  if (available < 4 || !read_at(offset_, &length, 4)) return fail_record(Read_Status::Failed);
  if (mode_.big_endian) length = __builtin_bswap32(length);
  // The whole record, both lengths included, must be there: a record cut short at the
  // end of a growing file is not read until it is complete.
  if (available < std::uint64_t{length} + 8) return fail_record(Read_Status::Failed);
  record_length_ = length;
  payload_left_ = length;
  offset_ += 4;
  return Read_Status::Ok;
}

Read_Status Input_Stream::TAKE(void* destination, std::size_t bytes) {
  if (bytes > payload_left_) return fail_record(Read_Status::Failed);
  if (!read_at(offset_, destination, bytes)) return fail_record(Read_Status::Failed);
  offset_ += bytes;
  payload_left_ -= bytes;
  return Read_Status::Ok;
}

Read_Status Input_Stream::TAKE_INTEGER(std::int32_t& value) {
  const Read_Status status = TAKE(&value, sizeof value);
  if (status == Read_Status::Ok && mode_.big_endian) CONVERT_INTEGER(value);
  return status;
}

Read_Status Input_Stream::TAKE_REAL(float& value) {
  const Read_Status status = TAKE(&value, sizeof value);
  if (status == Read_Status::Ok && mode_.big_endian) CONVERT_SINGLE(value);
  return status;
}

Read_Status Input_Stream::TAKE_DOUBLE(double& value) {
  const Read_Status status = TAKE(&value, sizeof value);
  if (status == Read_Status::Ok && mode_.big_endian) CONVERT_DOUBLE(value);
  return status;
}

Read_Status Input_Stream::TAKE_REALS(float* values, std::size_t count) {
  const Read_Status status = TAKE(values, count * sizeof(float));
  if (status == Read_Status::Ok && mode_.big_endian) CONVERT_BLOCK_4(values, count);
  return status;
}

Read_Status Input_Stream::TAKE_DOUBLES(double* values, std::size_t count) {
  const Read_Status status = TAKE(values, count * sizeof(double));
  if (status == Read_Status::Ok && mode_.big_endian) CONVERT_BLOCK_8(values, count);
  return status;
}

Read_Status Input_Stream::END_RECORD() {
  offset_ += payload_left_;
  payload_left_ = 0;
  std::uint32_t length = 0;
  if (!read_at(offset_, &length, 4)) return fail_record(Read_Status::Failed);
  if (mode_.big_endian) length = __builtin_bswap32(length);
  if (length != record_length_) return fail_record(Read_Status::Failed);
  offset_ += 4;
  record_start_ = offset_;
  return Read_Status::Ok;
}

Read_Status Input_Stream::READ_DIRECT(std::int64_t record, std::size_t offset, void* destination,
                                      std::size_t bytes) {
  const std::int64_t length = mode_.record_length;
  if (fd_ < 0 || length <= 0 || record < 1) return Read_Status::Failed;
  if (offset + bytes > static_cast<std::uint64_t>(length)) return Read_Status::Failed;
  const std::int64_t size = file_size();
  if (record > INT64_MAX / length || size < record * length) return Read_Status::Failed;
  const std::uint64_t start = static_cast<std::uint64_t>(record - 1) * length + offset;
  return read_at(start, destination, bytes) ? Read_Status::Ok : Read_Status::Failed;
}

std::size_t Input_Stream::READ_PARTIAL(std::int64_t record, void* destination, std::size_t bytes) {
  const std::int64_t length = mode_.record_length;
  if (fd_ < 0 || length <= 0 || record < 1 || record > INT64_MAX / length) return 0;
  bytes = std::min<std::size_t>(bytes, static_cast<std::size_t>(length));
  const ssize_t got = ::pread(fd_, destination, bytes, static_cast<off_t>((record - 1) * length));
  return got > 0 ? static_cast<std::size_t>(got) : 0;
}

long Input_Stream::text_source(char* buffer, std::size_t max) {
  for (;;) {
    const ssize_t got = ::pread(fd_, buffer, max, static_cast<off_t>(text_offset_));
    if (got < 0 && errno == EINTR) continue;
    if (got > 0) text_offset_ += static_cast<std::uint64_t>(got);
    return static_cast<long>(got);
  }
}

Free_Form_Reader* Input_Stream::STATEMENT() {
  if (!text_) return nullptr;
  text_->BEGIN_STATEMENT();
  previous_statement_start_ = statement_start_;
  statement_start_ = text_->OFFSET();
  return text_.get();
}

namespace {
std::map<int, Input_Stream>& units() {
  static std::map<int, Input_Stream> table;
  return table;
}
}  // namespace

Input_Stream& UNIT(int unit) { return units()[unit]; }

void CLOSE_ALL_UNITS() {
  for (auto& [unit, stream] : units()) stream.CLOSE();
}
