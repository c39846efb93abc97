// System_Python.h - runs a script with the system's Python (where Debian's numpy and
// matplotlib live) and returns what it printed; empty when it could not run.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

inline std::string RUN_SYSTEM_PYTHON(const std::string& script, const std::filesystem::path& folder) {
  const std::string file = (folder / "peer.py").string();
  FILE* f = std::fopen(file.c_str(), "w");
  if (f == nullptr) return {};
  std::fputs(script.c_str(), f);
  std::fclose(f);
  std::string output;
  if (FILE* p = ::popen(("/usr/bin/python3 " + file + " 2>/dev/null").c_str(), "r")) {
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, p)) output += buffer;
    if (::pclose(p) != 0) output.clear();
  }
  std::filesystem::remove(file);
  return output;
}
