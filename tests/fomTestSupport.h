// fomTestSupport.h -- fixtures shared by the object-model reader tests:
// temporary files and directories, scoped environment variables, captured
// notification streams, and a ZnFom that writes down every call it gets.

#ifndef TESTS_FOMTESTSUPPORT_H
#define TESTS_FOMTESTSUPPORT_H

#include <pxs/pxs.h>
#include <pxs/fddWalk.h>  // internal helpers some tests call directly

#include "pxs_test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fomtest {

inline std::string dataPath(const std::string& name) {
    return std::string(PXS_TEST_DATA_DIR) + "/" + name;
}

inline std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

using pxstest::TempDir;

// An open FILE* closed at scope exit.
class OpenFile {
public:
    explicit OpenFile(const std::string& path, const char* mode = "rb")
        : file_(std::fopen(path.c_str(), mode)) {}
    ~OpenFile() {
        if (file_) std::fclose(file_);
    }
    FILE* get() const { return file_; }

private:
    FILE* file_;
};

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        hadOld_ = old != nullptr;
        if (old) old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (hadOld_)
            ::setenv(name_.c_str(), old_.c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }

private:
    std::string name_;
    std::string old_;
    bool hadOld_ = false;
};

// Sets ZnNotifyLevel for the scope and captures one stream's output.
class Capture {
public:
    Capture(ZnNotifyStream& stream, int level)
        : level_(level), stream_(stream), old_(stream.rdbuf(text_.rdbuf())) {}
    ~Capture() { stream_.rdbuf(old_); }
    std::string text() const { return text_.str(); }

private:
    pxstest::ScopedNotifyLevel level_;
    ZnNotifyStream& stream_;
    std::ostringstream text_;
    std::streambuf* old_;
};

// Silences every stream for the scope (warnings included).
struct Quiet : pxstest::ScopedNotifyLevel {
    Quiet() : ScopedNotifyLevel(0) {}
};

// A ZnFom that writes down the calls the readers make, as short texts, and
// can be told to refuse classes or to throw.
class RecordingFom : public ZnFom {
public:
    std::vector<std::string> calls;
    std::set<std::string> refuse;  // class names addObjectClass/addInteractionClass refuse
    std::string throwOnNote;       // addNote throws for this note name
    std::string throwOnClass;      // addObjectClass throws for this class name

    static std::string text(const char* s) { return s ? s : "(null)"; }

    void setFomType(ZnFomType type) override {
        calls.push_back("setFomType " + std::to_string(type));
        ZnFom::setFomType(type);
    }
    void addDimension(const char* name, uint64_t ub, uint64_t lo, uint64_t up, bool ex,
                      ZnString* norm) override {
        calls.push_back("addDimension " + text(name));
        ZnFom::addDimension(name, ub, lo, up, ex, norm);
    }
    bool addObjectClass(const char* name, const char* parent) override {
        calls.push_back("addObjectClass " + text(name) + " " + text(parent));
        if (name && throwOnClass == name) throw std::runtime_error("class refused");
        if (name && refuse.count(name)) return false;
        return ZnFom::addObjectClass(name, parent);
    }
    void addAttribute(const char* cls, const char* attr, ZnTransportType t, ZnOrderType o,
                      ZnSharingType_enum s, ZnFomUpdateType_enum u, ZnString* cond,
                      ZnOwnershipType_enum own, ZnString* sem, const void* reserved) override {
        calls.push_back("addAttribute " + text(cls) + " " + text(attr));
        ZnFom::addAttribute(cls, attr, t, o, s, u, cond, own, sem, reserved);
    }
    void addSpaceAttribute(const char* cls, const char* attr, ZnTransportType t, ZnOrderType o,
                           const char* space) override {
        calls.push_back("addSpaceAttribute " + text(cls) + " " + text(attr) + " " +
                        std::to_string(t) + " " + std::to_string(o) + " " + text(space));
        ZnFom::addSpaceAttribute(cls, attr, t, o, space);
    }
    bool addAttributeDimension(const char* cls, const char* attr, const char* dim) override {
        calls.push_back("addAttributeDimension " + text(cls) + " " + text(attr) + " " +
                        text(dim));
        return ZnFom::addAttributeDimension(cls, attr, dim);
    }
    bool addInteractionClass(const char* name, const char* parent, ZnTransportType t,
                             ZnOrderType o, const char* space) override {
        calls.push_back("addInteractionClass " + text(name) + " " + text(parent));
        if (name && refuse.count(name)) return false;
        return ZnFom::addInteractionClass(name, parent, t, o, space);
    }
    void addParameter(const char* cls, const char* param) override {
        calls.push_back("addParameter " + text(cls) + " " + text(param));
        ZnFom::addParameter(cls, param);
    }
    bool addInteractionDimension(const char* cls, const char* dim) override {
        calls.push_back("addInteractionDimension " + text(cls) + " " + text(dim));
        return ZnFom::addInteractionDimension(cls, dim);
    }
    void setSwitch(const ZnString& name, bool on) override {
        calls.push_back("setSwitch " + name.string() + " " + (on ? "1" : "0"));
        ZnFom::setSwitch(name, on);
    }
// A switch setter written down as "name 0|1"; a record as "name key".
#define PXS_RECORD_SETTER(op)                                          \
    void op(bool on) override {                                        \
        calls.push_back(std::string(#op " ") + (on ? "1" : "0"));      \
        ZnFom::op(on);                                                 \
    }
#define PXS_RECORD_RECORD(op, Type, key)                               \
    void op(Type* rec) override {                                      \
        calls.push_back(#op " " + rec->key.string());                  \
        ZnFom::op(rec);                                                \
    }
    PXS_RECORD_SETTER(setAutoProvide)
    PXS_RECORD_SETTER(setConveyProducingFederate)
    PXS_RECORD_SETTER(setServiceReporting)
    PXS_RECORD_RECORD(addTransportation, ZnTransportationType, name)
    PXS_RECORD_RECORD(addTime, ZnTimeType, name)
    PXS_RECORD_RECORD(addUserSuppliedTag, ZnUserSuppliedTagsType, name)
    PXS_RECORD_RECORD(addSynchronizationPoint, ZnSynchronizationPointsType, label)
    PXS_RECORD_RECORD(addSimpleDatatype, ZnSimpleDatatypeType, name)
#undef PXS_RECORD_SETTER
#undef PXS_RECORD_RECORD
    void addNote(ZnNotesType* rec) override {
        if (rec->name == throwOnNote.c_str()) {
            delete rec;  // the record is ours from here, thrown or not
            throw std::runtime_error("note refused");
        }
        calls.push_back("addNote " + rec->name.string());
        ZnFom::addNote(rec);
    }

    // Index of the first call starting with `prefix`; -1 when none.
    int indexOf(const std::string& prefix) const {
        for (size_t i = 0; i < calls.size(); ++i)
            if (calls[i].compare(0, prefix.size(), prefix) == 0) return static_cast<int>(i);
        return -1;
    }
    int count(const std::string& prefix) const {
        int n = 0;
        for (const std::string& c : calls)
            if (c.compare(0, prefix.size(), prefix) == 0) ++n;
        return n;
    }
};

// An FDD document around `body` (the children of objectModel).
inline std::string fddDoc(const std::string& body, const std::string& doctype = "") {
    return "<?xml version=\"1.0\"?>\n" + doctype +
           "<objectModel name=\"T\" type=\"FOM\">\n" + body + "</objectModel>\n";
}

// The four tables that stop a read from complaining about objects,
// interactions, dimensions and transportations.
inline std::string basicTables() {
    return "<objects><objectClass name=\"HLAobjectRoot\"/></objects>\n"
           "<interactions><interactionClass name=\"HLAinteractionRoot\"/></interactions>\n"
           "<dimensions/>\n"
           "<transportations><transportation name=\"HLAreliable\"/></transportations>\n";
}

// Line number of the first line of `text` containing `what` (1-based).
inline int lineOf(const std::string& text, const std::string& what) {
    size_t pos = text.find(what);
    if (pos == std::string::npos) return -1;
    int line = 1;
    for (size_t i = 0; i < pos; ++i)
        if (text[i] == '\n') ++line;
    return line;
}

// `text` with every start tag spread over lines, as long tags are written
// by hand: a line end before each attribute and before the closing `>` or
// `/>`. Declarations, comments and end tags stay as they are.
inline std::string spreadStartTags(const std::string& text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] != '<' || i + 1 == text.size() || std::strchr("/?!", text[i + 1])) continue;
        char quote = 0;
        for (++i; i < text.size(); ++i) {
            char c = text[i];
            if (quote || c == '"' || c == '\'') {
                if (!quote)
                    quote = c;
                else if (c == quote)
                    quote = 0;
                out += c;
            } else if (blank(c)) {
                while (i + 1 < text.size() && blank(text[i + 1])) ++i;
                if (text[i + 1] != '>' && text[i + 1] != '/') out += "\n    ";
            } else if (c == '>' || c == '/') {
                out += c == '>' ? "\n>" : "\n/>";
                if (c == '/') ++i;
                break;
            } else {
                out += c;
            }
        }
    }
    return out;
}

// Line of the start (`<`) of the last `element` tag before `marker`; the
// tags must have been spread by spreadStartTags. -1 when either is missing.
inline int tagStartLine(const std::string& text, const std::string& element,
                        const std::string& marker) {
    size_t at = text.find(marker);
    size_t start = at == std::string::npos ? at : text.rfind("<" + element + "\n", at);
    if (start == std::string::npos) return -1;
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + start, '\n'));
}
// Line of the `>` that ends that tag (the texts put no `>` in attribute values).
inline int tagEndLine(const std::string& text, const std::string& element,
                      const std::string& marker) {
    int start = tagStartLine(text, element, marker);
    if (start < 0) return -1;
    size_t at = text.rfind("<" + element + "\n", text.find(marker));
    size_t end = text.find('>', at);
    return start + static_cast<int>(std::count(text.begin() + at, text.begin() + end, '\n'));
}

// Reads `text` as the file "model.fdd" in a temporary directory.
inline ZnFedReadStatus readText(ZnFedReader& reader, const std::string& text,
                                ZnFedTarget* target, unsigned int strict = 0,
                                bool validate = false, bool defaults = false) {
    TempDir dir;
    std::string path = dir.write("model.fdd", text);
    OpenFile file(path);
    return reader.readFedFilePtr(file.get(), target, ZnFilename(path.c_str()), strict, validate,
                                 defaults);
}

// One read of a small document and what it must leave behind: the status,
// the exact last error (kAnyError leaves it unchecked) and, optionally, a
// look at the target.
constexpr const char* kAnyError = "\x01any";
struct ReadCase {
    std::string text;
    unsigned int strict;
    ZnFedReadStatus status;
    std::string error;
    std::function<void(const RecordingFom&)> check = {};
    bool validate = false;
};

// Reads each case into a fresh `Target` with `reader`.
template <class Target = RecordingFom>
void expectReads(ZnFedReader& reader, const std::vector<ReadCase>& cases) {
    for (const ReadCase& c : cases) {
        SCOPED_TRACE("strict " + std::to_string(c.strict) + ": " + c.text);
        Target target;
        EXPECT_EQ(readText(reader, c.text, &target, c.strict, c.validate), c.status);
        if (c.error != kAnyError) {
            EXPECT_EQ(reader.lastError(), c.error);
        }
        if (c.check) c.check(target);
    }
}

}  // namespace fomtest

#endif
