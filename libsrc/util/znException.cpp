// znException.cpp -- exception chaining. The chain is held by value (each
// link owns a clone of the one it replaced) so an exception can outlive the
// handler that caught its cause.

#include <util/znException.h>

#include <ostream>

ZnException::ZnException(const std::string& message, const std::string& function,
                         const std::string& file, int line, const ZnException* previous)
    : message_(message), function_(function), file_(file), line_(line),
      previous_(previous ? previous->clone() : nullptr) {}

ZnException::ZnException(const std::string& message, const std::string& function,
                         const std::string& file, int line, ZnException&& previous)
    : message_(message), function_(function), file_(file), line_(line),
      previous_(previous.moveClone()) {}

ZnException::ZnException(ZnException&& other) noexcept
    : std::exception(other), message_(std::move(other.message_)),
      function_(std::move(other.function_)), file_(std::move(other.file_)),
      line_(other.line_), previous_(std::move(other.previous_)) {}

ZnException::ZnException(const ZnException& other)
    : std::exception(other), message_(other.message_), function_(other.function_),
      file_(other.file_), line_(other.line_),
      previous_(other.previous_ ? other.previous_->clone() : nullptr) {}

ZnException& ZnException::operator=(const ZnException& other) {
    if (this != &other) {
        std::unique_ptr<ZnException> prev(other.previous_ ? other.previous_->clone() : nullptr);
        message_ = other.message_;
        function_ = other.function_;
        file_ = other.file_;
        line_ = other.line_;
        previous_ = std::move(prev);
    }
    return *this;
}

// Chains can be long (one link per evaluation level); destroying them link
// by link keeps the host stack flat.
ZnException::~ZnException() {
    std::unique_ptr<ZnException> next = std::move(previous_);
    while (next) next = std::move(next->previous_);
}

// The old chain is released link by link by the destructor of a temporary,
// and the new one is taken over whole.
ZnException& ZnException::operator=(ZnException&& other) noexcept {
    if (this != &other) {
        ZnException old(std::move(*this));
        message_ = std::move(other.message_);
        function_ = std::move(other.function_);
        file_ = std::move(other.file_);
        line_ = other.line_;
        previous_ = std::move(other.previous_);
    }
    return *this;
}

std::string ZnException::where() const {
    return function_ + " (" + file_ + ":" + std::to_string(line_) + ")";
}

const ZnException& ZnException::initialException() const {
    const ZnException* e = this;
    while (e->previous_) e = e->previous_.get();
    return *e;
}

std::ostream& operator<<(std::ostream& os, const ZnException& e) {
    for (const ZnException* p = &e; p; p = p->lastException())
        os << p->message() << " [" << p->where() << "]\n";
    return os;
}
