#pragma once

// The compiled program as it travels: the compiler writes it, the download sends it, the
// simulated driver stores it and the debug display reads its address lines.

#include <array>
#include <cstddef>
#include <cstdint>

namespace kivra {

// The driver's program memory.
inline constexpr std::size_t CodeCapacity = 2048;
inline constexpr std::size_t VectorRecordCount = 6;
inline constexpr std::size_t VectorRecordSize = 5;

// Program memory as the driver receives it: instructions from address 0, multi-byte
// operands most significant byte first, 0xFF everywhere behind the code. After a
// successful check the length counts the trailing 0xFF end marker; after a failed one
// the image is not to be used, and its length is at most CodeCapacity all the same.
struct CodeImage {
  std::array<std::uint8_t, CodeCapacity> bytes{};
  std::uint32_t length = 0;
};

// Six records of five bytes, one per interrupt input: level, routine address (2),
// return address (2). A record without a routine is 02 00 00 FF FF.
using VectorTable = std::array<std::uint8_t, VectorRecordCount * VectorRecordSize>;

// For each code address, the 1-based editor line of the instruction starting there, 0 for none.
using AddressLines = std::array<std::uint32_t, CodeCapacity>;

}  // namespace kivra
