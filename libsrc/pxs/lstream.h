// lstream.h -- character sources for the reader: an open C file or a
// NUL-terminated text in memory. Both count lines and skip comments the way
// the reader needs; -1 means end of input.
//
//   ZnlStringInputStream in("(a b) ; note\n c");
//   ZncRead(&in, frame);   // (a b)

#ifndef PXS_LSTREAM_H
#define PXS_LSTREAM_H

#include <cstdio>

class ZnlInputStream {
public:
    ZnlInputStream() = default;
    ZnlInputStream(const ZnlInputStream&) = delete;
    ZnlInputStream& operator=(const ZnlInputStream&) = delete;
    virtual ~ZnlInputStream();
    // The next character without consuming it, or -1 at the end.
    virtual int peekc() = 0;
    // Steps back over `c`, the last character read; returns `c`.
    virtual int ungetc(int c) = 0;
    // The next character, or -1 at the end.
    virtual int fgetc() = 0;
    // The next character that is neither whitespace nor part of a comment
    // (";" to the end of the line), or -1 at the end.
    virtual int fgetc_past_whitespace() = 0;
    // Skips up to and including the next `c`; returns `c`, or -1 at the end.
    virtual int flush_until(char c) = 0;
    // The current line number, from 1.
    virtual int lineCount() { return line_; }
    virtual void incLineCount() { ++line_; }

protected:
    // Shared by both streams; `countNewlines` says whether whitespace
    // newlines advance the line number.
    int skipWhitespace(bool countNewlines);
    int skipUntil(char c, bool countNewlines);

private:
    int line_ = 1;
};

// Reads an open file, which it never closes. Every newline outside strings
// and tokens counts as a line.
class ZnlFileInputStream : public ZnlInputStream {
public:
    explicit ZnlFileInputStream(FILE* file) : file_(file) {}
    int peekc() override;
    int ungetc(int c) override;
    int fgetc() override;
    int fgetc_past_whitespace() override;
    int flush_until(char c) override;

private:
    FILE* file_;
};

// Reads a text that the caller keeps alive for the stream's lifetime. Only
// newlines that end comments count as lines.
class ZnlStringInputStream : public ZnlInputStream {
public:
    explicit ZnlStringInputStream(const char* text);
    // The first `length` bytes of `text`, which need no terminating NUL and
    // may contain NUL bytes (read as characters).
    ZnlStringInputStream(const char* text, long length);
    int peekc() override;
    int ungetc(int c) override;
    int fgetc() override;
    int fgetc_past_whitespace() override;
    int flush_until(char c) override;

private:
    const char* text_;
    long length_;
    long position_ = 0;
};

#endif
