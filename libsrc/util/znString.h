// znString.h -- the text value used across the library's public interfaces.
// A thin value type over std::string with the conversions, comparisons and
// word-splitting the rest of the library calls.

#ifndef UTIL_ZNSTRING_H
#define UTIL_ZNSTRING_H

#include <iosfwd>
#include <string>

class ZnString {
public:
    ZnString() = default;
    ZnString(const char* text) : text_(text ? text : "") {}
    ZnString(const std::string& text) : text_(text) {}
    explicit ZnString(char c) : text_(1, c) {}
    explicit ZnString(int n);
    explicit ZnString(unsigned int n);
    explicit ZnString(unsigned long n);
    // Shortest decimal text that reads back as the same double.
    explicit ZnString(double d);

    // A shared empty string, for interfaces that return a reference.
    static const ZnString& nullString();

    const char* c_str() const { return text_.c_str(); }
    std::string string() const { return text_; }
    size_t size() const { return text_.size(); }
    bool empty() const { return text_.empty(); }
    bool isEmpty() const { return text_.empty(); }

    ZnString& operator=(const char* text);
    ZnString& operator+=(const char* text);
    ZnString& operator+=(const ZnString& other);
    ZnString& append(const char* text) { return *this += text; }
    ZnString& append(const ZnString& other) { return *this += other; }

    bool operator==(const ZnString& o) const { return text_ == o.text_; }
    bool operator!=(const ZnString& o) const { return text_ != o.text_; }
    bool operator==(const char* o) const { return text_ == (o ? o : ""); }
    bool operator!=(const char* o) const { return !(*this == o); }
    bool operator<(const ZnString& o) const { return text_ < o.text_; }

    // 1 when equal ignoring ASCII letter case, 0 otherwise.
    int caseCompare(const char* other) const;
    // Position of the first occurrence of `what`, -1 when absent.
    int findString(const ZnString& what) const;

    void toLower();
    // Each conversion takes the whole text (surrounding blanks allowed) and
    // sets *ok to false, returning 0, when it is not a number of that kind.
    double toDouble(bool* ok = nullptr) const;
    float toFloat(bool* ok = nullptr) const;
    int toInt(bool* ok = nullptr) const;
    unsigned int toUInt(bool* ok = nullptr) const;
    // "true"/"false" (any case), "yes"/"no", "on"/"off" or a number (non-zero is true).
    bool toBool(bool* ok = nullptr) const;

    void chompFront();
    void chompBack();
    // Removes everything up to and including the first `ch`; false (and no
    // change) when there is none. With `keepIfMissing` false and no `ch`, the
    // text is cleared.
    bool snipFront(char ch, bool keepIfMissing = false);
    // Cuts the text from the first `ch` to its end; false when there is none.
    // With `keepIfMissing` false and no `ch`, the text is cleared.
    bool snipBack(char ch, bool keepIfMissing = true);
    // Removes everything up to and including the last `ch`; false when none.
    bool snipFrontToLast(char ch);

    const std::string& std() const { return text_; }

private:
    std::string text_;
};

ZnString operator+(const ZnString& a, const ZnString& b);
ZnString operator+(const ZnString& a, const char* b);
ZnString operator+(const char* a, const ZnString& b);
std::ostream& operator<<(std::ostream& os, const ZnString& s);

// Replaces every occurrence of `from` in `text` by `to`, scanning left to
// right without rescanning replaced text. An empty `from` changes nothing.
void ZnReplaceAllSubstrings(ZnString& text, const ZnString& from, const ZnString& to);

#endif
