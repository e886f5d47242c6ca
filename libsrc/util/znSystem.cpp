// znSystem.cpp -- system calls behind the utility interface.

#include <util/znSystem.h>

#include <poll.h>
#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <string>

const char* ZnOperatingSystem() {
    static const std::string name = [] {
        struct utsname u;
        return ::uname(&u) == 0 ? std::string(u.sysname) : std::string("Linux");
    }();
    return name.c_str();
}

void ZnSleep(double seconds) {
    if (!(seconds > 0)) return;
    struct timespec ts;
    ts.tv_sec = static_cast<time_t>(seconds);
    ts.tv_nsec = static_cast<long>((seconds - static_cast<double>(ts.tv_sec)) * 1e9);
    while (::nanosleep(&ts, &ts) == -1 && errno == EINTR) {
    }
}

int ZnPollBlockingInputChar() {
    if (!::isatty(STDIN_FILENO)) return 1;
    struct pollfd pfd = {STDIN_FILENO, POLLIN, 0};
    int n = ::poll(&pfd, 1, 0);
    if (n < 0) return 1;
    if (n == 0) return 0;
    // A hang-up or error ends the wait as surely as a key does.
    if (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) return 1;
    char c;
    ssize_t got = ::read(STDIN_FILENO, &c, 1);
    return got <= 0 ? 1 : (c ? c : 1);
}
