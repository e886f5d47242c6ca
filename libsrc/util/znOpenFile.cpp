// znOpenFile.cpp -- the regular-file check behind every file the library reads.

#include <util/znOpenFile.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

namespace {

std::string reasonFor(int error) {
    switch (error) {
        case ENOENT: return "no such file";
        case EACCES:
        case EPERM: return "permission denied";
        case EISDIR: return "is a directory";
        case ENOTDIR: return "a component of the path is not a directory";
        default: break;
    }
    std::string text = std::strerror(error);
    if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

void setReason(std::string* reason, std::string text) {
    if (reason) *reason = std::move(text);
}

}  // namespace

FILE* ZnOpenRegularFile(const char* path, const char* mode, std::string* reason) {
    if (!path || !*path) {
        setReason(reason, "no such file");
        return nullptr;
    }
    // O_NONBLOCK so that opening a FIFO with no writer returns at once; it is
    // refused below anyway, and a regular file ignores the flag.
    int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        setReason(reason, reasonFor(errno));
        return nullptr;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        int error = errno;
        ::close(fd);
        setReason(reason, reasonFor(error));
        return nullptr;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        setReason(reason, S_ISDIR(st.st_mode) ? "is a directory" : "not a regular file");
        return nullptr;
    }
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    FILE* file = ::fdopen(fd, mode);
    if (!file) {
        int error = errno;
        ::close(fd);
        setReason(reason, reasonFor(error));
        return nullptr;
    }
    setReason(reason, "");
    return file;
}

bool ZnIsRegularFile(const char* path) {
    struct stat info;
    return path && ::stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

std::string ZnRegularFileProblem(const char* path) {
    std::string reason;
    FILE* file = ZnOpenRegularFile(path, "rb", &reason);
    if (file) std::fclose(file);
    return reason;
}
