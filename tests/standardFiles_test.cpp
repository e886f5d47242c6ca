// standardFiles_test.cpp -- validation against the embedded standard files:
// where a named DTD or schema is looked for, and the readers validating a
// document that names the standard's files on a machine that has neither.

#include "fomTestSupport.h"

#include <sys/stat.h>

#include <pxs/standardFiles.h>

namespace {

using namespace fomtest;

constexpr const char* kPublishedSchema =
    "http://standards.ieee.org/downloads/1516/1516.2-2010/IEEE1516-DIF-2010.xsd";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// The opt-in is process-wide: every test leaves it off.
class EmbeddedStandards : public ::testing::Test {
protected:
    void TearDown() override { ZnUseEmbeddedStandardFiles(false); }

    // harbor.fdd naming its DTD as files in the field do, with no DTD beside it.
    std::string fddNamingHlaDtd(const std::string& extra = "") {
        std::string text = replaced(slurp(dataPath("harbor.fdd")), "\"../../libsrc/pxs/data/HLA.dtd\"",
                                    "\"HLA.dtd\"");
        if (!extra.empty()) text = replaced(text, "<objects>", "<objects>" + extra);
        return dir.write("harbor.fdd", text);
    }
    // harborEvolved.xml naming the schema by the standard's web address.
    std::string moduleNamingPublishedSchema(bool valid = true) {
        std::string text = replaced(slurp(dataPath("harborEvolved.xml")),
                                    "../../libsrc/pxs/data/IEEE1516-DIF-2010.xsd", kPublishedSchema);
        // An element the schema does not allow where a module's name belongs.
        if (!valid) text = replaced(replaced(text, "<name>", "<nome>"), "</name>", "</nome>");
        return dir.write("module.xml", text);
    }

    ZnFedReadStatus readFdd(const std::string& path, ZnString* error) {
        ZnFedReader1516 reader;
        ZnFom fom;
        FILE* file = std::fopen(path.c_str(), "rb");
        ZnFedReadStatus status =
            reader.readFedFilePtr(file, &fom, ZnFilename(path.c_str()), 1, true, false);
        if (file) std::fclose(file);
        *error = reader.lastError();
        return status;
    }
    ZnFedReadStatus readModule(const std::string& path, ZnString* error) {
        ZnFedReader1516e reader;
        reader.setSchemaValidationEnabled(true);
        ZnFom fom;
        FILE* file = std::fopen(path.c_str(), "rb");
        ZnFedReadStatus status =
            reader.readFedFilePtr(file, &fom, ZnFilename(path.c_str()), 0, true, false);
        if (file) std::fclose(file);
        *error = reader.lastError();
        return status;
    }

    TempDir dir;
};

TEST_F(EmbeddedStandards, LocalFilesComeFirstAndOnlyStandardNamesFallBackToCopies) {
    std::string document = dir.write("fom/model.xml", "<objectModel/>");
    std::string beside = dir.write("fom/HLA.dtd", "<!ELEMENT objectModel ANY>");

    ZnValidationFile found = ZnFindValidationFile("HLA.dtd", document.c_str());
    EXPECT_EQ(found.source, ZnValidationSource::File);
    EXPECT_EQ(found.path, beside);

    // Off: a web address is never fetched, so it is missing.
    found = ZnFindValidationFile(kPublishedSchema, document.c_str());
    EXPECT_EQ(found.source, ZnValidationSource::Missing);
    EXPECT_EQ(found.path, kPublishedSchema);

    ZnUseEmbeddedStandardFiles(true);
    found = ZnFindValidationFile(kPublishedSchema, document.c_str());
    EXPECT_EQ(found.source, ZnValidationSource::Embedded);
    EXPECT_EQ(found.path, "IEEE1516-DIF-2010.xsd");
    // The file beside the document still wins over the copy.
    EXPECT_EQ(ZnFindValidationFile("HLA.dtd", document.c_str()).source, ZnValidationSource::File);
    // Spelled in another case, from a document without a DTD beside it.
    found = ZnFindValidationFile("dtds/hla.DTD", dir.write("other/m.xml", "").c_str());
    EXPECT_EQ(found.source, ZnValidationSource::Embedded);
    EXPECT_EQ(found.path, "HLA.dtd");

    // A name the library carries no copy of stays missing, looked for beside the document.
    found = ZnFindValidationFile("custom.dtd", document.c_str());
    EXPECT_EQ(found.source, ZnValidationSource::Missing);
    EXPECT_EQ(found.path, dir.file("fom/custom.dtd"));
    // Something of the right name that is not a file is not a copy's cue.
    ASSERT_EQ(::mkdir(dir.file("fom/IEEE1516-OMT-2010.xsd").c_str(), 0700), 0);
    EXPECT_EQ(ZnFindValidationFile("IEEE1516-OMT-2010.xsd", document.c_str()).source,
              ZnValidationSource::Missing);
}

TEST_F(EmbeddedStandards, ModuleNamingThePublishedSchemaValidatesAgainstTheCopy) {
    std::string module = moduleNamingPublishedSchema();
    ZnString error;
    EXPECT_EQ(readModule(module, &error), ZnFedReadFailed);
    EXPECT_EQ(error.string(), std::string("Could not open schema file ") + kPublishedSchema);

    ZnUseEmbeddedStandardFiles(true);
    EXPECT_EQ(readModule(module, &error), ZnFedReadSuccess) << error.string();
    {
        pxstest::ScopedNotifyLevel quiet(0);
        EXPECT_EQ(readModule(moduleNamingPublishedSchema(false), &error), ZnFedReadFailed);
    }
    EXPECT_EQ(error.string(),
              std::string("FDD file did not pass validation against schema ") + kPublishedSchema);
}

TEST_F(EmbeddedStandards, FddNamingTheStandardDtdValidatesAgainstTheCopy) {
    std::string fdd = fddNamingHlaDtd();
    ZnString error;
    EXPECT_EQ(readFdd(fdd, &error), ZnFedReadFailed);
    EXPECT_EQ(error.string(), "FDD failed DTD validation.");

    ZnUseEmbeddedStandardFiles(true);
    EXPECT_EQ(readFdd(fdd, &error), ZnFedReadSuccess) << error.string();
    pxstest::ScopedNotifyLevel quiet(0);
    EXPECT_EQ(readFdd(fddNamingHlaDtd("<bogus/>"), &error), ZnFedReadFailed);
    EXPECT_EQ(error.string(), "FDD failed DTD validation.");
}

}  // namespace
