// Abandoned_Files: named working files whose process is gone.
//
// A working file that has to carry a name holds its owner's mark while it is in use: a lock
// on an open description of the file (flock), which the system drops however the process
// ends, SIGKILL included. A later run removes the files of the same kind that no live
// process marks, before it names its own.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// Marks the open file fd as in use by this process. False (errno kept) when another process
// marks it already.
bool MARK_OWNED(int fd);

// Removes every file of folder ("" or "." for the current one) whose last name part `of_kind`
// accepts, that is a plain file of this user and that no live process marks. Failures are
// silent: a file that cannot be looked at or removed stays.
void REMOVE_ABANDONED_FILES(const std::string& folder, const std::function<bool(std::string_view)>& of_kind);

// The mark on a file known by name, kept until RELEASE or the end of the object.
class Owner_Mark {
 public:
  Owner_Mark() = default;
  ~Owner_Mark() { RELEASE(); }
  Owner_Mark(const Owner_Mark&) = delete;
  Owner_Mark& operator=(const Owner_Mark&) = delete;

  // Marks the file that name now names (after a replacement, the new file); releases the
  // previous mark first. False when the file cannot be opened or is marked by another process.
  bool CLAIM(const std::string& name);
  // Takes over fd, an open description of the file, as the mark's own (it closes it).
  bool ADOPT(int fd);
  void RELEASE();

 private:
  int fd_ = -1;
};
