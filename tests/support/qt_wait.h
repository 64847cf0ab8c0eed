#pragma once
// Waits for a condition while the event loop runs, for GoogleTest (QtTest's
// QTRY_ macros report to QtTest, which a GoogleTest run never reads).

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>

#include <functional>

namespace zandrel::testing {

inline bool waitUntil(const std::function<bool()> &condition, int milliseconds = 5000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qSleep(5);
    }
    return true;
}

}  // namespace zandrel::testing
