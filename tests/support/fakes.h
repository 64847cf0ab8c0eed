#pragma once
// The services for tests, one fake each: they record what was asked and answer
// what the test put in, and the files live in memory, so the logic's tests
// never touch the disk (the real disk's behaviour is QtFiles', and its own
// tests check it). FakeSystem is all of them at once.

#include "bracket/make_bracket.h"
#include "platform/services.h"

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace zandrel::testing {

struct FakeMessages : Messages {
    void showMessage(const Notice &notice) override;

    std::vector<Notice> messages;     // each box, its empty title filled in as the program's
    std::function<void()> onMessage;  // runs inside a box, as the user would
};

struct FakePlaces : Places {
    std::string programFolder() const override { return program; }
    std::string documentsFolder() const override;

    std::string program = "/program";
    std::string documents;  // empty: the system names none
};

// A disk in memory: files by full path, the folders that exist, and trouble.
struct FakeFiles : Files {
    Bytes readFile(const std::string &path, std::size_t maxBytes) override;
    void createFileExclusive(const std::string &path, const Bytes &bytes) override;
    void replaceFile(const std::string &path, const Bytes &bytes) override;
    void removeFile(const std::string &path) override;
    bool fileExists(const std::string &path) const override { return files.contains(path) || folders.contains(path); }
    bool isOwnFile(const std::string &path) const override { return files.contains(path) && !othersFiles.contains(path); }
    bool canWriteInFolder(const std::string &folder) override { return folderExists(folder) && !readOnlyFolders.contains(folder); }
    void makeFolder(const std::string &folder) override;
    std::string createTempFile(const std::string &prefix) override;

    // The text of a file, and the names of the files directly in a folder.
    std::string text(const std::string &path) const;
    std::vector<std::string> filesIn(const std::string &folder) const;

    std::map<std::string, Bytes> files;
    std::set<std::string> folders;
    std::set<std::string> readOnlyFolders;  // nothing is created, replaced or removed in them
    std::set<std::string> othersFiles;      // files another user made
    bool diskFull = false;                  // writing anything but an empty file fails
    std::string tempFolder = "/tmp";        // where createTempFile makes its files; empty: none

private:
    bool folderExists(const std::string &folder) const;
    // Throws the failure writing `path` meets, if any.
    void checkWritable(const std::string &path, std::size_t size) const;
    int m_tempCounter = 0;
};

struct FakeItems : BuiltInItems {
    Bytes builtInItem(int number, const std::string &typeName) override;
    // Every built-in item the program carries, as the program finds them.
    void carryBuiltInItems();

    std::map<int, Bytes> items;  // by number
};

struct FakeRandom : RandomGenerator {
    void seedFromClock() override {}
    float next() override;

    std::deque<float> randomValues;  // answered in order; when empty, 0.5f
    int randomCount = 0;
};

struct FakeDesktop : Desktop {
    std::shared_ptr<const DocumentOpening> openDocument(const std::string &target) override;

    std::vector<std::string> opened;  // each target, in order
    std::string refuseAtOnce;          // openDocument throws with this reason
    std::string refuseLater;           // ... or the last opening is refused with it during the next wait
    std::shared_ptr<DocumentOpening> lastOpening;
};

struct FakeEventLoop : EventLoop {
    void processEvents() override {}
    void waitSeconds(int seconds, const std::function<bool()> &until) override;
    void sleepMilliseconds(int) override {}

    std::vector<int> waits;
    std::vector<bool> waitsEndedEarly;  // whether `until` answered true by the end of each wait
    std::function<void()> onWait;       // runs inside the next wait, as events would
};

struct FakeOneCopy : OneCopy {
    bool claim() override { return !anotherCopyRuns; }
    void release() override { ++releaseCount; }
    void activateRunningCopy(const std::string &title) override { activatedTitles.push_back(title); }

    bool anotherCopyRuns = false;
    int releaseCount = 0;
    std::vector<std::string> activatedTitles;
};

// Every service at once: the program lives in `program`, which is there, and
// so is the temporary folder.
struct FakeSystem : FakeMessages, FakePlaces, FakeFiles, FakeItems, FakeRandom, FakeDesktop, FakeEventLoop,
                    FakeOneCopy {
    explicit FakeSystem(std::string programFolder = "/program");
    // The desktop's later refusal arrives while the program waits.
    void waitSeconds(int seconds, const std::function<bool()> &until) override;

    Services services() { return {*this, *this, *this, *this, *this, *this, *this, *this}; }
    BracketServices bracket() { return {*this, *this, *this, *this, *this, *this, *this}; }
};

// Every message shown, as "sign title: text": (!) exclamation, (i) information, (x) stop.
std::vector<std::string> said(const FakeMessages &messages);

}  // namespace zandrel::testing
