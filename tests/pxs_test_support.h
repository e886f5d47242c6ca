// pxs_test_support.h -- helpers shared by the interpreter tests: counting
// live cells, checking PXS errors and their chains, capturing ZnInfo.

#ifndef PXS_TESTS_PXS_TEST_SUPPORT_H
#define PXS_TESTS_PXS_TEST_SUPPORT_H

#include <pxs/pxs.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>

// Defined by the library for its tests; in no installed header.
extern thread_local long pxsLiveCells;

namespace pxstest {

// Touches the singletons so that their first creation does not count as a
// cell made by the code under test.
inline long liveCells() {
    ZnlObjPtr::nil();
    ZnlObjPtr::t();
    ZnlObjPtr::unbound();
    return pxsLiveCells;
}

// Fails the test when the cells made in its scope are not all freed by the
// time it ends.
class NoCellLeft {
public:
    NoCellLeft() : before_(liveCells()) {}
    ~NoCellLeft() { EXPECT_EQ(pxsLiveCells, before_) << "cells left alive"; }

private:
    long before_;
};

// What a PXS error thrown by `action` looked like.
struct Failure {
    bool thrown = false;
    int depth = 0;           // links in the chain, the innermost included
    std::string innermost;   // text of the innermost exception
    std::string outermost;   // text of the one caught
    std::string origin;      // where() of the innermost
    int innermostNumber = 0; // number() of the innermost
};

inline Failure failureOf(const std::function<void()>& action) {
    Failure f;
    try {
        action();
    } catch (const ZnException& e) {
        f.thrown = true;
        for (const ZnException* p = &e; p; p = p->lastException()) ++f.depth;
        f.innermost = e.initialException().message();
        f.innermostNumber = e.initialException().number();
        f.origin = e.initialException().where();
        f.outermost = e.message();
    }
    return f;
}

// The text ZncHaltAndCatchFire gives `message`.
inline std::string pxsError(const std::string& message) {
    return "ZnException: PXS Error: " + message;
}

// Expects `action` to raise exactly `message` with no wrapping.
#define EXPECT_PXS_ERROR(action, message)                                     \
    do {                                                                      \
        pxstest::Failure f_ = pxstest::failureOf([&] { (void)(action); });    \
        EXPECT_TRUE(f_.thrown) << "no error from " #action;                   \
        EXPECT_EQ(f_.innermost, pxstest::pxsError(message));                  \
        EXPECT_EQ(f_.depth, 1);                                               \
    } while (0)

// Expects `action` to fail with `message` innermost, wrapped or not.
#define EXPECT_PXS_FAILURE(action, message)                                   \
    do {                                                                      \
        pxstest::Failure f_ = pxstest::failureOf([&] { (void)(action); });    \
        EXPECT_TRUE(f_.thrown) << "no error from " #action;                   \
        EXPECT_EQ(f_.innermost, pxstest::pxsError(message));                  \
    } while (0)

// Sends a notification stream to a string for the scope (replacing its
// level gate).
class NotifyCapture {
public:
    explicit NotifyCapture(std::ostream& stream)
        : stream_(stream), saved_(stream.rdbuf(text_.rdbuf())) {}
    ~NotifyCapture() { stream_.rdbuf(saved_); }
    std::string text() const { return text_.str(); }

private:
    std::ostringstream text_;
    std::ostream& stream_;
    std::streambuf* saved_;
};
struct InfoCapture : NotifyCapture {
    InfoCapture() : NotifyCapture(ZnInfo) {}
};
struct WarnCapture : NotifyCapture {
    WarnCapture() : NotifyCapture(ZnWarn) {}
};

// A list of the given objects.
inline ZnlObjPtr listOf(std::initializer_list<ZnlObjPtr> items) {
    ZnlObjPtr result = ZnlObjPtr::nil();
    for (auto it = items.end(); it != items.begin();) result = ZncCons(*--it, result);
    return result;
}

// Short names for the values argument lists are built from.
inline ZnlObjPtr num(int n) { return ZnlObjPtr(n); }
inline ZnlObjPtr flo(double d) { return ZnlObjPtr(d); }
inline ZnlObjPtr str(const char* s) { return ZnlObjPtr(s); }
inline ZnlObjPtr sym(const char* name) { return ZncMakeSymbol(name); }
inline const ZnlObjPtr& nil() { return ZnlObjPtr::nil(); }
inline const ZnlObjPtr& t() { return ZnlObjPtr::t(); }

// What `write` writes to a file, read back.
inline std::string written(const std::function<void(FILE*)>& write) {
    FILE* f = std::tmpfile();
    write(f);
    std::string text;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
    std::fclose(f);
    return text;
}

// The printed form of `x`.
inline std::string printed(const ZnlObjPtr& x) {
    return written([&](FILE* f) { x->ZncObjFprint(f); });
}

// What `action` writes to standard output.
inline std::string stdoutOf(const std::function<void()>& action) {
    testing::internal::CaptureStdout();
    try {
        action();
    } catch (...) {
        testing::internal::GetCapturedStdout();
        throw;
    }
    return testing::internal::GetCapturedStdout();
}

// A primitive applied to an argument list, and the value it must give
// (compared by equal, so the kind of a number counts) or the error.
struct Call {
    Call(ZnlPrimitiveFn f, ZnlObjPtr a, ZnlObjPtr value) : fn(f), args(a), expected(value) {}
    Call(ZnlPrimitiveFn f, ZnlObjPtr a, const char* message) : fn(f), args(a), error(message) {}
    ZnlPrimitiveFn fn;
    ZnlObjPtr args, expected;
    const char* error = nullptr;
};

inline void expectCalls(std::initializer_list<Call> calls) {
    int row = 0;
    for (const Call& c : calls) {
        SCOPED_TRACE("row " + std::to_string(row++) + ", arguments " + printed(c.args));
        if (c.error) {
            EXPECT_PXS_ERROR(c.fn(c.args, nil()), c.error);
            continue;
        }
        ZnlObjPtr got = c.fn(c.args, nil());
        EXPECT_TRUE(got == c.expected || ZncEqual(got, c.expected))
            << printed(got) << " instead of " << printed(c.expected);
    }
}

// Turns the interpreter's traces on for a scope.
class DebugOn {
public:
    DebugOn() : saved_(ZnLispDebugOn) { ZnLispDebugOn = true; }
    ~DebugOn() { ZnLispDebugOn = saved_; }

private:
    bool saved_;
};

}  // namespace pxstest

#endif
