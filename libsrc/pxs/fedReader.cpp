// fedReader.cpp -- the reader framework: file lookup through RTI_CONFIG,
// format detection, whole-file reads and the state every reader shares.
// The reader owns the bytes of its last file until takeCurrFddData hands
// them out.

#include <pxs/fedReader.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include <pxs/fddWalk.h>
#include <pxs/xmlFedReader1516e.h>
#include <util/znNotify.h>

namespace {

constexpr size_t kReadBlock = 1024;
// Lengths are 32-bit and the XML parser takes an int: a file that would need
// a larger buffer is refused as if memory had run out.
constexpr size_t kMaxBuffer = size_t(1) << 31;

struct FileCloser {
    void operator()(FILE* f) const noexcept { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

ZnFilename resolveFedPath(const char* fileName) {
    ZnFilename path(fileName);
    path.searchAlternatePath(std::getenv("RTI_CONFIG"));
    return path;
}

FILE* openResolved(const ZnFilename& path, bool binaryMode) {
    FILE* file = std::fopen(path.c_str(), binaryMode ? "rb" : "rt");
    ZnVerbose.printf("Reading FED file: %s\n", path.c_str());
    return file;
}

bool failAllocation() {
    ZnWarn << "ZnFedFileTransport::readFile: Failed to allocate file buffer\n";
    return false;
}

// Text after the last '.' of the name's last component; false when there is no '.'.
bool extensionOf(const char* fileName, ZnString* ext) {
    ZnFilename last = ZnFilename(fileName).stripPath();
    const char* dot = std::strrchr(last.c_str(), '.');
    if (!dot) return false;
    *ext = dot + 1;
    ext->toLower();
    return true;
}

}  // namespace

ZnFedReader::~ZnFedReader() = default;

ZnFedReadStatus ZnFedReader::readFed(const char* fileName, ZnFedTarget* target,
                                     unsigned int strictFlags, bool validate,
                                     bool useDefaultSwitches) {
    if (!fileName) return ZnFedReadNotOpened;
    // The resolved path is handed on, so a DTD named relative to the file is
    // looked for beside the file actually read.
    ZnFilename path = resolveFedPath(fileName);
    FilePtr file(openResolved(path, false));
    bool isMim = std::strcmp(fileName, "HLAstandardMIM.xml") == 0;
    if (!file && !isMim) return ZnFedReadNotOpened;
    return readFedFilePtr(file.get(), target, file ? path : ZnFilename(fileName), strictFlags,
                          validate, useDefaultSwitches);
}

FILE* ZnFedReader::openFedFileWithErrCheck(const char* fileName, bool binaryMode) {
    FILE* file = openFedFile(fileName, binaryMode);
    if (!file) {
        lastError_ = "No such FED file: ";
        lastError_ += fileName;
    }
    return file;
}

unsigned int ZnFedReader::setStrictChecking(unsigned int flags) {
    unsigned int previous = strictFlags_;
    strictFlags_ = flags;
    return previous;
}

bool ZnFedReader::strictChecking(unsigned int mask) const { return (strictFlags_ & mask) != 0; }

void ZnFedReader::setExpectedFomType(ZnFomType type) { expectedFomType_ = type; }

ZnFomType ZnFedReader::expectedFomType() const { return expectedFomType_; }

ZnFomType ZnFedReader::lastFomType() const { return lastFomType_; }

const ZnString& ZnFedReader::lastError() const { return lastError_; }

FILE* ZnFedReader::openFedFile(const char* fileName, bool binaryMode) {
    if (!fileName) return nullptr;
    return openResolved(resolveFedPath(fileName), binaryMode);
}

ZnFomType ZnFedReader::checkFomType(const char* fileName, void* file) {
    ZnString ext;
    if (!fileName || !extensionOf(fileName, &ext)) return ZnFomUnknown;
    ZnFomType type;
    if (ext == "xml" || ext == "fdd") {
        ZnVerbose << "Found XML format FDD file.\n";
        if (ZnXmlFedReader1516e::isEvolvedFormat(file)) {
            ZnVerbose << "Found HLA 1516 Evolved XML File.\n";
            type = ZnFomEvolved;
        } else {
            ZnVerbose << "Found HLA 1516 XML File.\n";
            type = ZnFom1516;
        }
    } else if (ext == "pxs" || ext == "fed" || ext == "omt") {
        ZnVerbose << "Found 1.3 format FED file.\n";
        type = ZnFomHla13;
    } else {
        ZnWarn.printf("Fed file has unrecognized extension: %s", ext.c_str());
        type = ZnFomHla13;
    }
    if (ZnNotifyLevel > 2) {
        static const char* const kNames[] = {"unknown", "1.3", "1516", "HLA Evolved"};
        ZnVerbose << "Reading file as " << kNames[type] << " format." << "\n";
    }
    return type;
}

// Reads in blocks at the end of the data and doubles the array whenever the
// data fills it, so a read never writes past the array and the copies add up
// to less than the file size.
bool ZnFedReader::readFileIntoBuffer(FILE* file, char** buffer, unsigned int* length) {
    *buffer = nullptr;
    *length = 0;
    if (!file) {
        ZnWarn << "ZnFedReader::readFileIntoBuffer: FileHandle not initialized\n";
        return false;
    }
    std::rewind(file);
    size_t size = kReadBlock;
    std::unique_ptr<char[]> data(new (std::nothrow) char[size]);
    if (!data) return failAllocation();
    size_t used = 0;
    for (;;) {
        size_t n = std::fread(data.get() + used, 1, std::min(kReadBlock, size - used), file);
        if (n == 0) {
            if (!std::ferror(file)) break;
            ZnWarn << "ZnFedFileTransport::readFile: Error reading file.\n";
            return false;
        }
        used += n;
        if (used < size) continue;
        if (size >= kMaxBuffer) return failAllocation();
        std::unique_ptr<char[]> bigger(new (std::nothrow) char[size * 2]);
        if (!bigger) return failAllocation();
        std::memcpy(bigger.get(), data.get(), used);
        data = std::move(bigger);
        size *= 2;
    }
    *length = static_cast<unsigned int>(used);
    *buffer = data.release();
    return true;
}

char* ZnFedReader::takeCurrFddData() {
    fileLength_ = 0;
    return fileBuffer_.release();
}

void ZnFedReader::appendErrorLine(xmlNode* node, ZnString& text) const {
    fdd::appendLocation(node, text);
}

bool ZnFedReader::loadFileBuffer(FILE* file) {
    clearFileBuffer();
    char* bytes = nullptr;
    unsigned int length = 0;
    if (!readFileIntoBuffer(file, &bytes, &length)) return false;
    fileBuffer_.reset(bytes);
    fileLength_ = length;
    return true;
}

void ZnFedReader::clearFileBuffer() {
    fileBuffer_.reset();
    fileLength_ = 0;
}
