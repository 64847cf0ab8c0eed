#include "tests/support/fake_runtime.h"

#include "platform/failure.h"
#include "platform/paths.h"
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

FakeRuntime::FakeRuntime(std::string folder)
    : m_folder(std::move(folder))
{
    folders.insert(m_folder);
}

void FakeRuntime::showMessage(const std::string &text, const std::string &title, MessageIcon icon)
{
    messages.push_back({text, title.empty() ? std::string(ProgramTitle) : title, icon});
    if (onMessage)
        onMessage();
}

std::shared_ptr<const DocumentOpening> FakeRuntime::openDocument(const std::string &target)
{
    if (!refuseAtOnce.empty())
        throw Failure(FailureNumber::CannotOpenDocument, refuseAtOnce);
    opened.push_back(target);
    m_lastOpening = std::make_shared<DocumentOpening>();
    return m_lastOpening;
}

void FakeRuntime::waitSeconds(int seconds, const std::function<bool()> &until)
{
    waits.push_back(seconds);
    if (m_lastOpening && !refuseLater.empty())
        m_lastOpening->refusal = std::exchange(refuseLater, {});
    // A nested command may wait again; the hook runs once, in the outer wait.
    if (auto hook = std::exchange(onWait, nullptr))
        hook();
    waitsEndedEarly.push_back(until && until());
}

float FakeRuntime::nextRandom()
{
    ++randomCount;
    if (randomValues.empty())
        return 0.5f;
    const float value = randomValues.front();
    randomValues.pop_front();
    return value;
}

Bytes FakeRuntime::builtInItem(int number, const std::string &)
{
    if (!items.contains(number))
        throw Failure(FailureNumber::MissingItem, "No built-in item " + std::to_string(number));
    return items.at(number);
}

void FakeRuntime::carryBuiltInItems()
{
    for (const EmbeddedItem &item : builtInItems())
        items[item.number] = Bytes(item.bytes.begin(), item.bytes.end());
}

Bytes FakeRuntime::readFile(const std::string &path, std::size_t maxBytes)
{
    if (folders.contains(path))
        throw Failure(FailureNumber::PathFileAccess, path + " is not a regular file");
    if (!files.contains(path))
        throw failure(folderExists(parentOf(path)) ? FailureNumber::FileNotFound : FailureNumber::PathNotFound, path,
                      "No such file or directory");
    const Bytes &bytes = files.at(path);
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(maxBytes, bytes.size())));
}

void FakeRuntime::checkWritable(const std::string &path, std::size_t size) const
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

void FakeRuntime::createFileExclusive(const std::string &path, const Bytes &bytes)
{
    if (fileExists(path))
        throw failure(FailureNumber::PathFileAccess, path, "File exists");
    checkWritable(path, bytes.size());
    files[path] = bytes;
}

void FakeRuntime::replaceFile(const std::string &path, const Bytes &bytes)
{
    checkWritable(path, bytes.size());
    files[path] = bytes;
}

void FakeRuntime::removeFile(const std::string &path)
{
    if (!files.contains(path))
        throw failure(FailureNumber::FileNotFound, path, "No such file or directory");
    if (readOnlyFolders.contains(parentOf(path)))
        throw failure(FailureNumber::PermissionDenied, path, "Permission denied");
    files.erase(path);
}

void FakeRuntime::makeFolder(const std::string &folder)
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

std::string FakeRuntime::createTempFile(const std::string &prefix)
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

std::vector<std::string> FakeRuntime::filesIn(const std::string &folder) const
{
    std::vector<std::string> names;
    for (const auto &[path, bytes] : files) {
        if (parentOf(path) == folder)
            names.push_back(path.substr(folder.size() + 1));
    }
    return names;
}

bool FakeRuntime::folderExists(const std::string &folder) const
{
    return folders.contains(folder) || (!tempFolder.empty() && folder == tempFolder) || folder == "/";
}

}  // namespace zandrel::testing
