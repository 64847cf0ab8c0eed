#pragma once
// The LZSS decoder expands a built-in item back into its page. Items are LZSS
// streams made by the build (templates/lzss_encoder.h): literals and
// back-references kept in four separate byte streams behind a six-byte header.
//
// This is a decoder for our own items, not a general-purpose one: it knows one
// layout and nothing about checksums or containers. It does check every read
// and every back-reference, so a damaged item is refused with a description of
// what is wrong and where, never by reading or writing outside its buffers.

#include <span>
#include <vector>

namespace zandrel::lzss {

// Replaces `item`, the whole of one stored item, with the bytes it expands to.
// A corrupt item throws zandrel::Failure (FailureNumber::CorruptItem) whose
// description names the fault and its byte position; `item` is then unchanged.
// Calls share no state.
void decompress(std::vector<unsigned char> &item);

// The same, for callers that keep the item: returns the expanded bytes.
std::vector<unsigned char> decompressed(std::span<const unsigned char> item);

}  // namespace zandrel::lzss
