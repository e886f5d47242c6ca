// pxsFedReader.cpp -- the plain HLA 1.3 FED reader: the file read into a
// temporary buffer, one PXS datum read from it in a fresh environment, and
// the same walk as ZnFedReader13 with every class offered as written.

#include <pxs/pxsFedReader.h>

#include <memory>

#include <pxs/fed13Walk.h>
#include <pxs/list.h>

ZnPxsFedReader::ZnPxsFedReader() { expectedFomType_ = ZnFomHla13; }

ZnPxsFedReader::~ZnPxsFedReader() = default;

ZnFedReadStatus ZnPxsFedReader::readFedFilePtr(FILE* file, ZnFedTarget* target, ZnFilename,
                                               unsigned int strictFlags, bool,
                                               bool useDefaultSwitches) {
    fedTarget_ = target;
    beginRead(strictFlags, useDefaultSwitches);
    if (!file) {
        lastError_ = "No Fed File Given";
        return ZnFedReadNotOpened;
    }
    return pxsdetail::fed13::guardedRead(lastError_, [&] {
        std::unique_ptr<pxsdetail::fed13::FedDatum> fed;
        {
            char* raw = nullptr;
            unsigned int length = 0;
            readFileIntoBuffer(file, &raw, &length);
            std::unique_ptr<char[]> bytes(raw);  // only the datum outlives this scope
            fed = pxsdetail::fed13::readDatum(bytes.get(), length, lastError_);
        }
        return fed ? processFed(fed->datum()) : ZnFedReadFailed;
    });
}

// No root flags: every class is offered as written.
PXS_FED13_STEPS(ZnPxsFedReader, fedTarget_,
                pxsdetail::fed13::FedWalk<ZnPxsFedReader>(*this, lastError_, fedTarget_, nullptr,
                                                          nullptr))
