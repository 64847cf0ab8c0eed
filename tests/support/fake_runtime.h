#pragma once
// A runtime for tests: it records every message, report and command, answers
// random values and built-in items from what the test put in, and keeps files
// on the real disk (tests give it their own temporary folder).

#include "platform/runtime.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace zandrel::testing {

struct RecordedMessage {
    std::string text;
    std::string title;
    MessageIcon icon;
};

struct RecordedFailure {
    int number;
    std::string description;
};

class FakeRuntime : public Runtime {
public:
    explicit FakeRuntime(std::string folder = {});

    void showMessage(const std::string &text, const std::string &title, MessageIcon icon) override;
    void reportUnexpectedFailure(int number, const std::string &description) override;
    std::string executableFolder() const override { return m_folder; }
    std::string executableBaseName() const override { return "zandrel"; }
    std::string documentsFolder() const override { return documents; }
    void startCommand(const StartCommand &command) override;
    void processEvents() override;
    void waitSeconds(int seconds) override;
    void sleepMilliseconds(int milliseconds) override { sleeps.push_back(milliseconds); }
    void seedRandomFromClock() override { ++seedCount; }
    float nextRandom() override;
    Bytes builtInItem(int number, const std::string &typeName) override;
    Bytes readFile(const std::string &path, std::size_t maxBytes) override;
    void createFileExclusive(const std::string &path, const Bytes &bytes) override;
    void replaceFile(const std::string &path, const Bytes &bytes) override;
    void removeFile(const std::string &path) override;
    bool fileExists(const std::string &path) const override;
    bool canWriteInFolder(const std::string &folder) override;
    void makeFolder(const std::string &folder) override;
    std::string createTempFile(const std::string &prefix) override;
    bool claimInstance() override { return !anotherCopyRuns; }
    void releaseInstance() override { ++releaseCount; }
    void activateRunningCopy(const std::string &title) override { activatedTitles.push_back(title); }
    void setApplicationTitle(const std::string &title) override { applicationTitle = title; }

    // What the test sets.
    std::string tempFolder;                 // where createTempFile makes its files; empty: fail
    std::string documents;                  // the user's documents folder; empty: none
    std::vector<std::string> readOnlyFolders;  // canWriteInFolder says no, makeFolder fails
    std::map<int, Bytes> items;             // built-in items by number
    std::deque<float> randomValues;         // answered in order; when empty, 0.5f
    bool anotherCopyRuns = false;
    bool failStart = false;                 // startCommand throws
    std::function<void()> onMessage;        // runs inside a message box, as the user would
    std::function<void()> onWait;           // runs inside waitSeconds, as events would

    // What the test reads.
    std::vector<RecordedMessage> messages;
    std::vector<RecordedFailure> failures;
    std::vector<StartCommand> commands;
    std::vector<int> waits;
    std::vector<int> sleeps;
    std::vector<std::string> activatedTitles;
    std::string applicationTitle = "Zandrel";
    int seedCount = 0;
    int randomCount = 0;
    int releaseCount = 0;

private:
    std::string m_folder;
    int m_tempCounter = 0;
};

}  // namespace zandrel::testing
