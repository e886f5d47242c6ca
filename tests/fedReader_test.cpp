// fedReader_test.cpp -- the reader framework: format detection by extension
// and content, whole-file reads at block boundaries, the RTI_CONFIG search,
// the built-in MIM name, strict flags and handing out the file bytes.

#include "fomTestSupport.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace fomtest;

// A reader that only records how the framework called it.
class ProbeReader : public ZnFedReader {
public:
    int calls = 0;
    bool gotFile = false;
    std::string gotName;
    ZnFedReadStatus readFedFilePtr(FILE* file, ZnFedTarget*, ZnFilename fileName, unsigned int,
                                   bool, bool) override {
        ++calls;
        gotFile = file != nullptr;
        gotName = fileName.string();
        return file ? ZnFedReadSuccess : ZnFedReadNotOpened;
    }
};

const char* const k1516Content =
    "<objectModel name=\"M\" type=\"FOM\"><objects>"
    "<objectClass name=\"HLAobjectRoot\"/></objects></objectModel>";

ZnFomType detect(TempDir& dir, const std::string& name, const std::string& content) {
    std::string path = dir.write(name, content);
    OpenFile file(path);
    return ZnFedReader::checkFomType(path.c_str(), file.get());
}

// The extension decides, compared without case; a name without one is
// unknown and says nothing; any other extension warns and counts as HLA 1.3.
TEST(FomTypeDetection, ExtensionDecidesTheFormat) {
    TempDir dir;
    const struct {
        const char* name;
        const char* content;
        ZnFomType type;
        const char* warning;
    } cases[] = {
        {"model.XML", k1516Content, ZnFom1516, ""},
        {"model.Fdd", k1516Content, ZnFom1516, ""},
        {"a.b.fed", "(FED)", ZnFomHla13, ""},
        {"x.PXS", "(FED)", ZnFomHla13, ""},
        {"x.omt", "(FED)", ZnFomHla13, ""},
        {"model", k1516Content, ZnFomUnknown, ""},
        {"model.txt", "x", ZnFomHla13, "Fed file has unrecognized extension: txt"},
    };
    for (const auto& c : cases) {
        Capture warn(ZnWarn, 1);
        {
            Capture verbose(ZnVerbose, 4);
            EXPECT_EQ(detect(dir, c.name, c.content), c.type) << c.name;
            if (c.type == ZnFomUnknown) {
                EXPECT_EQ(verbose.text(), "") << c.name;
            }
        }
        EXPECT_EQ(warn.text(), c.warning) << c.name;
    }
    // A dot in a directory name is not an extension.
    EXPECT_EQ(ZnFedReader::checkFomType("dir.v2/model", nullptr), ZnFomUnknown);
}

TEST(FomTypeDetection, TracesTheDecisionAboveLevelTwo) {
    TempDir dir;
    Capture verbose(ZnVerbose, 3);
    detect(dir, "m.xml", k1516Content);
    EXPECT_EQ(verbose.text(),
              "Found XML format FDD file.\nFound HLA 1516 XML File.\nReading file as 1516 format.\n");
}

TEST(FomTypeDetection, UnparsableXmlIsTakenAs1516AndTheFileIsRewound) {
    Quiet quiet;
    TempDir dir;
    std::string path = dir.write("bad.fdd", "\x01\x02 not xml");
    OpenFile file(path);
    EXPECT_EQ(ZnFedReader::checkFomType(path.c_str(), file.get()), ZnFom1516);
    EXPECT_EQ(std::fgetc(file.get()), 1);
}

TEST(ReadFileIntoBuffer, ReadsBlockBoundariesCompletely) {
    TempDir dir;
    for (size_t size : {size_t(0), size_t(1), size_t(1023), size_t(1024), size_t(1025),
                        size_t(5000), size_t(70000)}) {
        std::string content;
        for (size_t i = 0; i < size; ++i) content += static_cast<char>('a' + i % 26);
        OpenFile file(dir.write("f" + std::to_string(size), content));
        std::fgetc(file.get());  // the read starts from the beginning regardless
        char* buffer = nullptr;
        unsigned int length = 99;
        ASSERT_TRUE(ZnFedReader::readFileIntoBuffer(file.get(), &buffer, &length));
        std::unique_ptr<char[]> owned(buffer);
        ASSERT_EQ(length, size);
        EXPECT_EQ(std::string(buffer, length), content);
    }
}

TEST(ReadFileIntoBuffer, StreamsOfUnknownSizeGrowByDoubling) {
    // A pipe has no size to plan for: the array doubles as the data arrives.
    FILE* pipe = ::popen("yes 0123456789abcdef | head -c 70001", "r");
    ASSERT_NE(pipe, nullptr);
    char* buffer = nullptr;
    unsigned int length = 0;
    bool read = ZnFedReader::readFileIntoBuffer(pipe, &buffer, &length);
    ::pclose(pipe);
    ASSERT_TRUE(read);
    std::unique_ptr<char[]> owned(buffer);
    ASSERT_EQ(length, 70001u);
    for (unsigned int i = 0; i < length; ++i)
        ASSERT_EQ(buffer[i], "0123456789abcdef\n"[i % 17]) << i;
}

TEST(ReadFileIntoBuffer, RefusesNullFileAndReadErrors) {
    char* buffer = reinterpret_cast<char*>(1);
    unsigned int length = 5;
    {
        Capture warn(ZnWarn, 1);
        EXPECT_FALSE(ZnFedReader::readFileIntoBuffer(nullptr, &buffer, &length));
        EXPECT_EQ(warn.text(), "ZnFedReader::readFileIntoBuffer: FileHandle not initialized\n");
    }
    EXPECT_EQ(buffer, nullptr);
    TempDir dir;
    OpenFile directory(dir.path(), "r");  // opens, but reading fails
    ASSERT_NE(directory.get(), nullptr);
    Capture warn(ZnWarn, 1);
    EXPECT_FALSE(ZnFedReader::readFileIntoBuffer(directory.get(), &buffer, &length));
    EXPECT_EQ(warn.text(), "ZnFedFileTransport::readFile: Error reading file.\n");
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(length, 0u);
}

TEST(FedFileLookup, SearchesRtiConfigAndTracesTheResolvedPath) {
    TempDir dir;
    std::string path = dir.write("lookup_model.fdd", "x");
    ScopedEnv env("RTI_CONFIG", ("/nonexistent:" + dir.path()).c_str());
    Capture verbose(ZnVerbose, 3);
    FILE* file = ZnFedReader::openFedFile("lookup_model.fdd", true);
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_EQ(verbose.text(), "Reading FED file: " + path + "\n");
}

TEST(FedFileLookup, MissingFileIsReportedWithTheGivenName) {
    ScopedEnv env("RTI_CONFIG", nullptr);
    Quiet quiet;
    ProbeReader reader;
    EXPECT_EQ(reader.openFedFileWithErrCheck("no_such_model.fdd", false), nullptr);
    EXPECT_EQ(reader.lastError(), "No such FED file: no_such_model.fdd");
    ProbeReader fresh;
    EXPECT_EQ(fresh.readFed("no_such_model.fdd", nullptr, 0, false, false),
              ZnFedReadNotOpened);
    EXPECT_EQ(fresh.lastError(), "No such FED file: no_such_model.fdd");
    EXPECT_EQ(fresh.calls, 0);
}

// A FIFO would block the read for good and a directory is no model: both are
// refused before any reader sees them, with the true reason in the message.
TEST(FedFileLookup, OnlyRegularFilesAreOpened) {
    ScopedEnv env("RTI_CONFIG", nullptr);
    Quiet quiet;
    TempDir dir;
    std::string fifo = dir.file("pipe.fdd");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string folder = dir.file("folder.fdd");
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {{fifo, "not a regular file"}, {folder, "is a directory"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ProbeReader reader;
        std::string expected = "Cannot read FED file: " + c.path + " (" + c.reason + ")";
        EXPECT_EQ(reader.openFedFileWithErrCheck(c.path.c_str(), false), nullptr);
        EXPECT_EQ(reader.lastError(), expected);
        EXPECT_EQ(ZnFedReader::openFedFile(c.path.c_str(), true), nullptr);
        ProbeReader fresh;
        EXPECT_EQ(fresh.readFed(c.path.c_str(), nullptr, 0, false, false), ZnFedReadNotOpened);
        EXPECT_EQ(fresh.lastError(), expected);
        EXPECT_EQ(fresh.calls, 0);
    }
    // Unreadable by mode bits; root reads it anyway, so the case only holds
    // for an ordinary user.
    std::string locked = dir.write("locked.fdd", "x");
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    ProbeReader reader;
    FILE* file = reader.openFedFileWithErrCheck(locked.c_str(), false);
    if (::geteuid() != 0) {
        EXPECT_EQ(file, nullptr);
        EXPECT_EQ(reader.lastError(), "Cannot read FED file: " + locked + " (permission denied)");
    }
    if (file) std::fclose(file);
}

TEST(FedFileLookup, StandardMimNameReachesTheReaderWithoutAFile) {
    ScopedEnv env("RTI_CONFIG", nullptr);
    Quiet quiet;
    ProbeReader reader;
    EXPECT_EQ(reader.readFed("HLAstandardMIM.xml", nullptr, 0, false, false),
              ZnFedReadNotOpened);
    EXPECT_EQ(reader.calls, 1);
    EXPECT_FALSE(reader.gotFile);
    EXPECT_EQ(reader.gotName, "HLAstandardMIM.xml");
}

TEST(ReaderState, StrictFlagsReturnThePreviousValue) {
    ProbeReader reader;
    EXPECT_EQ(reader.setStrictChecking(3), 0u);
    EXPECT_EQ(reader.setStrictChecking(3), 3u);
    EXPECT_TRUE(reader.strictChecking(2));
    EXPECT_FALSE(reader.strictChecking(4));
    reader.setStrictChecking(0);
    EXPECT_FALSE(reader.strictChecking(1));
    EXPECT_EQ(reader.expectedFomType(), ZnFomUnknown);
    EXPECT_EQ(ZnFedReader1516().expectedFomType(), ZnFom1516);
    EXPECT_EQ(ZnFedReader1516().lastFomType(), ZnFomUnknown);
}

TEST(ReaderState, FileBytesAreHandedOutOnceAndHoldOnlyTheLatestFile) {
    Quiet quiet;
    ZnFedReader1516 reader;
    ZnFom fom;
    std::string longer = fddDoc(basicTables() + "<!--" + std::string(300, 'x') + "-->");
    std::string shorter = fddDoc(basicTables() + "<!--" + std::string(100, 'y') + "-->");
    readText(reader, longer, &fom);
    readText(reader, shorter, &fom);  // same size class: the array is reused
    ASSERT_EQ(reader.currFddDataLength(), shorter.size());
    std::unique_ptr<char[]> bytes(reader.takeCurrFddData());
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::string(bytes.get(), shorter.size()), shorter);
    EXPECT_EQ(reader.currFddDataLength(), 0u);  // handed out once
    EXPECT_EQ(reader.takeCurrFddData(), nullptr);
    readText(reader, longer, &fom);  // after handing out, a fresh array
    std::unique_ptr<char[]> again(reader.takeCurrFddData());
    EXPECT_EQ(std::string(again.get(), longer.size()), longer);
}

}  // namespace
