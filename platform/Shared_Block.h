// Shared_Block.h - named shared memory blocks (POSIX shm) under the channel's block names.
//
// A block "Kornd1" of user 1000 is the shm object "/Kornd1.1000", mode 0600. The server creates
// blocks (exclusively, or taking over a stale one) and removes them; clients open and map them.
// Every failure keeps errno's reason in the block's error text.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Returns the shm object name of a block name: "/" + name + "." + uid.
std::string SHM_NAME(const std::string& block_name);

enum class Block_Status { Ok, Exists, Create_Failed, Map_Failed };

// One mapped view of a named block; unmapped on destruction (the name stays).
class Shared_Block {
 public:
  Shared_Block() = default;
  Shared_Block(const Shared_Block&) = delete;
  Shared_Block& operator=(const Shared_Block&) = delete;
  Shared_Block(Shared_Block&& other) noexcept;
  Shared_Block& operator=(Shared_Block&& other) noexcept;
  ~Shared_Block();

  // Creates the block exclusively, sized and zeroed; Exists when the name is taken.
  Block_Status CREATE(const std::string& block_name, std::size_t size);
  // Creates the block, taking over one that exists already with its content.
  Block_Status CREATE_OR_TAKE(const std::string& block_name, std::size_t size);
  // Maps an existing block of at least `size` bytes; Create_Failed when it does not exist.
  Block_Status OPEN(const std::string& block_name, std::size_t size);
  // Unmaps the view (the name stays). Returns false with error() set when munmap fails.
  bool UNMAP();
  // Unmaps and removes the name. Returns false when either step failed.
  bool REMOVE();

  void* view() const { return view_; }
  std::size_t size() const { return size_; }
  const std::string& name() const { return name_; }
  const std::string& error() const { return error_; }

 private:
  Block_Status map_new(const std::string& block_name, std::size_t size, bool exclusive);
  void* view_ = nullptr;
  std::size_t size_ = 0;
  std::string name_;   // block name as given
  std::string error_;  // "<call>: <reason>" of the first failure
};

// Removes a block name (no view needed). Returns false when it did not exist or failed.
bool UNLINK_BLOCK(const std::string& block_name);

}  // namespace platform
