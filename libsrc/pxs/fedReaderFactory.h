// fedReaderFactory.h -- hands an application the reader for an object-model
// file, so that it need not know the file's format:
//
//     FILE* file = ZnFedReader::openFedFile("model.xml", true);
//     std::unique_ptr<ZnFedReader> reader(
//         ZnFedReaderFactory::makeFedReader(file, &fom, ZnFilename("model.xml")));
//     if (reader) reader->readFedFilePtr(file, &fom, "model.xml", 0, false, false);
//
// It makes the three full readers only (ZnFedReader13, ZnFedReader1516,
// ZnFedReader1516e); the thin readers are constructed directly.

#ifndef PXS_FEDREADERFACTORY_H
#define PXS_FEDREADERFACTORY_H

#include <pxs/fedReader.h>

class ZnFedReaderFactory {
public:
    ZnFedReaderFactory() = default;
    ~ZnFedReaderFactory() = default;

    // A new reader for the format (the caller owns it); null for
    // ZnFomUnknown or any value outside the three formats.
    static ZnFedReader* makeFedReader(ZnFomType type);
    // The format told by the file's name and, for XML, its content (`file`
    // is the open FILE*, read and rewound). A non-null `target` is told the
    // format with setFomType, also when no reader is made.
    static ZnFedReader* makeFedReader(void* file, ZnFedTarget* target, const ZnFilename& fileName);
};

#endif
