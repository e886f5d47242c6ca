// envPxsWriter.h -- writes a configuration tree as one PXS form, the
// nested-list text a ZnEnvPXSReader reads back.
//
//   ZnEnvironment env;                       // root object "root"
//   env.addAttribute("port", "5");
//   env.addObject("link", "udp");
//   ZnEnvPXSWriter writer;
//   writer.writeFile(env, "net.pxs");
//
// writes, starting with an empty line and without a final newline:
//
//   (root
//      (port "5")
//      (link udp
//      )
//   )
//
// An object is "(name type" (no type when it equals the name), its value as
// ( "value" ), then its children three blanks further in; an attribute is
// (name "value"); comments become ";" line comments, which a read skips.
// Values are written expanded; a double quote in one is written after the
// reader's escape character (ZnPxsReadEscapeChar) when it has one.
//
// writeFile writes only a tree that reads back as written: a name or type
// that is no PXS symbol, a value no PXS string can hold, a child of an
// attribute, a plain list or a root that is not an object is named by its
// path on ZnWarn, and nothing is written.

#ifndef PXS_ENVPXSWRITER_H
#define PXS_ENVPXSWRITER_H

#include <iosfwd>

#include <pxs/environment.h>

class ZnEnvPXSWriter : public ZnEnvWriter {
public:
    ZnEnvPXSWriter();
    ~ZnEnvPXSWriter() override;

    // Creates or truncates `fileName` and writes the tree from the root into
    // it. False, reported on ZnWarn, when the tree does not fit the form (the
    // file is not touched then) or the file cannot be written; false for an
    // environment without root.
    bool writeFile(ZnEnvironment& env, const ZnString& fileName) override;
    // Writes `node` and its subtree at the current indentation, unchecked:
    // what does not fit the form is written as it is.
    virtual void writeValue(ZnEnvValueSP node, std::ofstream& out);

private:
    ZnEnvironment* env_ = nullptr;  // the tree being written, only during a write
    ZnEnvValueSP root_;
    int indentation_ = 0;
};

#endif
