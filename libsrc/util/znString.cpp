// znString.cpp -- conversions and splitting for ZnString. Number parsing is
// strict: a conversion reports failure instead of returning a partial value.

#include <util/znString.h>

#include <cctype>
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>

namespace {

bool allBlank(const char* p) {
    while (*p && std::isspace(static_cast<unsigned char>(*p))) ++p;
    return *p == '\0';
}

void setOk(bool* ok, bool value) {
    if (ok) *ok = value;
}

}  // namespace

ZnString::ZnString(int n) : text_(std::to_string(n)) {}
ZnString::ZnString(unsigned int n) : text_(std::to_string(n)) {}
ZnString::ZnString(unsigned long n) : text_(std::to_string(n)) {}

ZnString::ZnString(double d) {
    char buf[32];
    for (int precision = 6; precision <= 17; ++precision) {
        std::snprintf(buf, sizeof buf, "%.*g", precision, d);
        if (std::strtod(buf, nullptr) == d || std::isnan(d)) break;
    }
    text_ = buf;
}

const ZnString& ZnString::nullString() {
    static const ZnString empty;
    return empty;
}

ZnString& ZnString::operator=(const char* text) {
    text_ = text ? text : "";
    return *this;
}

ZnString& ZnString::operator+=(const char* text) {
    if (text) text_ += text;
    return *this;
}

ZnString& ZnString::operator+=(const ZnString& other) {
    text_ += other.text_;
    return *this;
}

int ZnString::caseCompare(const char* other) const {
    if (!other) return 0;
    size_t i = 0;
    for (; i < text_.size() && other[i]; ++i) {
        if (std::tolower(static_cast<unsigned char>(text_[i])) !=
            std::tolower(static_cast<unsigned char>(other[i])))
            return 0;
    }
    return (i == text_.size() && other[i] == '\0') ? 1 : 0;
}

int ZnString::findString(const ZnString& what) const {
    size_t pos = text_.find(what.text_);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

void ZnString::toLower() {
    for (char& c : text_) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

double ZnString::toDouble(bool* ok) const {
    const char* s = text_.c_str();
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(s, &end);
    // A subnormal result sets ERANGE too, yet it is the exact value written;
    // only an overflow or an underflow to zero has lost the number.
    const bool lost = errno == ERANGE && (v == 0.0 || std::isinf(v));
    if (end == s || !allBlank(end) || lost) {
        setOk(ok, false);
        return 0.0;
    }
    setOk(ok, true);
    return v;
}

float ZnString::toFloat(bool* ok) const {
    bool good = false;
    double v = toDouble(&good);
    // Anything below the midpoint between FLT_MAX and the next power of two
    // rounds to FLT_MAX: "3.40282347e+38", FLT_MAX in nine digits, is one.
    constexpr double kFloatOverflow = 0x1.ffffffp+127;
    if (good && std::isfinite(v) && std::fabs(v) >= kFloatOverflow) good = false;
    setOk(ok, good);
    return good ? static_cast<float>(v) : 0.0f;
}

int ZnString::toInt(bool* ok) const {
    const char* s = text_.c_str();
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(s, &end, 0);
    if (end == s || !allBlank(end) || errno == ERANGE || v < INT_MIN || v > INT_MAX) {
        setOk(ok, false);
        return 0;
    }
    setOk(ok, true);
    return static_cast<int>(v);
}

unsigned int ZnString::toUInt(bool* ok) const {
    const char* s = text_.c_str();
    while (std::isspace(static_cast<unsigned char>(*s))) ++s;
    char* end = nullptr;
    errno = 0;
    unsigned long v = std::strtoul(s, &end, 0);
    if (*s == '-' || end == s || !allBlank(end) || errno == ERANGE || v > UINT_MAX) {
        setOk(ok, false);
        return 0;
    }
    setOk(ok, true);
    return static_cast<unsigned int>(v);
}

bool ZnString::toBool(bool* ok) const {
    ZnString t(*this);
    t.chompFront();
    t.chompBack();
    if (t.caseCompare("true") == 1 || t.caseCompare("yes") == 1 || t.caseCompare("on") == 1) {
        setOk(ok, true);
        return true;
    }
    if (t.caseCompare("false") == 1 || t.caseCompare("no") == 1 || t.caseCompare("off") == 1) {
        setOk(ok, true);
        return false;
    }
    bool good = false;
    double v = t.toDouble(&good);
    setOk(ok, good);
    return good && v != 0.0;
}

void ZnString::chompFront() {
    size_t i = 0;
    while (i < text_.size() && std::isspace(static_cast<unsigned char>(text_[i]))) ++i;
    text_.erase(0, i);
}

void ZnString::chompBack() {
    size_t n = text_.size();
    while (n > 0 && std::isspace(static_cast<unsigned char>(text_[n - 1]))) --n;
    text_.erase(n);
}

bool ZnString::snipFront(char ch, bool keepIfMissing) {
    size_t pos = text_.find(ch);
    if (pos == std::string::npos) {
        if (!keepIfMissing) text_.clear();
        return false;
    }
    text_.erase(0, pos + 1);
    return true;
}

bool ZnString::snipBack(char ch, bool keepIfMissing) {
    size_t pos = text_.find(ch);
    if (pos == std::string::npos) {
        if (!keepIfMissing) text_.clear();
        return false;
    }
    text_.erase(pos);
    return true;
}

bool ZnString::snipFrontToLast(char ch) {
    size_t pos = text_.rfind(ch);
    if (pos == std::string::npos) return false;
    text_.erase(0, pos + 1);
    return true;
}

ZnString operator+(const ZnString& a, const ZnString& b) {
    ZnString r(a);
    r += b;
    return r;
}

ZnString operator+(const ZnString& a, const char* b) {
    ZnString r(a);
    r += b;
    return r;
}

ZnString operator+(const char* a, const ZnString& b) {
    ZnString r(a);
    r += b;
    return r;
}

std::ostream& operator<<(std::ostream& os, const ZnString& s) { return os << s.std(); }

void ZnReplaceAllSubstrings(ZnString& text, const ZnString& from, const ZnString& to) {
    if (from.empty()) return;
    const std::string& src = text.std();
    std::string out;
    out.reserve(src.size());
    size_t start = 0;
    for (size_t pos; (pos = src.find(from.std(), start)) != std::string::npos;
         start = pos + from.size()) {
        out.append(src, start, pos - start);
        out += to.std();
    }
    out.append(src, start, std::string::npos);
    text = ZnString(out);
}
