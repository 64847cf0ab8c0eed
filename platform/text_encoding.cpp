#include "platform/text_encoding.h"

#include <array>

namespace zandrel {

namespace {

// What bytes 80 to 9F mean in Windows-1252. The undefined five keep their own
// value, which is a C1 control and therefore never a target of cp1252Byte.
constexpr std::array<char32_t, 32> HighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

std::optional<char32_t> readUtf8CodePoint(std::string_view utf8, std::size_t &pos)
{
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
    const unsigned char lead = byteAt(pos++);
    if (lead < 0x80)
        return lead;

    // The lead byte fixes the length and the range of the second byte; the
    // narrowed ranges after E0, ED, F0 and F4 shut out overlong forms,
    // surrogates and values above U+10FFFF (Unicode table 3-7).
    int continuationCount = 0;
    char32_t codePoint = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuationCount = 1;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuationCount = 2;
        codePoint = lead & 0x0Fu;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuationCount = 3;
        codePoint = lead & 0x07u;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return std::nullopt;
    }

    for (int i = 0; i < continuationCount; ++i) {
        if (pos >= utf8.size())
            return std::nullopt;
        const unsigned char next = byteAt(pos);
        if (next < low || next > high)
            return std::nullopt;  // `next` may start the following character
        codePoint = (codePoint << 6) | (next & 0x3Fu);
        ++pos;
        low = 0x80;
        high = 0xBF;
    }
    return codePoint;
}

bool isValidUtf8(std::string_view bytes)
{
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (!readUtf8CodePoint(bytes, pos))
            return false;
    }
    return true;
}

void appendUtf8(std::string &out, char32_t codePoint)
{
    const auto put = [&](char32_t bits) { out.push_back(static_cast<char>(bits)); };
    if (codePoint < 0x80) {
        put(codePoint);
    } else if (codePoint < 0x800) {
        put(0xC0 | (codePoint >> 6));
        put(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        put(0xE0 | (codePoint >> 12));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    } else {
        put(0xF0 | (codePoint >> 18));
        put(0x80 | ((codePoint >> 12) & 0x3F));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
}

std::string decodeUtf16(std::string_view bytes, bool bigEndian)
{
    const auto unitAt = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    };
    const auto isHigh = [](char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
    const auto isLow = [](char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const char32_t unit = unitAt(i);
        if (isHigh(unit) && i + 3 < bytes.size() && isLow(unitAt(i + 2))) {
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00));
            i += 2;
        } else {
            appendUtf8(out, isHigh(unit) || isLow(unit) ? ReplacementCharacter : unit);
        }
    }
    if (i < bytes.size())
        appendUtf8(out, ReplacementCharacter);
    return out;
}

std::string decodeCp1252(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte < 0xA0)
            appendUtf8(out, HighControlRange[byte - 0x80u]);
        else
            appendUtf8(out, byte);
    }
    return out;
}

std::optional<unsigned char> cp1252Byte(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<unsigned char>(codePoint);
    if (codePoint < 0x100)
        return std::nullopt;
    for (std::size_t i = 0; i < HighControlRange.size(); ++i) {
        if (HighControlRange[i] == codePoint)
            return static_cast<unsigned char>(0x80 + i);
    }
    return std::nullopt;
}

std::string toPageText(std::string_view utf8)
{
    std::string page;
    page.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t codePoint = readUtf8CodePoint(utf8, pos).value_or(ReplacementCharacter);
        // A NUL byte in a page is a parse error that some tools read as the
        // end of the text; say what the browser would show instead.
        if (codePoint == 0)
            codePoint = ReplacementCharacter;

        switch (codePoint) {
        case U'&':
            page += "&amp;";
            continue;
        case U'<':
            page += "&lt;";
            continue;
        case U'>':
            page += "&gt;";
            continue;
        default:
            break;
        }
        if (const auto byte = cp1252Byte(codePoint)) {
            page.push_back(static_cast<char>(*byte));
        } else {
            page += "&#";
            page += std::to_string(static_cast<unsigned long>(codePoint));
            page += ';';
        }
    }
    return page;
}

}  // namespace zandrel
