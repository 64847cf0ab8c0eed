// Times one start-up: starts PROGRAM, and prints how many milliseconds pass
// until the X server maps a top-level window titled TITLE, the program's
// peak memory until then in KiB, and the processor time its threads took
// until then in milliseconds (which another load on the machine hardly
// changes); then kills the program (its orderly end is no part of its
// start-up). The server tells when the window maps, so nothing is polled.
//
//   first_window TITLE PROGRAM [ARGUMENT...]
//
// Needs a display without a window manager (Xvfb), where a program's window
// is a child of the root window.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

std::string titleOf(Display *display, Window window)
{
    XTextProperty name{};
    std::string title;
    if (XGetWMName(display, window, &name) && name.value) {
        title.assign(reinterpret_cast<const char *>(name.value), name.nitems);
        XFree(name.value);
    }
    return title;
}

// The peak resident memory of process `pid` so far, in KiB; 0 when unknown.
long peakKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

// The processor time the threads of process `pid` have taken, in milliseconds.
double cpuMilliseconds(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task/";
    double nanoseconds = 0;
    for (const auto &task : std::filesystem::directory_iterator(tasks)) {
        std::ifstream schedstat(task.path() / "schedstat");
        double onCpu = 0;
        schedstat >> onCpu;
        nanoseconds += onCpu;
    }
    return nanoseconds / 1e6;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s TITLE PROGRAM [ARGUMENT...]\n", argv[0]);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "first_window: no display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto started = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, argv[2], nullptr, nullptr, argv + 2, environ) != 0) {
        std::fprintf(stderr, "first_window: cannot start %s\n", argv[2]);
        return 2;
    }
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify || titleOf(display, event.xmap.window) != argv[1])
            continue;
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - started;
        std::printf("%.2f %ld %.2f\n", elapsed.count(), peakKiB(child), cpuMilliseconds(child));
        break;
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    XCloseDisplay(display);
    return 0;
}
