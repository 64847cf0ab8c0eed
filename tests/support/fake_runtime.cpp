#include "tests/support/fake_runtime.h"

#include "platform/failure.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace zandrel::testing {

namespace {

Failure fileFailure(const std::string &path)
{
    const int err = errno;
    int number = FailureNumber::PathFileAccess;
    if (err == ENOENT)
        number = FailureNumber::FileNotFound;
    else if (err == EACCES || err == EPERM || err == EROFS)
        number = FailureNumber::PermissionDenied;
    else if (err == ENOSPC)
        number = FailureNumber::DiskFull;
    return Failure(number, path + ": " + std::strerror(err));
}

void writeAll(const std::string &path, const Bytes &bytes, std::ios::openmode mode)
{
    errno = 0;
    std::ofstream out(path, mode | std::ios::binary);
    if (!out)
        throw fileFailure(path);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw fileFailure(path);
}

}  // namespace

FakeRuntime::FakeRuntime(std::string folder)
    : m_folder(std::move(folder))
{
}

void FakeRuntime::showMessage(const std::string &text, const std::string &title, MessageIcon icon)
{
    messages.push_back({text, title.empty() ? std::string(ProgramTitle) : title, icon});
    if (onMessage)
        onMessage();
}

void FakeRuntime::reportUnexpectedFailure(int number, const std::string &description)
{
    failures.push_back({number, description});
}

void FakeRuntime::startCommand(const StartCommand &command)
{
    if (failStart)
        throw Failure(FailureNumber::CannotStartCommand, "cannot start " + command.program);
    commands.push_back(command);
}

void FakeRuntime::processEvents() {}

void FakeRuntime::waitSeconds(int seconds)
{
    waits.push_back(seconds);
    if (onWait) {
        // A nested command may wait again; run the hook once per outer wait.
        auto hook = std::move(onWait);
        onWait = nullptr;
        hook();
    }
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
    const auto it = items.find(number);
    if (it == items.end())
        throw Failure(FailureNumber::MissingItem, "No built-in item " + std::to_string(number));
    return it->second;
}

Bytes FakeRuntime::readFile(const std::string &path, std::size_t maxBytes)
{
    errno = 0;
    if (fs::is_directory(path)) {
        errno = EISDIR;
        throw fileFailure(path);
    }
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw fileFailure(path);
    Bytes bytes;
    char c;
    while (bytes.size() < maxBytes && in.get(c))
        bytes.push_back(static_cast<unsigned char>(c));
    return bytes;
}

void FakeRuntime::createFileExclusive(const std::string &path, const Bytes &bytes)
{
    if (fs::exists(fs::symlink_status(path))) {
        errno = EEXIST;
        throw fileFailure(path);
    }
    writeAll(path, bytes, std::ios::out);
}

void FakeRuntime::replaceFile(const std::string &path, const Bytes &bytes)
{
    const std::string temporary = (fs::path(path).replace_extension(".tmp")).string();
    writeAll(temporary, bytes, std::ios::out | std::ios::trunc);
    std::error_code ec;
    fs::rename(temporary, path, ec);
    if (ec) {
        fs::remove(temporary, ec);
        errno = EACCES;
        throw fileFailure(path);
    }
}

void FakeRuntime::removeFile(const std::string &path)
{
    std::error_code ec;
    if (!fs::remove(path, ec)) {
        errno = ec ? ec.value() : ENOENT;
        throw fileFailure(path);
    }
}

bool FakeRuntime::fileExists(const std::string &path) const
{
    return fs::exists(fs::symlink_status(path));
}

bool FakeRuntime::canWriteInFolder(const std::string &folder)
{
    return fs::is_directory(folder)
        && std::find(readOnlyFolders.begin(), readOnlyFolders.end(), folder) == readOnlyFolders.end();
}

void FakeRuntime::makeFolder(const std::string &folder)
{
    // Creation happens in the nearest folder that is already there.
    fs::path existing = folder;
    while (!existing.empty() && !fs::exists(existing))
        existing = existing.parent_path();
    if (!canWriteInFolder(existing.string())) {
        errno = EACCES;
        throw fileFailure(folder);
    }
    fs::create_directories(folder);
}

std::string FakeRuntime::createTempFile(const std::string &prefix)
{
    if (tempFolder.empty())
        throw Failure(FailureNumber::PathNotFound, "(no temporary folder): No such file or directory");
    for (;;) {
        const std::string path = (fs::path(tempFolder) / (prefix + std::to_string(++m_tempCounter) + ".tmp")).string();
        if (fileExists(path))
            continue;
        createFileExclusive(path, {});
        return path;
    }
}

}  // namespace zandrel::testing
