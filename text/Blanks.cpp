#include "text/Blanks.h"

std::string WITHOUT_TRAILING_BLANKS(std::string_view text) {
  const std::size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

std::string TRIMMED(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::string();
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}
