// lstream.cpp -- the reader's character sources. Bytes come back as 0 to 255
// from both streams, so a byte 0xFF in a text is a character like any other
// and only the real end of input reads as -1.

#include <pxs/lstream.h>

#include <cctype>
#include <cstring>

#include <util/znNotify.h>

ZnlInputStream::~ZnlInputStream() = default;

// Whitespace is tested with isspace on the unsigned byte, which is defined
// for every value 0 to 255.
int ZnlInputStream::skipWhitespace(bool countNewlines) {
    for (;;) {
        int c = fgetc();
        if (c == -1) return -1;
        if (c == ';') {
            flush_until('\n');
            incLineCount();
        } else if (std::isspace(c)) {
            if (countNewlines && c == '\n') incLineCount();
        } else {
            return c;
        }
    }
}

int ZnlInputStream::skipUntil(char c, bool countNewlines) {
    const int wanted = static_cast<unsigned char>(c);
    for (;;) {
        int next = fgetc();
        if (next == -1) return -1;
        if (next == wanted) {
            if (ZnLispDebugOn) ZnInfo.printf("flushed until [%c]\n", c);
            return next;
        }
        if (ZnLispDebugOn) ZnInfo.printf("[%c]\n", next);
        if (countNewlines && next == '\n') incLineCount();
    }
}

// getc_unlocked: the interpreter is single-threaded and owns the stream for
// the read, so the per-character lock of fgetc buys nothing.
int ZnlFileInputStream::fgetc() {
    int c = getc_unlocked(file_);
    return c == EOF ? -1 : c;
}

int ZnlFileInputStream::ungetc(int c) {
    if (c != -1) std::ungetc(c, file_);
    return c;
}

int ZnlFileInputStream::peekc() { return ungetc(fgetc()); }

int ZnlFileInputStream::fgetc_past_whitespace() { return skipWhitespace(true); }

int ZnlFileInputStream::flush_until(char c) { return skipUntil(c, false); }

ZnlStringInputStream::ZnlStringInputStream(const char* text)
    : text_(text ? text : ""), length_(static_cast<long>(std::strlen(text_))) {}

ZnlStringInputStream::ZnlStringInputStream(const char* text, long length)
    : text_(text ? text : ""), length_(text && length > 0 ? length : 0) {}

// The position moves on every call, also past the end, so that ungetc can
// always step back by one.
int ZnlStringInputStream::fgetc() {
    long at = position_++;
    return at < length_ ? static_cast<unsigned char>(text_[at]) : -1;
}

int ZnlStringInputStream::ungetc(int c) {
    if (position_ > 0) --position_;
    return c;
}

int ZnlStringInputStream::peekc() {
    return position_ < length_ ? static_cast<unsigned char>(text_[position_]) : -1;
}

int ZnlStringInputStream::fgetc_past_whitespace() { return skipWhitespace(false); }

int ZnlStringInputStream::flush_until(char c) { return skipUntil(c, true); }
