// File_Replacement: writing aside and renaming, keeping links, permissions and owner.
//
// Reads: the target's links, status and write permission. Writes: the working file beside
// the target, then the target's name. Global records: none.
//
// The write permission is the effective user's own (faccessat with AT_EACCESS), the test
// an in-place open would make: root may write a read-only file, another user may not.

#include "result_files/File_Replacement.h"

#include <fcntl.h>     // faccessat, open
#include <limits.h>    // PATH_MAX
#include <sys/stat.h>  // lstat, fstat, fchmod, umask
#include <unistd.h>    // readlink, fsync, fchown, close

#include <cerrno>      // errno
#include <cstring>     // std::strerror

#include "platform/Io_Fault.h"

namespace {

// Links followed before giving up, as the system does.
constexpr int Most_Links = 40;

// Follows path's symbolic links to the file they lead to (path itself when it is none, or
// does not exist). False with errno when a link cannot be read, or too many follow.
bool follow_links(std::string& path) {
  for (int hop = 0; hop < Most_Links; ++hop) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;  // a file still to be made
    if (!S_ISLNK(st.st_mode)) return true;
    char link[PATH_MAX];
    const ssize_t n = IO_FAULT_HIT(Io_Kind::Read) ? -1 : ::readlink(path.c_str(), link, sizeof link);
    if (n < 0) return false;
    if (static_cast<std::size_t>(n) == sizeof link) {
      errno = ENAMETOOLONG;
      return false;
    }
    const std::string to(link, static_cast<std::size_t>(n));
    // A relative link is read from the folder that holds it.
    if (to.starts_with('/'))
      path = to;
    else
      path = path.substr(0, path.rfind('/') + 1) + to;
  }
  errno = ELOOP;
  return false;
}

mode_t current_umask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

// Makes the folder's new entry durable; a failure here changes nothing the user could act on.
void sync_folder(const std::string& file) {
  const std::size_t slash = file.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : file.substr(0, slash);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool File_Replacement::failed(int error) {
  reason_ = std::strerror(error);
  return false;
}

bool File_Replacement::BEGIN(const std::string& target) {
  name_ = target;
  final_ = target;
  reason_.clear();
  if (!follow_links(final_)) return failed(errno);
  struct stat st;
  existed_ = ::stat(final_.c_str(), &st) == 0;
  if (existed_) {
    if (S_ISDIR(st.st_mode)) return failed(EISDIR);
    if (!S_ISREG(st.st_mode)) {
      reason_ = "not a regular file";
      return false;
    }
    if (IO_FAULT_HIT(Io_Kind::Other) || ::faccessat(AT_FDCWD, final_.c_str(), W_OK, AT_EACCESS) != 0)
      return failed(errno);
    mode_ = st.st_mode & 07777;
    owner_ = st.st_uid;
    group_ = st.st_gid;
  } else {
    mode_ = 0666 & ~current_umask();
  }
  if (!working_.CREATE_BESIDE(final_)) return failed(errno);
  return true;
}

// Gives the new file the old one's owner and group; a process that may not (EPERM) keeps
// what it can: the group when it is one of the user's, else its own.
bool File_Replacement::keep_owner() {
  struct stat now;
  if (::fstat(working_.FD(), &now) != 0) return false;
  if (now.st_uid == owner_ && now.st_gid == group_) return true;
  if (IO_FAULT_HIT(Io_Kind::Other)) return false;
  if (::fchown(working_.FD(), owner_, group_) == 0) return true;
  if (errno != EPERM) return false;
  if (now.st_gid != group_ && ::fchown(working_.FD(), static_cast<uid_t>(-1), group_) != 0 && errno != EPERM)
    return false;
  return true;
}

bool File_Replacement::COMMIT() {
  const int fd = working_.FD();
  if (fd < 0) return failed(EBADF);
  // The owner first: changing it clears the set-user and set-group bits. Both before the
  // sync, so that they are on disk with the contents.
  if (existed_ && !keep_owner()) return failed(errno);
  if (IO_FAULT_HIT(Io_Kind::Other) || ::fchmod(fd, mode_) != 0) return failed(errno);
  // A new file replaces nothing: a crash can lose only it, so it is not forced to disk (a
  // batch of tables would wait on the disk once per file).
  if (existed_ && (IO_FAULT_HIT(Io_Kind::Close) || ::fsync(fd) != 0)) return failed(errno);
  if (!working_.MOVE_ONTO(final_)) return failed(errno);
  if (existed_) sync_folder(final_);
  return true;
}
