// Name_Scope.cpp - see Name_Scope.h. Reads the environment once; no other state.
#include "platform/Name_Scope.h"

#include <unistd.h>  // getuid

#include <cstdlib>  // std::getenv
#include <cstring>  // std::strlen, std::strspn

namespace platform {

// True for a namespace word that is safe inside a file and socket name.
static bool usable(const char* word) {
  static const char allowed[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-";
  const std::size_t n = std::strlen(word);
  return n > 0 && n <= 32 && std::strspn(word, allowed) == n;
}

const std::string& NAME_SCOPE() {
  static const std::string scope = [] {
    std::string s = "." + std::to_string(getuid());
    const char* ns = std::getenv("KORND_NAMESPACE");
    if (ns != nullptr && usable(ns)) s += "." + std::string(ns);
    return s;
  }();
  return scope;
}

}  // namespace platform
