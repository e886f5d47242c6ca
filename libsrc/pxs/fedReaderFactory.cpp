// fedReaderFactory.cpp -- format detection and the choice of reader.

#include <pxs/fedReaderFactory.h>

#include <memory>

#include <pxs/fedReader13.h>
#include <pxs/fedReader1516.h>
#include <pxs/fedReader1516e.h>

ZnFedReader* ZnFedReaderFactory::makeFedReader(ZnFomType type) {
    switch (type) {
        case ZnFomHla13: return new ZnFedReader13;
        case ZnFom1516: return new ZnFedReader1516;
        case ZnFomEvolved: return new ZnFedReader1516e;
        default: return nullptr;
    }
}

ZnFedReader* ZnFedReaderFactory::makeFedReader(void* file, ZnFedTarget* target,
                                               const ZnFilename& fileName) {
    ZnFomType type = ZnFedReader::checkFomType(fileName.c_str(), file);
    // Held until handed over, so a target that throws does not leak it.
    std::unique_ptr<ZnFedReader> reader(makeFedReader(type));
    if (target) target->setFomType(type);
    return reader.release();
}
