// libFuzzer target of the request-text parser: any packet, well formed or not, parses
// without a fault, and what it parses stays within the packet's text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/Request_Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // First byte: the packet's well-formedness as the channel would report it.
  bool well_formed = (data[0] & 1) != 0;
  const char* text = reinterpret_cast<const char*>(data + 1);
  std::size_t length = size - 1;
  if (length == 0) return 0;
  channel::Request r = channel::PARSE_REQUEST(text, length, well_formed);
  std::size_t limit = strnlen(text, length);
  if (r.folder.size() + r.program.size() + r.version.size() > limit) std::abort();
  if (r.title.size() > limit) std::abort();
  if (r.kind == channel::Request_Kind::Window || r.kind == channel::Request_Kind::Close_Window)
    if (r.window < -32 || r.window > 223) std::abort();
  if (r.error_number < 0 || r.error_number > 3) std::abort();
  return 0;
}
