// Abandoned_Files: owner marks on named working files, and the removal of unmarked ones.
//
// Reads: the folder's entries. Writes: removes abandoned files. Global records: none.
//
// A removal first takes the mark itself, then checks that the name still names the file it
// marked, so that a file another run has just put in its place is left alone.

#include "result_files/Abandoned_Files.h"

#include <dirent.h>    // opendir, readdir
#include <fcntl.h>     // open
#include <sys/file.h>  // flock
#include <sys/stat.h>  // fstat, lstat
#include <unistd.h>    // close, unlink, geteuid

#include <cerrno>      // errno

bool MARK_OWNED(int fd) {
  int result;
  do result = ::flock(fd, LOCK_EX | LOCK_NB);
  while (result != 0 && errno == EINTR);
  return result == 0;
}

namespace {

// Opens path for a mark: never through a link, never waiting on a special file.
int open_for_mark(const std::string& path) {
  int fd;
  do fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  return fd;
}

void remove_if_abandoned(const std::string& path) {
  const int fd = open_for_mark(path);
  if (fd < 0) return;
  struct stat opened, named;
  if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_uid == ::geteuid() && MARK_OWNED(fd) &&
      ::lstat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
    ::unlink(path.c_str());
  ::close(fd);
}

}  // namespace

void REMOVE_ABANDONED_FILES(const std::string& folder, const std::function<bool(std::string_view)>& of_kind) {
  const std::string where = folder.empty() ? "." : folder;
  DIR* listing = ::opendir(where.c_str());
  if (!listing) return;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (!of_kind(name)) continue;
    remove_if_abandoned(where + (where.ends_with('/') ? "" : "/") + std::string(name));
  }
  ::closedir(listing);
}

bool Owner_Mark::CLAIM(const std::string& name) {
  RELEASE();
  return ADOPT(open_for_mark(name));
}

bool Owner_Mark::ADOPT(int fd) {
  RELEASE();
  if (fd < 0) return false;
  if (!MARK_OWNED(fd)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void Owner_Mark::RELEASE() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}
