// znFilename.cpp -- path helpers; pure string work except exists().

#include <util/znFilename.h>

#include <sys/stat.h>

ZnFilename ZnFilename::stripPath() const {
    const std::string& p = std();
    size_t pos = p.rfind('/');
    return pos == std::string::npos ? *this : ZnFilename(p.substr(pos + 1));
}

ZnFilename ZnFilename::stripFilename() const {
    const std::string& p = std();
    size_t pos = p.rfind('/');
    if (pos == std::string::npos) return ZnFilename();
    if (pos == 0) return ZnFilename("/");
    return ZnFilename(p.substr(0, pos));
}

ZnFilename& ZnFilename::append(const ZnString& other) {
    if (!empty() && std().back() != '/' && !other.empty() && other.c_str()[0] != '/')
        ZnString::append("/");
    ZnString::append(other);
    return *this;
}

bool ZnFilename::exists() const {
    struct stat st;
    return !empty() && ::stat(c_str(), &st) == 0;
}

bool ZnFilename::relative() const { return empty() || c_str()[0] != '/'; }

ZnString ZnFilename::extension() const {
    std::string last = stripPath().std();
    size_t pos = last.rfind('.');
    return pos == std::string::npos ? ZnString() : ZnString(last.substr(pos + 1));
}

bool ZnFilename::searchAlternatePath(const char* dirs) {
    if (exists()) return true;
    if (!dirs) return false;
    std::string list(dirs);
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        std::string dir = list.substr(start, end - start);
        if (!dir.empty()) {
            ZnFilename candidate(dir);
            candidate.append(*this);
            if (candidate.exists()) {
                *this = candidate;
                return true;
            }
        }
        start = end + 1;
    }
    return false;
}
