// fedReader.h -- what every object-model reader shares: the abstract reader
// with its state (file bytes, target, strict flags, formats, last error),
// opening a file through the RTI_CONFIG search path, telling a file's format
// from its extension and content, and reading a whole file into memory.
//
// Typical use, when the format is known:
//
//     ZnFedReader1516 reader;
//     ZnFom fom;
//     if (reader.readFed("model.fdd", &fom, 0, true, false) != ZnFedReadSuccess)
//         std::cerr << reader.lastError() << "\n";
//
// Strict flags: bit value 1 makes recoverable file errors end a read with
// status 2; bit value 2 makes the HLA Evolved reader require its basic tables.

#ifndef PXS_FEDREADER_H
#define PXS_FEDREADER_H

#include <cstdio>
#include <memory>

#include <util/znFedTarget.h>
#include <util/znFilename.h>
#include <util/znString.h>

typedef struct _xmlNode xmlNode;

class ZnFedReader {
public:
    virtual ~ZnFedReader();

    // Opens `fileName` (through RTI_CONFIG) and hands it to readFedFilePtr;
    // 1 when the file cannot be opened, with the reason in the last error as
    // openFedFileWithErrCheck gives it. The name "HLAstandardMIM.xml" is
    // passed on even without a file, for readers that hold it built in.
    virtual ZnFedReadStatus readFed(const char* fileName, ZnFedTarget* target,
                                    unsigned int strictFlags, bool validate,
                                    bool useDefaultSwitches);
    // Reads an open file into `target`; 1 for a null file.
    virtual ZnFedReadStatus readFedFilePtr(FILE* file, ZnFedTarget* target, ZnFilename fileName,
                                           unsigned int strictFlags, bool validate,
                                           bool useDefaultSwitches) = 0;
    // As openFedFile; null with last error "No such FED file: " + name when
    // nothing by that name exists, otherwise "Cannot read FED file: " + name
    // + " (" + reason + ")", the reason being "permission denied", "is a
    // directory", "not a regular file" or the system's text.
    virtual FILE* openFedFileWithErrCheck(const char* fileName, bool binaryMode);
    // Returns the previous flags.
    virtual unsigned int setStrictChecking(unsigned int flags);
    // True when the flags and `mask` have a bit in common.
    virtual bool strictChecking(unsigned int mask) const;
    virtual void setExpectedFomType(ZnFomType type);
    virtual ZnFomType expectedFomType() const;
    // No reader records a value here; it stays ZnFomUnknown.
    virtual ZnFomType lastFomType() const;
    // Text of the most recent problem; empty when none since the read began.
    virtual const ZnString& lastError() const;

    // The file named, or found in a directory of RTI_CONFIG; null when none
    // opens. Writes the resolved path to ZnVerbose either way.
    static FILE* openFedFile(const char* fileName, bool binaryMode);
    // Format from the extension ("xml"/"fdd" by content, "pxs"/"fed"/"omt"
    // HLA 1.3, any other HLA 1.3 with a warning); ZnFomUnknown without one.
    // `file` is an open FILE*, read (and rewound) only for XML files.
    static ZnFomType checkFomType(const char* fileName, void* file);
    // Whole file from the start into a new array (free with delete[]); false
    // with *buffer null on a null file, a read error or no memory.
    static bool readFileIntoBuffer(FILE* file, char** buffer, unsigned int* length);

    // Bytes of the last file read (free with delete[]); null when none. The
    // reader's buffer is empty afterwards.
    char* takeCurrFddData();
    // Length of the bytes takeCurrFddData would hand out.
    unsigned int currFddDataLength() const { return fileLength_; }
    // Appends " at XML Node <name> near line <n>" for `node`.
    void appendErrorLine(xmlNode* node, ZnString& text) const;

    ZnFedReader(const ZnFedReader&) = delete;
    ZnFedReader& operator=(const ZnFedReader&) = delete;

protected:
    ZnFedReader() = default;

    // Replaces the held bytes with the whole of `file`; false (no bytes)
    // when it cannot be read.
    bool loadFileBuffer(FILE* file);
    void clearFileBuffer();
    // The start every read shares: the flags of this read, no last error.
    void beginRead(unsigned int strictFlags, bool useDefaultSwitches) {
        strictFlags_ = strictFlags;
        useDefaultSwitches_ = useDefaultSwitches;
        lastError_ = "";
    }
    // The status a recoverable problem yields.
    ZnFedReadStatus strictStatus() const {
        return strictChecking(1) ? ZnFedReadFailed : ZnFedReadSuccess;
    }

    std::unique_ptr<char[]> fileBuffer_;
    size_t fileCapacity_ = 0;  // size of the array, kept for reuse by the next read
    unsigned int fileLength_ = 0;
    ZnFedTarget* target_ = nullptr;  // borrowed for the length of a read
    unsigned int strictFlags_ = 0;
    bool useDefaultSwitches_ = false;
    ZnFomType expectedFomType_ = ZnFomUnknown;
    ZnFomType lastFomType_ = ZnFomUnknown;
    ZnString lastError_;
};

#endif
