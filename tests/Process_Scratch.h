// Test support: one scratch folder per test process under the system's temporary folder,
// made on first use and removed with its contents when the process ends.
#pragma once

#include <unistd.h>  // getpid

#include <filesystem>
#include <string>

// Returns <tmp>/<prefix>_<pid>/<name>.
inline std::filesystem::path PROCESS_SCRATCH(const std::string& prefix, const std::string& name) {
  struct Folder {
    std::filesystem::path path;
    explicit Folder(const std::string& prefix)
        : path(std::filesystem::temp_directory_path() / (prefix + "_" + std::to_string(::getpid()))) {
      std::filesystem::create_directories(path);
    }
    ~Folder() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  };
  static Folder folder(prefix);
  return folder.path / name;
}
