#include "templates/lzss_encoder.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

namespace zandrel::lzss {

namespace {

using Bytes = std::vector<unsigned char>;

// What one token costs in the stream, in bits. Lengths and distances live in
// streams of their own, so every match costs the same whatever its length or
// distance: the cheapest encoding only needs the longest match at each place.
constexpr std::uint64_t LiteralBits = 1 + 8;
constexpr std::uint64_t MatchBits = 1 + 16 + 8;

constexpr std::uint32_t MaxHeaderNumber = (1u << (8 * HeaderNumberBytes)) - 1;

// How many earlier places with the same three bytes are tried. Pages repeat
// the same markup thousands of times; beyond this the gain is nil.
constexpr int MaxChain = 2048;

constexpr int HashBits = 16;

struct Match {
    std::uint32_t length = 0;    // 0: no match of MinLength or more
    std::uint32_t distance = 0;
};

std::uint32_t hash3(const unsigned char *p)
{
    const std::uint32_t v = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
    return (v * 2654435761u) >> (32 - HashBits);
}

std::size_t matchLength(const unsigned char *a, const unsigned char *b, std::size_t from, std::size_t limit)
{
    while (from < limit && a[from] == b[from])
        ++from;
    return from;
}

// The longest match within the window for every position (position 0 is
// always the leading literal and gets none).
std::vector<Match> findLongestMatches(std::span<const unsigned char> in)
{
    const std::size_t n = in.size();
    std::vector<Match> longest(n);
    std::vector<std::int64_t> head(std::size_t{1} << HashBits, -1);
    std::vector<std::int64_t> previous(n, -1);

    for (std::size_t i = 0; i + MinLength <= n; ++i) {
        const std::uint32_t h = hash3(&in[i]);
        const std::size_t limit = std::min(MaxLength, n - i);
        Match best;

        // The match one place back, shifted by one, is still a match here; it
        // can only end sooner or go on further.
        if (i > 0 && longest[i - 1].length > MinLength) {
            best.distance = longest[i - 1].distance;
            best.length = static_cast<std::uint32_t>(
                matchLength(&in[i], &in[i - best.distance], longest[i - 1].length - 1, limit));
        }

        std::int64_t candidate = i > 0 ? head[h] : -1;
        for (int tries = 0; candidate >= 0 && best.length < limit && tries < MaxChain; ++tries) {
            const std::size_t distance = i - static_cast<std::size_t>(candidate);
            if (distance > MaxDistance)
                break;
            const unsigned char *here = &in[i];
            const unsigned char *there = &in[static_cast<std::size_t>(candidate)];
            // Cheap test first: a longer match must agree at the byte just past the best.
            const std::size_t probe = std::max<std::size_t>(best.length, MinLength - 1);
            if (there[probe] == here[probe]) {
                const std::size_t length = matchLength(here, there, 0, limit);
                if (length >= MinLength && length > best.length) {
                    best.length = static_cast<std::uint32_t>(length);
                    best.distance = static_cast<std::uint32_t>(distance);
                }
            }
            candidate = previous[static_cast<std::size_t>(candidate)];
        }
        if (i > 0)
            longest[i] = best;

        previous[i] = head[h];
        head[h] = static_cast<std::int64_t>(i);
    }
    return longest;
}

// The cheapest sequence of tokens for positions 1 onwards: a shortest path
// from the end back to the start, where each place goes on by one literal or
// by any match length the longest match there allows.
std::vector<Match> chooseTokens(const std::vector<Match> &longest)
{
    const std::size_t n = longest.size();
    std::vector<std::uint64_t> cost(n + 1, 0);
    std::vector<std::uint32_t> take(n + 1, 0);  // 0: literal, else the match length
    for (std::size_t i = n - 1; i >= 1; --i) {
        cost[i] = LiteralBits + cost[i + 1];
        for (std::uint32_t length = longest[i].length; length >= MinLength; --length) {
            const std::uint64_t c = MatchBits + cost[i + length];
            if (c < cost[i]) {
                cost[i] = c;
                take[i] = length;
            }
        }
    }

    std::vector<Match> tokens;
    for (std::size_t i = 1; i < n;) {
        if (take[i] == 0) {
            tokens.push_back({});
            ++i;
        } else {
            tokens.push_back({take[i], longest[i].distance});
            i += take[i];
        }
    }
    return tokens;
}

void putNumber(Bytes &out, std::size_t value, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

Bytes writeStream(std::span<const unsigned char> in, const std::vector<Match> &tokens)
{
    const std::size_t matches = static_cast<std::size_t>(
        std::count_if(tokens.begin(), tokens.end(), [](const Match &t) { return t.length != 0; }));
    if (matches == 0)
        throw std::invalid_argument("the input has no repeat of 3 or more bytes within "
                                    + std::to_string(MaxDistance) + " bytes");
    const std::size_t flagBits = tokens.size() + 1;  // the end marker has one too
    const std::size_t flagBytes = (flagBits + 7) / 8;
    if (flagBytes - 1 > MaxHeaderNumber || matches - 1 > MaxHeaderNumber)
        throw std::invalid_argument("the input is too long: " + std::to_string(tokens.size() + 1)
                                    + " tokens do not fit the header's 24-bit counts");

    Bytes flags(flagBytes, 0);
    Bytes distances;
    Bytes lengths;
    Bytes literals{in[0]};
    std::size_t bit = 0;
    std::size_t position = 1;
    for (const Match &t : tokens) {
        if (t.length == 0) {
            literals.push_back(in[position]);
            ++position;
        } else {
            flags[bit / 8] |= static_cast<unsigned char>(0x80u >> (bit % 8));
            putNumber(distances, t.distance, DistanceBytes);
            lengths.push_back(static_cast<unsigned char>(t.length - MinLength));
            position += t.length;
        }
        ++bit;
    }
    flags[bit / 8] |= static_cast<unsigned char>(0x80u >> (bit % 8));
    putNumber(distances, 0, DistanceBytes);

    Bytes out;
    out.reserve(HeaderSize + flags.size() + distances.size() + lengths.size() + WindowBytes + literals.size() +
                ItemAlignment - 1);
    putNumber(out, flagBytes - 1, HeaderNumberBytes);
    putNumber(out, matches - 1, HeaderNumberBytes);
    out.insert(out.end(), flags.begin(), flags.end());
    out.insert(out.end(), distances.begin(), distances.end());
    out.insert(out.end(), lengths.begin(), lengths.end());
    out.push_back(WindowKiB);
    out.insert(out.end(), literals.begin(), literals.end());
    out.resize((out.size() + ItemAlignment - 1) / ItemAlignment * ItemAlignment, 0);
    return out;
}

}  // namespace

std::vector<unsigned char> compressItem(std::span<const unsigned char> input)
{
    if (input.empty())
        throw std::invalid_argument("the input is empty");
    return writeStream(input, chooseTokens(findLongestMatches(input)));
}

}  // namespace zandrel::lzss
