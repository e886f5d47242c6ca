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
// any other shape is reported on standard error and skipped; the read still
// succeeds, and skippedForms() tells that the tree lacks part of the file.
// A file that cannot be opened or read leaves `ok` false; text that is not
// PXS throws ZnCorruptedState naming the file and the reader's message.

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
    // file could not be opened, with `ok` false.
    ZnEnvironment readFile(const ZnString& fileName, bool& ok) override;
    // How many forms the last read skipped (the end of an empty file counts
    // as one): a caller that must have the whole file refuses the tree then.
    int skippedForms() const { return skippedForms_; }

    // Off by default, where a number written without quotes is a form of its
    // own and is skipped: (port 5) gives an object port. On, such a number
    // is read as the string of its text, so (port 5) is the value "5" and
    // (port (value 2147483648)) keeps every digit.
    void readNumbersAsText(bool on) { numbersAsText_ = on; }

private:
    int processForms(const ZnlObjPtr& datum);

    int skippedForms_ = 0;
    bool numbersAsText_ = false;
    std::unique_ptr<ZnEnvironment> env_;  // the tree being built, only during a read
    boost::weak_ptr<ZnEnvValue> current_;
};

#endif
