// fedReader13.h -- the HLA 1.3 FED reader the factory makes. It reads the
// file as one PXS datum in a fresh PXS environment and delivers its routing
// spaces, object classes with their attributes and interaction classes with
// their parameters to a ZnFedTarget, in file order, classes before their
// subclasses:
//
//     ZnFom fom;
//     ZnFedReader1516e evolved;
//     evolved.readFed("HLAstandardMIM.xml", &fom, 0, false, false);
//     ZnFedReader13 reader;
//     reader.readFed("harbor.fed", &fom, 0, false, false);  // lands under HLAobjectRoot
//
// A FED file is (FED (Federation ..) (FEDversion ..) (spaces ..)
// (objects (class ObjectRoot ..)) (interactions (class InteractionRoot ..))).
// When the target refuses the 1.3 root (it holds an IEEE 1516 model), the
// reader retries with the IEEE root, delivers the subclasses under it and
// skips the 1.3 management classes (RTIprivate, anything named *Manager*).
// The flags that record this are never reset: a reader keeps mapping for
// every later file.
//
// Every walk step is a virtual operation, so a derived reader can replace
// any level. processObjClass and processIntClass take a class together with
// its whole subtree: nested classes are walked with an explicit stack, not
// by calling the virtual operation again, so that deep nesting cannot
// exhaust the C stack.

#ifndef PXS_FEDREADER13_H
#define PXS_FEDREADER13_H

#include <pxs/fedReader.h>
#include <pxs/memory.h>

class ZnFedReader13 : public ZnFedReader {
public:
    ZnFedReader13();
    ~ZnFedReader13() override;

    // The file name, strict flags and validate flag do not change what this
    // reader does. A null file: "No Fed File Given", status 1.
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

    // Whether the target's roots turned out to be the IEEE 1516 ones.
    bool objectRootReplaced() const { return objectRootReplaced_; }
    bool interactionRootReplaced() const { return interactionRootReplaced_; }

private:

    bool objectRootReplaced_ = false;
    bool interactionRootReplaced_ = false;
};

#endif
