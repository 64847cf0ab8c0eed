#include "templates/lzss_decoder.h"

#include "platform/failure.h"
#include "templates/lzss_format.h"

#include <cstdint>
#include <cstring>
#include <string>

/*
 * Format notes
 *
 * Numbers are big-endian. With F and M the two header numbers, an item is
 *
 *   at 0          3 bytes   F: number of flag bytes - 1
 *   at 3          3 bytes   M: number of back-references - 1
 *   at 6          F+1       flag bits, most significant first:
 *                           0 = literal, 1 = back-reference or end marker
 *   at F+7        2(M+2)    distances, 16 bits each: M+1 of them, then 0
 *   at 2M+F+11    M+1       length codes: copy length - 3, so 3..258
 *   at 3M+F+12    1         window size in KiB (16); decoding does not need it
 *   at 3M+F+13    the rest  literal bytes in token order
 *
 * - The first token is always a literal and has no flag bit.
 * - A set flag whose distance is 0 is the end marker. It has no length code,
 *   and nothing after it in any stream is read: the 0..3 zero bytes that pad
 *   an item to a multiple of 4 sit after the last literal and are never seen.
 * - The number of literals is not stored; their stream runs to the item's end.
 * - A distance smaller than its length copies bytes the same copy has just
 *   written. That is how a run is coded, so the copy must go forward a byte
 *   at a time whenever source and destination overlap.
 *
 * The header fixes where each stream starts and therefore where each ends. A
 * token that would read a stream past its end is corrupt even when the bytes
 * there belong to the next stream: no correct item does that.
 */

namespace zandrel::lzss {

namespace {

using Bytes = std::vector<unsigned char>;

constexpr int BitsPerByte = 8;

enum Stream { Flags, Distances, Lengths, Literals, StreamCount };

// Every way an item can be corrupt, each with its own text.
enum class Error {
    ShortHeader,
    StreamsPastEnd,
    FlagsRunOut,
    DistancesRunOut,
    LengthsRunOut,
    LiteralsRunOut,
    DistanceTooFar,
};

constexpr const char *errorText[] = {
    "the item ends inside its 6-byte header",                   // ShortHeader
    "the stream sizes in the header run past the item's end",   // StreamsPastEnd
    "the flag stream runs out before the end marker",           // FlagsRunOut
    "the distance stream runs out before the end marker",       // DistancesRunOut (a guard:
                                                                //   the length stream, one
                                                                //   entry shorter, runs out first)
    "the length stream runs out",                               // LengthsRunOut
    "the literal stream runs out",                              // LiteralsRunOut
    "a distance reaches before the first byte",                 // DistanceTooFar
};

constexpr Error runOut[StreamCount] = {Error::FlagsRunOut, Error::DistancesRunOut,
                                       Error::LengthsRunOut, Error::LiteralsRunOut};

struct Cursor {
    std::size_t next;  // position in the item of the next byte to read
    std::size_t end;   // position just past the stream's last byte
};

// Everything one decompression works on; nothing outlives the call.
struct State {
    const unsigned char *in;        // the item
    std::size_t inLength;           // its length in bytes
    Cursor stream[StreamCount];     // where each of the four streams stands
    int flagBit;                    // next bit of the current flag byte, 0 = most significant
    Bytes out;                      // the expansion; its size is the room, not the count
    std::size_t outCount;           // bytes of `out` written so far
};

[[noreturn]] void fail(Error error, std::size_t where, const std::string &detail = {})
{
    throw Failure(FailureNumber::CorruptItem,
                  std::string("Built-in item is corrupt: ") + errorText[static_cast<int>(error)]
                      + ", at byte " + std::to_string(where) + detail);
}

// The one place input is checked: `count` bytes must remain in stream `k`.
const unsigned char *need(const State &s, Stream k, std::size_t count)
{
    const Cursor &c = s.stream[k];
    if (c.end - c.next < count)
        fail(runOut[k], c.end);
    return s.in + c.next;
}

// Makes room for `count` more output bytes. decompress sizes the output for the
// whole expansion up front, so this only grows for a layout it did not foresee.
void room(State &s, std::size_t count)
{
    if (s.out.size() - s.outCount < count)
        s.out.resize(s.outCount + count + s.out.size() / 2);
}

// The next `count` flag bits (count <= 32), most significant first.
unsigned readBits(State &s, int count)
{
    Cursor &c = s.stream[Flags];
    unsigned bits = 0;
    for (; count > 0; --count) {
        const unsigned byte = *need(s, Flags, 1);
        bits = (bits << 1) | ((byte >> (BitsPerByte - 1 - s.flagBit)) & 1u);
        if (++s.flagBit == BitsPerByte) {
            s.flagBit = 0;
            ++c.next;
        }
    }
    return bits;
}

void appendByte(State &s, unsigned char byte)
{
    room(s, 1);
    s.out[s.outCount++] = byte;
}

unsigned char nextLiteral(State &s)
{
    const unsigned char byte = *need(s, Literals, 1);
    ++s.stream[Literals].next;
    return byte;
}

void copyMatch(State &s, std::size_t distance, std::size_t length, std::size_t distanceAt)
{
    if (distance > s.outCount)
        fail(Error::DistanceTooFar, distanceAt,
             " (distance " + std::to_string(distance) + " with " + std::to_string(s.outCount)
                 + (s.outCount == 1 ? " byte" : " bytes") + " written)");
    room(s, length);
    unsigned char *to = s.out.data() + s.outCount;
    const unsigned char *from = to - distance;
    if (distance >= length) {
        std::memcpy(to, from, length);
    } else {
        for (std::size_t i = 0; i < length; ++i)
            to[i] = from[i];
    }
    s.outCount += length;
}

std::uint32_t headerNumber(const unsigned char *p)
{
    return (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
}

// Reads the header and places the four streams; sizes the output.
void start(State &s, std::span<const unsigned char> item)
{
    s.in = item.data();
    s.inLength = item.size();
    s.flagBit = 0;
    s.outCount = 0;
    if (s.inLength < HeaderSize)
        fail(Error::ShortHeader, s.inLength);

    // 64-bit sums: with 24-bit F and M nothing below can overflow.
    const std::uint64_t flagBytes = headerNumber(s.in) + 1;
    const std::uint64_t backReferences = headerNumber(s.in + HeaderNumberBytes) + 1;
    const std::uint64_t distanceStart = HeaderSize + flagBytes;
    // Each back-reference's distance, then the end marker's.
    const std::uint64_t lengthStart = distanceStart + DistanceBytes * (backReferences + 1);
    const std::uint64_t literalStart = lengthStart + backReferences + WindowBytes;
    if (literalStart > s.inLength)
        fail(Error::StreamsPastEnd, s.inLength,
             " (the literals would start at byte " + std::to_string(literalStart) + ")");

    s.stream[Flags] = {HeaderSize, static_cast<std::size_t>(distanceStart)};
    s.stream[Distances] = {static_cast<std::size_t>(distanceStart), static_cast<std::size_t>(lengthStart)};
    s.stream[Lengths] = {static_cast<std::size_t>(lengthStart), static_cast<std::size_t>(literalStart - WindowBytes)};
    s.stream[Literals] = {static_cast<std::size_t>(literalStart), s.inLength};

    // Every output byte is a literal or part of a copy whose length code is in
    // the length stream, so this bound holds the whole expansion.
    std::size_t bound = s.inLength - s.stream[Literals].next;
    for (std::size_t i = s.stream[Lengths].next; i < s.stream[Lengths].end; ++i)
        bound += std::size_t{s.in[i]} + MinLength;
    s.out.resize(bound);
}

Bytes decode(std::span<const unsigned char> item)
{
    State s;
    start(s, item);

    appendByte(s, nextLiteral(s));
    for (;;) {
        if (readBits(s, 1) == 0) {
            appendByte(s, nextLiteral(s));
            continue;
        }
        const std::size_t distanceAt = s.stream[Distances].next;
        const unsigned char *d = need(s, Distances, DistanceBytes);
        const std::size_t distance = (std::size_t{d[0]} << BitsPerByte) | d[1];
        s.stream[Distances].next += DistanceBytes;
        if (distance == 0)
            break;
        const std::size_t length = std::size_t{*need(s, Lengths, 1)} + MinLength;
        ++s.stream[Lengths].next;
        copyMatch(s, distance, length, distanceAt);
    }

    s.out.resize(s.outCount);
    return std::move(s.out);
}

}  // namespace

void decompress(std::vector<unsigned char> &item)
{
    item = decode(item);
}

std::vector<unsigned char> decompressed(std::span<const unsigned char> item)
{
    return decode(item);
}

}  // namespace zandrel::lzss
