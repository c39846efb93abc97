// Module_Byteswap: byte reversal of 32- and 64-bit values, bit-exact. The bytes are
// moved as integers; no value ever passes through a floating-point register, so any
// pattern (signalling NaNs, denormals) comes back exactly.
#pragma once

#include <cstddef>
#include <cstdint>

// Reverses the 4 bytes of value in place.
void CONVERT_INTEGER(std::int32_t& value);
// Reverses the 4 bytes of value in place.
void CONVERT_SINGLE(float& value);
// Reverses the 8 bytes of value in place.
void CONVERT_DOUBLE(double& value);

// Reverses every 4-byte (8-byte) element of a block in place; for whole outputs.
void CONVERT_BLOCK_4(void* data, std::size_t count);
void CONVERT_BLOCK_8(void* data, std::size_t count);
