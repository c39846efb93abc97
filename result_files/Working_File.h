// Working_File: a file the program writes for its own use and never leaves behind.
//
// Where the file system allows, the file has no name at all (Linux O_TMPFILE): the system
// removes it on every kind of end, a kill or a power loss included, and it is reached
// through "/proc/self/fd/N". Elsewhere it is a named file, created exclusively with mode
// 0600, registered for deletion on SIGINT, SIGTERM and SIGHUP while it exists, and marked as
// in use (Abandoned_Files) so that a later run removes it after a kill. Either
// way the object deletes it when it goes out of scope (a fatal stop included), unless it
// took a final name.
#pragma once

#include <string>

class Working_File {
 public:
  Working_File() = default;
  ~Working_File();
  Working_File(const Working_File&) = delete;
  Working_File& operator=(const Working_File&) = delete;

  // Creates the file, empty, in the folder of name: unnamed where possible, else under name
  // itself, which must not exist. False (errno kept) when it cannot be created.
  bool CREATE(const std::string& name);

  // As CREATE, in the folder of target; a named file gets the first free
  // WORKING_FILE_NAME of target.
  bool CREATE_BESIDE(const std::string& target);

  // A name that opens the file ("" before CREATE): "/proc/self/fd/N" when it is unnamed.
  const std::string& PATH() const { return path_; }
  // Its descriptor, open for reading and writing (-1 before CREATE).
  int FD() const { return fd_; }
  // The folder it is in, for messages.
  const std::string& FOLDER() const { return folder_; }

  // Gives the file the name target in one step, replacing a file of that name (the caller
  // synced it first). False (errno kept) when it cannot: target and the working file are
  // then as they were.
  bool MOVE_ONTO(const std::string& target);

  // Closes the file and deletes it now.
  void REMOVE();

 private:
  bool create(const std::string& target, bool beside);
  int fd_ = -1;
  int cleanup_slot_ = -1;  // registration of a named file
  bool named_ = false;
  std::string path_;
  std::string folder_;
};

// Test seam: true makes every working file a named one, as on a file system without unnamed
// files. The environment variable ZELTRA_TEST_NAMED_WORKING_FILES (not empty) sets it at
// start-up, for whole-program tests.
void NAMED_WORKING_FILES_ONLY(bool named_only);
