// Working_File: unnamed working files, named ones where the file system cannot make them.
//
// Reads and writes: the working files. Global records: none; the module keeps the test
// seam's flag, and named files are listed in platform's interrupt clean-up table.
//
// Every open, link and rename asks the fault seam first; the clean-up calls (close, unlink)
// do not, as they run on the way out of a failure.

#include "result_files/Working_File.h"

#include <fcntl.h>     // open, O_TMPFILE, linkat
#include <sys/stat.h>  // fstat, stat
#include <unistd.h>    // close, unlink

#include <cerrno>      // errno
#include <climits>     // NAME_MAX
#include <cstdio>      // std::rename
#include <cstdlib>     // std::getenv

#include "platform/Interrupt_Cleanup.h"
#include "result_files/Abandoned_Files.h"
#include "result_files/Check_File.h"
#include "platform/Io_Fault.h"

namespace {

bool named_only = [] {
  const char* value = std::getenv("ZELTRA_TEST_NAMED_WORKING_FILES");
  return value && *value;
}();

// Further names tried when a working name is taken.
constexpr int Name_Attempts = 100;

std::string folder_of(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : name.substr(0, slash);
}

// True for a name WORKING_FILE_NAME gives beside target (any process, any attempt):
// stem's start, "_", 13 digits, optionally "_" and digits, then "_tmp".
bool working_name_of(std::string_view target, std::string_view name) {
  const std::size_t slash = target.rfind('/');
  const std::string_view stem = target.substr(slash == std::string_view::npos ? 0 : slash + 1);
  constexpr std::string_view end = "_tmp";
  if (!name.ends_with(end)) return false;
  name.remove_suffix(end.size());
  auto digits_at_end = [&name](std::size_t least, std::size_t most) {
    std::size_t n = 0;
    while (n < name.size() && n < most && name[name.size() - 1 - n] >= '0' && name[name.size() - 1 - n] <= '9') ++n;
    if (n < least || n == name.size() || name[name.size() - 1 - n] != '_') return false;
    name.remove_suffix(n + 1);
    return true;
  };
  const std::string_view whole = name;
  if (!digits_at_end(13, 13)) {
    name = whole;
    if (!digits_at_end(1, 12) || !digits_at_end(13, 13)) return false;
  }
  // A long stem is cut to keep the name within the system's limit.
  return !name.empty() && stem.starts_with(name) && (name.size() == stem.size() || name.size() + 32 >= NAME_MAX);
}

std::string descriptor_path(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// True when path opens the very file of fd (the proc file system is there to reach it).
bool reaches(int fd, const std::string& path) {
  struct stat by_fd, by_path;
  return ::fstat(fd, &by_fd) == 0 && ::stat(path.c_str(), &by_path) == 0 && by_fd.st_dev == by_path.st_dev &&
         by_fd.st_ino == by_path.st_ino;
}

// An unnamed file in folder; -1 with errno, EOPNOTSUPP when the folder's file system (or a
// missing /proc) cannot serve one and the caller is to name the file instead.
int open_unnamed(const std::string& folder) {
  if (named_only) {
    errno = EOPNOTSUPP;
    return -1;
  }
  if (IO_FAULT_HIT(Io_Kind::Open)) return -1;
  int fd;
  do fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    // Older kernels see a folder to open (EISDIR), some file systems refuse the flag.
    if (errno == EISDIR || errno == EINVAL) errno = EOPNOTSUPP;
    return -1;
  }
  if (!reaches(fd, descriptor_path(fd))) {
    ::close(fd);
    errno = EOPNOTSUPP;
    return -1;
  }
  return fd;
}

// Creates name exclusively and registers it for the interrupt clean-up in one step.
int open_named(const std::string& name, int& cleanup_slot) {
  platform::Interrupts_Held held;
  if (IO_FAULT_HIT(Io_Kind::Open)) return -1;
  int fd;
  do fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  while (fd < 0 && errno == EINTR);
  if (fd >= 0) {
    MARK_OWNED(fd);
    cleanup_slot = platform::CLEANUP_ON_INTERRUPT(name);
  }
  return fd;
}

}  // namespace

void NAMED_WORKING_FILES_ONLY(bool only) { named_only = only; }

Working_File::~Working_File() { REMOVE(); }

bool Working_File::CREATE(const std::string& name) { return create(name, false); }

bool Working_File::CREATE_BESIDE(const std::string& target) { return create(target, true); }

bool Working_File::create(const std::string& target, bool beside) {
  REMOVE();
  folder_ = folder_of(target);
  if (beside)  // what a killed run left of its replacement of the same file
    REMOVE_ABANDONED_FILES(folder_, [&target](std::string_view name) { return working_name_of(target, name); });
  fd_ = open_unnamed(folder_);
  if (fd_ >= 0) {
    MARK_OWNED(fd_);  // for the moment it takes a name on its way to the target
    path_ = descriptor_path(fd_);
    return true;
  }
  if (errno != EOPNOTSUPP) return false;
  for (int attempt = 0; attempt < (beside ? Name_Attempts : 1); ++attempt) {
    const std::string name = beside ? WORKING_FILE_NAME(target, attempt) : target;
    fd_ = open_named(name, cleanup_slot_);
    if (fd_ >= 0) {
      named_ = true;
      path_ = name;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

bool Working_File::MOVE_ONTO(const std::string& target) {
  if (fd_ < 0) {
    errno = EBADF;
    return false;
  }
  if (named_) {
    platform::Interrupts_Held held;
    if (IO_FAULT_HIT(Io_Kind::Other) || std::rename(path_.c_str(), target.c_str()) != 0) return false;
    platform::CLEANUP_FORGET(cleanup_slot_);
  } else {
    // A fresh name first (linkat cannot replace a file), then the rename over the target.
    for (int attempt = 0;; ++attempt) {
      const std::string link = WORKING_FILE_NAME(target, attempt);
      platform::Interrupts_Held held;
      if (IO_FAULT_HIT(Io_Kind::Other) ||
          ::linkat(AT_FDCWD, path_.c_str(), AT_FDCWD, link.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        if (errno == EEXIST && attempt + 1 < Name_Attempts) continue;
        return false;
      }
      const int slot = platform::CLEANUP_ON_INTERRUPT(link);
      if (IO_FAULT_HIT(Io_Kind::Other) || std::rename(link.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(link.c_str());
        platform::CLEANUP_FORGET(slot);
        errno = error;
        return false;
      }
      platform::CLEANUP_FORGET(slot);
      break;
    }
  }
  ::close(fd_);
  fd_ = -1;
  cleanup_slot_ = -1;
  named_ = false;
  path_.clear();
  return true;
}

void Working_File::REMOVE() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  if (named_) {
    platform::Interrupts_Held held;
    ::unlink(path_.c_str());
    platform::CLEANUP_FORGET(cleanup_slot_);
  }
  cleanup_slot_ = -1;
  named_ = false;
  path_.clear();
}
