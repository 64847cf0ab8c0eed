#pragma once
// A main window on the fake runtime, loaded and shown offscreen.

#include "app/form1.h"
#include "tests/support/fake_runtime.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace zandrel::testing {

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<Form1>(runtime);
        ASSERT_TRUE(window->Form_Load());
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename T>
    T *control(const char *name) const
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QComboBox *sizeList() const { return control<QComboBox>("TournamentSize"); }
    QComboBox *typeList() const { return control<QComboBox>("TournamentType"); }
    QComboBox *seedingList() const { return control<QComboBox>("TournamentSeeding"); }
    QLineEdit *box(int i) const { return window->playerNameBox(i); }

    void chooseSize(int size) { sizeList()->setCurrentIndex(size - 3); }

    FakeRuntime runtime;
    std::unique_ptr<Form1> window;
};

}  // namespace zandrel::testing
