#include "platform/player_list.h"

#include "platform/failure.h"
#include "platform/output_folder.h"
#include "platform/paths.h"
#include "platform/player_list_view.h"
#include "platform/files.h"
#include "platform/text_encoding.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace zandrel {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
// What Windows editors save as "Unicode": UTF-16 behind its byte-order mark.
constexpr std::string_view Utf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view Utf16BigEndianMark = "\xFE\xFF";

// The raw lines, at most `limit`, each without its line end.
std::vector<std::string_view> splitLines(std::string_view bytes, std::size_t limit = MaxEntrants)
{
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < bytes.size() && lines.size() < limit) {
        const std::size_t end = std::min(bytes.find_first_of("\r\n", pos), bytes.size());
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end;
        if (pos < bytes.size())
            pos += bytes.compare(pos, 2, "\r\n") == 0 ? 2 : 1;
    }
    return lines;
}

// Each line's first 32,767 characters as UTF-8, or nothing when any of them
// is malformed. What lies beyond the cut is not looked at, so a long line's
// tail, possibly cut short by the read limit, cannot change the decision.
std::optional<std::vector<std::string>> utf8Names(const std::vector<std::string_view> &lines)
{
    std::vector<std::string> names;
    names.reserve(lines.size());
    for (const std::string_view line : lines) {
        std::size_t pos = 0;
        for (std::size_t count = 0; pos < line.size() && count < MaxPlayerNameLength; ++count) {
            if (!readUtf8CodePoint(line, pos))
                return std::nullopt;
        }
        names.emplace_back(line.substr(0, pos));
    }
    return names;
}

std::vector<std::string> cp1252Names(const std::vector<std::string_view> &lines)
{
    std::vector<std::string> names;
    names.reserve(lines.size());
    for (const std::string_view line : lines)
        names.push_back(decodeCp1252(line.substr(0, MaxPlayerNameLength)));
    return names;
}

}  // namespace

std::string defaultPlayerName(int box)
{
    return "Player " + std::to_string(box);
}

std::string playerListPath(std::string_view folder)
{
    return joinPath(folder, "players.txt");
}

std::vector<std::string> parsePlayerList(std::string_view bytes)
{
    const bool bigEndian = bytes.starts_with(Utf16BigEndianMark);
    if (bigEndian || bytes.starts_with(Utf16LittleEndianMark)) {
        const std::string utf8 = decodeUtf16(bytes.substr(2), bigEndian);
        return parsePlayerList(utf8);
    }
    if (bytes.starts_with(ByteOrderMark))
        bytes.remove_prefix(ByteOrderMark.size());
    const std::vector<std::string_view> lines = splitLines(bytes);
    if (auto names = utf8Names(lines))
        return std::move(*names);
    return cp1252Names(lines);
}

std::size_t playerListLineCount(std::string_view bytes)
{
    const bool bigEndian = bytes.starts_with(Utf16BigEndianMark);
    if (bigEndian || bytes.starts_with(Utf16LittleEndianMark))
        return playerListLineCount(decodeUtf16(bytes.substr(2), bigEndian));
    return splitLines(bytes, std::numeric_limits<std::size_t>::max()).size();
}

void loadPlayerNames(const Places &places, Files &files, PlayerListView &view)
{
    const std::string folder = playerListFolder(places, files);
    if (folder.empty())
        return;  // Nowhere to look; a bare name would be read from the current folder.
    Bytes bytes;
    try {
        bytes = files.readFile(playerListPath(folder), PlayerListReadLimit);
    } catch (const Failure &failure) {
        // Most people never make the file, and the user's folder may not
        // have been made yet either: only a file that is there and cannot
        // be read is worth a word.
        if (failure.number() == FailureNumber::FileNotFound || failure.number() == FailureNumber::PathNotFound)
            return;
        throw failure.toldAs({failure.description(), "Error " + std::to_string(failure.number()) + " Program Error",
                              MessageIcon::Stop});
    }

    const std::vector<std::string> names = parsePlayerList(
        std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size()));
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int box = static_cast<int>(i) + 1;
        view.setPlayerName(box, names[i]);
        if (box >= MinEntrants)
            view.selectSize(box);
    }
}

}  // namespace zandrel
