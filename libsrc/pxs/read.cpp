// read.cpp -- the reader. Each datum is read by ZncRead, which wraps any
// error passing through it, so an error inside nested lists arrives wrapped
// once per level. The elements of one list are read in a loop and hung on a
// tail pointer: only nesting, never length, deepens the host stack, and the
// nesting is bounded.

#include <pxs/read.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

#include <pxs/atom.h>
#include <pxs/interpreterInternal.h>
#include <pxs/io.h>
#include <pxs/list.h>
#include <util/znException.h>

const char* ZnPxsReadEscapeChar = nullptr;

namespace {

// Fixed: editing this file must not change what callers see.
constexpr pxsdetail::ExceptionOrigin kReadOrigin = {
    "ZnlObjPtr ZncRead(ZnlInputStream*, const ZnlObjPtr&)", "read", 251};

constexpr int kMaxDepth = 10000;

thread_local int readDepth = 0;
thread_local bool readingNumbersAsText = false;

// Functions off the recursion path that ZncRead, readDatum, lreadparen and
// lreadquoted form are PXS_COLD, so that their buffers and temporaries do
// not enlarge every level of a deeply nested read.

[[noreturn]] PXS_COLD void raiseAtLine(const char* format, int line) {
    char message[96];
    std::snprintf(message, sizeof message, format, line);
    ZncHaltAndCatchFire(message);
}

bool isDelimiter(int c) { return c == -1 || c == '(' || c == ')' || std::isspace(c); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Integers wrap to their low 32 bits, as strtoul's value reduced to a fixnum.
PXS_COLD ZnlObjPtr lreadnum(const std::string& token) {
    const char* text = token.c_str();
    bool isFloat = std::strchr(text, '.') != nullptr ||
                   (text[0] != '0' && std::strpbrk(text, "eE") != nullptr);
    if (isFloat) return ZnlObjPtr(std::strtod(text, nullptr));
    unsigned long value = std::strtoul(text, nullptr, 0);
    return ZnlObjPtr(static_cast<int>(static_cast<std::uint32_t>(value)));
}

// Tokens have no length limit: the buffer grows, and is kept per thread so
// that ordinary tokens cost no allocation.
PXS_COLD ZnlObjPtr lreadtk(ZnlInputStream* in, const ZnlObjPtr& frame) {
    int c = in->fgetc_past_whitespace();
    if (c == -1) return ZncIntern("eof", frame);
    in->ungetc(c);
    thread_local std::string token;
    token.clear();
    while (!isDelimiter(c = in->fgetc())) token += static_cast<char>(c);
    in->ungetc(c);
    if (isDigit(token[0]) || (token[0] == '-' && isDigit(token[1]))) {
        if (readingNumbersAsText) return ZnlObjPtr(token.c_str());
        return lreadnum(token);
    }
    return ZncIntern(token.c_str(), frame);
}

// After the opening double quote; only the escape character, when set, is
// special, and only before a double quote.
PXS_COLD ZnlObjPtr lreadstring(ZnlInputStream* in) {
    const int escape =
        ZnPxsReadEscapeChar ? static_cast<unsigned char>(*ZnPxsReadEscapeChar) : -2;
    std::string text;
    for (;;) {
        int c = in->fgetc();
        if (c == -1) ZncHaltAndCatchFire("EOF while reading string");
        if (c == '"') return ZnlObjPtr(text.c_str());
        if (c == escape) {
            int next = in->fgetc();
            if (next == -1) ZncHaltAndCatchFire("EOF while reading string");
            if (next != '"') text += static_cast<char>(c);
            text += static_cast<char>(next);
            continue;
        }
        text += static_cast<char>(c);
    }
}

ZnlObjPtr lreadquoted(ZnlInputStream* in, const ZnlObjPtr& frame) {
    ZnlObjPtr datum = ZncRead(in, frame);
    return ZncCons(ZncIntern("quote", frame), ZncCons(datum, ZnlObjPtr::nil()));
}

// After "(": the elements up to ")", each read by ZncRead. If an element
// fails, the list built so far dies with `head`.
ZnlObjPtr lreadparen(ZnlInputStream* in, const ZnlObjPtr& frame) {
    ZnlObjPtr head = ZnlObjPtr::nil();
    ZnlObj* tail = nullptr;
    for (;;) {
        int c = in->fgetc_past_whitespace();
        if (c == ')') return head;
        if (c == -1) ZncHaltAndCatchFire("Missing \")\"");
        in->ungetc(c);
        ZnlObjPtr cell = ZncCons(ZncRead(in, frame), ZnlObjPtr::nil());
        if (tail)
            tail->setCdr(cell);
        else
            head = cell;
        tail = cell.get();
    }
}

ZnlObjPtr readDatum(ZnlInputStream* in, const ZnlObjPtr& frame) {
    if (readDepth > kMaxDepth)
        raiseAtLine("Datum nested deeper than 10000 levels at line %d", in->lineCount());
    int c = in->fgetc_past_whitespace();
    switch (c) {
        case -1: return ZncIntern("eof", frame);
        case '(': return lreadparen(in, frame);
        case ')': raiseAtLine("Unexpected \")\" at line %d", in->lineCount());
        case '\'': return lreadquoted(in, frame);
        case '"': return lreadstring(in);
        default: in->ungetc(c); return lreadtk(in, frame);
    }
}

}  // namespace

pxsdetail::NumbersAsText::NumbersAsText(bool on) : outer_(readingNumbersAsText) {
    readingNumbersAsText = on || outer_;
}

pxsdetail::NumbersAsText::~NumbersAsText() { readingNumbersAsText = outer_; }

ZnlObjPtr ZncRead(ZnlInputStream* in, const ZnlObjPtr& frame) {
    pxsdetail::DepthGuard depth(readDepth);
    try {
        return readDatum(in, frame);
    } catch (...) {
        pxsdetail::rethrowWrapped(kReadOrigin);
    }
}
