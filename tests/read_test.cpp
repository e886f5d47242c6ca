// read_test.cpp -- the reader: tokens, numbers, strings and escapes,
// comments and line numbers, errors and their chains, and input too long or
// too deep for a naive recursive reader.

#include "pxs_test_support.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

using pxstest::NoCellLeft;

namespace {

struct Reading : ::testing::Test {
    NoCellLeft guard;
    ZnlObjPtr frame{ZnlFrameTag};

    ZnlObjPtr read(const char* text) {
        ZnlStringInputStream in(text);
        return ZncRead(&in, frame);
    }
    ZnlObjPtr eof() { return ZncIntern("eof", frame); }
};

// Sets the escape character for one test.
struct EscapeChar {
    explicit EscapeChar(const char* c) { ZnPxsReadEscapeChar = c; }
    ~EscapeChar() { ZnPxsReadEscapeChar = nullptr; }
};

// A temporary file holding `text`, open for reading.
struct TempInput {
    FILE* file;
    explicit TempInput(const std::string& text) : file(std::tmpfile()) {
        std::fputs(text.c_str(), file);
        std::rewind(file);
    }
    ~TempInput() { std::fclose(file); }
};

TEST_F(Reading, ListsAndSymbols) {
    ZnlObjPtr l = read("(a b)");
    ASSERT_EQ(ZncLength(l), 2);
    EXPECT_STREQ(l->car()->pname(), "a");
    EXPECT_TRUE(l->car() == ZncIntern("a", frame));
    EXPECT_TRUE(read("()") == ZnlObjPtr::nil());
    EXPECT_TRUE(read("  ( \n )") == ZnlObjPtr::nil());
    ZnlObjPtr nested = read("(a (b (c)) d)");
    EXPECT_EQ(ZncLength(nested), 3);
    EXPECT_STREQ(ZncCar(ZncCar(ZncCdr(ZncCadr(nested))))->pname(), "c");
    EXPECT_FALSE(read("Foo") == read("foo"));
    // No dotted pairs: the dot is a symbol of its own.
    ZnlObjPtr dotted = read("(a . b)");
    EXPECT_EQ(ZncLength(dotted), 3);
    EXPECT_STREQ(ZncCadr(dotted)->pname(), ".");
}

TEST_F(Reading, QuoteMarksBecomeQuoteForms) {
    ZnlObjPtr q = read("'x");
    ASSERT_EQ(ZncLength(q), 2);
    EXPECT_TRUE(q->car() == ZncIntern("quote", frame));
    EXPECT_TRUE(ZncCadr(q) == ZncIntern("x", frame));
    EXPECT_TRUE(ZncCadr(read("'")) == eof());
    EXPECT_EQ(ZncLength(ZncCadr(read("''(1 2)"))), 2);
}

TEST_F(Reading, NumbersInEveryForm) {
    struct Case {
        const char* text;
        ZnlTagType kind;
        double value;
    } cases[] = {
        {"-5", ZnlFixnumTag, -5},      {"5.", ZnlFlonumTag, 5.0},
        {"1e3", ZnlFlonumTag, 1000.0}, {"010", ZnlFixnumTag, 8},
        {"0x1F", ZnlFixnumTag, 31},    {"0e5", ZnlFixnumTag, 0},
        {"4294967295", ZnlFixnumTag, -1}, {"12abc", ZnlFixnumTag, 12},
        {"1.2.3", ZnlFlonumTag, 1.2},  {"-0.25", ZnlFlonumTag, -0.25},
        {"2147483648", ZnlFixnumTag, -2147483648.0},
    };
    for (const Case& c : cases) {
        ZnlObjPtr n = read(c.text);
        ASSERT_EQ(n->tag(), c.kind) << c.text;
        double got = c.kind == ZnlFixnumTag ? n->fixnum() : n->flonum();
        EXPECT_DOUBLE_EQ(got, c.value) << c.text;
    }
    for (const char* symbol : {"+5", "-", "-x", ".5", "e5"}) {
        ZnlObjPtr s = read(symbol);
        ASSERT_EQ(s->tag(), ZnlSymbolTag) << symbol;
        EXPECT_STREQ(s->pname(), symbol);
    }
}

TEST_F(Reading, TokensEndOnlyAtBlanksAndParentheses) {
    EXPECT_STREQ(read("a;b")->pname(), "a;b");
    EXPECT_STREQ(read("abc\"def\"")->pname(), "abc\"def\"");
    EXPECT_STREQ(read("it's)")->pname(), "it's");
    ZnlObjPtr l = read("(a ; note\nb)");
    ASSERT_EQ(ZncLength(l), 2);
    EXPECT_STREQ(ZncCadr(l)->pname(), "b");
    std::string longName(20000, 'z');
    EXPECT_EQ(std::strlen(read(longName.c_str())->pname()), 20000u);
}

TEST_F(Reading, NilAndEofAreSymbolsUntilEvaluated) {
    ZnlObjPtr n = read("nil");
    EXPECT_EQ(n->tag(), ZnlSymbolTag);
    EXPECT_FALSE(n == ZnlObjPtr::nil());
    EXPECT_TRUE(read("eof") == read(""));
    EXPECT_TRUE(read(" ; only a comment") == eof());
    EXPECT_TRUE(read("*unbound*") == ZncIntern("*unbound*", frame));
}

TEST_F(Reading, StringsWithoutAnEscapeCharacter) {
    EXPECT_STREQ(read("\"a b\nc\"")->string(), "a b\nc");
    EXPECT_STREQ(read("\"\"")->string(), "");
    EXPECT_STREQ(read("\"a\\\"")->string(), "a\\");
    EXPECT_STREQ(read("\"; not a comment\"")->string(), "; not a comment");
}

TEST_F(Reading, StringsWithABackslashEscape) {
    EscapeChar backslash("\\");
    EXPECT_STREQ(read("\"say \\\"hi\\\"\"")->string(), "say \"hi\"");
    EXPECT_STREQ(read("\"a\\nb\"")->string(), "a\\nb");
    EXPECT_STREQ(read("\"a\\\\\"")->string(), "a\\\\");
    EXPECT_PXS_FAILURE(read("\"abc\\"), "EOF while reading string");
}

TEST_F(Reading, BytesAbove127AreCharacters) {
    ZnlObjPtr s = read("\"\xff\xfe\"");
    EXPECT_STREQ(s->string(), "\xff\xfe");
    EXPECT_STREQ(read("caf\xc3\xa9")->pname(), "caf\xc3\xa9");
}

TEST_F(Reading, ErrorsAreWrappedOncePerLevel) {
    pxstest::Failure f = pxstest::failureOf([&] { read(")"); });
    EXPECT_EQ(f.innermost, pxstest::pxsError("Unexpected \")\" at line 1"));
    EXPECT_EQ(f.depth, 2);
    EXPECT_EQ(f.outermost, "Propagating ZnException.");
    f = pxstest::failureOf([&] { read("(a (b"); });
    EXPECT_EQ(f.innermost, pxstest::pxsError("Missing \")\""));
    EXPECT_EQ(f.depth, 3);
    f = pxstest::failureOf([&] { read("(x \"abc"); });
    EXPECT_EQ(f.innermost, pxstest::pxsError("EOF while reading string"));
    EXPECT_EQ(f.depth, 3);
    f = pxstest::failureOf([&] { read("')"); });
    EXPECT_EQ(f.depth, 3);
}

TEST_F(Reading, WrapperCarriesTheReadersOrigin) {
    try {
        read(")");
        FAIL() << "no error";
    } catch (const ZnException& e) {
        EXPECT_EQ(e.where(), "ZnlObjPtr ZncRead(ZnlInputStream*, const ZnlObjPtr&) (read:251)");
    }
}

TEST_F(Reading, StringLinesCountOnlyCommentEnds) {
    pxstest::Failure f = pxstest::failureOf([&] { read("\n\n)"); });
    EXPECT_EQ(f.innermost, pxstest::pxsError("Unexpected \")\" at line 1"));
    f = pxstest::failureOf([&] { read("; one\n; two\n  )"); });
    EXPECT_EQ(f.innermost, pxstest::pxsError("Unexpected \")\" at line 3"));
}

TEST_F(Reading, FileLinesCountEveryNewlineOutsideStrings) {
    TempInput input("(a\n \"x\ny\"\n b) ; c\n\n )");
    ZnlFileInputStream in(input.file);
    ZnlObjPtr first = ZncRead(&in, frame);
    EXPECT_EQ(ZncLength(first), 3);
    EXPECT_STREQ(ZncCadr(first)->string(), "x\ny");
    pxstest::Failure f = pxstest::failureOf([&] { ZncRead(&in, frame); });
    // The newline inside the string is not counted.
    EXPECT_EQ(f.innermost, pxstest::pxsError("Unexpected \")\" at line 5"));
}

TEST_F(Reading, FileEndingInsideACommentGivesEof) {
    TempInput input("(a) ; trailing");
    ZnlFileInputStream in(input.file);
    EXPECT_EQ(ZncLength(ZncRead(&in, frame)), 1);
    EXPECT_TRUE(ZncRead(&in, frame) == eof());
    EXPECT_TRUE(ZncRead(&in, frame) == eof());
}

TEST_F(Reading, StreamsPeekAndStepBack) {
    ZnlStringInputStream s("ab");
    EXPECT_EQ(s.peekc(), 'a');
    EXPECT_EQ(s.fgetc(), 'a');
    EXPECT_EQ(s.fgetc(), 'b');
    EXPECT_EQ(s.fgetc(), -1);
    EXPECT_EQ(s.peekc(), -1);
    EXPECT_EQ(s.ungetc(-1), -1);
    EXPECT_EQ(s.ungetc('b'), 'b');
    EXPECT_EQ(s.fgetc(), 'b');
    TempInput input("xy");
    ZnlFileInputStream f(input.file);
    EXPECT_EQ(f.peekc(), 'x');
    EXPECT_EQ(f.fgetc(), 'x');
    EXPECT_EQ(f.flush_until('z'), -1);
    EXPECT_EQ(f.lineCount(), 1);
}

TEST_F(Reading, SeveralDataFromOneStream) {
    ZnlStringInputStream in("1 (2) \"three\" four");
    EXPECT_EQ(ZncRead(&in, frame)->fixnum(), 1);
    EXPECT_EQ(ZncRead(&in, frame)->tag(), ZnlConsTag);
    EXPECT_EQ(ZncRead(&in, frame)->tag(), ZnlStringTag);
    EXPECT_STREQ(ZncRead(&in, frame)->pname(), "four");
    EXPECT_TRUE(ZncRead(&in, frame) == eof());
}

TEST_F(Reading, MillionElementListReadsInALoop) {
    std::string text = "(";
    for (int i = 0; i < 1000000; ++i) text += "12 ";
    text += ")";
    ZnlObjPtr l = read(text.c_str());
    EXPECT_EQ(ZncLength(l), 1000000);
}

TEST_F(Reading, NestingBeyondTheLimitIsAnErrorNotACrash) {
    std::string ok(10000, '(');
    ok += std::string(10000, ')');
    EXPECT_EQ(read(ok.c_str())->tag(), ZnlConsTag);

    std::string deep(10001, '(');
    pxstest::Failure f = pxstest::failureOf([&] { read(deep.c_str()); });
    EXPECT_EQ(f.innermost, pxstest::pxsError("Datum nested deeper than 10000 levels at line 1"));
    EXPECT_EQ(f.depth, 10002);

    std::string quotes(200000, '\'');
    f = pxstest::failureOf([&] { read(quotes.c_str()); });
    EXPECT_EQ(f.innermost, pxstest::pxsError("Datum nested deeper than 10000 levels at line 1"));
}

TEST_F(Reading, AnErrorHalfwayThroughAListLeavesNothingBehind) {
    std::string text = "(";
    for (int i = 0; i < 1000; ++i) text += "(sym" + std::to_string(i) + " \"s\" 1.5) ";
    text += "(unterminated";
    EXPECT_TRUE(pxstest::failureOf([&] { read(text.c_str()); }).thrown);
    // NoCellLeft would catch a partial list left alive; the symbols stay
    // bound in the frame, which dies with the fixture.
}

}  // namespace
