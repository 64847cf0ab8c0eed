#include "bracket/bracket_request.h"

#include "bracket/bracket_filler.h"
#include "bracket/make_bracket.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/output_folder.h"
#include "platform/paths.h"
#include "platform/player_list.h"
#include "platform/random_generator.h"
#include "platform/tournament.h"

#include <string_view>

namespace zandrel {

namespace {

struct Names {
    std::vector<std::string> names;  // the first 32
    std::size_t lines = 0;           // all there are
};

Names readNames(Files &files, const std::string &namesFile, const InputReader &readStandardInput)
{
    Bytes bytes;
    try {
        bytes = namesFile == StandardInputName ? readStandardInput(PlayerListReadLimit)
                                               : files.readFile(namesFile, PlayerListReadLimit);
    } catch (const Failure &failure) {
        throw Failure(failure.number(), "cannot read the names: " + failure.description());
    }
    const std::string_view text(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    return {parsePlayerList(text), playerListLineCount(text)};
}

std::string namesSource(const std::string &namesFile)
{
    return namesFile == StandardInputName ? "standard input" : namesFile;
}

// A page given its own name is written beside it under the name with .tmp,
// and a file already there is the user's: only bracket.tmp, which the window
// writes through, may be cleared away as a scratch file of ours.
void checkOutputFolder(Files &files, const std::string &outputFile)
{
    const std::size_t separator = outputFile.find_last_of("/\\");
    const std::string folder = separator == std::string::npos ? std::string(".")
                               : separator == 0               ? outputFile.substr(0, 1)
                                                              : outputFile.substr(0, separator);
    if (!files.fileExists(folder))
        throw Failure(FailureNumber::PathNotFound, outputFile + ": the folder " + folder + " does not exist");
    if (!files.canWriteInFolder(folder))
        throw Failure(FailureNumber::PermissionDenied, outputFile + ": the folder " + folder + " cannot be written to");
    const std::string scratch = scratchPathFor(outputFile);
    if (files.fileExists(scratch) && outputFile.substr(separator + 1) != BracketFileName)
        throw Failure(FailureNumber::PathFileAccess, outputFile + ": the page is written first as " + scratch +
                                                         ", which is already there; move it away or choose another name");
}

}  // namespace

MadePage makeRequestedPage(const RequestServices &services, const BracketRequest &request,
                           const InputReader &readStandardInput)
{
    MadePage made;
    Names names;
    if (request.namesFile)
        names = readNames(services.files, *request.namesFile, readStandardInput);
    const int size = request.size.value_or(static_cast<int>(names.names.size()));
    if (size < MinEntrants || size > MaxEntrants) {
        throw Failure(FailureNumber::TypeMismatch,
                      (request.namesFile ? namesSource(*request.namesFile) + " holds " + std::to_string(names.lines) +
                                               " names, and a bracket needs "
                                         : std::string("a bracket needs ")) +
                          std::to_string(MinEntrants) + " to " + std::to_string(MaxEntrants) +
                          ": give the size with --size");
    }
    if (names.lines > static_cast<std::size_t>(size)) {
        made.warnings.push_back(namesSource(*request.namesFile) + " holds " + std::to_string(names.lines) +
                                " names: the " + std::to_string(names.lines - static_cast<std::size_t>(size)) +
                                " after the first " + std::to_string(size) + " are left out");
    }

    if (request.outputFile) {
        made.path = *request.outputFile;
        checkOutputFolder(services.files, made.path);
    } else {
        made.path = bracketFilePath(outputFolder(services.places, services.files));
    }
    const std::string page = makeBracketPage(
        services.files, services.items, size, request.kind, request.seeding, request.title,
        [&names](int box) {
            return box <= static_cast<int>(names.names.size()) ? names.names[static_cast<std::size_t>(box) - 1]
                                                               : defaultPlayerName(box);
        },
        [&services] { return services.random.next(); });
    writeBracketFile(services.files, made.path, page);
    return made;
}

}  // namespace zandrel
