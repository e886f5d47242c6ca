// read_test.cpp -- the reader: tokens, numbers, strings and escapes,
// comments and line numbers, errors and their chains, and input too long or
// too deep for a naive recursive reader.

#include "pxs_test_support.h"

#include <cstdio>
#include <cstring>
#include <string>

using namespace pxstest;

namespace {

struct Reading : ::testing::Test {
    NoCellLeft guard;
    ZnlObjPtr frame{ZnlFrameTag};

    ZnlObjPtr read(const char* text) {
        ZnlStringInputStream in(text);
        return ZncRead(&in, frame);
    }
    ZnlObjPtr eof() { return ZncIntern("eof", frame); }
    // The error reading `text` raises.
    Failure failure(const std::string& text) {
        return failureOf([&] { read(text.c_str()); });
    }
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

// Each text read as one datum: its printed form, and its kind. Tokens end
// only at blanks and parentheses; there are no dotted pairs.
TEST_F(Reading, DataOfEveryKind) {
    const struct {
        const char* text;
        const char* form;
        ZnlTagType kind;
    } cases[] = {
        {"(a b)", "(a b)", ZnlConsTag},        {"  ( \n )", "nil", ZnlNilTag},
        {"(a (b (c)) d)", "(a (b (c)) d)", ZnlConsTag},
        {"(a . b)", "(a . b)", ZnlConsTag},    {"'x", "(quote x)", ZnlConsTag},
        {"''(1 2)", "(quote (quote (1 2)))", ZnlConsTag},
        {"-5", "-5", ZnlFixnumTag},            {"5.", "5.000000", ZnlFlonumTag},
        {"1e3", "1000.000000", ZnlFlonumTag},  {"010", "8", ZnlFixnumTag},
        {"0x1F", "31", ZnlFixnumTag},          {"0e5", "0", ZnlFixnumTag},
        {"4294967295", "-1", ZnlFixnumTag},    {"12abc", "12", ZnlFixnumTag},
        {"1.2.3", "1.200000", ZnlFlonumTag},   {"-0.25", "-0.250000", ZnlFlonumTag},
        {"2147483648", "-2147483648", ZnlFixnumTag},
        {"+5", "+5", ZnlSymbolTag},            {"-", "-", ZnlSymbolTag},
        {"-x", "-x", ZnlSymbolTag},            {".5", ".5", ZnlSymbolTag},
        {"e5", "e5", ZnlSymbolTag},            {"a;b", "a;b", ZnlSymbolTag},
        {"abc\"def\"", "abc\"def\"", ZnlSymbolTag}, {"it's)", "it's", ZnlSymbolTag},
        {"(a ; note\nb)", "(a b)", ZnlConsTag}, {"nil", "nil", ZnlSymbolTag},
        {"caf\xc3\xa9", "caf\xc3\xa9", ZnlSymbolTag},
        // Without an escape character a backslash is plain text.
        {"\"a b\nc\"", "\"a b\nc\"", ZnlStringTag}, {"\"\"", "\"\"", ZnlStringTag},
        {"\"a\\\"", "\"a\\\"", ZnlStringTag},
        {"\"; not a comment\"", "\"; not a comment\"", ZnlStringTag},
        {"\"\xff\xfe\"", "\"\xff\xfe\"", ZnlStringTag},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ZnlObjPtr datum = read(c.text);
        EXPECT_EQ(printed(datum), c.form);
        EXPECT_EQ(datum->tag(), c.kind);
    }
    EXPECT_TRUE(read("(a b)")->car() == ZncIntern("a", frame));
    EXPECT_EQ(ZncLength(read("(a . b)")), 3) << "the dot is a symbol of its own";
    EXPECT_FALSE(read("Foo") == read("foo"));
    EXPECT_FALSE(read("nil") == nil()) << "a symbol until evaluated";
    EXPECT_TRUE(read("'")->cdr()->car() == eof());
    EXPECT_TRUE(read("eof") == read(""));
    EXPECT_TRUE(read(" ; only a comment") == eof());
    EXPECT_TRUE(read("*unbound*") == ZncIntern("*unbound*", frame));
    std::string longName(20000, 'z');
    EXPECT_EQ(std::strlen(read(longName.c_str())->pname()), 20000u);
}

TEST_F(Reading, StringsWithABackslashEscape) {
    struct Escape {
        Escape() { ZnPxsReadEscapeChar = "\\"; }
        ~Escape() { ZnPxsReadEscapeChar = nullptr; }
    } backslash;
    EXPECT_STREQ(read("\"say \\\"hi\\\"\"")->string(), "say \"hi\"");
    EXPECT_STREQ(read("\"a\\nb\"")->string(), "a\\nb");
    EXPECT_STREQ(read("\"a\\\\\"")->string(), "a\\\\");
    EXPECT_PXS_FAILURE(read("\"abc\\"), "EOF while reading string");
}

// Each level of a datum wraps the error once; the wrapper carries the
// reader's origin. In a string, lines are counted only at comment ends.
TEST_F(Reading, ErrorsAreWrappedOncePerLevelAndGiveTheLine) {
    const struct {
        const char* text;
        const char* message;
        int depth;
    } cases[] = {
        {")", "Unexpected \")\" at line 1", 2},
        {"(a (b", "Missing \")\"", 3},
        {"(x \"abc", "EOF while reading string", 3},
        {"')", "Unexpected \")\" at line 1", 3},
        {"\n\n)", "Unexpected \")\" at line 1", 2},
        {"; one\n; two\n  )", "Unexpected \")\" at line 3", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Failure f = failure(c.text);
        EXPECT_EQ(f.innermost, pxsError(c.message));
        EXPECT_EQ(f.depth, c.depth);
        EXPECT_EQ(f.outermost, "Propagating ZnException.");
    }
    try {
        read(")");
        FAIL() << "no error";
    } catch (const ZnException& e) {
        EXPECT_EQ(e.where(), "ZnlObjPtr ZncRead(ZnlInputStream*, const ZnlObjPtr&) (read:251)");
    }
}

TEST_F(Reading, FilesCountEveryNewlineOutsideStringsAndMayEndInAComment) {
    TempInput input("(a\n \"x\ny\"\n b) ; c\n\n )");
    ZnlFileInputStream in(input.file);
    EXPECT_EQ(printed(ZncRead(&in, frame)), "(a \"x\ny\" b)");
    // The newline inside the string is not counted.
    EXPECT_PXS_FAILURE(ZncRead(&in, frame), "Unexpected \")\" at line 5");
    TempInput trailing("(a) ; trailing");
    ZnlFileInputStream t(trailing.file);
    EXPECT_EQ(ZncLength(ZncRead(&t, frame)), 1);
    EXPECT_TRUE(ZncRead(&t, frame) == eof());
    EXPECT_TRUE(ZncRead(&t, frame) == eof());
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
    ZnlStringInputStream in("1 (2) \"three\" four");
    for (const char* form : {"1", "(2)", "\"three\"", "four"})
        EXPECT_EQ(printed(ZncRead(&in, frame)), form);
    EXPECT_TRUE(ZncRead(&in, frame) == eof());
}

TEST_F(Reading, LongAndDeepInput) {
    std::string text = "(";
    for (int i = 0; i < 1000000; ++i) text += "12 ";
    EXPECT_EQ(ZncLength(read((text + ")").c_str())), 1000000);

    std::string ok(10000, '(');
    EXPECT_EQ(read((ok + std::string(10000, ')')).c_str())->tag(), ZnlConsTag);
    const std::string tooDeep = "Datum nested deeper than 10000 levels at line 1";
    Failure f = failure(std::string(10001, '('));
    EXPECT_EQ(f.innermost, pxsError(tooDeep));
    EXPECT_EQ(f.depth, 10002);
    EXPECT_EQ(failure(std::string(200000, '\'')).innermost, pxsError(tooDeep));

    // An error halfway through a list leaves nothing behind (NoCellLeft);
    // the symbols stay bound in the frame, which dies with the fixture.
    text = "(";
    for (int i = 0; i < 1000; ++i) text += "(sym" + std::to_string(i) + " \"s\" 1.5) ";
    EXPECT_TRUE(failure(text + "(unterminated").thrown);
}

}  // namespace
