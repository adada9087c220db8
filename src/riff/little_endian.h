#pragma once

#include <cstdint>

// RIFF files store numbers little-endian, whatever the machine.
inline std::uint16_t LoadU16Le(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | (at[1] << 8U));
}

inline std::uint32_t LoadU32Le(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8U) |
         (static_cast<std::uint32_t>(at[2]) << 16U) | (static_cast<std::uint32_t>(at[3]) << 24U);
}

inline void StoreU16Le(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value & 0xFFU);
  at[1] = static_cast<std::uint8_t>(value >> 8U);
}

inline void StoreU32Le(std::uint8_t* at, std::uint32_t value) {
  for (unsigned i = 0; i < 4; ++i) {
    at[i] = static_cast<std::uint8_t>((value >> (8U * i)) & 0xFFU);
  }
}
