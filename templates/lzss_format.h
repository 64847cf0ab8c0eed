#pragma once
// The layout of a stored item, which the encoder writes and the decoder
// reads (see the format notes in lzss_decoder.cpp). With F and M the
// header's two numbers, the streams follow one another:
//
//   header     2 numbers of HeaderNumberBytes: F, the flag bytes less one,
//              and M, the back-references less one
//   flags      F + 1 bytes
//   distances  M + 2 numbers of DistanceBytes: M + 1, then the end marker's 0
//   lengths    M + 1 bytes, each a copy's length less MinLength
//   window     1 byte, WindowKiB
//   literals   the rest, padded with zero bytes to a multiple of ItemAlignment

#include <cstddef>

namespace zandrel::lzss {

inline constexpr std::size_t HeaderNumberBytes = 3;
inline constexpr std::size_t HeaderSize = 2 * HeaderNumberBytes;
inline constexpr std::size_t DistanceBytes = 2;
inline constexpr std::size_t WindowBytes = 1;
inline constexpr std::size_t ItemAlignment = 4;

// The shortest and longest copies a back-reference makes.
inline constexpr std::size_t MinLength = 3;
inline constexpr std::size_t MaxLength = 258;
inline constexpr std::size_t MaxDistance = 16383;  // below the 16 KiB window; 0 is the end marker
inline constexpr unsigned char WindowKiB = 16;

}  // namespace zandrel::lzss
