#pragma once
// What the Qt tests share: failures caught for a look, paths as the system
// writes them, and the real services with their boxes and openings recorded
// under the window the user meets.

#include "app/main_window.h"
#include "platform/failure.h"
#include "qt/help_viewer.h"
#include "qt/qt_services.h"
#include "qt/signal_shutdown.h"

#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zandrel::testing {

// The failure `action` throws; number 0 when it throws none.
inline Failure caught(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Failure &failure) {
        return failure;
    }
    return Failure(0, "");
}

// A path as the system writes it, and so as failures name it.
inline std::string native(const std::string &path)
{
    return QDir::toNativeSeparators(QString::fromStdString(path)).toStdString();
}

// The real services, with the boxes they would show and the documents they would open recorded instead, in a
// program folder of their own.
struct RecordingServices : Messages, Desktop, QtPlaces {
    void showMessage(const Notice &notice) override
    {
        messages.push_back(notice.text);
        if (whileBoxShows)
            whileBoxShows();
    }
    std::shared_ptr<const DocumentOpening> openDocument(const std::string &target) override
    {
        opened.push_back(target);
        return std::make_shared<DocumentOpening>();
    }
    std::string programFolder() const override { return folder.path().toStdString(); }
    Services all() { return {*this, *this, real.files, real.items, real.random, *this, real.events, real.oneCopy}; }

    QtServices real;
    QTemporaryDir folder;
    std::vector<std::string> messages;
    std::vector<std::string> opened;
    std::function<void()> whileBoxShows;
};

// The main window on the recording services, started and shown, with the signals and the session's end
// handled as the program handles them.
struct WindowOnQt : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(window.startUp());
        window.show();
    }
    // Everything in the run's temporary folder, where the help file and the one-copy lock go.
    static std::string temporaryFiles()
    {
        const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        return QDir::temp().entryList(all).join(' ').toStdString();
    }
    // The one help viewer shown, or none.
    static HelpViewer *onlyViewer()
    {
        QList<HelpViewer *> viewers;
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *viewer = qobject_cast<HelpViewer *>(widget); viewer && viewer->isVisible())
                viewers << viewer;
        EXPECT_LE(viewers.size(), 1);
        return viewers.value(0);
    }
    void helpTopics() { window.findChild<QAction *>("helpTopicsAction")->trigger(); }

    RecordingServices runtime;
    const std::string before = temporaryFiles();
    MainWindow window{runtime.all()};
    const SignalShutdown shutdown{window, runtime.real.oneCopy};
};

}  // namespace zandrel::testing
