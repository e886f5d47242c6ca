// loadProblems_test.cpp -- the load reporter: the file and the line of the
// failing form, the innermost message, one report for a failure inside a
// nested load, open failures with the system's reason, and the warning
// text kept for hosts that set no reporter. Also the evaluator's interrupt
// flag, which the interactive tool relies on to stop a runaway evaluation.

#include "pxs_test_files.h"
#include "pxs_test_support.h"

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

using namespace pxstest;

namespace {

// Collects every report while in scope, then puts the previous reporter
// back.
class Reports {
public:
    Reports()
        : previous_(ZnPxsSetLoadReporter(
              [this](const ZnPxsLoadProblem& problem) { seen.push_back(problem); })) {}
    ~Reports() { ZnPxsSetLoadReporter(previous_); }
    Reports(const Reports&) = delete;
    Reports& operator=(const Reports&) = delete;

    std::vector<ZnPxsLoadProblem> seen;

private:
    ZnPxsLoadReporter previous_;
};

class LoadProblems : public ::testing::Test {
protected:
    void SetUp() override { ZnlClearLoadPaths(); }
    void TearDown() override { ZnlClearLoadPaths(); }

    bool bound(const char* name) {
        ZnlObjPtr value = pxs.lookup(name);
        return value && !(value == ZnlObjPtr::unbound());
    }

    NoCellLeft guard;
    ZnPxsEnvironment pxs;
    TempDir dir;
};

// The line is where the failing form starts, past comments and blank lines
// before it, not where the error inside it was met; evaluation and reader
// errors alike. The warning text is replaced, not added to.
TEST_F(LoadProblems, FailingFormIsReportedAtItsFirstLineWithTheInnermostMessage) {
    std::string eval = dir.write("eval.pxs",
                                 "(setq a 1)\n; the next one fails\n(setq b\n"
                                 "   (car nil))\n(setq c 1)\n");
    std::string read = dir.write("read.pxs", "(setq d 1)\n\n\n  (list 1\n 2\n");
    Reports reports;
    WarnCapture warn;
    EXPECT_FALSE(pxs.loadLispFile(eval.c_str(), 1));
    EXPECT_FALSE(pxs.loadLispFile(read.c_str(), 1));
    ASSERT_EQ(reports.seen.size(), 2u);
    EXPECT_EQ(reports.seen[0].file, eval);
    EXPECT_EQ(reports.seen[0].line, 3);
    EXPECT_EQ(reports.seen[0].message, pxsError("car of non-cons"));
    EXPECT_EQ(reports.seen[1].file, read);
    EXPECT_EQ(reports.seen[1].line, 4);
    EXPECT_EQ(reports.seen[1].message, pxsError("Missing \")\""));
    EXPECT_EQ(warn.text(), "");
    EXPECT_TRUE(bound("a")) << "effects before the error stay";
    EXPECT_FALSE(bound("c"));
}

// The file as found along the load path is the one named, and a text has
// "expression" for a file.
TEST_F(LoadProblems, NamesAreThePathOpenedOrExpression) {
    std::string found = dir.write("lib/conf.pxs", "\n(car nil)");
    ZnlAddLoadPath(dir.file("lib").c_str());
    ScopedCwd cwd(dir.path());
    Reports reports;
    pxs.loadLispFile("conf.pxs", 1);
    pxs.loadLispExpr("(setq x 1) (cdr 5)", 0);
    ASSERT_EQ(reports.seen.size(), 2u);
    EXPECT_EQ(reports.seen[0].file, found);
    EXPECT_EQ(reports.seen[0].line, 2);
    EXPECT_EQ(reports.seen[1].file, "expression");
    EXPECT_EQ(reports.seen[1].message, pxsError("cdr of non-cons"));
}

// A failure inside a loaded file is reported once, at the inner file's
// line; the outer file goes on after its load form, which gave nil. A
// nested file that is not there is reported at the outer load form.
TEST_F(LoadProblems, NestedLoadReportsTheInnerFileOnce) {
    std::string inner = dir.write("inner.pxs", "(setq i 1)\n(car 7)\n");
    std::string outer = dir.write("outer.pxs", "(setq o 1)\n(setq r (load \"" + inner +
                                                   "\"))\n(setq after 1)\n(load \"" +
                                                   dir.file("gone.pxs") + "\")\n");
    Reports reports;
    pxs.loadLispFile(outer.c_str(), 1);
    ASSERT_EQ(reports.seen.size(), 2u);
    EXPECT_EQ(reports.seen[0].file, inner);
    EXPECT_EQ(reports.seen[0].line, 2);
    EXPECT_EQ(reports.seen[0].message, pxsError("car of non-cons"));
    EXPECT_EQ(reports.seen[1].file, outer);
    EXPECT_EQ(reports.seen[1].line, 4);
    EXPECT_EQ(reports.seen[1].message, "cannot open " + dir.file("gone.pxs") + ": no such file");
    EXPECT_TRUE(bound("after"));
    EXPECT_TRUE(pxs.lookup("r") == ZnlObjPtr::nil());
}

// A load that runs away in nesting ends in one report, at the deepest file.
TEST_F(LoadProblems, SelfLoadingFileIsReportedOnce) {
    std::string path = dir.file("self.pxs");
    dir.write("self.pxs", "\n(load \"" + path + "\")");
    Reports reports;
    pxs.loadLispFile(path.c_str(), 1);
    ASSERT_EQ(reports.seen.size(), 1u);
    EXPECT_EQ(reports.seen[0].file, path);
    EXPECT_EQ(reports.seen[0].line, 2);
    EXPECT_EQ(reports.seen[0].message, pxsError("load nested deeper than 100 files"));
}

// Top-level open failures carry the reason and no line; a load that was
// told not to warn reports nothing.
TEST_F(LoadProblems, OpenFailuresGiveTheReason) {
    dir.write("sub/x.pxs", "1");
    Reports reports;
    std::string missing = dir.file("missing.pxs");
    pxs.loadLispFile(missing.c_str(), 1);
    pxs.loadLispFile(dir.file("sub").c_str(), 1);
    pxs.loadLispFile(missing.c_str(), 0);
    ASSERT_EQ(reports.seen.size(), 2u);
    EXPECT_EQ(reports.seen[0].file, missing);
    EXPECT_EQ(reports.seen[0].line, 0);
    EXPECT_EQ(reports.seen[0].message, "cannot open: no such file");
    EXPECT_EQ(reports.seen[1].file, dir.file("sub"));
    EXPECT_EQ(reports.seen[1].message, "cannot open: is a directory");
}

// Hosts that set nothing see the old text; replacing a reporter hands the
// old one back, and clearing it brings the text back.
TEST_F(LoadProblems, WithoutReporterTheWarningTextStays) {
    std::string bad = dir.write("bad.pxs", "(car nil)");
    std::string directory = dir.file("d");
    dir.write("d/x", "");
    // The chain as the evaluator throws it for the same form.
    std::ostringstream chain;
    try {
        ZnlStringInputStream in("(car nil)");
        ZncEval(ZncRead(&in, pxs.env()), pxs.env());
    } catch (const ZnException& e) {
        chain << e;
    }
    ASSERT_NE(chain.str().find(pxsError("car of non-cons")), std::string::npos);
    {
        WarnCapture warn;
        pxs.loadLispFile(bad.c_str(), 1);
        pxs.loadLispFile(directory.c_str(), 1);
        Failure failure = failureOf([&] { pxs.loadLispExpr("(car nil)", 0); });
        EXPECT_FALSE(failure.thrown) << "a load reports instead of throwing";
        EXPECT_EQ(warn.text(), "Caught exception loading LISP file: " + chain.str() + "\n" +
                                   "Couldn't open " + directory + "\n" +
                                   "Caught exception loading LISP expression: " + chain.str() +
                                   "\n");
    }
    int calls = 0;
    ZnPxsLoadReporter counting = [&calls](const ZnPxsLoadProblem&) { ++calls; };
    EXPECT_FALSE(ZnPxsSetLoadReporter(counting));
    ZnPxsLoadReporter back = ZnPxsSetLoadReporter(nullptr);
    ASSERT_TRUE(back);
    back(ZnPxsLoadProblem());
    EXPECT_EQ(calls, 1) << "the reporter set is the one handed back";
    WarnCapture warn;
    pxs.loadLispFile(bad.c_str(), 1);
    EXPECT_EQ(calls, 1);
    EXPECT_NE(warn.text().find("Caught exception loading LISP file"), std::string::npos);
}

// A stream is read to its end under the name given, counting its lines.
TEST_F(LoadProblems, StreamLoadsUseTheGivenName) {
    FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::fputs("(setq s 4)\n\n(car nil)\n", file);
    std::rewind(file);
    Reports reports;
    EXPECT_FALSE(pxs.loadLispStream(file, "<stdin>"));
    std::fclose(file);
    EXPECT_TRUE(bound("s"));
    ASSERT_EQ(reports.seen.size(), 1u);
    EXPECT_EQ(reports.seen[0].file, "<stdin>");
    EXPECT_EQ(reports.seen[0].line, 3);
}

// A host function stands in for the signal handler: it sets the flag after
// a number of steps of a long tail-recursive loop. The evaluation ends with
// "Interrupted", the flag is consumed, the definitions stay, and the same
// loop then runs to its end.
volatile std::sig_atomic_t interruptFlag = 0;
int ticks = 0;

ZnlObjPtr tick(const ZnlObjPtr&, const ZnlObjPtr&) {
    if (++ticks == 1000) interruptFlag = 1;
    return ZnlObjPtr::nil();
}

TEST_F(LoadProblems, InterruptFlagStopsARunningEvaluation) {
    pxs.setFunction("tick", tick);
    pxs.loadLispExpr("(define (spin n) (tick) (if (= n 5000) n (spin (+ n 1))))", 0);
    ticks = 0;
    interruptFlag = 0;
    ZnlSetInterruptFlag(&interruptFlag);
    Reports reports;
    EXPECT_FALSE(pxs.loadLispExpr("(spin 0)", 0));
    ASSERT_EQ(reports.seen.size(), 1u);
    EXPECT_EQ(reports.seen[0].message, pxsError("Interrupted"));
    EXPECT_EQ(ticks, 1000);
    EXPECT_EQ(interruptFlag, 0);
    ZnlObjPtr finished = pxs.loadLispExpr("(spin 0)", 0);
    ZnlSetInterruptFlag(nullptr);
    ASSERT_TRUE(finished);
    EXPECT_EQ(finished->fixnum(), 5000);
    EXPECT_EQ(reports.seen.size(), 1u);
    interruptFlag = 1;
    ZnlObjPtr unwatched = pxs.loadLispExpr("(+ 1 2)", 0);
    interruptFlag = 0;
    ASSERT_TRUE(unwatched) << "a flag no longer registered is not looked at";
    EXPECT_EQ(unwatched->fixnum(), 3);
}

}  // namespace
