// The solver's sets of pieces or cells, one bit each in a 64-bit word: bit c
// for the piece code c, or bit i for cell i + 1.
#pragma once

#include <bit>
#include <cstdint>

namespace murlen::solving {

using Bits = std::uint64_t;

constexpr Bits Bit(int index) { return Bits(1) << index; }

// The lowest member of a set that is not empty.
constexpr int First(Bits bits) { return std::countr_zero(bits); }

}  // namespace murlen::solving
