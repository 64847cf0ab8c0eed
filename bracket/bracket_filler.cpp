#include "bracket/bracket_filler.h"

#include "bracket/tournament_size.h"
#include "platform/output_folder.h"
#include "platform/paths.h"
#include "platform/files.h"
#include "platform/text_encoding.h"
#include "templates/page_contract.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace zandrel {

namespace {

using PageContract::EmptyTitle;
using PageContract::PlaceholderWord;

struct Placeholder {
    int slot;
    std::size_t length;  // "PLAYER k<" including the "<", which the name keeps
};

// "PLAYER " + k + "<" at `pos`, with k written as the page writes slot
// numbers: one or two digits, no leading zero, from 1 to `size`.
std::optional<Placeholder> placeholderAt(std::string_view page, std::size_t pos, int size)
{
    if (page.substr(pos, PlaceholderWord.size()) != PlaceholderWord)
        return std::nullopt;
    const std::size_t digitsBegin = pos + PlaceholderWord.size();
    std::size_t digitsEnd = digitsBegin;
    while (digitsEnd < page.size() && digitsEnd - digitsBegin < 3 && page[digitsEnd] >= '0'
           && page[digitsEnd] <= '9')
        ++digitsEnd;
    const std::size_t digitCount = digitsEnd - digitsBegin;
    if (digitCount == 0 || digitCount > 2 || page[digitsBegin] == '0')
        return std::nullopt;
    if (digitsEnd >= page.size() || page[digitsEnd] != '<')
        return std::nullopt;

    int slot = 0;
    for (std::size_t i = digitsBegin; i < digitsEnd; ++i)
        slot = slot * 10 + (page[i] - '0');
    if (slot > size)
        return std::nullopt;
    return Placeholder{slot, digitsEnd + 1 - pos};
}

// The page text for each slot, index 1 to `size`, each box read once.
std::vector<std::string> slotTexts(int size, bool seeded, const PlayerNameSource &playerName,
                                   const RandomSource &nextRandom)
{
    PlayerOrder order = initialPlayerOrder(size);
    if (!seeded)
        shufflePlayerOrder(order, size, nextRandom);
    std::vector<std::string> texts(static_cast<std::size_t>(size) + 1);
    for (int slot = 1; slot <= size; ++slot)
        texts[slot] = toPageText(playerName(order[slot])) + '<';
    return texts;
}

}  // namespace

std::string bracketFilePath(std::string_view outputFolder)
{
    return joinPath(outputFolder, BracketFileName);
}

std::string readTemplateText(Files &files, const std::string &templateFile)
{
    const Bytes bytes = files.readFile(templateFile);
    files.removeFile(templateFile);
    return std::string(bytes.begin(), bytes.end());
}

std::string fillBracketText(std::string_view pageText, std::string_view title, int size, Seeding seeding,
                            const PlayerNameSource &playerName, const RandomSource &nextRandom)
{
    checkTournamentSize(size);
    const std::vector<std::string> slots = slotTexts(size, seeding == Seeding::Seeded, playerName, nextRandom);
    const std::string titleElement = "<title>" + toPageText(title) + "</title>";

    // One scan for every search text at once: what has been inserted lies
    // behind the scan and is never looked at again. Placeholders all begin
    // with 'P', which is rare in a page, so the scan jumps from one 'P' to the
    // next; the empty title element is looked up ahead once per occurrence.
    std::string filled;
    filled.reserve(pageText.size() + titleElement.size() + static_cast<std::size_t>(size) * 32);
    std::size_t pos = 0;
    std::size_t nextTitle = pageText.find(EmptyTitle);
    while (pos < pageText.size()) {
        const std::size_t candidate = std::min(pageText.find('P', pos), nextTitle);
        if (candidate == std::string_view::npos) {
            filled.append(pageText.substr(pos));
            break;
        }
        filled.append(pageText.substr(pos, candidate - pos));
        pos = candidate;

        if (pos == nextTitle) {
            filled += titleElement;
            pos += EmptyTitle.size();
            nextTitle = pageText.find(EmptyTitle, pos);
        } else if (const auto placeholder = placeholderAt(pageText, pos, size)) {
            filled += slots[placeholder->slot];
            pos += placeholder->length;
        } else {
            filled += pageText[pos];
            ++pos;
        }
        // A placeholder may start inside a title that was just passed over.
        if (nextTitle != std::string_view::npos && nextTitle < pos)
            nextTitle = pageText.find(EmptyTitle, pos);
    }
    return filled;
}

void writeBracketFile(Files &files, const std::string &outputFile, std::string_view pageText)
{
    files.replaceFile(outputFile, Bytes(pageText.begin(), pageText.end()));
}

}  // namespace zandrel
