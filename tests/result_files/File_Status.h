// Test support: what a replaced file looks like on disk (mode, owner, link target).
#pragma once

#include <sys/stat.h>  // lstat
#include <unistd.h>    // readlink

#include <string>

// The path's own status (a link is not followed).
inline struct stat status_of(const std::string& path) {
  struct stat st {};
  ::lstat(path.c_str(), &st);
  return st;
}

inline mode_t mode_of(const std::string& path) { return status_of(path).st_mode & 07777; }

// The link's target; "<no link>" when the path is no symbolic link.
inline std::string link_of(const std::string& path) {
  char text[4096];
  const ssize_t n = ::readlink(path.c_str(), text, sizeof text);
  return n < 0 ? "<no link>" : std::string(text, static_cast<std::size_t>(n));
}
