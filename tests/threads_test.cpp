// threads_test.cpp -- one object-model reader per thread: readers made,
// used and destroyed on several threads at once must not disturb each
// other's parse (libxml2's global state is set up once and never torn down
// while another thread parses). Also built under ThreadSanitizer
// (scripts/test.sh --tsan).

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <pxs/pxs.h>

#include "fomTestSupport.h"

namespace {

using fomtest::dataPath;

// What one read delivered, small enough to compare across threads.
struct Shape {
    ZnFedReadStatus status = ZnFedReadSuccess;
    size_t objectClasses = 0;
    size_t interactionClasses = 0;
    bool operator==(const Shape& o) const {
        return status == o.status && objectClasses == o.objectClasses &&
               interactionClasses == o.interactionClasses;
    }
};

// A fresh reader and model for every read: constructing and destroying
// readers while other threads parse is exactly what used to crash.
Shape readOnce(int kind) {
    ZnFom fom;
    Shape shape;
    if (kind == 0) {
        ZnFedReader1516 reader;
        shape.status = reader.readFed(dataPath("harbor.fdd").c_str(), &fom, 0, false, false);
    } else if (kind == 1) {
        ZnFedReader1516e reader;
        shape.status = reader.readFed("HLAstandardMIM.xml", &fom, 0, false, false);
        if (shape.status == ZnFedReadSuccess)
            shape.status = reader.readFed(dataPath("harborEvolved.xml").c_str(), &fom, 0, false, false);
    } else {
        ZnXmlFedReader checker;
        shape.status = checker.readFed(dataPath("harbor.fdd").c_str(), &fom, 0, false, false);
    }
    shape.objectClasses = fom.objectClasses().size();
    shape.interactionClasses = fom.interactionClasses().size();
    return shape;
}

class ReadersOnThreads : public ::testing::Test {
  protected:
    void SetUp() override {
        savedLevel_ = ZnNotifyLevel;
        ZnNotifyLevel = 0;
    }
    void TearDown() override { ZnNotifyLevel = savedLevel_; }
    int savedLevel_ = 1;
};

TEST_F(ReadersOnThreads, EveryThreadReadsWhatOneThreadReads) {
    const Shape expected[3] = {readOnce(0), readOnce(1), readOnce(2)};
    ASSERT_EQ(expected[0].status, ZnFedReadSuccess);
    ASSERT_EQ(expected[1].status, ZnFedReadSuccess);
    ASSERT_GT(expected[1].objectClasses, expected[0].objectClasses / 2);

    constexpr int kThreads = 4;
    constexpr int kReads = 40;
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t, &expected, &wrong] {
            for (int i = 0; i < kReads; ++i) {
                const int kind = (t + i) % 3;
                if (!(readOnce(kind) == expected[kind])) ++wrong;
            }
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace

// putenv keeps its buffers in one process-wide table; scripts on two
// threads setting variables at once must neither lose a buffer nor leave a
// variable holding another thread's text. The primitives are called
// directly: a whole environment also binds the process-wide notify level,
// which two threads would share.
TEST(ScriptsOnThreads, PutenvFromTwoThreads) {
    constexpr int kRounds = 200;
    std::atomic<int> wrong{0};
    auto run = [&wrong](int id) {
        std::string name = "PXS_THREAD_VAR_" + std::to_string(id);
        for (int round = 0; round < kRounds; ++round) {
            std::string value = std::to_string(id * 100000 + round);
            ZnlObjPtr nameObj(name.c_str());
            ZnlPutenv(ZncCons(nameObj, ZncCons(ZnlObjPtr(value.c_str()), ZnlObjPtr::nil())),
                      ZnlObjPtr::nil());
            ZnlObjPtr result = ZnlGetenv(ZncCons(nameObj, ZnlObjPtr::nil()), ZnlObjPtr::nil());
            if (!result || result->tag() != ZnlStringTag || value != result->string()) ++wrong;
        }
    };
    std::thread first(run, 1);
    std::thread second(run, 2);
    first.join();
    second.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_STREQ(std::getenv("PXS_THREAD_VAR_1"), std::to_string(100000 + kRounds - 1).c_str());
    EXPECT_STREQ(std::getenv("PXS_THREAD_VAR_2"), std::to_string(200000 + kRounds - 1).c_str());
}
