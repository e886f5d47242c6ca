// fedReaderFactory_test.cpp -- the factory's choice of reader by format,
// name and content, and what it tells the target.

#include "fomTestSupport.h"

namespace {

using namespace fomtest;

class Factory : public ::testing::Test {
protected:
    // The reader the factory makes for `text` saved under `name`.
    std::unique_ptr<ZnFedReader> make(const std::string& name, const std::string& text) {
        std::string path = dir.write(name, text);
        OpenFile file(path);
        return std::unique_ptr<ZnFedReader>(
            ZnFedReaderFactory::makeFedReader(file.get(), &fom, ZnFilename(path.c_str())));
    }
    Quiet quiet;
    TempDir dir;
    RecordingFom fom;
};

TEST_F(Factory, EachFormatGetsItsFullReader) {
    std::unique_ptr<ZnFedReader> r13(ZnFedReaderFactory::makeFedReader(ZnFomHla13));
    std::unique_ptr<ZnFedReader> r2000(ZnFedReaderFactory::makeFedReader(ZnFom1516));
    std::unique_ptr<ZnFedReader> evolved(ZnFedReaderFactory::makeFedReader(ZnFomEvolved));
    EXPECT_NE(dynamic_cast<ZnFedReader13*>(r13.get()), nullptr);
    EXPECT_NE(dynamic_cast<ZnFedReader1516*>(r2000.get()), nullptr);
    EXPECT_NE(dynamic_cast<ZnFedReader1516e*>(evolved.get()), nullptr);
    EXPECT_EQ(r13->expectedFomType(), ZnFomHla13);
    EXPECT_EQ(evolved->expectedFomType(), ZnFomEvolved);
    EXPECT_EQ(ZnFedReaderFactory::makeFedReader(ZnFomUnknown), nullptr);
    EXPECT_EQ(ZnFedReaderFactory::makeFedReader(static_cast<ZnFomType>(7)), nullptr);
}

TEST_F(Factory, FilesAreToldApartByExtensionAndContent) {
    std::string evolvedText = slurp(dataPath("harborEvolved.xml"));
    EXPECT_NE(dynamic_cast<ZnFedReader1516e*>(make("model.fdd", evolvedText).get()), nullptr);
    EXPECT_NE(dynamic_cast<ZnFedReader1516*>(make("model.XML", slurp(dataPath("harbor.fdd"))).get()),
              nullptr);
    EXPECT_NE(dynamic_cast<ZnFedReader13*>(make("model.fed", slurp(dataPath("harbor.fed"))).get()),
              nullptr);
    EXPECT_NE(dynamic_cast<ZnFedReader13*>(make("model.txt", "anything").get()), nullptr);
    EXPECT_EQ(fom.calls, (std::vector<std::string>{"setFomType 3", "setFomType 2", "setFomType 1",
                                                   "setFomType 1"}));
}

TEST_F(Factory, NoExtensionMakesNoReaderButTellsTheTarget) {
    EXPECT_EQ(make("model", "(FED)"), nullptr);
    EXPECT_EQ(fom.calls, std::vector<std::string>{"setFomType 0"});
    std::string path = dir.write("bare", "(FED)");
    OpenFile file(path);
    EXPECT_EQ(ZnFedReaderFactory::makeFedReader(file.get(), nullptr, ZnFilename(path.c_str())),
              nullptr);
}

TEST_F(Factory, TheReaderMadeReadsTheFile) {
    std::string path = dataPath("harborEvolved.xml");
    OpenFile file(path);
    std::unique_ptr<ZnFedReader> reader(
        ZnFedReaderFactory::makeFedReader(file.get(), &fom, ZnFilename(path.c_str())));
    ASSERT_NE(reader, nullptr);
    ASSERT_EQ(reader->readFedFilePtr(file.get(), &fom, ZnFilename(path.c_str()), 1, false, false),
              ZnFedReadSuccess)
        << reader->lastError();
    EXPECT_NE(fom.objectClass("HLAobjectRoot.Vessel.Tug"), nullptr);
}

}  // namespace
