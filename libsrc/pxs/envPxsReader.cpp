// envPxsReader.cpp -- rebuilds a configuration tree from the first datum of
// a PXS file. The datum is read in the frame of a fresh interpreter
// environment and walked, never evaluated. Nesting is bounded by the PXS
// reader itself; the walk over the datum keeps its own stack, so no part of
// a read recurses per level.

#include "envPxsReader.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include <pxs/interpreterInternal.h>
#include <pxs/io.h>
#include <pxs/lstream.h>
#include <pxs/null.h>
#include <pxs/pxsEnvironment.h>
#include <pxs/read.h>
#include <util/znException.h>
#include <util/znNotify.h>
#include <util/znOpenFile.h>

namespace {

// Origin of the exception for text that is not PXS, as callers see it.
// Fixed values: editing this file must not change them.
constexpr const char* kFile = "envPxsReader";
constexpr const char* kReadFileFunction =
    "ZnEnvironment ZnEnvPXSReader::readFile(const ZnString&, bool&)";
constexpr int kReadFileLine = 143;

struct FileClose {
    void operator()(FILE* file) const noexcept { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileClose>;

bool hasTag(const ZnlObjPtr& obj, ZnlTagType tag) {
    return obj && obj->tag() == tag;
}

// A token that starts with a NUL byte reads as a symbol with an empty name
// (the name stops at the NUL). No name or type can be empty: the writer
// would write nothing for it and the form would read back as another one.
bool isEmptySymbol(const ZnlObjPtr& obj) {
    return hasTag(obj, ZnlSymbolTag) && (!obj->pname() || !*obj->pname());
}

// The reader's own message without the family prefix every interpreter
// error carries: "PXS Error: Missing \")\"".
std::string readerMessage(const ZnException& e) {
    static const std::string kPrefix = "ZnException: ";
    std::string text = e.initialException().message();
    if (text.compare(0, kPrefix.size(), kPrefix) == 0) text.erase(0, kPrefix.size());
    return text;
}

void reportBadForm(const ZnlObjPtr& form) {
    std::cerr << "ZnReaderWriter: error in data stream\n";
    if (ZncNull(ZncErrPrint(form))) std::cerr << "ZnReaderWriter: error ZncErrPrint\n";
}

// Drops the tree under construction on every way out of a read.
class BuildScope {
public:
    explicit BuildScope(std::unique_ptr<ZnEnvironment>& slot) : slot_(slot) {}
    ~BuildScope() { slot_.reset(); }
    BuildScope(const BuildScope&) = delete;
    BuildScope& operator=(const BuildScope&) = delete;

private:
    std::unique_ptr<ZnEnvironment>& slot_;
};

}  // namespace

ZnEnvPXSReader::ZnEnvPXSReader() = default;

ZnEnvPXSReader::~ZnEnvPXSReader() = default;

// Each form either changes the current node (a value), adds a leaf (an
// attribute) or opens an object whose remaining elements are read with it
// as the current node. Open objects wait on `stack` with the rest of their
// elements; when one is done, the object below it (its parent) is current
// again. The first object form meets no current node: it renames the root.
// Answers how many forms were skipped: the tree then lacks part of the file.
int ZnEnvPXSReader::processForms(const ZnlObjPtr& datum) {
    int skipped = 0;
    struct Level {
        ZnlObjPtr rest;
        ZnEnvValueSP object;
    };
    std::vector<Level> stack;
    auto openObject = [&](const char* name, const char* type, const ZnlObjPtr& contents) {
        ZnEnvValueSP current = current_.lock();
        ZnEnvValueSP node;
        if (current) {
            node = env_->addObject(name, type, current);
        } else {
            node = env_->root();
            if (ZnEnvNamedList* root = ZnEnvNamedList::castToNamedList(node)) root->setName(name);
            if (ZnEnvObject* root = ZnEnvObject::castToObject(node)) root->setType(type);
        }
        if (!node) return;
        stack.push_back({contents, node});
        current_ = node;
    };
    auto processForm = [&](const ZnlObjPtr& form) {
        const ZnlObjPtr head = hasTag(form, ZnlConsTag) ? form->car() : ZnlObjPtr();
        const ZnlObjPtr& rest = hasTag(form, ZnlConsTag) ? form->cdrRef() : ZnlObjPtr::nil();
        const ZnlObjPtr second = hasTag(rest, ZnlConsTag) ? rest->car() : ZnlObjPtr();
        if (hasTag(head, ZnlStringTag)) {
            if (ZnEnvValueSP current = current_.lock()) current->setValue(head->string());
        } else if (hasTag(head, ZnlSymbolTag) && !isEmptySymbol(head) && !isEmptySymbol(second)) {
            if (hasTag(second, ZnlStringTag)) {
                if (ZnEnvValueSP added = env_->addNamedList(head->pname(), current_.lock()))
                    added->setValue(second->string());
            } else if (hasTag(second, ZnlSymbolTag)) {
                openObject(head->pname(), second->pname(), rest->cdr());
            } else {
                openObject(head->pname(), head->pname(), rest);
            }
        } else {
            reportBadForm(form);
            ++skipped;
        }
    };
    processForm(datum);
    while (!stack.empty()) {
        Level& top = stack.back();
        if (hasTag(top.rest, ZnlConsTag)) {
            const ZnlObjPtr form = top.rest->car();
            top.rest = top.rest->cdr();
            current_ = top.object;
            processForm(form);  // may grow the stack: `top` is not used after this
            continue;
        }
        stack.pop_back();
        current_ = stack.empty() ? ZnEnvValueSP() : stack.back().object;
    }
    return skipped;
}

ZnEnvironment ZnEnvPXSReader::readFile(const ZnString& fileName, bool& ok) {
    ok = false;
    skippedForms_ = 0;
    env_.reset(new ZnEnvironment());
    BuildScope scope(env_);
    current_.reset();
    // Only a regular file: a FIFO would block the read and a device never end.
    std::string reason;
    FilePtr file(ZnOpenRegularFile(fileName.c_str(), "rb", &reason));
    if (!file) {
        ZnVerbose << "PXS tree file " << fileName.string() << ": " << reason << "\n";
        return ZnEnvironment(env_->root());
    }
    ZnPxsEnvironment pxs;
    ZnlObjPtr datum;  // after `pxs`: released before the frame its symbols live in
    try {
        ZnlFileInputStream in(file.get());
        pxsdetail::NumbersAsText numbers(numbersAsText_);
        datum = ZncRead(&in, pxs.frame);
    } catch (ZnException& e) {
        const std::string message =
            "ZnCorruptedState: Error reading: " + fileName.string() + ": " + readerMessage(e);
        throw ZnCorruptedState(message, kReadFileFunction, kFile, kReadFileLine, std::move(e));
    }
    if (std::ferror(file.get())) return ZnEnvironment(env_->root());
    skippedForms_ = processForms(datum);
    ok = true;
    return ZnEnvironment(env_->root());
}
