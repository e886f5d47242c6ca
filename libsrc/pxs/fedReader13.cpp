// fedReader13.cpp -- reads an HLA 1.3 FED file: the whole file into the
// reader's buffer, one PXS datum read from those bytes in a fresh
// environment, then a walk over the lists that calls the target in file
// order. The environment and the datum live only for the length of the
// read; the bytes stay with the reader until takeCurrFddData hands them out.

#include <pxs/fedReader13.h>

#include <pxs/fed13Walk.h>
#include <pxs/list.h>

ZnFedReader13::ZnFedReader13() { expectedFomType_ = ZnFomHla13; }

ZnFedReader13::~ZnFedReader13() = default;

ZnFedReadStatus ZnFedReader13::readFedFilePtr(FILE* file, ZnFedTarget* target, ZnFilename,
                                              unsigned int strictFlags, bool,
                                              bool useDefaultSwitches) {
    target_ = target;
    beginRead(strictFlags, useDefaultSwitches);
    // The datum is freed on the way out whatever ends the read.
    return pxsdetail::fed13::guardedRead(lastError_, [&] {
        if (target_) target_->setFomType(ZnFomHla13);
        if (!file) {
            lastError_ = "No Fed File Given";
            return ZnFedReadNotOpened;
        }
        clearFileBuffer();
        loadFileBuffer(file);
        std::unique_ptr<pxsdetail::fed13::FedDatum> fed =
            pxsdetail::fed13::readDatum(fileBuffer_.get(), fileLength_, lastError_);
        return fed ? processFed(fed->datum()) : ZnFedReadFailed;
    });
}

// The root flags persist across reads: a reader keeps mapping onto the
// IEEE roots for every later file.
PXS_FED13_STEPS(ZnFedReader13, target_,
                pxsdetail::fed13::FedWalk<ZnFedReader13>(*this, lastError_, target_,
                                                         &objectRootReplaced_,
                                                         &interactionRootReplaced_))
