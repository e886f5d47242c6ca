// load_test.cpp -- loading files and expressions: the search order along
// the load directories, error recovery inside a file, the end-of-input
// symbol, directory lists, name=value arguments, and the host variables
// copied around each load.

#include "pxs_test_files.h"
#include "pxs_test_support.h"

#include <string>

using namespace pxstest;

namespace {

// Every load test starts and ends with an empty load-path list.
class Load : public ::testing::Test {
protected:
    void SetUp() override { ZnlClearLoadPaths(); }
    void TearDown() override { ZnlClearLoadPaths(); }

    // The global value of `name`, or an empty pointer when it has none.
    ZnlObjPtr global(const char* name) {
        ZnlObjPtr value = pxs.lookup(name);
        return value == ZnlObjPtr::unbound() ? ZnlObjPtr() : value;
    }
    int number(const char* name) {
        ZnlObjPtr value = global(name);
        return value && value->tag() == ZnlFixnumTag ? value->fixnum() : -999;
    }

    NoCellLeft guard;
    ZnPxsEnvironment pxs;
    TempDir dir;
};

// A relative name is tried in the working directory first, then under the
// load paths in insertion order; an absolute name only as given.
TEST_F(Load, SearchOrder) {
    dir.write("b/f.pxs", "(setq where 'b) 42");
    dir.write("c/f.pxs", "(setq where 'c)");
    dir.write("cwd/f.pxs", "(setq where 'cwd)");
    dir.write("b" + dir.file("missing.pxs"), "(setq found 1)");
    ZnlAddLoadPath(dir.file("a").c_str());
    ZnlAddLoadPath(nullptr);
    ZnlAddLoadPath(dir.file("b").c_str());
    ZnlAddLoadPath(dir.file("c").c_str());
    {
        InfoCapture info;
        ZnlObjPtr value = pxs.loadLispFile("f.pxs", 1);
        ASSERT_TRUE(value);
        EXPECT_EQ(value->fixnum(), 42) << "the value of the last expression";
        EXPECT_STREQ(global("where")->pname(), "b");
        EXPECT_EQ(info.text(), "Loading Config File: " + dir.file("b/f.pxs") + "\n");
    }
    {
        ScopedCwd cwd(dir.file("cwd"));
        pxs.loadLispFile("f.pxs", 1);
        EXPECT_STREQ(global("where")->pname(), "cwd");
    }
    std::string missing = dir.file("missing.pxs");
    {
        WarnCapture warn;
        EXPECT_FALSE(pxs.loadLispFile(missing.c_str(), 1));
        EXPECT_EQ(warn.text(), "Couldn't open " + missing + "\n");
    }
    WarnCapture quiet;
    EXPECT_FALSE(pxs.loadLispFile("no-such-file.pxs", 0));
    EXPECT_EQ(quiet.text(), "") << "no warning unless asked";
    EXPECT_FALSE(global("found"));
}

TEST_F(Load, ErrorStopsTheFileKeepingEarlierEffects) {
    std::string path = dir.write("bad.pxs", "(setq x 1)\n(car nil)\n(setq y 2)\n");
    std::string open = dir.write("open.pxs", "(setq a 1)\n(setq b (list 1 2)\n");
    {
        // Reader errors are reported like evaluation errors.
        WarnCapture warn;
        EXPECT_FALSE(pxs.loadLispFile(open.c_str(), 1));
        EXPECT_EQ(number("a"), 1);
        EXPECT_NE(warn.text().find("ZnException: PXS Error: Missing \")\""), std::string::npos);
    }
    WarnCapture warn;
    EXPECT_FALSE(pxs.loadLispFile(path.c_str(), 1));
    EXPECT_EQ(number("x"), 1);
    EXPECT_FALSE(global("y"));
    std::string text = warn.text();
    const std::string head = "Caught exception loading LISP file: Propagating ZnException.";
    EXPECT_EQ(text.compare(0, head.size(), head), 0) << text;
    EXPECT_NE(text.find("ZnException: PXS Error: car of non-cons ["), std::string::npos);
    EXPECT_EQ(text.find("Caught exception", 1), std::string::npos) << "reported once";
    EXPECT_EQ(text.substr(text.size() - 3), "]\n\n") << "the chain, then a newline";
}

TEST_F(Load, LoadPrimitiveTurnsFailuresAndArgumentErrorsIntoNil) {
    std::string bad = dir.write("bad.pxs", "(setq x 1) (car nil) (setq y 2)");
    std::string good = dir.write("good.pxs", "(setq z 3) (+ z 4)");
    WarnCapture warn;
    std::string script = "(setq r1 (load \"" + bad + "\")) (setq r2 (load \"" + good +
                         "\" 'ignored)) (setq r3 (load \"" + dir.file("none.pxs") + "\"))";
    pxs.loadLispExpr(script.c_str(), 0);
    EXPECT_TRUE(global("r1") == ZnlObjPtr::nil());
    EXPECT_EQ(number("r2"), 7);
    EXPECT_TRUE(global("r3") == ZnlObjPtr::nil());
    EXPECT_NE(warn.text().find("Couldn't open " + dir.file("none.pxs") + "\n"), std::string::npos);
    WarnCapture argumentErrors;
    pxs.loadLispExpr("(setq e1 'none) (load)", 0);
    EXPECT_NE(argumentErrors.text().find("Wrong number of args to load"), std::string::npos);
    pxs.loadLispExpr("(load (list \"a\"))", 0);
    EXPECT_NE(argumentErrors.text().find("car of non-cons"), std::string::npos);
    StderrCapture err;
    ScopedNotifyLevel level(0);
    pxs.loadLispExpr("(setq r (load 5))", 0);
    EXPECT_EQ(err.text(), "Lisp Error: Wrong type arg to ZnlLoad 5\n");
    EXPECT_TRUE(global("r") == ZnlObjPtr::nil());
}

TEST_F(Load, BareEofSymbolEndsTheFileAndEmptyInputsGiveNothing) {
    std::string path = dir.write("eof.pxs", "(setq a 1) a eof (setq b 2) b");
    ZnlObjPtr value = pxs.loadLispFile(path.c_str(), 1);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->fixnum(), 1);
    EXPECT_FALSE(global("b"));
    std::string empty = dir.write("empty.pxs", "; only a comment\n");
    EXPECT_FALSE(pxs.loadLispFile(empty.c_str(), 1));
    EXPECT_FALSE(pxs.loadLispExpr("", 0));
    EXPECT_FALSE(pxs.loadLispExpr(static_cast<char*>(nullptr), 0));
}

TEST_F(Load, DirectoryListsTryEachDirectoryInTurn) {
    dir.write("dirB/f.pxs", "(setq from \"B\")");
    dir.write("dirC/f.pxs", "");
    dir.write("dirD/f.pxs", "(setq from \"D\")");
    ScopedCwd cwd(dir.path());
    pxs.loadLispExpr("(setq r (load (list \"dirA\" \"dirB/\") \"f.pxs\"))", 0);
    EXPECT_STREQ(global("from")->string(), "B");
    // An empty file counts as not found: the search goes on to dirD.
    pxs.loadLispExpr("(setq r (load (list \"dirC\" \"dirD\") \"f.pxs\"))", 0);
    EXPECT_STREQ(global("from")->string(), "D");
    WarnCapture warn;
    pxs.loadLispExpr("(setq r (load (list \"dirA\" \"dirX\") \"f.pxs\"))", 0);
    EXPECT_TRUE(global("r") == ZnlObjPtr::nil());
    EXPECT_EQ(warn.text(), "Couldn't find f.pxs\n");
    // Relative directories are tried under the load paths too.
    dir.write("root/conf/f.pxs", "(setq hit 5)");
    ZnlAddLoadPath(dir.file("root").c_str());
    EXPECT_TRUE(pxs.loadLispFile(listOf({str("conf")}), "f.pxs", 1));
    EXPECT_EQ(number("hit"), 5);
}

TEST_F(Load, FileThatLoadsItselfStopsWithAnError) {
    std::string path = dir.file("self.pxs");
    dir.write("self.pxs", "(setq depth (+ depth 1)) (load \"" + path + "\")");
    pxs.setParameter("depth", ZnlObjPtr(0));
    WarnCapture warn;
    pxs.loadLispFile(path.c_str(), 1);
    EXPECT_EQ(number("depth"), 100);
    EXPECT_NE(warn.text().find("load nested deeper than 100 files"), std::string::npos);
}

TEST_F(Load, ArgumentsChooseExpressionAssignmentOrFile) {
    pxs.setParameter("x", ZnlObjPtr(1));
    char assignment[] = "x=5";
    pxs.loadLispFileOrExpr(assignment, 0);
    EXPECT_EQ(number("x"), 5);
    EXPECT_STREQ(assignment, "x=5") << "the caller's text is left alone";
    pxs.loadLispFileOrExpr("(setq x (* x 2))", 0);
    EXPECT_EQ(number("x"), 10);
    pxs.loadLispFileOrExpr("label=\"a = b\"", 0);
    EXPECT_FALSE(global("label")) << "set! only changes existing variables";
    pxs.setParameter("label", ZnlObjPtr(""));
    pxs.loadLispFileOrExpr("label=\"a = b\"", 0);
    EXPECT_STREQ(global("label")->string(), "a = b");
    std::string path = dir.write("settings.pxs", "(setq x 11)");
    pxs.loadLispFileOrExpr(path.c_str(), 1);
    EXPECT_EQ(number("x"), 11);
}

// Host variables are copied in before each load and back after it, except
// after an expression stopped by an error.
TEST_F(Load, HostVariablesAreCopiedAroundEachLoad) {
    int depth = 3;
    ZnString label("start");
    pxs.registerVar("depth", &depth);
    pxs.registerVar("label", &label);
    depth = 4;  // changed after registration: the script must see 4
    std::string path = dir.write("s.pxs", "(setq seen depth) (setq depth (* depth 10))");
    pxs.loadLispFile(path.c_str(), 1);
    EXPECT_EQ(number("seen"), 4);
    EXPECT_EQ(depth, 40);
    pxs.loadLispFileOrExpr("label=\"set\"", 0);
    EXPECT_EQ(label, "set");
    WarnCapture warn;
    pxs.loadLispExpr("(setq depth 2) (car nil)", 0);
    EXPECT_EQ(depth, 40) << "an expression stopped by an error copies nothing back";
    EXPECT_EQ(warn.text().compare(0, 43, "Caught exception loading LISP expression: P"), 0);
    path = dir.write("s.pxs", "(setq depth 3) (car nil)");
    pxs.loadLispFile(path.c_str(), 1);
    EXPECT_EQ(depth, 3) << "a file stopped by an error still copies back";
    // The directory-list form propagates its errors; the next load copies.
    EXPECT_PXS_ERROR(pxs.loadLispFile(listOf({num(5)}), "f.pxs", 1),
                     "Non-string in directory list to load");
    pxs.loadLispExpr("(setq depth 4)", 0);
    EXPECT_EQ(depth, 4);
}

}  // namespace
