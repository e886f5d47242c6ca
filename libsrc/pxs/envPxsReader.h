// envPxsReader.h -- builds a configuration tree from the first PXS form of
// a file, read with the PXS reader and never evaluated.
//
//   ZnEnvPXSReader reader;
//   bool ok = false;
//   ZnEnvironment env = reader.readFile("net.pxs", ok);
//
// The outermost form renames the root; inside it ("x") sets the enclosing
// object's value, (name "v") adds an attribute, (name type ...) and
// (name ...) add objects whose elements are read the same way. A form of
// any other shape is reported on standard error and skipped, and leaves
// `ok` false, as does a file that cannot be opened or read (the tree then
// holds what could be read); text that is not PXS throws ZnCorruptedState
// naming the file and the reader's message.

#ifndef PXS_ENVPXSREADER_H
#define PXS_ENVPXSREADER_H

#include <memory>

#include <pxs/environment.h>
#include <pxs/memory.h>

class ZnEnvPXSReader : public ZnEnvReader {
public:
    ZnEnvPXSReader();
    ~ZnEnvPXSReader() override;

    // The tree read; a default environment (root object "root") when the
    // file could not be opened. `ok` is false then, and also when a form
    // was skipped.
    ZnEnvironment readFile(const ZnString& fileName, bool& ok) override;

private:
    bool processForms(const ZnlObjPtr& datum);

    std::unique_ptr<ZnEnvironment> env_;  // the tree being built, only during a read
    boost::weak_ptr<ZnEnvValue> current_;
};

#endif
