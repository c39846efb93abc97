// Module_Byteswap: byte-order reversal for the 'non native' result files.
// Reads and writes only its arguments. The reals are reached through their bytes
// (memcpy into an unsigned integer), never loaded as floating-point values.

#include "result_files/Module_Byteswap.h"

#include <cstring>  // std::memcpy

namespace {

template <typename Word>
void reverse_in_place(void* data) {
  Word word;
  std::memcpy(&word, data, sizeof word);
  if constexpr (sizeof(Word) == 4) word = __builtin_bswap32(word);
  else word = __builtin_bswap64(word);
  std::memcpy(data, &word, sizeof word);
}

template <typename Word>
void reverse_block(void* data, std::size_t count) {
  auto* bytes = static_cast<unsigned char*>(data);
  for (std::size_t k = 0; k < count; ++k) reverse_in_place<Word>(bytes + k * sizeof(Word));
}

}  // namespace

void CONVERT_INTEGER(std::int32_t& value) { reverse_in_place<std::uint32_t>(&value); }
void CONVERT_SINGLE(float& value) { reverse_in_place<std::uint32_t>(&value); }
void CONVERT_DOUBLE(double& value) { reverse_in_place<std::uint64_t>(&value); }

void CONVERT_BLOCK_4(void* data, std::size_t count) { reverse_block<std::uint32_t>(data, count); }
void CONVERT_BLOCK_8(void* data, std::size_t count) { reverse_block<std::uint64_t>(data, count); }
