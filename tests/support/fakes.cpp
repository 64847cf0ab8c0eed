#include "tests/support/fakes.h"

#include "platform/failure.h"
#include "platform/paths.h"
#include "product.h"
#include "templates/builtin_items.h"

#include <algorithm>
#include <utility>

namespace zandrel::testing {

namespace {

std::string parentOf(const std::string &path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, std::max<std::size_t>(slash, 1));
}

Failure failure(int number, const std::string &path, const char *reason)
{
    return Failure(number, path + ": " + reason);
}

}  // namespace

void FakeMessages::showMessage(const Notice &notice)
{
    messages.push_back({notice.text, notice.title.empty() ? std::string(product::Name) : notice.title, notice.icon});
    if (onMessage)
        onMessage();
}

std::vector<std::string> said(const FakeMessages &messages)
{
    static const std::string signs[] = {"(!) ", "(i) ", "(x) "};
    std::vector<std::string> lines;
    for (const Notice &message : messages.messages)
        lines.push_back(signs[static_cast<int>(message.icon)] + message.title + ": " + message.text);
    return lines;
}

std::string FakePlaces::documentsFolder() const
{
    if (documents.empty())
        throw Failure(FailureNumber::PathNotFound, "the system names no documents folder");
    return documents;
}

Bytes FakeFiles::readFile(const std::string &path, std::size_t maxBytes)
{
    if (folders.contains(path))
        throw Failure(FailureNumber::PathFileAccess, path + " is not a regular file");
    if (!files.contains(path))
        throw failure(folderExists(parentOf(path)) ? FailureNumber::FileNotFound : FailureNumber::PathNotFound, path,
                      "No such file or directory");
    const Bytes &bytes = files.at(path);
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(maxBytes, bytes.size())));
}

void FakeFiles::checkWritable(const std::string &path, std::size_t size) const
{
    if (folders.contains(path))
        throw failure(FailureNumber::PathFileAccess, path, "Is a directory, not a file");
    if (!folderExists(parentOf(path)))
        throw failure(FailureNumber::PathNotFound, path, "No such file or directory");
    if (readOnlyFolders.contains(parentOf(path)))
        throw failure(FailureNumber::PermissionDenied, path, "Permission denied");
    if (diskFull && size > 0)
        throw failure(FailureNumber::DiskFull, path, "No space left on device");
}

void FakeFiles::createFileExclusive(const std::string &path, const Bytes &bytes)
{
    if (fileExists(path))
        throw failure(FailureNumber::PathFileAccess, path, "File exists");
    checkWritable(path, bytes.size());
    files[path] = bytes;
}

void FakeFiles::replaceFile(const std::string &path, const Bytes &bytes)
{
    checkWritable(path, bytes.size());
    files[path] = bytes;
}

void FakeFiles::removeFile(const std::string &path)
{
    if (!files.contains(path))
        throw failure(FailureNumber::FileNotFound, path, "No such file or directory");
    if (readOnlyFolders.contains(parentOf(path)))
        throw failure(FailureNumber::PermissionDenied, path, "Permission denied");
    files.erase(path);
}

void FakeFiles::makeFolder(const std::string &folder)
{
    // Creation happens in the nearest folder that is already there.
    std::vector<std::string> missing;
    std::string existing = folder;
    for (; !existing.empty() && !fileExists(existing) && !folderExists(existing); existing = parentOf(existing))
        missing.push_back(existing);
    if (!missing.empty() && (files.contains(existing) || readOnlyFolders.contains(existing)))
        throw failure(FailureNumber::PermissionDenied, folder, "cannot create the folder");
    folders.insert(missing.begin(), missing.end());
}

std::string FakeFiles::createTempFile(const std::string &prefix)
{
    if (tempFolder.empty())
        throw Failure(FailureNumber::PathNotFound, "(no temporary folder): No such file or directory");
    std::string path;
    do
        path = joinPath(tempFolder, prefix + std::to_string(++m_tempCounter) + ".tmp");
    while (fileExists(path));
    createFileExclusive(path, {});
    return path;
}

std::string FakeFiles::text(const std::string &path) const
{
    return files.contains(path) ? std::string(files.at(path).begin(), files.at(path).end()) : std::string();
}

std::vector<std::string> FakeFiles::filesIn(const std::string &folder) const
{
    std::vector<std::string> names;
    for (const auto &[path, bytes] : files) {
        if (parentOf(path) == folder)
            names.push_back(path.substr(folder.size() + 1));
    }
    return names;
}

bool FakeFiles::folderExists(const std::string &folder) const
{
    return folders.contains(folder) || (!tempFolder.empty() && folder == tempFolder) || folder == "/";
}

Bytes FakeItems::builtInItem(int number, const std::string &)
{
    if (!items.contains(number))
        throw Failure(FailureNumber::MissingItem, "No built-in item " + std::to_string(number));
    return items.at(number);
}

void FakeItems::carryBuiltInItems()
{
    for (const EmbeddedItem &item : builtInItems())
        items[item.number] = Bytes(item.bytes.begin(), item.bytes.end());
}

float FakeRandom::next()
{
    ++randomCount;
    if (randomValues.empty())
        return 0.5f;
    const float value = randomValues.front();
    randomValues.pop_front();
    return value;
}

std::shared_ptr<const DocumentOpening> FakeDesktop::openDocument(const std::string &target)
{
    if (!refuseAtOnce.empty())
        throw Failure(FailureNumber::CannotOpenDocument, refuseAtOnce);
    opened.push_back(target);
    lastOpening = std::make_shared<DocumentOpening>();
    return lastOpening;
}

void FakeEventLoop::waitSeconds(int seconds, const std::function<bool()> &until)
{
    waits.push_back(seconds);
    // A nested command may wait again; the hook runs once, in the outer wait.
    if (auto hook = std::exchange(onWait, nullptr))
        hook();
    waitsEndedEarly.push_back(until && until());
}

FakeSystem::FakeSystem(std::string programFolder)
{
    program = std::move(programFolder);
    folders.insert(program);
}

void FakeSystem::waitSeconds(int seconds, const std::function<bool()> &until)
{
    if (lastOpening && !refuseLater.empty())
        lastOpening->refusal = std::exchange(refuseLater, {});
    FakeEventLoop::waitSeconds(seconds, until);
}

}  // namespace zandrel::testing
