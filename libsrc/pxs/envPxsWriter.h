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
// (name "value"); comments become ";" line comments. Values are written
// expanded and unescaped. Children of attributes are written but, like
// comments, do not survive a read.

#ifndef PXS_ENVPXSWRITER_H
#define PXS_ENVPXSWRITER_H

#include <iosfwd>

#include <pxs/environment.h>

class ZnEnvPXSWriter : public ZnEnvWriter {
public:
    ZnEnvPXSWriter();
    ~ZnEnvPXSWriter() override;

    // Creates or truncates `fileName` and writes the tree from the root into
    // it. False only for an environment without root (no file is made
    // then); a file that cannot be created still answers true.
    bool writeFile(ZnEnvironment& env, const ZnString& fileName) override;
    // Writes `node` and its subtree at the current indentation.
    virtual void writeValue(ZnEnvValueSP node, std::ofstream& out);

private:
    ZnEnvironment* env_ = nullptr;  // the tree being written, only during a write
    ZnEnvValueSP root_;
    int indentation_ = 0;
};

#endif
