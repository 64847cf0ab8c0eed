#include "qt/qt_services.h"

#include "product.h"
#include "qt/qt_text.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include <chrono>

namespace zandrel {

namespace {

// How often a wait asks whether it may end early.
constexpr int UntilMilliseconds = 50;

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void QtMessages::showMessage(const Notice &notice)
{
    QMessageBox box(boxIcon(notice.icon), qs(notice.title.empty() ? product::Name : notice.title), qs(notice.text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void QtEventLoop::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventLoop::waitSeconds(int seconds, const std::function<bool()> &until)
{
    // A local event loop keeps the window working; a nested command may run
    // inside it and has its own loop. Quitting the application ends every
    // loop, so the caller must look whether its window is still there.
    QEventLoop loop;
    QTimer::singleShot(std::chrono::seconds(seconds), &loop, &QEventLoop::quit);
    QTimer ask;
    if (until) {
        QObject::connect(&ask, &QTimer::timeout, &loop, [&loop, &until] {
            if (until())
                loop.quit();
        });
        ask.start(UntilMilliseconds);
    }
    loop.exec();
}

void QtEventLoop::sleepMilliseconds(int milliseconds)
{
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

}  // namespace zandrel
