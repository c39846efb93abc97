// Test support: a fresh folder per test, small file helpers, and console capture.
#pragma once

#include <unistd.h>  // getpid

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "records/Console.h"

// A folder under the system's temporary folder, removed with its contents at the end.
class Scratch_Folder {
 public:
  Scratch_Folder() {
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("zeltra_test_" + std::to_string(::getpid()) + "_" + std::to_string(++counter));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~Scratch_Folder() { std::filesystem::remove_all(path_); }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }
  // Names of the files in the folder, sorted, separated by blanks.
  std::string listing() const {
    std::string all;
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(path_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    for (auto& n : names) all += (all.empty() ? "" : " ") + n;
    return all;
  }

 private:
  std::filesystem::path path_;
};

inline void write_bytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Captures the console for the lifetime of the object.
class Console_Capture {
 public:
  Console_Capture() { SET_CONSOLE_STREAM(&text_); }
  ~Console_Capture() { SET_CONSOLE_STREAM(nullptr); }
  std::string text() const { return text_.str(); }

 private:
  std::ostringstream text_;
};
