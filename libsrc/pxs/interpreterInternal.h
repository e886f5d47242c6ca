// interpreterInternal.h -- what the interpreter's core files (memory, read,
// eval) agree on: how their cold paths are kept out of line, how nesting is
// counted and how an error passing through a level is wrapped. In no
// installed header.
//
// Per-thread state is declared plain `thread_local`: the library is built
// with -ftls-model=initial-exec, so every such variable is read straight off
// the thread pointer.

#pragma once

#include <exception>
#include <string>
#include <utility>

#include <util/znException.h>

// Kept out of line so that their buffers and temporaries do not enlarge the
// frames on a recursion path.
#define PXS_COLD __attribute__((noinline))

namespace pxsdetail {

// Counts one level of nesting on a per-thread counter while it lives.
class DepthGuard {
public:
    explicit DepthGuard(int& depth) noexcept : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& depth_;
};

// Where the wrapping exceptions of one level say they come from. Callers
// see these values, so they are fixed per level and never follow the code.
struct ExceptionOrigin {
    const char* function;
    const char* file;
    int line;
};

// Replaces the exception being handled by the wrapper that a level adds:
// a ZnException is chained, a standard exception keeps its text, anything
// else becomes an unknown exception. Must be called inside a catch block.
[[noreturn]] PXS_COLD inline void rethrowWrapped(const ExceptionOrigin& at) {
    try {
        throw;
    } catch (ZnException& e) {
        throw ZnException("Propagating ZnException.", at.function, at.file, at.line,
                          std::move(e));
    } catch (const std::exception& e) {
        throw ZnException(std::string("std::exception ") + e.what(), at.function, at.file,
                          at.line);
    } catch (...) {
        throw ZnUnknownException("Caught Unknown Exception.", at.function, at.file, at.line);
    }
}

// While one made with `on` lives, this thread's reader returns a token that
// would read as a number as a string of its text instead: data files want
// "2147483648" or "1e400" as written, not wrapped or rounded. Made without
// `on`, it leaves the reader as it found it.
class NumbersAsText {
public:
    explicit NumbersAsText(bool on = true);
    ~NumbersAsText();
    NumbersAsText(const NumbersAsText&) = delete;
    NumbersAsText& operator=(const NumbersAsText&) = delete;

private:
    bool outer_;
};

// Cell and parameter names are copied into blocks of their own; a null
// text copies to null.
char* copyText(const char* text);
void freeText(char* text) noexcept;

}  // namespace pxsdetail
