// fomSorter_test.cpp -- module depths, the sorted file list (including the
// repeated entries the algorithm is known for), dependency validity and
// cycles.

#include "fomTestSupport.h"

#include <memory>

namespace {

using Names = std::vector<ZnString>;

// A sorter filled the way an application fills it, one module per file
// "<name>.xml", modules given as (name, dependencies).
class Sorter {
public:
    Sorter() : sorter_(ZnFomSorter::create()) {}
    ZnFomSorter* operator->() { return sorter_.get(); }

    void insert(const ZnString& name, const Names& dependencies) {
        ZnString file = name + ".xml";
        sorter_->insertFileToFomDepsPairMap(file, {name, dependencies});
        sorter_->insertFomToFileMap(name, file);
        sorter_->allFomNames().push_back(name);
        for (const ZnString& d : dependencies) sorter_->allDependencies().push_back(d);
    }
    int map(const ZnString& name) {
        return sorter_->mapFomDepComplexity(sorter_->atFileToFomDepsPairMap(name + ".xml"));
    }
    Names sorted() {
        Names out{"stale"};
        sorter_->sortFomFileNames(&out);
        return out;
    }

private:
    std::unique_ptr<ZnFomSorter> sorter_;
};

class SortModules : public ::testing::Test {
    fomtest::Quiet quiet;  // the sorter warns about cycles and unknown modules
};

TEST_F(SortModules, DepthsFollowTheLongestChainOfKnownDependencies) {
    Sorter s;
    s.insert("M1", {});
    s.insert("M2", {"M1"});
    s.insert("M3", {"M2", "M1"});
    EXPECT_EQ(s.map("M1"), 0);
    EXPECT_EQ(s.map("M2"), 1);
    EXPECT_EQ(s.map("M3"), 2);
    EXPECT_EQ(s.sorted(), (Names{"M1.xml", "M2.xml", "M3.xml"}));
    EXPECT_EQ(s.sorted(), (Names{"M1.xml", "M2.xml", "M3.xml"}));  // sorting changes nothing
    ZnString m3("M3");
    EXPECT_EQ(s->atFomToComplexMap(m3), 2);
    EXPECT_EQ(s->atFomToFileMap(m3), "M3.xml");
}

TEST_F(SortModules, IndependentModulesKeepTheOrderTheyWereMapped) {
    Sorter s;
    s.insert("Zulu", {});
    s.insert("Alpha", {});
    s.map("Zulu");
    s.map("Alpha");
    EXPECT_EQ(s.sorted(), (Names{"Zulu.xml", "Alpha.xml"}));
}

TEST_F(SortModules, UnknownDependenciesCountForNothingButAreDetected) {
    Sorter s;
    s.insert("Lonely", {"Nowhere"});
    EXPECT_EQ(s.map("Lonely"), 0);
    EXPECT_FALSE(s->isEachDependencyValid());
    EXPECT_EQ(s.sorted(), (Names{"Lonely.xml"}));
    Sorter empty;
    EXPECT_TRUE(empty->isEachDependencyValid());
    EXPECT_EQ(empty.sorted(), Names{});
}

TEST_F(SortModules, MappingADependentFirstListsTheDependencyAgainLater) {
    Sorter s;
    s.insert("M1", {});
    s.insert("M2", {"M1"});
    EXPECT_EQ(s.map("M2"), 1);  // computes M1 on the way
    ZnString m1("M1");
    EXPECT_EQ(s->fomToComplexMap().at(m1), 0);
    EXPECT_EQ(s.map("M1"), 0);
    EXPECT_EQ(s.sorted(), (Names{"M1.xml", "M1.xml", "M2.xml"}));
}

TEST_F(SortModules, DuplicateInsertionsAreIgnoredAndUnknownLookupsAddDefaults) {
    Sorter s;
    s.insert("M1", {});
    s->insertFomToFileMap("M1", "other.xml");
    s->insertFileToFomDepsPairMap("M1.xml", {"Changed", {"X"}});
    EXPECT_EQ(s->fomToFileMap().at("M1"), "M1.xml");
    EXPECT_EQ(s->atFileToFomDepsPairMap("M1.xml").first, "M1");
    EXPECT_TRUE(s->atFileToFomDepsPairMap("absent.xml").first.empty());
    EXPECT_EQ(s->fileToFomDepsPairMap().size(), 2u);
    ZnString ghost("Ghost");
    EXPECT_EQ(s->atFomToFileMap(ghost), "");
    EXPECT_EQ(s->atFomToComplexMap(ghost), 0);
    // A module with no file entry is left out of the sorted list; the
    // look-up above gave Ghost an empty one.
    s->mapFomDepComplexity({"Phantom", {}});
    s->mapFomDepComplexity({"Ghost", {}});
    s.map("M1");
    EXPECT_EQ(s.sorted(), (Names{"", "M1.xml"}));
}

// A cycle is broken where it closes, so every module still gets a depth
// and the recursion ends; the cycle is reported.
TEST_F(SortModules, DependencyCyclesAreBrokenAndReported) {
    Sorter s;
    s.insert("A", {"B"});
    s.insert("B", {"C"});
    s.insert("C", {"A"});
    s.insert("D", {"A"});
    EXPECT_EQ(s.map("A"), 2);  // C's dependency on A is the one ignored
    EXPECT_EQ(s.map("D"), 3);
    ASSERT_EQ(s->dependencyCycles().size(), 1u);
    EXPECT_EQ(s->dependencyCycles()[0], (Names{"A", "B", "C", "A"}));
    EXPECT_EQ(s.sorted(), (Names{"C.xml", "B.xml", "A.xml", "D.xml"}));

    Sorter self;
    self.insert("Narcissus", {"Narcissus"});
    EXPECT_EQ(self.map("Narcissus"), 0);
    EXPECT_EQ(self->dependencyCycles()[0], (Names{"Narcissus", "Narcissus"}));
    EXPECT_TRUE(self->isEachDependencyValid());
}

TEST_F(SortModules, LongChainsAreSortedEndToEnd) {
    Sorter s;
    const int count = 2000;
    for (int i = count - 1; i >= 0; --i)
        s.insert(ZnString("M") + ZnString(i), i ? Names{ZnString("M") + ZnString(i - 1)} : Names{});
    EXPECT_EQ(s.map(ZnString("M") + ZnString(count - 1)), count - 1);
    Names sorted = s.sorted();
    ASSERT_EQ(sorted.size(), size_t(count));
    EXPECT_EQ(sorted.front(), "M0.xml");
    EXPECT_EQ(sorted.back(), ZnString("M") + ZnString(count - 1) + ".xml");
}

}  // namespace
