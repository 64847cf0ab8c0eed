#pragma once
// A runtime for tests: it records every message, report and command, answers
// random values and built-in items from what the test put in, and keeps its
// files in memory, so the logic's tests never touch the disk. The real
// disk's behaviour is QtRuntime's, and its own tests check it.

#include "platform/runtime.h"

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace zandrel::testing {

struct RecordedMessage {
    std::string text;
    std::string title;
    MessageIcon icon;
};

class FakeRuntime : public Runtime {
public:
    // The program lives in `folder`, which is there; so is the temporary folder.
    explicit FakeRuntime(std::string folder = "/program");

    void showMessage(const std::string &text, const std::string &title, MessageIcon icon) override;
    void reportUnexpectedFailure(int number, const std::string &description) override
    {
        failures.push_back(std::to_string(number) + ": " + description);
    }
    std::string executableFolder() const override { return m_folder; }
    std::string executableBaseName() const override { return "zandrel"; }
    NamedFolder documentsFolder() const override
    {
        return {documents, documents.empty() ? "the system names no documents folder" : ""};
    }
    std::shared_ptr<const DocumentOpening> openDocument(const std::string &target) override;
    void processEvents() override {}
    void waitSeconds(int seconds, const std::function<bool()> &until) override;
    void sleepMilliseconds(int) override {}
    void seedRandomFromClock() override {}
    float nextRandom() override;
    Bytes builtInItem(int number, const std::string &typeName) override;
    Bytes readFile(const std::string &path, std::size_t maxBytes) override;
    void createFileExclusive(const std::string &path, const Bytes &bytes) override;
    void replaceFile(const std::string &path, const Bytes &bytes) override;
    void removeFile(const std::string &path) override;
    bool fileExists(const std::string &path) const override { return files.contains(path) || folders.contains(path); }
    bool isOwnFile(const std::string &path) const override
    {
        return files.contains(path) && !othersFiles.contains(path);
    }
    bool canWriteInFolder(const std::string &folder) override
    {
        return folderExists(folder) && !readOnlyFolders.contains(folder);
    }
    void makeFolder(const std::string &folder) override;
    std::string createTempFile(const std::string &prefix) override;
    bool claimInstance() override { return !anotherCopyRuns; }
    void releaseInstance() override { ++releaseCount; }
    void activateRunningCopy(const std::string &title) override { activatedTitles.push_back(title); }
    void setApplicationTitle(const std::string &title) override { applicationTitle = title; }

    // The disk: files by full path, the folders that exist, and trouble.
    std::map<std::string, Bytes> files;
    std::set<std::string> folders;
    std::set<std::string> readOnlyFolders;  // nothing is created, replaced or removed in them
    std::set<std::string> othersFiles;      // files another user made
    bool diskFull = false;                  // writing anything but an empty file fails
    std::string tempFolder = "/tmp";        // where createTempFile makes its files; empty: none
    std::string documents;                  // the user's documents folder; empty: none

    // What else the test sets.
    std::map<int, Bytes> items;             // built-in items by number
    std::deque<float> randomValues;         // answered in order; when empty, 0.5f
    bool anotherCopyRuns = false;
    std::string refuseAtOnce;               // openDocument throws with this reason
    std::string refuseLater;                // ... or the system tells this during the next wait
    std::function<void()> onMessage;        // runs inside a message box, as the user would
    std::function<void()> onWait;           // runs inside waitSeconds, as events would

    // What the test reads.
    std::vector<RecordedMessage> messages;
    std::vector<std::string> failures;      // "number: description"
    std::vector<std::string> opened;        // each target, in order
    std::vector<int> waits;
    std::vector<bool> waitsEndedEarly;      // whether `until` answered true by the end of each wait
    std::vector<std::string> activatedTitles;
    std::string applicationTitle = "Zandrel";
    int randomCount = 0;
    int releaseCount = 0;

    // The text of a file, and the names of the files directly in a folder.
    std::string text(const std::string &path) const
    {
        return files.contains(path) ? std::string(files.at(path).begin(), files.at(path).end()) : std::string();
    }
    std::vector<std::string> filesIn(const std::string &folder) const;
    // Every built-in item the program carries, as the program finds them.
    void carryBuiltInItems();

private:
    bool folderExists(const std::string &folder) const;
    // Throws the failure writing `path` meets, if any.
    void checkWritable(const std::string &path, std::size_t size) const;

    std::string m_folder;
    int m_tempCounter = 0;
    std::shared_ptr<DocumentOpening> m_lastOpening;
};

}  // namespace zandrel::testing
