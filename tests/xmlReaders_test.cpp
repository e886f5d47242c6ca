// xmlReaders_test.cpp -- what the four XML object-model readers share, run
// against each of them: bytes that never make a document, the parser's
// nesting bound, entity expansion, unknown top-level elements, a target that throws, and a
// DTD or schema path that names something other than a regular file.

#include "fomTestSupport.h"

#include <functional>
#include <memory>
#include <ostream>
#include <sys/stat.h>

namespace {

using namespace fomtest;

// A model in one reader's form, built from the element names of its classes.
struct Form {
    const char* name;
    std::function<std::unique_ptr<ZnFedReader>()> make;
    // A document around `body` (the children of objectModel).
    std::string (*doc)(const std::string& body);
    // An object class element named `name` around `inner`.
    std::string (*objectClass)(const std::string& name, const std::string& inner);
    // A notes table holding the note N; null for a checking reader, which
    // delivers no records.
    const char* notes;
    // What a target that throws leaves in the last error.
    const char* thrownMessage;
};

// Test names and failure messages show the reader's name, not the bytes of
// the struct (pointers among them), so ctest's names stay the same from
// build to build.
void PrintTo(const Form& form, std::ostream* out) { *out << form.name; }

std::string evolvedDoc(const std::string& body) {
    return "<?xml version=\"1.0\"?>\n<objectModel "
           "xmlns=\"http://standards.ieee.org/IEEE1516-2010\">\n" +
           body + "</objectModel>\n";
}
std::string plainDoc(const std::string& body) { return fddDoc(body); }
std::string attributeClass(const std::string& name, const std::string& inner) {
    return "<objectClass name=\"" + name + "\">" + inner + "</objectClass>";
}
std::string elementClass(const std::string& name, const std::string& inner) {
    return "<objectClass><name>" + name + "</name>" + inner + "</objectClass>";
}

const Form kForms[] = {
    {"full_1516", [] { return std::unique_ptr<ZnFedReader>(new ZnFedReader1516); }, plainDoc,
     attributeClass, "<notes><note name=\"N\"/></notes>", "Unexpected problem reading FDD."},
    {"thin_1516", [] { return std::unique_ptr<ZnFedReader>(new ZnXmlFedReader); }, plainDoc,
     attributeClass, nullptr, "Unexpected problem reading fed file."},
    {"full_evolved", [] { return std::unique_ptr<ZnFedReader>(new ZnFedReader1516e); },
     evolvedDoc, elementClass, "<notes><note><label>N</label></note></notes>",
     "Unexpected problem reading fed file."},
    {"thin_evolved", [] { return std::unique_ptr<ZnFedReader>(new ZnXmlFedReader1516e); },
     evolvedDoc, elementClass, nullptr, "Unexpected problem reading fed file."},
};

constexpr const char* kNoRoot = "Bad FDD File. Could not find Document Root in FDD File.";

class XmlReaders : public ::testing::TestWithParam<Form> {
protected:
    Quiet quiet;
    std::unique_ptr<ZnFedReader> reader = GetParam().make();
    RecordingFom fom;

    ZnFedReadStatus read(const std::string& text, unsigned strict = 0) {
        return readText(*reader, text, &fom, strict);
    }
    // A class chain `depth` deep under the object root.
    std::string chain(int depth) const {
        std::string inner;
        for (int i = depth - 1; i > 0; --i) inner = GetParam().objectClass("C", inner);
        return GetParam().doc("<objects>" + GetParam().objectClass("HLAobjectRoot", inner) +
                              "</objects>");
    }
};

// Ten levels of ten references: 10^10 characters if anything expanded it.
std::string entityBomb() {
    std::string bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE objectModel [\n"
                       "<!ENTITY e0 \"aaaaaaaaaa\">\n";
    for (int i = 1; i <= 10; ++i) {
        bomb += "<!ENTITY e" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) bomb += "&e" + std::to_string(i - 1) + ";";
        bomb += "\">\n";
    }
    return bomb + "]>\n<objectModel name=\"&e10;\" type=\"FOM\"><objects>"
                  "<objectClass name=\"&e10;\"/></objects></objectModel>";
}

TEST_P(XmlReaders, BytesThatAreNoDocumentGiveTheRootMessage) {
    const std::string model = chain(3);
    const std::string inputs[] = {"", "   \n", std::string("\0\x01\x02\xff\xfe", 5),
                                  model.substr(0, model.size() / 2), "<objectModel>",
                                  "<?xml version=\"1.0\"?><a></b>",
                                  "<objectModel><objects>" + std::string(300, ' ') +
                                      "</objectModel>",
                                  entityBomb()};
    for (const std::string& text : inputs) {
        EXPECT_EQ(read(text), ZnFedReadFailed) << text;
        EXPECT_EQ(reader->lastError(), kNoRoot);
    }
    EXPECT_EQ(fom.indexOf("addObjectClass"), -1);
}

TEST_P(XmlReaders, NestingIsBoundedByTheParser) {
    EXPECT_EQ(read(chain(200)), ZnFedReadSuccess) << reader->lastError();
    EXPECT_EQ(fom.count("addObjectClass"), 200);
    EXPECT_EQ(read(chain(5000)), ZnFedReadFailed);
    EXPECT_EQ(reader->lastError(), kNoRoot);
}

TEST_P(XmlReaders, UnknownTopLevelElementFailsOnlyUnderStrict) {
    std::string text = GetParam().doc("<foo/>\n<objects>" +
                                      GetParam().objectClass("HLAobjectRoot", "") + "</objects>");
    Capture verbose(ZnVerbose, 4);
    EXPECT_EQ(read(text, 0), ZnFedReadSuccess);
    EXPECT_EQ(fom.count("addObjectClass HLAobjectRoot"), 1);
    fom.calls.clear();
    EXPECT_EQ(read(text, 1), ZnFedReadFailed);
    EXPECT_EQ(reader->lastError(), "Unrecognized top-level tag: foo");
    EXPECT_EQ(fom.indexOf("addObjectClass"), -1);  // the walk stopped at foo
    EXPECT_NE(verbose.text().find("\nTop-level Tag: foo\n"), std::string::npos);
}

TEST_P(XmlReaders, ThrowingTargetEndsTheReadWithoutLeaking) {
    fom.throwOnClass = "HLAobjectRoot.C";
    EXPECT_EQ(read(chain(3)), ZnFedReadFailed);
    EXPECT_EQ(reader->lastError(), GetParam().thrownMessage);
    EXPECT_EQ(fom.count("addObjectClass"), 2);  // the root, then the class that threw
    // A record the target takes and then throws over is the target's to free.
    if (!GetParam().notes) return;
    RecordingFom other;
    other.throwOnNote = "N";
    EXPECT_EQ(readText(*reader, GetParam().doc(GetParam().notes), &other), ZnFedReadFailed);
    EXPECT_EQ(reader->lastError(), GetParam().thrownMessage);
}

// No name generator: ctest takes the printed value (the reader's name) as
// the last part of each test's name.
INSTANTIATE_TEST_SUITE_P(EachReader, XmlReaders, ::testing::ValuesIn(kForms));

// A FIFO named as the DTD or schema would block the read for good, and a
// directory gives libxml2's confusing complaint: both are refused by path.
class NotARegularFile : public ::testing::Test {
protected:
    Quiet quiet;
    TempDir dir;
    std::string fifo = dir.path() + "/pipe.dtd";
    std::string folder = dir.path() + "/folder.xsd";

    void SetUp() override {
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    }
};

TEST_F(NotARegularFile, DtdIsRefusedByBothIeee1516Readers) {
    ZnFedReader1516 full;
    ZnXmlFedReader thin;
    for (ZnFedReader* reader : {static_cast<ZnFedReader*>(&full), static_cast<ZnFedReader*>(&thin)}) {
        for (const std::string& path : {fifo, folder}) {
            std::string text = fddDoc(basicTables(),
                                      "<!DOCTYPE objectModel SYSTEM \"" + path + "\">\n");
            RecordingFom fom;
            EXPECT_EQ(readText(*reader, text, &fom, 1, true), ZnFedReadFailed) << path;
            EXPECT_EQ(reader->lastError(), "DTD is not a regular file: " + path);
            EXPECT_EQ(fom.indexOf("addObjectClass"), -1);
            // Without strict checking the read goes on, unvalidated.
            EXPECT_EQ(readText(*reader, text, &fom, 0, true), ZnFedReadSuccess) << path;
            EXPECT_NE(fom.indexOf("addObjectClass HLAobjectRoot"), -1);
        }
    }
    // A relative name found beside the file is checked the same way.
    std::string besideText = fddDoc(basicTables(), "<!DOCTYPE objectModel SYSTEM \"pipe.dtd\">\n");
    std::string beside = dir.write("model.fdd", besideText);
    EXPECT_EQ(full.readFed(beside.c_str(), nullptr, 1, true, false), ZnFedReadFailed);
    EXPECT_EQ(full.lastError(), "DTD is not a regular file: " + fifo);
    EXPECT_FALSE(pxsdetail::fdd::validateWithDtd(nullptr, fifo.c_str()));
}

TEST_F(NotARegularFile, SchemaIsRefusedByBothEvolvedReaders) {
    ZnFedReader1516e full;
    ZnXmlFedReader1516e thin;
    full.setSchemaValidationEnabled(true);
    thin.setSchemaValidationEnabled(true);
    for (ZnFedReader* reader : {static_cast<ZnFedReader*>(&full), static_cast<ZnFedReader*>(&thin)}) {
        for (const std::string& path : {fifo, folder}) {
            std::string text = "<objectModel xsi:schemaLocation=\"urn:x " + path +
                               "\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"/>";
            EXPECT_EQ(readText(*reader, text, nullptr, 0), ZnFedReadFailed) << path;
            EXPECT_EQ(reader->lastError(), "Schema is not a regular file: " + path);
        }
    }
}

}  // namespace
