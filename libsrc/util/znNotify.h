// znNotify.h -- the library's four diagnostic streams and the globals that
// steer them. Each stream is a std::ostream, so a caller can redirect it
// with rdbuf(); a stream whose level is not reached swallows its output.
//
//   ZnWarn    level >= 1, standard error
//   ZnInfo    level >= 2, standard output
//   ZnVerbose level >= 3, standard output
//   ZnDebug   level >= 4, standard output

#ifndef UTIL_ZNNOTIFY_H
#define UTIL_ZNNOTIFY_H

#include <ostream>
#include <streambuf>

extern int ZnNotifyLevel;
extern bool ZnLispDebugOn;

class ZnNotifyStream : public std::ostream {
public:
    ZnNotifyStream(int level, std::streambuf* target);
    // printf-style write, subject to the same level test as <<.
    ZnNotifyStream& printf(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    int level() const { return level_; }

private:
    class Gate : public std::streambuf {
    public:
        explicit Gate(const ZnNotifyStream* owner) : owner_(owner) {}
    protected:
        int overflow(int ch) override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;
        int sync() override;
    private:
        const ZnNotifyStream* owner_;
    };
    friend class Gate;
    bool open() const { return ZnNotifyLevel >= level_; }

    int level_;
    std::streambuf* target_;
    Gate gate_;
};

extern ZnNotifyStream ZnWarn;
extern ZnNotifyStream ZnInfo;
extern ZnNotifyStream ZnVerbose;
extern ZnNotifyStream ZnDebug;

#endif
