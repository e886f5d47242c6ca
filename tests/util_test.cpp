// util_test.cpp -- the utility layer: conversions that must refuse bad text,
// exception chains, level-gated streams, path search and the intrusive list.

#include "pxs_test_files.h"

#include <pxs/pxs.h>
#include <util/znOpenFile.h>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cfloat>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

// Converts `text` with `convert`: expects it accepted with `value`, or refused.
template <typename T>
void expectConversion(const char* text, T (ZnString::*convert)(bool*) const, bool accepted,
                      double value = 0) {
    bool ok = !accepted;
    double got = static_cast<double>((ZnString(text).*convert)(&ok));
    EXPECT_EQ(ok, accepted) << text;
    if (accepted) {
        EXPECT_DOUBLE_EQ(got, value) << text;
    }
}

TEST(ZnStringConversion, AcceptsWholeNumbersOnlyAndDoublesReadBack) {
    expectConversion(" 2.5e1 ", &ZnString::toDouble, true, 25.0);
    expectConversion("2.5x", &ZnString::toDouble, false);
    expectConversion("", &ZnString::toInt, false);
    expectConversion("-17", &ZnString::toInt, true, -17);
    expectConversion("99999999999", &ZnString::toInt, false);
    expectConversion("-1", &ZnString::toUInt, false);
    expectConversion("4294967295", &ZnString::toUInt, true, 4294967295.0);
    expectConversion("1e39", &ZnString::toFloat, false);
    // FLT_MAX as float formatting writes it lies above FLT_MAX yet rounds to it;
    // from the midpoint on, a float overflows.
    expectConversion("3.40282347e+38", &ZnString::toFloat, true, FLT_MAX);
    expectConversion("-3.40282347e+38", &ZnString::toFloat, true, -FLT_MAX);
    expectConversion("3.4028235677973366e+38", &ZnString::toFloat, false);
    expectConversion("TRUE", &ZnString::toBool, true, 1);
    expectConversion("0", &ZnString::toBool, true, 0);
    expectConversion("maybe", &ZnString::toBool, false);
    for (double d : {0.1, 1.0 / 3.0, 1e300, -2.5, 100.0}) {
        bool ok = false;
        EXPECT_EQ(ZnString(d).toDouble(&ok), d);
        EXPECT_TRUE(ok);
    }
    EXPECT_EQ(ZnString(100.0), "100");
}

TEST(ZnStringEditing, SplitsTrimsComparesAndReplaces) {
    ZnString rest("alpha beta  gamma");
    std::vector<std::string> words;
    while (!rest.empty()) {
        ZnString word(rest);
        word.snipBack(' ', true);
        rest.snipFront(' ', false);
        if (!word.empty()) words.push_back(word.string());
    }
    EXPECT_EQ(words, (std::vector<std::string>{"alpha", "beta", "gamma"}));

    ZnString path("a.b.c");
    EXPECT_TRUE(path.snipFrontToLast('.'));
    EXPECT_EQ(path, "c");
    EXPECT_FALSE(path.snipFrontToLast('.'));
    EXPECT_EQ(path, "c");
    ZnString s("  Mixed Case \t\n");
    s.chompFront();
    s.chompBack();
    EXPECT_EQ(s, "Mixed Case");
    EXPECT_EQ(s.caseCompare("mixed case"), 1);
    EXPECT_NE(s.caseCompare("mixed"), 1);
    EXPECT_EQ(s.findString("Case"), 6);
    EXPECT_LT(s.findString("nope"), 0);
    ZnString t("aaa");
    ZnReplaceAllSubstrings(t, "a", "aa");
    EXPECT_EQ(t, "aaaaaa");
    ZnReplaceAllSubstrings(t, "", "x");
    EXPECT_EQ(t, "aaaaaa");
    EXPECT_TRUE(ZnString("a") < ZnString("b"));
    EXPECT_EQ(ZnString("ab") + "cd", "abcd");
}

TEST(ZnExceptionChain, KeepsOriginAndInnermostCause) {
    ZnException inner("ZnException: PXS Error: boom", "f()", "io", 22);
    ZnException middle("Propagating ZnException.", "g()", "eval", 352, &inner);
    ZnInvalidInput outer("ZnInvalidInput: bad", "h()", "app", 7, &middle);
    EXPECT_STREQ(outer.what(), "ZnInvalidInput: bad");
    EXPECT_EQ(outer.number(), ZnInvalidInputNumber);
    ASSERT_NE(outer.lastException(), nullptr);
    EXPECT_EQ(outer.lastException()->message(), "Propagating ZnException.");
    EXPECT_EQ(outer.initialException().message(), "ZnException: PXS Error: boom");
    EXPECT_EQ(inner.lastException(), nullptr);
    EXPECT_EQ(&inner.initialException(), &inner);
    EXPECT_EQ(outer.initialException().where(), "f() (io:22)");
}

TEST(ZnExceptionChain, CopiesAreDeepTypesSurviveRethrowAndLongChainsDoNotRecurse) {
    ZnCorruptedState cause("ZnCorruptedState: x", "f", "file", 1);
    ZnException wrapped("outer", "g", "file", 2, &cause);
    ZnException copy(wrapped);
    EXPECT_EQ(copy.lastException()->number(), ZnCorruptedStateNumber);
    EXPECT_NE(copy.lastException(), wrapped.lastException());
    EXPECT_THROW(copy.lastException()->rethrow(), ZnCorruptedState);
    ZnException e("root");
    for (int i = 0; i < 2000; ++i) e = ZnException("Propagating ZnException.", "", "", 0, &e);
    EXPECT_EQ(e.initialException().message(), "root");
}

TEST(ZnExceptionChain, WrappingByMoveTakesOverTheChainAndItsTypes) {
    ZnException wrapped("Propagating ZnException.", "g", "eval", 352,
                        ZnUnknownException("Caught Unknown Exception.", "f", "eval", 352));
    // Deep enough that copying the chain at every level would take minutes.
    for (int i = 1; i < 100000; ++i)
        wrapped = ZnException("Propagating ZnException.", "g", "eval", 352, std::move(wrapped));
    int depth = 0;
    for (const ZnException* p = &wrapped; p; p = p->lastException()) ++depth;
    EXPECT_EQ(depth, 100001);
    EXPECT_EQ(wrapped.initialException().number(), ZnUnknownExceptionNumber);
    EXPECT_EQ(wrapped.initialException().message(), "Caught Unknown Exception.");
    EXPECT_EQ(wrapped.lastException()->where(), "g (eval:352)");
}

TEST(ZnNotifyStreams, WriteOnlyAtTheirLevelAndAreRedirectedWithRdbuf) {
    pxstest::ScopedNotifyLevel level(1);
    std::stringbuf target;
    ZnNotifyStream info(2, &target);
    info << "hidden";
    info.printf("%d", 1);
    ZnNotifyLevel = 2;
    info << "shown ";
    info.printf("%s-%d", "x", 7);
    EXPECT_EQ(target.str(), "shown x-7");
    EXPECT_EQ(ZnWarn.level(), 1);
    EXPECT_EQ(ZnInfo.level(), 2);
    EXPECT_EQ(ZnVerbose.level(), 3);
    EXPECT_EQ(ZnDebug.level(), 4);
    std::ostringstream sink;
    std::streambuf* saved = ZnWarn.rdbuf(sink.rdbuf());
    ZnWarn << "warned " << 3;
    ZnWarn.printf(" %s", "more");
    ZnWarn.rdbuf(saved);
    EXPECT_EQ(sink.str(), "warned 3 more");
}

TEST(ZnFilenameTest, SearchesAlternateDirectories) {
    pxstest::TempDir tmp;
    const std::string& dir_ = tmp.path();
    tmp.write("model.fed", "x");
    ZnFilename f("model.fed");
    EXPECT_FALSE(f.exists());
    EXPECT_FALSE(f.searchAlternatePath(nullptr));
    EXPECT_EQ(f, "model.fed");
    std::string dirs = "/nonexistent::" + dir_;
    EXPECT_TRUE(f.searchAlternatePath(dirs.c_str()));
    EXPECT_EQ(f, dir_ + "/model.fed");
    EXPECT_FALSE(f.relative());
    EXPECT_EQ(f.stripPath(), "model.fed");
    EXPECT_EQ(f.stripFilename(), dir_);
    EXPECT_EQ(f.extension(), "fed");
    EXPECT_EQ(ZnFilename("a.b/c").extension(), "");
}

TEST(ZnListTest, InsertsAfterAndRemoves) {
    ZnList<int> list;
    int a = 1, b = 2, c = 3;
    auto* ia = list.addAfter(&a);
    list.addAfter(&c);
    list.addAfter(&b, ia);
    std::vector<int> seen;
    for (auto* i = list.first(); i; i = i->next()) seen.push_back(*i->data());
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(list.remove(ia), &a);
    EXPECT_EQ(*list.first()->data(), 2);
    EXPECT_EQ(list.last()->prev(), list.first());
    EXPECT_EQ(list.size(), 2u);
}

TEST(ZnSystemTest, PollDoesNotBlockWithoutATerminal) {
    EXPECT_STRNE(ZnOperatingSystem(), "");
    if (!isatty(0)) {
        EXPECT_NE(ZnPollBlockingInputChar(), 0);
    }
}

}  // namespace

// Every file the library reads is opened through this check, so a FIFO must
// not block, a device must not be read, and the reason must be the true one.
TEST(ZnOpenRegularFile, RefusesWhatIsNotARegularFileWithTheTrueReason) {
    pxstest::TempDir dir;
    std::string plain = dir.write("plain.txt", "text");
    std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    std::string reason = "unset";
    FILE* file = ZnOpenRegularFile(plain.c_str(), "rb", &reason);
    ASSERT_NE(file, nullptr);
    char buffer[8] = {};
    EXPECT_EQ(std::fread(buffer, 1, sizeof buffer, file), 4u);
    EXPECT_STREQ(buffer, "text");
    std::fclose(file);
    EXPECT_EQ(reason, "");

    EXPECT_EQ(ZnRegularFileProblem(fifo.c_str()), "not a regular file");
    EXPECT_EQ(ZnRegularFileProblem("/dev/zero"), "not a regular file");
    EXPECT_EQ(ZnRegularFileProblem(dir.path().c_str()), "is a directory");
    EXPECT_EQ(ZnRegularFileProblem(dir.file("missing").c_str()), "no such file");
    EXPECT_EQ(ZnRegularFileProblem(""), "no such file");
    EXPECT_EQ(ZnRegularFileProblem((plain + "/below").c_str()),
              "a component of the path is not a directory");
}
