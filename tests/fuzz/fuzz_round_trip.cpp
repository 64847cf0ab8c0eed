// Arbitrary bytes as a page: whatever the compressor accepts must come back
// byte for byte through the decoder, and what it refuses it refuses with
// std::invalid_argument.

#include "templates/lzss_decoder.h"
#include "templates/lzss_encoder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::vector<unsigned char> page(data, data + size);
    std::vector<unsigned char> item;
    try {
        item = zandrel::lzss::compressItem(page);
    } catch (const std::invalid_argument &) {
        return 0;
    }
    if (item.size() % 4 != 0 || zandrel::lzss::decompressed(item) != page)
        std::abort();
    return 0;
}
