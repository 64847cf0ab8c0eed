// Arbitrary bytes as a built-in item: the decoder must expand them or refuse
// them as a corrupt item, and never crash, hang or step outside its buffers
// (the sanitizers watch the last).

#include "platform/failure.h"
#include "templates/lzss_decoder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    try {
        const auto page = zandrel::lzss::decompressed({data, size});
        // Every page byte comes from a literal or from a copy of at most 258
        // bytes, and each copy takes at least three bytes of the item.
        if (page.size() > size + 86 * size)
            std::abort();
    } catch (const zandrel::Failure &failure) {
        if (failure.number() != zandrel::FailureNumber::CorruptItem)
            std::abort();
    }
    return 0;
}
