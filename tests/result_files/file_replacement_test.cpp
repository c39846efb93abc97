// Replacing a user's file: what the user set on it stays (permission bits, owner, links),
// a file the user may not write is refused, names near the system's limit work, and every
// failure leaves the old file and no working file behind, with unnamed and named working
// files alike.

#include <gtest/gtest.h>
#include <grp.h>       // setgroups
#include <sys/stat.h>  // stat, chmod, mkfifo
#include <sys/wait.h>  // waitpid
#include <unistd.h>    // fork, chown, symlink

#include <cerrno>
#include <climits>     // NAME_MAX
#include <string>
#include <vector>

#include "platform/Interrupt_Cleanup.h"
#include "result_files/Check_File.h"
#include "result_files/File_Replacement.h"
#include "platform/Io_Fault.h"
#include "result_files/Working_File.h"
#include "tests/result_files/File_Status.h"
#include "tests/result_files/Scratch_Folder.h"

namespace {

constexpr uid_t Other_User = 65534;
constexpr gid_t Other_Group = 65534;
constexpr gid_t Users_Group = 100;

// Unnamed working files, then named ones, as on a file system without unnamed files.
const bool Both_Kinds[] = {false, true};

struct Named_Only {
  explicit Named_Only(bool named) { NAMED_WORKING_FILES_ONLY(named); }
  ~Named_Only() { NAMED_WORKING_FILES_ONLY(false); }
};

// Replaces target with contents; "" on success, else the reason.
std::string replace_with(const std::string& target, const std::string& contents) {
  File_Replacement replacement;
  if (!replacement.BEGIN(target)) return replacement.REASON();
  if (::write(replacement.FD(), contents.data(), contents.size()) != static_cast<ssize_t>(contents.size()))
    return "short write";
  if (!replacement.COMMIT()) return replacement.REASON();
  return "";
}

// Registered interrupt clean-up paths; "" when none is left.
std::string registered_paths() {
  std::string all;
  for (int slot = 0; slot < platform::Cleanup_Slots; ++slot) all += platform::CLEANUP_PATH(slot);
  return all;
}

// Runs replace_with in a child process as the other user (with the given supplementary
// groups); returns the reason ("" on success).
std::string replace_as_other_user(const std::string& target, const std::vector<gid_t>& groups) {
  int pipe_fds[2];
  if (::pipe(pipe_fds) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe_fds[0]);
    std::string reason;
    if (::setgroups(groups.size(), groups.data()) != 0 || ::setresgid(Other_Group, Other_Group, Other_Group) != 0 ||
        ::setresuid(Other_User, Other_User, Other_User) != 0)
      reason = "cannot become the other user";
    else
      reason = replace_with(target, "new");
    const ssize_t written = ::write(pipe_fds[1], reason.data(), reason.size());
    ::_exit(written == static_cast<ssize_t>(reason.size()) ? 0 : 1);
  }
  ::close(pipe_fds[1]);
  std::string reason;
  char buffer[256];
  ssize_t n;
  while ((n = ::read(pipe_fds[0], buffer, sizeof buffer)) > 0) reason.append(buffer, static_cast<std::size_t>(n));
  ::close(pipe_fds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? reason : "child failed";
}

mode_t process_umask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

// Writes "old" into file with the given owner, group and mode.
bool write_owned(const std::string& file, uid_t owner, gid_t group, mode_t mode) {
  write_bytes(file, "old");
  return ::chown(file.c_str(), owner, group) == 0 && ::chmod(file.c_str(), mode) == 0;
}

TEST(Working_File_Name, StaysWithinTheLimitOfOneName) {
  const std::string pid = [] {
    std::string digits = std::to_string(::getpid());
    return std::string(13 - digits.size(), '0') + digits;
  }();
  const std::string longest(NAME_MAX, 'x');
  const struct {
    std::string target;
    int attempt;
    std::string expected;
  } cases[] = {
      {"a", 0, "a_" + pid + "_tmp"},
      {"dir/a.zlt", 2, "dir/a.zlt_" + pid + "_2_tmp"},
      {longest, 0, std::string(NAME_MAX - 18, 'x') + "_" + pid + "_tmp"},
      {"d/" + longest, 7, "d/" + std::string(NAME_MAX - 20, 'x') + "_" + pid + "_7_tmp"},
      {std::string(NAME_MAX - 18, 'y'), 0, std::string(NAME_MAX - 18, 'y') + "_" + pid + "_tmp"},
      {std::string(NAME_MAX - 17, 'y'), 0, std::string(NAME_MAX - 18, 'y') + "_" + pid + "_tmp"},
  };
  for (const auto& c : cases) EXPECT_EQ(WORKING_FILE_NAME(c.target, c.attempt), c.expected) << c.target.size();
}

TEST(Working_File, UnnamedLeavesNoNameNamedIsRegisteredWhileItExists) {
  Scratch_Folder dir;
  {
    Working_File file;
    ASSERT_TRUE(file.CREATE(dir / "slot.tmp"));
    EXPECT_EQ(file.PATH(), "/proc/self/fd/" + std::to_string(file.FD()));
    EXPECT_EQ(file.FOLDER(), dir.path().string());
    EXPECT_EQ(dir.listing(), "");
    EXPECT_EQ(registered_paths(), "");
  }
  Named_Only named(true);
  {
    Working_File file;
    ASSERT_TRUE(file.CREATE(dir / "slot.tmp"));
    EXPECT_EQ(file.PATH(), dir / "slot.tmp");
    EXPECT_EQ(mode_of(dir / "slot.tmp"), 0600u);
    EXPECT_EQ(registered_paths(), dir / "slot.tmp");
    Working_File taken;
    EXPECT_FALSE(taken.CREATE(dir / "slot.tmp"));  // never someone else's file
    EXPECT_EQ(errno, EEXIST);
  }
  EXPECT_EQ(dir.listing(), "");
  EXPECT_EQ(registered_paths(), "");
}

TEST(File_Replacement, KeepsPermissionBitsAndOwner) {
  const struct {
    mode_t mode;
    uid_t owner;
    gid_t group;
  } cases[] = {
      {0600, 0, 0}, {0640, 0, 0}, {0604, 0, 0}, {0755, 0, 0}, {0444, 0, 0},  // root may write a read-only file
      {0600, Other_User, Other_Group}, {04755, Other_User, Other_Group}, {02750, 0, Users_Group},
  };
  for (bool named : Both_Kinds) {
    Named_Only kind(named);
    for (const auto& c : cases) {
      Scratch_Folder dir;
      const std::string file = dir / "Sim.conc1";
      ASSERT_TRUE(write_owned(file, c.owner, c.group, c.mode));
      EXPECT_EQ(replace_with(file, "new"), "") << std::oct << c.mode;
      EXPECT_EQ(read_bytes(file), "new");
      EXPECT_EQ(mode_of(file), c.mode) << std::oct << c.mode;
      EXPECT_EQ(status_of(file).st_uid, c.owner);
      EXPECT_EQ(status_of(file).st_gid, c.group);
      EXPECT_EQ(dir.listing(), "Sim.conc1");
    }
  }
  // A new file gets what a plain creation would give.
  Scratch_Folder dir;
  EXPECT_EQ(replace_with(dir / "new", "new"), "");
  EXPECT_EQ(mode_of(dir / "new"), 0666 & ~process_umask());
}

TEST(File_Replacement, FollowsLinksAndKeepsThem) {
  const struct {
    const char* link;
    const char* to;
    const char* replaced;  // the file that gets the new contents
  } cases[] = {
      {"L", "Sim.conc1", "Sim.conc1"},
      {"L", "data/Sim.conc1", "data/Sim.conc1"},
      {"data/L", "../Sim.conc1", "Sim.conc1"},
      {"L", "L2", "data/Sim.conc1"},  // L2 -> data/Sim.conc1 (a chain)
      {"L", "data/missing", "data/missing"},  // a dangling link: its file is made
  };
  for (bool named : Both_Kinds) {
    Named_Only kind(named);
    for (const auto& c : cases) {
      Scratch_Folder dir;
      std::filesystem::create_directory(dir / "data");
      write_bytes(dir / "Sim.conc1", "old");
      write_bytes(dir / "data/Sim.conc1", "old");
      ASSERT_EQ(::chmod((dir / "data/Sim.conc1").c_str(), 0600), 0);
      ASSERT_EQ(::symlink("data/Sim.conc1", (dir / "L2").c_str()), 0);
      ASSERT_EQ(::symlink(c.to, (dir / c.link).c_str()), 0);
      EXPECT_EQ(replace_with(dir / c.link, "new"), "") << c.link << " -> " << c.to;
      EXPECT_EQ(link_of(dir / c.link), c.to);
      EXPECT_EQ(read_bytes(dir / c.replaced), "new") << c.replaced;
      for (const char* other : {"Sim.conc1", "data/Sim.conc1"}) {
        if (std::string(other) != c.replaced) {
          EXPECT_EQ(read_bytes(dir / other), "old") << other;
        }
      }
      if (std::string(c.replaced) == "data/Sim.conc1") {
        EXPECT_EQ(mode_of(dir / c.replaced), 0600u);
      }
      EXPECT_EQ(registered_paths(), "");
    }
  }
}

TEST(File_Replacement, RefusesWhatCannotBeReplaced) {
  Scratch_Folder dir;
  std::filesystem::create_directory(dir / "folder");
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("loop2", (dir / "loop1").c_str()), 0);
  ASSERT_EQ(::symlink("loop1", (dir / "loop2").c_str()), 0);
  const struct {
    std::string target;
    std::string reason;
  } cases[] = {
      {dir / "folder", "Is a directory"},
      {dir / "fifo", "not a regular file"},
      {dir / "loop1", "Too many levels of symbolic links"},
      {dir / "no_folder/file", "No such file or directory"},
  };
  for (const auto& c : cases) EXPECT_EQ(replace_with(c.target, "new"), c.reason) << c.target;
  EXPECT_EQ(dir.listing(), "fifo folder loop1 loop2");
}

// The effective user's own right to write decides, as for an open in place.
TEST(File_Replacement, AnotherUserIsRefusedWhatItMayNotWrite) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  const struct {
    const char* name;
    uid_t owner;
    gid_t group;
    mode_t mode;
    mode_t folder_mode;
    std::string reason;
    uid_t owner_after;
    gid_t group_after;
  } cases[] = {
      {"root's file", 0, 0, 0644, 0777, "Permission denied", 0, 0},
      {"own read-only file", Other_User, Other_Group, 0444, 0777, "Permission denied", Other_User, Other_Group},
      {"own file in a closed folder", Other_User, Other_Group, 0644, 0755, "Permission denied", Other_User, Other_Group},
      {"own file", Other_User, Other_Group, 0600, 0777, "", Other_User, Other_Group},
      // Writable by the group: the owner cannot be kept, the group can.
      {"group file of root", 0, Users_Group, 0664, 0777, "", Other_User, Users_Group},
  };
  for (bool named : Both_Kinds) {
    Named_Only kind(named);
    for (const auto& c : cases) {
      Scratch_Folder dir;
      const std::string file = dir / "Sim.conc1";
      ASSERT_TRUE(write_owned(file, c.owner, c.group, c.mode));
      ASSERT_EQ(::chmod(dir.path().c_str(), c.folder_mode), 0);
      EXPECT_EQ(replace_as_other_user(file, {Users_Group}), c.reason) << c.name;
      EXPECT_EQ(read_bytes(file), c.reason.empty() ? "new" : "old") << c.name;
      EXPECT_EQ(mode_of(file), c.mode) << c.name;
      EXPECT_EQ(status_of(file).st_uid, c.owner_after) << c.name;
      EXPECT_EQ(status_of(file).st_gid, c.group_after) << c.name;
      EXPECT_EQ(dir.listing(), "Sim.conc1") << c.name;
    }
  }
}

TEST(File_Replacement, NamesAtTheSystemsLimit) {
  for (bool named : Both_Kinds) {
    Named_Only kind(named);
    for (std::size_t length : {std::size_t{250}, std::size_t{NAME_MAX}}) {
      Scratch_Folder dir;
      const std::string name(length, 'n');
      write_bytes(dir / name, "old");
      EXPECT_EQ(replace_with(dir / name, "new"), "") << length;
      EXPECT_EQ(read_bytes(dir / name), "new");
      EXPECT_EQ(dir.listing(), name);
    }
  }
}

// Fail every boundary call in turn: the old file keeps its contents and mode and no working
// file is left or registered; once it passes, the new contents are in place.
TEST(File_Replacement, InjectedFaultsLeaveTheOldFile) {
  for (bool named : Both_Kinds) {
    Named_Only kind(named);
    for (const char* target : {"Sim.conc1", "L", "new"}) {
      Scratch_Folder dir;
      write_bytes(dir / "Sim.conc1", "old");
      ASSERT_EQ(::chmod((dir / "Sim.conc1").c_str(), 0640), 0);
      ASSERT_EQ(::symlink("Sim.conc1", (dir / "L").c_str()), 0);
      const std::string before = dir.listing();
      for (long n = 1;; ++n) {
        IO_FAULT_ARM(n, -1);
        const std::string reason = replace_with(dir / target, "new");
        const long calls = IO_FAULT_CALLS();
        IO_FAULT_ARM(0);
        EXPECT_EQ(registered_paths(), "") << n;
        if (reason.empty()) {
          EXPECT_LT(calls, n);
          break;
        }
        EXPECT_EQ(reason, "Input/output error") << n;
        EXPECT_EQ(dir.listing(), before) << target << " " << n;
        EXPECT_EQ(read_bytes(dir / "Sim.conc1"), "old") << n;
        EXPECT_EQ(mode_of(dir / "Sim.conc1"), 0640u) << n;
        ASSERT_LT(n, 20);
      }
      const bool made = std::string(target) == "new";
      EXPECT_EQ(read_bytes(dir / (made ? "new" : "Sim.conc1")), "new");
      EXPECT_EQ(dir.listing(), made ? before + " new" : before);
      EXPECT_EQ(link_of(dir / "L"), "Sim.conc1");
    }
  }
}

}  // namespace
