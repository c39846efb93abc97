// File_Replacement: a user's file replaced by new contents that were written aside.
//
// The new contents go to a working file beside the file (see Working_File.h); only when
// they are complete and synced do they take the file's name, in one rename. What the user
// set on the file stays: a symbolic link is followed and the file it leads to is replaced
// (the link stays a link), the permission bits are kept, and the owner and group too where
// the process may set them. A file the user may not write is refused as writing it in
// place would be ("Permission denied"), before anything is written. A failure at any
// point leaves the old file as it was and no working file behind.
#pragma once

#include <sys/types.h>  // mode_t, uid_t, gid_t

#include <string>

#include "result_files/Working_File.h"

class File_Replacement {
 public:
  // Prepares the replacement of target (a file that does not exist yet is created at the
  // end, 0666 less the umask). False with REASON() when target is not a regular file, may
  // not be written, or no working file can be made beside it.
  bool BEGIN(const std::string& target);

  // The name as the user gave it, for messages.
  const std::string& NAME() const { return name_; }
  // Where the new contents are written (see Working_File::PATH), and its descriptor.
  const std::string& PATH() const { return working_.PATH(); }
  int FD() const { return working_.FD(); }

  // Syncs the new contents (when they replace a file), gives them the old file's permission bits and owner, and puts
  // them in its place. False with REASON(): the old file is unchanged.
  bool COMMIT();

  // The reason of the last failure ("Permission denied", ...).
  const std::string& REASON() const { return reason_; }

 private:
  bool failed(int error);
  bool keep_owner();
  std::string name_;
  std::string final_;  // the file that is replaced: name_ with its links followed
  bool existed_ = false;
  mode_t mode_ = 0;
  uid_t owner_ = 0;
  gid_t group_ = 0;
  Working_File working_;
  std::string reason_;
};
