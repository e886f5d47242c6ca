// znNotify.cpp -- level-gated diagnostic streams. The gate sits in a
// streambuf so that both << and printf obey ZnNotifyLevel at write time, and
// rdbuf() on the stream replaces the gate itself (the caller then sees
// everything, which is what a test capturing output wants).

#include <util/znNotify.h>

#include <cstdarg>
#include <cstdio>
#include <iostream>
#include <vector>

int ZnNotifyLevel = 1;
bool ZnLispDebugOn = false;

ZnNotifyStream::ZnNotifyStream(int level, std::streambuf* target)
    : std::ostream(nullptr), level_(level), target_(target), gate_(this) {
    rdbuf(&gate_);
}

int ZnNotifyStream::Gate::overflow(int ch) {
    if (ch == traits_type::eof()) return traits_type::not_eof(ch);
    if (!owner_->open()) return ch;
    return owner_->target_->sputc(static_cast<char>(ch));
}

std::streamsize ZnNotifyStream::Gate::xsputn(const char* s, std::streamsize n) {
    if (!owner_->open()) return n;
    return owner_->target_->sputn(s, n);
}

int ZnNotifyStream::Gate::sync() { return owner_->target_->pubsync(); }

ZnNotifyStream& ZnNotifyStream::printf(const char* fmt, ...) {
    // Traces sit on hot paths of the readers: with the gate closed (and not
    // replaced by a caller's buffer) skip the formatting altogether.
    if (rdbuf() == &gate_ && !open()) return *this;
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (n > 0) {
        std::vector<char> buf(static_cast<size_t>(n) + 1);
        std::vsnprintf(buf.data(), buf.size(), fmt, args);
        write(buf.data(), n);
    }
    va_end(args);
    return *this;
}

// The streams wrap the standard streams' buffers, which exist before any
// static object of ours is constructed (ios_base::Init in <iostream>).
ZnNotifyStream ZnWarn(1, std::cerr.rdbuf());
ZnNotifyStream ZnInfo(2, std::cout.rdbuf());
ZnNotifyStream ZnVerbose(3, std::cout.rdbuf());
ZnNotifyStream ZnDebug(4, std::cout.rdbuf());
