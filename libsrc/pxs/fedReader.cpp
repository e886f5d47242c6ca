// fedReader.cpp -- the reader framework: file lookup through RTI_CONFIG,
// format detection, whole-file reads and the state every reader shares.
// The reader owns the bytes of its last file until takeCurrFddData hands
// them out.

#include <pxs/fedReader.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include <sys/stat.h>

#include <pxs/fddWalk.h>
#include <pxs/xmlFedReader1516e.h>
#include <util/znNotify.h>
#include <util/znOpenFile.h>

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

// Only regular files are opened: a FIFO would block the read for good and a
// device never ends. `reason` says why nothing was opened.
FILE* openResolved(const ZnFilename& path, bool binaryMode, std::string* reason = nullptr) {
    FILE* file = ZnOpenRegularFile(path.c_str(), binaryMode ? "rb" : "rt", reason);
    ZnVerbose.printf("Reading FED file: %s\n", path.c_str());
    return file;
}

// A missing file keeps its long-standing message; any other reason is named,
// so "permission denied" or "is a directory" is not mistaken for a typo.
void describeOpenFailure(const char* fileName, const std::string& reason, ZnString& error) {
    if (reason.empty() || reason == "no such file") {
        error = "No such FED file: ";
        error += fileName;
        return;
    }
    error = "Cannot read FED file: ";
    error += fileName;
    error += " (";
    error += reason.c_str();
    error += ")";
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

// Reads the whole of `file` into `data`, doubling the array whenever the data
// fills it, so a read never writes past the array. The doubling starts from
// 1024 bytes; for a regular
// file it is carried up front to the first size that holds the whole file and
// one byte more (so the final empty read finds room), which reads a large
// file in one pass instead of copying it at every doubling. A file that grows
// while being read still doubles as it goes. An array of exactly the size
// the file needs is reused, which spares repeated reads a large allocation.
// On failure `data` is freed.
bool readWhole(FILE* file, std::unique_ptr<char[]>& data, size_t& capacity, size_t& used) {
    std::rewind(file);
    used = 0;
    size_t size = kReadBlock;
    struct stat info;
    if (::fstat(::fileno(file), &info) == 0 && S_ISREG(info.st_mode)) {
        uint64_t wanted = static_cast<uint64_t>(info.st_size) + 1;
        while (size < wanted && size < kMaxBuffer) size *= 2;
    }
    if (!data || size != capacity) {
        data.reset(new (std::nothrow) char[size]);
        capacity = data ? size : 0;
        if (!data) return failAllocation();
    }
    for (;;) {
        size_t n = std::fread(data.get() + used, 1, capacity - used, file);
        if (n == 0) {
            if (!std::ferror(file)) return true;
            ZnWarn << "ZnFedFileTransport::readFile: Error reading file.\n";
            data.reset();
            capacity = used = 0;
            return false;
        }
        used += n;
        if (used < capacity) continue;
        std::unique_ptr<char[]> bigger(capacity < kMaxBuffer ? new (std::nothrow) char[capacity * 2]
                                                             : nullptr);
        if (!bigger) {
            data.reset();
            capacity = used = 0;
            return failAllocation();
        }
        std::memcpy(bigger.get(), data.get(), used);
        data = std::move(bigger);
        capacity *= 2;
    }
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
    std::string reason;
    FilePtr file(openResolved(path, false, &reason));
    bool isMim = std::strcmp(fileName, "HLAstandardMIM.xml") == 0;
    if (!file && !isMim) {
        describeOpenFailure(fileName, reason, lastError_);
        return ZnFedReadNotOpened;
    }
    return readFedFilePtr(file.get(), target, file ? path : ZnFilename(fileName), strictFlags,
                          validate, useDefaultSwitches);
}

FILE* ZnFedReader::openFedFileWithErrCheck(const char* fileName, bool binaryMode) {
    std::string reason;
    FILE* file = fileName ? openResolved(resolveFedPath(fileName), binaryMode, &reason) : nullptr;
    if (!file) describeOpenFailure(fileName ? fileName : "", reason, lastError_);
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

bool ZnFedReader::readFileIntoBuffer(FILE* file, char** buffer, unsigned int* length) {
    *buffer = nullptr;
    *length = 0;
    if (!file) {
        ZnWarn << "ZnFedReader::readFileIntoBuffer: FileHandle not initialized\n";
        return false;
    }
    std::unique_ptr<char[]> data;
    size_t capacity = 0, used = 0;
    if (!readWhole(file, data, capacity, used)) return false;
    *length = static_cast<unsigned int>(used);
    *buffer = data.release();
    return true;
}

char* ZnFedReader::takeCurrFddData() {
    fileLength_ = 0;
    fileCapacity_ = 0;
    return fileBuffer_.release();
}

void ZnFedReader::appendErrorLine(xmlNode* node, ZnString& text) const {
    pxsdetail::fdd::appendLocation(node, text);
}

bool ZnFedReader::loadFileBuffer(FILE* file) {
    fileLength_ = 0;
    if (!file) {
        clearFileBuffer();
        ZnWarn << "ZnFedReader::readFileIntoBuffer: FileHandle not initialized\n";
        return false;
    }
    size_t used = 0;
    bool read = readWhole(file, fileBuffer_, fileCapacity_, used);
    fileLength_ = static_cast<unsigned int>(used);
    return read;
}

void ZnFedReader::clearFileBuffer() {
    fileBuffer_.reset();
    fileCapacity_ = 0;
    fileLength_ = 0;
}
