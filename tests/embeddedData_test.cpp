// embeddedData_test.cpp -- the files compiled into the library are the
// project's data files byte for byte, and unknown names are refused.

#include <pxs/embeddedData.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

TEST(EmbeddedData, MatchesTheDataFilesByteForByte) {
    for (const char* name : {"HLAstandardMIM.xml", "HLA.dtd", "IEEE1516-DIF-2010.xsd"}) {
        const PxsEmbeddedFile* f = pxsFindEmbeddedFile(name);
        ASSERT_NE(f, nullptr) << name;
        std::string disk = slurp(std::string(PXS_LIB_DATA_DIR) + "/" + name);
        ASSERT_FALSE(disk.empty()) << name;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(f->data), f->size), disk) << name;
        EXPECT_EQ(f->data[f->size], 0) << name;
    }
}

TEST(EmbeddedData, UnknownAndNullNamesAreRefused) {
    EXPECT_EQ(pxsFindEmbeddedFile("nothing.xml"), nullptr);
    EXPECT_EQ(pxsFindEmbeddedFile(nullptr), nullptr);
    EXPECT_EQ(pxsFindEmbeddedFile("hlastandardmim.xml"), nullptr);
}

}  // namespace
