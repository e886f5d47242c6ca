// pxsFedReader.h -- the plain HLA 1.3 FED reader: the same file format and
// walk as ZnFedReader13, but every class is offered under the name the file
// gives it and the target's answers are ignored (no root mapping, no
// skipped classes). It keeps its own target, which may be null; a null
// target makes it a pure file checker:
//
//     ZnPxsFedReader checker;
//     if (checker.readFed("harbor.fed", nullptr, 0, false, false) != ZnFedReadSuccess)
//         std::cerr << checker.lastError() << "\n";
//
// The file bytes are freed as soon as the datum is read, so takeCurrFddData
// yields nothing. As in ZnFedReader13, processObjClass and processIntClass
// take a class together with its whole subtree, walked with an explicit
// stack.

#ifndef PXS_PXSFEDREADER_H
#define PXS_PXSFEDREADER_H

#include <pxs/fedReader.h>
#include <pxs/memory.h>

class ZnPxsFedReader : public ZnFedReader {
public:
    ZnPxsFedReader();
    ~ZnPxsFedReader() override;

    // Never calls setFomType. A null file: "No Fed File Given", status 1.
    ZnFedReadStatus readFedFilePtr(FILE* file, ZnFedTarget* target, ZnFilename fileName,
                                   unsigned int strictFlags, bool validate,
                                   bool useDefaultSwitches) override;

    // Each returns 0 to go on, 2 to stop.
    virtual ZnFedReadStatus processFed(ZnlObjPtr fed);
    virtual ZnFedReadStatus processFederation(ZnlObjPtr form);
    virtual ZnFedReadStatus processVersion(ZnlObjPtr form);
    virtual ZnFedReadStatus processSpaces(ZnlObjPtr form);
    virtual ZnFedReadStatus processSpace(ZnlObjPtr form);
    virtual ZnFedReadStatus processDimension(ZnlObjPtr form, const char* spaceName);
    virtual ZnFedReadStatus processObjects(ZnlObjPtr form);
    // `parentName` is the parent's full name, null for the root.
    virtual ZnFedReadStatus processObjClass(ZnlObjPtr form, const char* parentName);
    virtual ZnFedReadStatus processAttribute(ZnlObjPtr form, const char* className);
    virtual ZnFedReadStatus processInteractions(ZnlObjPtr form);
    virtual ZnFedReadStatus processIntClass(ZnlObjPtr form, const char* parentName);
    virtual ZnFedReadStatus processParameter(ZnlObjPtr form, const char* className);

private:

    ZnFedTarget* fedTarget_ = nullptr;  // the reader's own; may be null
};

#endif
