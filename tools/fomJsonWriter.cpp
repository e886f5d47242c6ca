// fomJsonWriter.cpp -- the streaming JSON writer of pxs-fom. Strings are
// written as bytes with only the escapes JSON requires, so UTF-8 in a model
// passes through unchanged.

#include "fomJsonWriter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace fomtool {

Json& Json::key(const char* name) {
    separate();
    writeString(name);
    out_ << ':';
    afterKey_ = true;
    return *this;
}

Json& Json::value(const char* text) {
    separate();
    if (text)
        writeString(text);
    else
        out_ << "null";
    return *this;
}

Json& Json::boolean(bool b) {
    separate();
    out_ << (b ? "true" : "false");
    return *this;
}

Json& Json::number(long long n) {
    separate();
    out_ << n;
    return *this;
}

Json& Json::unsignedNumber(unsigned long long n) {
    separate();
    out_ << n;
    return *this;
}

Json& Json::real(float f) {
    separate();
    if (!std::isfinite(f)) {
        out_ << "null";
        return *this;
    }
    char text[32];
    for (int precision = 6; precision <= 9; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, static_cast<double>(f));
        if (std::strtof(text, nullptr) == f) break;
    }
    out_ << text;
    return *this;
}

Json& Json::strings(const std::vector<ZnString>& list) {
    beginArray();
    for (const ZnString& s : list) value(s);
    return endArray();
}

Json& Json::open(char c) {
    separate();
    out_ << c;
    first_.push_back(true);
    return *this;
}

Json& Json::close(char c) {
    out_ << c;
    first_.pop_back();
    return *this;
}

void Json::separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (first_.empty()) return;
    if (!first_.back()) out_ << ',';
    first_.back() = false;
}

void Json::writeString(const char* text) {
    out_ << '"';
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        switch (*p) {
            case '"': out_ << "\\\""; break;
            case '\\': out_ << "\\\\"; break;
            case '\n': out_ << "\\n"; break;
            case '\r': out_ << "\\r"; break;
            case '\t': out_ << "\\t"; break;
            case '\b': out_ << "\\b"; break;
            case '\f': out_ << "\\f"; break;
            default:
                if (*p < 0x20) {
                    char esc[8];
                    std::snprintf(esc, sizeof esc, "\\u%04x", *p);
                    out_ << esc;
                } else {
                    out_ << static_cast<char>(*p);
                }
        }
    }
    out_ << '"';
}

}  // namespace fomtool
