// znException.h -- the one exception family the library throws. Each
// exception records where it was raised and may chain the exception it
// replaced, so a caller can walk from the outermost wrapper to the cause.

#ifndef UTIL_ZNEXCEPTION_H
#define UTIL_ZNEXCEPTION_H

#include <exception>
#include <iosfwd>
#include <memory>
#include <string>
#include <utility>

constexpr int ZnInvalidInputNumber = -1;
constexpr int ZnUnknownExceptionNumber = -2;
constexpr int ZnCorruptedStateNumber = -3;

class ZnException : public std::exception {
public:
    // `file` is the base name of the raising source file; `previous`, when
    // given, is copied into the chain.
    ZnException(const std::string& message, const std::string& function = "",
                const std::string& file = "", int line = 0,
                const ZnException* previous = nullptr);
    // As above, but takes over `previous` and its chain instead of copying
    // them: wrapping once per level of a deep call chain stays linear.
    ZnException(const std::string& message, const std::string& function,
                const std::string& file, int line, ZnException&& previous);
    ZnException(const ZnException& other);
    ZnException(ZnException&& other) noexcept;
    ZnException& operator=(const ZnException& other);
    ZnException& operator=(ZnException&& other) noexcept;
    ~ZnException() override;

    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& message() const { return message_; }
    // "function (file:line)".
    std::string where() const;
    const std::string& function() const { return function_; }
    const std::string& file() const { return file_; }
    int line() const { return line_; }
    // 0 for a plain ZnException, the template number otherwise.
    virtual int number() const { return 0; }

    // The exception this one replaced; null at the end of the chain.
    const ZnException* lastException() const { return previous_.get(); }
    // The innermost exception of the chain (this one when there is none).
    const ZnException& initialException() const;

    // Rethrows a copy of this exception with its dynamic type.
    [[noreturn]] virtual void rethrow() const { throw *this; }
    virtual ZnException* clone() const { return new ZnException(*this); }
    // A heap exception of the same dynamic type that has taken over this
    // one's contents and chain; this one is left empty.
    virtual ZnException* moveClone() { return new ZnException(std::move(*this)); }

private:
    std::string message_;
    std::string function_;
    std::string file_;
    int line_;
    std::unique_ptr<ZnException> previous_;
};

template <int N>
class ZnTemplatedException : public ZnException {
public:
    using ZnException::ZnException;
    int number() const override { return N; }
    [[noreturn]] void rethrow() const override { throw *this; }
    ZnException* clone() const override { return new ZnTemplatedException<N>(*this); }
    ZnException* moveClone() override {
        return new ZnTemplatedException<N>(std::move(*this));
    }
};

using ZnInvalidInput = ZnTemplatedException<ZnInvalidInputNumber>;
using ZnUnknownException = ZnTemplatedException<ZnUnknownExceptionNumber>;
using ZnCorruptedState = ZnTemplatedException<ZnCorruptedStateNumber>;

// Writes the whole chain, outermost first, one exception a line.
std::ostream& operator<<(std::ostream& os, const ZnException& e);

#endif
