#pragma once
// Makes stored items: compresses a page into the stream that the decoder
// (templates/lzss_decoder.h) expands. Only the build runs it (the `lzss`
// tool); the program never compresses anything.

#include "templates/lzss_format.h"

#include <span>
#include <vector>

namespace zandrel::lzss {

// The stored item for `input`: the stream, padded with zero bytes to a
// multiple of 4. Matches are chosen by the shortest encoding over the longest
// match found at each position. Throws std::invalid_argument for input that
// the layout cannot hold: empty, without any repeat of 3 bytes or more within
// the window (every item needs one back-reference), or too long for the
// header's 24-bit counts.
std::vector<unsigned char> compressItem(std::span<const unsigned char> input);

}  // namespace zandrel::lzss
