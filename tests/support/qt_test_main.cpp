// Main for the GUI tests: a QApplication on the offscreen platform, so no
// window appears and nothing waits for a display.

#include <gmock/gmock.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Temporary files and the instance lock and socket, in each place they
    // may go, in a folder of this run's own (mode 0700), which the programs
    // it starts inherit: runs meet neither each other nor a copy the user
    // has open.
    const QTemporaryDir own;
    for (const char *variable : {"XDG_RUNTIME_DIR", "TMPDIR", "XDG_CACHE_HOME", "TMP", "TEMP"})
        qputenv(variable, own.path().toLocal8Bit());
    ::testing::InitGoogleMock(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
